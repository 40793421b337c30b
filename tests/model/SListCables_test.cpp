#include "model/SListCables.h"

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/NamedCable.h"

namespace {

std::vector<std::string> names(const SListCables& t) {
  std::vector<std::string> out;
  for (int i = 0; i < t.getCount(); ++i) out.emplace_back(t.at(i).name);
  return out;
}

// A table of A, B, C, unmodified.
class SListCablesTest : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* n : {"A", "B", "C"}) ASSERT_TRUE(table.add(cable(n)));
    table.clearModified();
  }
  SListCables table;
};

using Names = std::vector<std::string>;

const std::string kCable = "\xCA\xE0\xE1\xE5\xEB\xFC";  // Кабель
const std::string k15 = "ABCDEFGHIJKLMNO";

}  // namespace

TEST(SListCables, NewTableIsEmptyAndUnchanged) {
  SListCables t;
  EXPECT_EQ(0, t.getCount());
  EXPECT_FALSE(t.isModified());
  EXPECT_EQ(2023, t.maxCount());
  int i = -1;
  EXPECT_FALSE(t.next(i));
  t.clear();
  EXPECT_FALSE(t.isModified());  // clearing an empty table changes nothing
}

TEST(SListCables, FullTableRefusesAddAndInsert) {
  SListCables t;
  for (int i = 0; i < 2023; ++i) ASSERT_TRUE(t.add(cable(std::to_string(i))));
  t.clearModified();
  EXPECT_FALSE(t.add(cable("x")));
  EXPECT_FALSE(t.insert(0, cable("x")));
  EXPECT_FALSE(t.insert(2023, cable("x")));
  EXPECT_EQ(2023, t.getCount());
  EXPECT_FALSE(t.isModified());
  EXPECT_STREQ("0", t.at(0).name);
  EXPECT_STREQ("2022", t.at(2022).name);
}

TEST_F(SListCablesTest, EveryChangeSetsModified) {
  struct Change {
    const char* what;
    bool (*run)(SListCables&);
    Names after;
  };
  const std::vector<Change> changes = {
      {"add", [](SListCables& t) { return t.add(cable("D")); }, {"A", "B", "C", "D"}},
      {"insert front",
       [](SListCables& t) { return t.insert(0, cable("D")); },
       {"D", "A", "B", "C"}},
      {"insert middle",
       [](SListCables& t) { return t.insert(2, cable("D")); },
       {"A", "B", "D", "C"}},
      {"insert end", [](SListCables& t) { return t.insert(3, cable("D")); }, {"A", "B", "C", "D"}},
      {"remove", [](SListCables& t) { return t.remove(1); }, {"A", "C"}},
      {"remove last", [](SListCables& t) { return t.remove(2); }, {"A", "B"}},
      {"swap", [](SListCables& t) { return t.swap(0, 2); }, {"C", "B", "A"}},
      {"set", [](SListCables& t) { return t.set(1, cable("D")); }, {"A", "D", "C"}},
      {"replace", [](SListCables& t) { return t.replace(2, cable("D")); }, {"A", "B", "D"}},
      {"clear",
       [](SListCables& t) {
         t.clear();
         return true;
       },
       {}},
  };
  for (const Change& c : changes) {
    SListCables t = table;
    EXPECT_TRUE(c.run(t)) << c.what;
    EXPECT_TRUE(t.isModified()) << c.what;
    EXPECT_EQ(c.after, names(t)) << c.what;
    EXPECT_EQ(static_cast<int>(c.after.size()), t.getCount()) << c.what;
  }
}

