// to-instrument and from-instrument with the instrument's root given: a plain
// folder stands for the disk.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileTestSupport.h"
#include "model/TableFile.h"
#include "tools/TableText.h"
#include "tools/ToolRun.h"

namespace {

std::vector<std::string> records(int count) {
  std::vector<std::string> lines;
  for (int i = 0; i < count; ++i) lines.push_back("K" + std::to_string(i) + "\t1.5");
  return lines;
}

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class ToInstrumentTest : public ::testing::Test {
 protected:
  ToInstrumentTest() { std::filesystem::create_directory(root); }
  std::string put(const std::string& name, const std::string& bytes) {
    const std::string path = work.file(name);
    writeBytes(path, bytes);
    return path;
  }
  ToolRun run(const std::vector<std::string>& args, const ToolRunOptions& o = ToolRunOptions()) {
    return runTool(work, args, o);
  }

  TempDir work;
  const std::string root = work.file("disk");
  const std::string cables = root + "/CABLES.TXT";
};

const char* const kWarning152 =
    "Таблица содержит 152 записей. Прибор ВИРД-50 поддерживает максимум 151 запись. Все записи "
    "свыше будут прибором не загружены. И будут утеряны после изменения таблицы прибором.";

TEST_F(ToInstrumentTest, WritesCablesTxtAndWarnsOnlyAbove151Records) {
  for (const int count : {0, 151, 152}) {
    SCOPED_TRACE(count);
    const std::string in = put("in.txt", tableText(records(count)));
    // With and without the trailing separator.
    const ToolRun r = run({"to-instrument", in, count == 151 ? root + "/" : root});
    EXPECT_EQ(0, r.exitCode) << r.err;
    EXPECT_EQ(tableText(records(count)), readBytes(cables));
    EXPECT_EQ(count > 151, contains(r.err, kWarning152)) << r.err;
    if (count <= 151) {
      EXPECT_EQ("", r.err);
    }
    EXPECT_TRUE(contains(r.out, "CABLES.TXT\n")) << r.out;
  }
}

TEST_F(ToInstrumentTest, RejectedLinesKeepTheOldTableUnlessDropped) {
  writeBytes(cables, "old");
  const std::string in = put("in.txt", tableText({"A\t1.5", "B\tnot a number", "C\t1.7"}));
  const ToolRun refused = run({"to-instrument", in, root});
  EXPECT_EQ(1, refused.exitCode);
  EXPECT_TRUE(contains(refused.err, "отклонено строк: 1")) << refused.err;
  EXPECT_EQ("old", readBytes(cables));

  const ToolRun dropped = run({"to-instrument", "--drop-rejected", in, root});
  EXPECT_EQ(0, dropped.exitCode) << dropped.err;
  EXPECT_EQ(tableText({"A\t1.5", "C\t1.7"}), readBytes(cables));
}

TEST_F(ToInstrumentTest, AFailedWriteKeepsTheOldTable) {
  writeBytes(cables, "old");
  const std::string in = put("in.txt", tableText(records(60)));
  ToolRunOptions limited;
#ifdef _WIN32
  GTEST_SKIP() << "no file size limit per process on Windows";
#endif
  limited.fileSizeLimit = 300;
  const ToolRun r = run({"to-instrument", in, root}, limited);
  EXPECT_EQ(3, r.exitCode);
  EXPECT_TRUE(contains(r.err, "запись не удалась")) << r.err;
  EXPECT_EQ("old", readBytes(cables));
  EXPECT_EQ(std::vector<std::string>{"CABLES.TXT"}, folderEntries(root));
}

TEST_F(ToInstrumentTest, MissingInputOrRootExits2) {
  const std::string in = put("in.txt", tableText(records(1)));
  const ToolRun noRoot = run({"to-instrument", in, work.file("nowhere")});
  EXPECT_EQ(2, noRoot.exitCode);
  EXPECT_TRUE(contains(noRoot.err, "nowhere: папка не найдена")) << noRoot.err;

  const ToolRun noInput = run({"to-instrument", work.file("missing.txt"), root});
  EXPECT_EQ(2, noInput.exitCode);
  EXPECT_FALSE(fileExists(cables));

  const ToolRun noTable = run({"from-instrument", work.file("out.txt"), root});
  EXPECT_EQ(2, noTable.exitCode);
  EXPECT_TRUE(contains(noTable.err, "CABLES.TXT: Файл не найден")) << noTable.err;
  EXPECT_FALSE(fileExists(work.file("out.txt")));
}

TEST_F(ToInstrumentTest, FromInstrumentCopiesTheTableOutAsConvertDoes) {
  writeBytes(cables, tableText({"A\t1.5\tCu\t87.4\t1.02", "B\t1.6"}));
  const std::string out = work.file("out.txt");
  const ToolRun r = run({"from-instrument", out, root});
  EXPECT_EQ(0, r.exitCode) << r.err;
  EXPECT_EQ(tableText({"A\t1.5\tCu\t87.4\t1.0200", "B\t1.6"}), readBytes(out));

  writeBytes(cables, tableText({"A\t1.5", "B\tx"}));
  EXPECT_EQ(1, run({"from-instrument", out, root}).exitCode);
  EXPECT_EQ(tableText({"A\t1.5\tCu\t87.4\t1.0200", "B\t1.6"}), readBytes(out));
  EXPECT_EQ(0, run({"from-instrument", "--drop-rejected", out, root}).exitCode);
  EXPECT_EQ(tableText({"A\t1.5"}), readBytes(out));
}

TEST_F(ToInstrumentTest, DisksPrintsOneTabSeparatedLinePerVolume) {
  const ToolRun r = run({"disks"});
  EXPECT_EQ(0, r.exitCode) << r.err;
  EXPECT_EQ("", r.err);
  bool rootListed = false;
  std::size_t start = 0;
  while (start < r.out.size()) {
    const std::size_t end = r.out.find('\n', start);
    ASSERT_NE(std::string::npos, end) << "every line ends with a line feed";
    std::vector<std::string> fields;
    std::size_t from = start;
    for (std::size_t tab; (tab = r.out.find('\t', from)) < end; from = tab + 1)
      fields.push_back(r.out.substr(from, tab - from));
    fields.push_back(r.out.substr(from, end - from));
    ASSERT_GE(fields.size(), 6u) << r.out.substr(start, end - start);
    const bool yes = fields[5] == "yes";
    EXPECT_TRUE(yes || fields[5] == "no");
    // A reason exactly when the volume is not the instrument's disk.
    EXPECT_EQ(yes ? 6u : 7u, fields.size()) << r.out.substr(start, end - start);
    if (!yes) {
      EXPECT_FALSE(fields[6].empty());
    }
#ifdef _WIN32
    // The tool shows every backslash escaped, as it does in any text it prints.
    rootListed = rootListed || fields[0] == "C:\\x5C";
#else
    rootListed = rootListed || fields[0] == "/";
#endif
    start = end + 1;
  }
  EXPECT_TRUE(rootListed) << r.out;
}

}  // namespace
