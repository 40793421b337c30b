#include "model/RecordSet.h"

#include <cstdio>
#include <vector>

#include <gtest/gtest.h>

#include "model/SListCables.h"

namespace {

SCable cable(const char* name, float ku, float r = 0.0f) {
  SCable c;
  std::snprintf(c.name, sizeof c.name, "%s", name);
  c.setKU(ku);
  if (r != 0.0f) c.setR(r);
  return c;
}

// The set answers as the table's own search does, for records that differ from
// the table's in one field, share a name with several, or equal one only by value.
TEST(RecordSet, AnswersAsTheTablesOwnSearch) {
  SListCables table;
  for (const SCable& c : {cable("A", 1.5f), cable("A", 1.6f), cable("A", 1.6f, 0.01f),
                          cable("B", 2.0f), cable("", 1.5f), cable("C", 0.0f)})
    ASSERT_TRUE(table.add(c));
  const RecordSet set(table);
  const std::vector<SCable> asked = {cable("A", 1.5f),  cable("A", 1.6f, 0.01f), cable("A", 1.7f),
                                     cable("B", 2.0f),  cable("B", 2.0f, 0.01f), cable("", 1.5f),
                                     cable("D", 1.5f),  cable("C", -0.0f),       cable("a", 1.5f),
                                     cable("A ", 1.5f), cable("A", 1.6f, 0.02f)};
  for (const SCable& rec : asked)
    EXPECT_EQ(set.contains(rec), table.indexOfEqual(rec) >= 0) << rec.name << " " << rec.ku;
  EXPECT_TRUE(set.contains(cable("C", -0.0f))) << "a KU of -0 equals one of 0";
  EXPECT_FALSE(RecordSet(SListCables()).contains(cable("A", 1.5f)));
}

}  // namespace
