// The tool against a real FAT12 volume of the instrument's size, mounted through
// FUSE: found by disks, written and read without naming its root.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FatImage.h"
#include "support/FileTestSupport.h"
#include "model/TableFile.h"
#include "tools/TableText.h"
#include "tools/ToolRun.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

// The lines of disks that name an instrument disk.
std::vector<std::string> instrumentLines(const std::string& disks) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < disks.size()) {
    const std::size_t end = disks.find('\n', start);
    const std::string line = disks.substr(start, end - start);
    if (contains(line, "\tyes")) lines.push_back(line);
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return lines;
}

class InstrumentDiskTool : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = FatImage::unavailable();
    if (!why.empty()) GTEST_SKIP() << "no FAT image can be mounted here: " << why;
  }
  ToolRun run(const std::vector<std::string>& args) { return runTool(work, args); }
  TempDir work;
};

TEST_F(InstrumentDiskTool, FindsWritesAndReadsTheOneInstrumentDisk) {
  const ToolRun before = run({"disks"});
  ASSERT_EQ(0, before.exitCode);
  if (!instrumentLines(before.out).empty())
    GTEST_SKIP() << "an instrument disk is attached already:\n" << before.out;
  const std::string in = work.file("in.txt");
  writeBytes(in, tableText({"КСПВ\t1.5\tCu\t87.4\t1.02", "B\t1.6"}));
  const ToolRun none = run({"to-instrument", in});
  EXPECT_EQ(2, none.exitCode);
  EXPECT_TRUE(contains(none.err, "диск прибора не найден")) << none.err;

  FatImage disk(work.path(), "vird");
  ASSERT_TRUE(disk.ok()) << disk.error();
  const ToolRun disks = run({"disks"});
  EXPECT_EQ(0, disks.exitCode);
  EXPECT_EQ(std::vector<std::string>{disk.root() + "\t3\tFAT\t60416\t60416\tyes"},
            instrumentLines(disks.out))
      << disks.out;

  const ToolRun put = run({"to-instrument", in});
  EXPECT_EQ(0, put.exitCode) << put.err;
  EXPECT_EQ(disk.root() + "CABLES.TXT\n", put.out);
  const std::string expected = tableText({"КСПВ\t1.5\tCu\t87.4\t1.0200", "B\t1.6"});
  EXPECT_EQ(expected, readBytes(disk.root() + "CABLES.TXT"));

  const std::string out = work.file("out.txt");
  const ToolRun get = run({"from-instrument", out});
  EXPECT_EQ(0, get.exitCode) << get.err;
  EXPECT_EQ(expected, readBytes(out));

  ASSERT_TRUE(disk.unmount());
  if (FatImage::mtoolsInstalled()) {
    EXPECT_EQ(expected, disk.readWithMtools("CABLES.TXT"));
  }
}

TEST_F(InstrumentDiskTool, TwoInstrumentDisksNeedARoot) {
  FatImage first(work.path(), "one");
  ASSERT_TRUE(first.ok()) << first.error();
  FatImage second(work.path(), "two");
  ASSERT_TRUE(second.ok()) << second.error();
  const std::string in = work.file("in.txt");
  writeBytes(in, tableText({"A\t1.5"}));

  const ToolRun r = run({"to-instrument", in});
  EXPECT_EQ(2, r.exitCode);
  EXPECT_TRUE(contains(r.err, "подключено несколько дисков прибора")) << r.err;
  EXPECT_TRUE(contains(r.err, first.root())) << r.err;
  EXPECT_FALSE(fileExists(first.root() + "CABLES.TXT"));

  EXPECT_EQ(0, run({"to-instrument", in, second.root()}).exitCode);
  EXPECT_EQ(tableText({"A\t1.5"}), readBytes(second.root() + "CABLES.TXT"));
  EXPECT_FALSE(fileExists(first.root() + "CABLES.TXT"));
}

}  // namespace