TEST_F(SListCablesTest, OutOfRangeChangesNothing) {
  struct Refusal {
    const char* what;
    bool (*run)(SListCables&);
  };
  const std::vector<Refusal> refusals = {
      {"insert -1", [](SListCables& t) { return t.insert(-1, cable("D")); }},
      {"insert past end", [](SListCables& t) { return t.insert(4, cable("D")); }},
      {"remove -1", [](SListCables& t) { return t.remove(-1); }},
      {"remove count", [](SListCables& t) { return t.remove(3); }},
      {"set count", [](SListCables& t) { return t.set(3, cable("D")); }},
      {"replace -1", [](SListCables& t) { return t.replace(-1, cable("D")); }},
      {"swap self", [](SListCables& t) { return t.swap(1, 1); }},
      {"swap out", [](SListCables& t) { return t.swap(0, 3); }},
      {"swap negative", [](SListCables& t) { return t.swap(-1, 0); }},
      {"get",
       [](SListCables& t) {
         SCable c;
         return t.get(c, 3);
       }},
  };
  for (const Refusal& r : refusals) {
    SListCables t = table;
    EXPECT_FALSE(r.run(t)) << r.what;
    EXPECT_FALSE(t.isModified()) << r.what;
    EXPECT_EQ((Names{"A", "B", "C"}), names(t)) << r.what;
  }
}

TEST_F(SListCablesTest, SetComparesBytes) {
  EXPECT_TRUE(table.set(1, cable("B")));
  EXPECT_FALSE(table.isModified());  // identical in every byte

  // Equal as a cable, but not as bytes: still a change to the stored record.
  SCable b = cable("B");
  b.name[9] = 'z';
  EXPECT_TRUE(table.set(1, b));
  EXPECT_TRUE(table.isModified());
  EXPECT_EQ(0, std::memcmp(&b, &table.at(1), sizeof b));

  table.clearModified();
  EXPECT_TRUE(table.set(1, table.at(1)));  // a record set over itself
  EXPECT_FALSE(table.isModified());
}

// A table whose commit fails: set still writes, but reports the failure.
class FailingCommitTable : public SListCables {
 public:
  int commit() override {
    ++commits;
    return 1;
  }
  int commits = 0;
};

TEST(SListCables, SetReportsCommitFailure) {
  FailingCommitTable t;
  ASSERT_TRUE(t.add(cable("A")));
  EXPECT_FALSE(t.set(0, cable("B")));
  EXPECT_STREQ("B", t.at(0).name);
  EXPECT_FALSE(t.replace(0, cable("B")));  // unchanged, commit still asked
  EXPECT_EQ(2, t.commits);
  EXPECT_FALSE(t.set(1, cable("C")));  // out of range never reaches commit
  EXPECT_EQ(2, t.commits);
}

// The undo steps call replace; a table that refines set must see those calls.
class CountingSetTable : public SListCables {
 public:
  bool set(int i, const SCable& rec) override {
    ++sets;
    return SListCables::set(i, rec);
  }
  int sets = 0;
};

TEST(SListCables, ReplaceGoesThroughSet) {
  CountingSetTable t;
  ASSERT_TRUE(t.add(cable("A")));
  SListCablesBase& base = t;
  EXPECT_TRUE(base.replace(0, cable("B")));
  EXPECT_FALSE(base.replace(1, cable("C")));
  EXPECT_EQ(2, t.sets);
  EXPECT_STREQ("B", t.at(0).name);
}

TEST_F(SListCablesTest, GetAndDataSeeTheRecords) {
  SCable out;
  ASSERT_TRUE(table.get(out, 2));
  EXPECT_STREQ("C", out.name);
  EXPECT_EQ(&table.at(0), table.constData());
  EXPECT_STREQ("B", table.data()[1].name);
}

TEST_F(SListCablesTest, AddAndInsertOwnRecord) {
  // The argument lives inside the storage that grows.
  ASSERT_TRUE(table.add(table.at(0)));
  ASSERT_TRUE(table.insert(0, table.at(2)));
  EXPECT_EQ((Names{"C", "A", "B", "C", "A"}), names(table));
}

TEST_F(SListCablesTest, NextWalksEveryPosition) {
  for (int start : {-1, -7}) {
    std::vector<int> seen;
    int i = start;
    while (table.next(i)) seen.push_back(i);
    EXPECT_EQ((std::vector<int>{0, 1, 2}), seen) << start;
    EXPECT_EQ(3, i);
  }
}

