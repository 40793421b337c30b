// A number beyond the float range reads as infinity; such a record must survive
// a save and the next load instead of being rejected then.
#include <cmath>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileTestSupport.h"
#include "model/LoadStatus.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "model/TableFile.h"

using namespace tolmira;

TEST(InfiniteValues, SurviveSaveAndLoad) {
  struct Case {
    const char* line;
    const char* written;  // the record line the writer produces
  };
  const std::vector<Case> cases = {
      {"Big\t1e39", "Big\t1e+39"},
      {"Neg\t-1e39", "Neg\t-1e+39"},
      {"R\t1.5\tCu\t1e45\t1.0000", "R\t1.5\tCu\t1e+39\t1.0000"},
      {"Own\t1.5\tAl AM*(1e50\t-1e40)\t87.4\t1.0200",
       "Own\t1.5\tAl AM*(1e+39\t-1e+39)\t87.4\t1.0200"},
  };
  TempDir dir;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    SCable rec;
    ASSERT_EQ(0u, parseLine(rec, c.line, 4) & LSF_ERROR_MASK);
    char text[128];
    rec.snprint(text, sizeof text);
    EXPECT_EQ(std::string(c.written), text);

    SListCables table;
    ASSERT_TRUE(table.add(rec));
    const std::string path = dir.file("inf.txt");
    ASSERT_EQ(0u, table.saveToFile(path.c_str()));
    SListCables back;
    const LoadResult r = loadFromFile(back, path.c_str(), nullptr);
    EXPECT_EQ(0, r.errorLines);
    ASSERT_EQ(1, back.getCount());
    EXPECT_TRUE(back.at(0).equals(rec));
  }
}
