// tolmira-table check --instrument: what the instrument will do with a table,
// run on real files.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileTestSupport.h"
#include "tools/TableText.h"
#include "tools/ToolRun.h"

namespace {

class InstrumentCheckTest : public ::testing::Test {
 protected:
  std::string put(const std::vector<std::string>& lines) {
    const std::string path = dir.file("table.txt");
    writeBytes(path, tableText(lines));
    return path;
  }
  ToolRun check(const std::string& path) { return runTool(dir, {"check", "--instrument", path}); }

  TempDir dir;
};

std::vector<std::string> plain(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back("K" + std::to_string(i + 1) + "\t1.5");
  return lines;
}

}  // namespace

TEST_F(InstrumentCheckTest, ExitsOneOnlyWhenRecordsWouldBeLost) {
  struct Case {
    const char* what;
    std::vector<std::string> lines;
    int exitCode;
    std::string out;
  };
  std::vector<std::string> tooMany = plain(152);
  tooMany.insert(tooMany.begin(), "K1\t1.5");
  std::vector<std::string> rejected = plain(2);
  rejected.push_back("bad\tx");
  const Case cases[] = {
      {"nothing to say", plain(151), 0, "замечаний нет\n"},
      {"duplicates and no method",
       {"A\t1.5", "\xCA\xE0\xE1\xE5\xEB\xFC\t", "A\t7"},
       0,
       "замечание: Одинаковые имена: прибор не различит эти записи: \"A\" (записи 1, 3).\n"
       "замечание: Записи без метода измерения (ни TDR, ни DC), прибор не сможет по ним мерить: "
       "2 \"Кабель\".\n"
       "замечание: Значения на границе допустимого: 3 \"A\": КУ 7 на границе 1…7.\n"},
      {"past the limit", tooMany, 1,
       "потеря данных: Таблица содержит 153 записей. Прибор ВИРД-50 поддерживает максимум 151 "
       "запись. Все записи свыше будут прибором не загружены. И будут утеряны после изменения "
       "таблицы прибором.\n"
       "замечание: Одинаковые имена: прибор не различит эти записи: \"K1\" (записи 1, 2).\n"},
      {"rejected lines", rejected, 1, "Стр. 6 (поз. 4): \"bad\tx\"\nзамечаний нет\n"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const ToolRun r = check(put(c.lines));
    EXPECT_EQ(c.exitCode, r.exitCode);
    EXPECT_EQ(c.out, r.out);
    EXPECT_EQ("", r.err);
  }
}

TEST_F(InstrumentCheckTest, NamesCannotDriveTheTerminalAndAMissingFileExitsTwo) {
  const ToolRun r = check(put({"A\x1b[2J\t1.5", "A\x1b[2J\t1.6"}));
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ(
      "замечание: Одинаковые имена: прибор не различит эти записи: \"A\\x1B[2J\" (записи 1, "
      "2).\n",
      r.out);

  const ToolRun missing = check(dir.file("none.txt"));
  EXPECT_EQ(2, missing.exitCode);
  EXPECT_EQ("", missing.out);
}