TEST_F(SListCablesTest, IndexOfName) {
  table.add(cable("B"));  // A B C B
  EXPECT_EQ(1, table.indexOfName("B", 0, -1));
  EXPECT_EQ(3, table.indexOfName("B", 2, -1));
  EXPECT_EQ(3, table.indexOfName("B", 0, 1));
  EXPECT_EQ(-1, table.indexOfName("A", 1, -1));  // no wrap-around
  EXPECT_EQ(0, table.indexOfName("A", 5, -1));   // start out of range scans from 0
  EXPECT_EQ(0, table.indexOfName("A", -3, -1));
  EXPECT_EQ(-1, table.indexOfName("A", 0, 0));   // the only match excluded
  EXPECT_EQ(-1, table.indexOfName("a", 0, -1));  // case-sensitive
  EXPECT_EQ(-1, table.indexOfName("", 0, -1));
  EXPECT_EQ(-1, table.indexOfName(nullptr, 0, -1));

  SCable tail = cable("E");
  tail.name[6] = 'q';  // bytes behind the terminator do not matter
  table.add(tail);
  EXPECT_EQ(4, table.indexOfName("E", 0, -1));
}

TEST_F(SListCablesTest, IndexOfEqual) {
  SCable b = cable("B");
  b.name[9] = 'z';
  EXPECT_EQ(1, table.indexOfEqual(b));
  EXPECT_EQ(-1, table.indexOfEqual(cable("B", 1.6f)));
  table.add(cable("B"));
  EXPECT_EQ(1, table.indexOfEqual(cable("B")));
}

struct UniqueCase {
  const char* what;
  std::string base;
  std::vector<std::string> taken;
  std::string expected;
};

class MakeUniqueName : public ::testing::TestWithParam<UniqueCase> {};

TEST_P(MakeUniqueName, Candidate) {
  const UniqueCase& t = GetParam();
  SListCables table;
  for (const std::string& n : t.taken) ASSERT_TRUE(table.add(cable(n)));
  SCable rec = cable(t.base);
  EXPECT_TRUE(table.makeUniqueName(rec)) << t.what;
  char expected[SCable::kNameSize] = {};
  std::memcpy(expected, t.expected.data(), t.expected.size());
  // Zero behind the terminator, so the new record compares by bytes.
  EXPECT_EQ(0, std::memcmp(expected, rec.name, sizeof expected)) << t.what << ": " << rec.name;
}

std::vector<std::string> taken1to9(const std::string& base13) {
  std::vector<std::string> out;
  for (int n = 1; n <= 9; ++n) out.push_back(base13 + " " + std::to_string(n));
  return out;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, MakeUniqueName,
    ::testing::Values(UniqueCase{"template", kCable, {kCable + " 1", kCable + " 2"}, kCable + " 3"},
                      UniqueCase{"bare base is never tried", kCable, {}, kCable + " 1"},
                      UniqueCase{
                          "gap", kCable, {kCable + " 1", kCable + " 3", kCable}, kCable + " 2"},
                      UniqueCase{"15 characters", k15, {}, "ABCDEFGHIJKLM 1"},
                      UniqueCase{"15 characters, 1 to 9 taken", k15, taken1to9("ABCDEFGHIJKLM"),
                                 "ABCDEFGHIJKL 10"},
                      UniqueCase{"14 characters", "ABCDEFGHIJKLMN", {}, "ABCDEFGHIJKLM 1"},
                      UniqueCase{"empty", "", {}, " 1"}));

TEST(SListCables, MakeUniqueNameFromShortBaseGrowsDigits) {
  SListCables table;
  for (int n = 1; n <= 99; ++n) ASSERT_TRUE(table.add(cable("K " + std::to_string(n))));
  SCable rec = cable("K");
  EXPECT_TRUE(table.makeUniqueName(rec));
  EXPECT_STREQ("K 100", rec.name);
}
