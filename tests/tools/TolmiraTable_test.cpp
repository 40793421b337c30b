// Runs the built tolmira-table on real files and checks what it prints, writes
// and returns.

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include "support/FileTestSupport.h"
#include "model/NativePath.h"
#include "model/TableFile.h"
#include "tolmira/Version.h"
#include "tools/TableText.h"
#include "tools/ToolRun.h"

namespace {

// A table file of the given version holding the given record lines.
bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

class TolmiraTableTest : public ::testing::Test {
 protected:
  // Writes bytes to a file of the work folder and returns its path.
  std::string put(const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    writeBytes(path, bytes);
    return path;
  }
  ToolRun run(const std::vector<std::string>& args,
              const ToolRunOptions& options = ToolRunOptions()) {
    return runTool(dir, args, options);
  }

  TempDir dir;
};

// --- command line ----------------------------------------------------------

struct UsageCase {
  const char* what;
  std::vector<std::string> args;
};

class UsageErrorTest : public TolmiraTableTest, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(UsageErrorTest, PrintsUsageOnStderrAndExits2) {
  const ToolRun r = run(GetParam().args);
  EXPECT_EQ(2, r.exitCode);
  EXPECT_EQ("", r.out);
  EXPECT_TRUE(contains(r.err, "Использование:\n  tolmira-table check FILE\n")) << r.err;
}

INSTANTIATE_TEST_SUITE_P(
    Tool, UsageErrorTest,
    ::testing::Values(UsageCase{"nothing", {}}, UsageCase{"unknown option", {"--frobnicate"}},
                      UsageCase{"short option", {"-x"}},
                      UsageCase{"unknown command", {"list", "a.txt"}},
                      UsageCase{"check without file", {"check"}},
                      UsageCase{"check with two files", {"check", "a", "b"}},
                      UsageCase{"convert with one file", {"convert", "a"}},
                      UsageCase{"convert with three files", {"convert", "a", "b", "c"}},
                      UsageCase{"drop-rejected outside convert", {"check", "--drop-rejected", "a"}},
                      UsageCase{"unknown option after the command",
                                {"convert", "--force", "a", "b"}},
                      UsageCase{"help with more", {"--help", "check"}},
                      UsageCase{"disks with a file", {"disks", "a"}},
                      UsageCase{"drop-rejected for disks", {"disks", "--drop-rejected"}},
                      UsageCase{"to-instrument without file", {"to-instrument"}},
                      UsageCase{"to-instrument with three", {"to-instrument", "a", "b", "c"}},
                      UsageCase{"from-instrument without file", {"from-instrument"}},
                      UsageCase{"from-instrument with three", {"from-instrument", "a", "b", "c"}}),
    [](const ::testing::TestParamInfo<UsageCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST_F(TolmiraTableTest, HelpAndVersionGoToStdout) {
  const ToolRun help = run({"--help"});
  EXPECT_EQ(0, help.exitCode);
  EXPECT_EQ("", help.err);
  EXPECT_EQ(0u, help.out.find("Использование:\n")) << help.out;
  EXPECT_TRUE(contains(help.out, "--drop-rejected"));

  const ToolRun version = run({"--version"});
  EXPECT_EQ(0, version.exitCode);
  EXPECT_EQ("", version.err);
  EXPECT_EQ(std::string("tolmira-table ") + TOLMIRA_VERSION_STRING + "\n", version.out);
}

TEST_F(TolmiraTableTest, DoubleDashEndsOptions) {
  const std::string path = put("-odd.txt", tableText(4, {"A\t1.5"}));
  const ToolRun r = run({"check", "--", path});
  EXPECT_EQ(0, r.exitCode) << r.err;
  EXPECT_EQ("status=0x00000000 errors=0 loaded=1 warnings=0 added=1\n", r.out);
}

// --- check -------------------------------------------------------------------

TEST_F(TolmiraTableTest, CheckReportsEveryProblemLineAndTheSummary) {
  const std::string path = put(
      "mixed.txt", tableText(4, {
                                    "\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200",
                                    "A23456789012345678901\t1.6\tAl AM*(28.5\t0.0041)\t100\t1.01",
                                    "bad\tx",
                                    "",
                                    "notab",
                                    "\xCA\xE0\xE1\xE5\xEB\xFC\t1.5\tcu\t10",
                                }));
  const ToolRun r = run({"check", path});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("", r.err);
  EXPECT_EQ(
      "Стр. 5 (поз. 54): \"A23456789012345678901\t1.6\tAl AM*(28.5\t0.0041)\t100\t1.01\"\n"
      "Стр. 6 (поз. 4): \"bad\tx\"\n"
      "Стр. 8 (поз. 5): \"notab\"\n"
      "Стр. 9 (поз. 13): \"Кабель\t1.5\tcu\t10\"\n"
      "status=0x0207000D errors=3 loaded=2 warnings=1 added=2\n",
      r.out);
}

struct CheckCase {
  const char* what;
  std::string bytes;
  std::string out;
  int exitCode;
};

class CheckFileTest : public TolmiraTableTest, public ::testing::WithParamInterface<CheckCase> {};

TEST_P(CheckFileTest, PrintsExactlyAndExits) {
  const ToolRun r = run({"check", put("t.txt", GetParam().bytes)});
  EXPECT_EQ(GetParam().exitCode, r.exitCode);
  EXPECT_EQ(GetParam().out, r.out);
  EXPECT_EQ("", r.err);
}

INSTANTIATE_TEST_SUITE_P(
    Tool, CheckFileTest,
    ::testing::Values(
        CheckCase{"empty file", "", "status=0x00000000 errors=0 loaded=0 warnings=0 added=0\n", 0},
        CheckCase{"identifier only", "VIRD Table Of Cables V04\r\n",
                  "status=0x00000000 errors=0 loaded=0 warnings=0 added=0\n", 0},
        CheckCase{"LF line ends", "VIRD Table Of Cables V04\n\nName\n",
                  "status=0x00000400 errors=0 loaded=0 warnings=0 added=0\n", 1},
        CheckCase{"second line not empty", "VIRD Table Of Cables V04\r\nx\r\n",
                  "status=0x00000200 errors=0 loaded=0 warnings=0 added=0\n", 1},
        CheckCase{"warnings only", tableText(4, {"A2345678901234567890\t1.5"}),
                  "Стр. 4 (поз. 24): \"A2345678901234567890\t1.5\"\n"
                  "status=0x02000018 errors=0 loaded=1 warnings=1 added=1\n",
                  0},
        CheckCase{"old version reports nothing", tableText(1, {"K1\tCu\t87.4\t1.5", "broken"}),
                  "status=0x00000000 errors=0 loaded=2 warnings=0 added=2\n", 0},
        // Control characters must not reach the terminal as they are.
        CheckCase{"control characters shown escaped", tableText(4, {"a\x1B[2J\nb\tx"}),
                  "Стр. 4 (поз. 8): \"a\\x1B[2J\\x0Ab\tx\"\n"
                  "status=0x00040008 errors=1 loaded=0 warnings=0 added=0\n",
                  1}),
    [](const ::testing::TestParamInfo<CheckCase>& info) {
      std::string name;
      for (const char* c = info.param.what; *c; ++c)
        name += std::isalnum(static_cast<unsigned char>(*c)) ? *c : '_';
      return name;
    });

TEST_F(TolmiraTableTest, MissingOrUnopenableInputExits2) {
  const std::string folder = dir.file("folder");
  std::vector<std::string> paths{dir.file("missing.txt"), folder};
  ASSERT_TRUE(std::filesystem::create_directory(folder));
#ifndef _WIN32
  // A pipe with no writer: refused at once, not waited on.
  paths.push_back(dir.file("fifo"));
  ASSERT_EQ(0, ::mkfifo(paths.back().c_str(), 0600));
#endif
  for (const char* command : {"check", "dump"}) {
    for (const std::string& path : paths) {
      SCOPED_TRACE(std::string(command) + " " + path);
      const ToolRun r = run({command, path});
      EXPECT_EQ(2, r.exitCode);
      EXPECT_EQ("", r.out);
      EXPECT_TRUE(contains(r.err, path + ": ")) << r.err;
    }
  }
  EXPECT_TRUE(contains(run({"check", dir.file("missing.txt")}).err, "Файл не найден"));
}

TEST_F(TolmiraTableTest, FailedStdoutIsNotSuccess) {
  const std::string path = put("t.txt", tableText(4, {"A\t1.5"}));
  // A file size limit makes the write to stdout fail part-way, like a full disk.
  ToolRunOptions limited;
#ifdef _WIN32
  GTEST_SKIP() << "no file size limit per process on Windows";
#endif
  limited.fileSizeLimit = 10;
  for (const char* command : {"check", "dump"}) {
    SCOPED_TRACE(command);
    const ToolRun r = run({command, path}, limited);
    EXPECT_EQ(3, r.exitCode);
    EXPECT_NE("", r.err);
  }
}

// A file of bad lines makes a report longer than the file: printed as it is read,
// it costs the tool no memory, where held whole it took several times the file.
TEST_F(TolmiraTableTest, CheckOfAHugeReportKeepsItsMemory) {
#ifdef _WIN32
  GTEST_SKIP() << "the peak memory of a child is read on POSIX systems";
#endif
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
  GTEST_SKIP() << "AddressSanitizer keeps freed memory in quarantine";
#endif
#endif
  ToolRunOptions quiet;
  quiet.discardOut = true;
  const ToolRun small = run({"check", put("small.txt", tableText(4, {"Bad"}))}, quiet);
  ASSERT_EQ(1, small.exitCode) << small.err;

  // Written piece by piece: the child's peak counts the pages it shares with this
  // process until it starts the tool.
  const std::string hugePath = dir.file("huge.txt");
  {
    std::ofstream file(hugePath, std::ios::binary);
    file << tableText(4, {});
    const std::string bad = "a bad line without a tab, " + std::string(170, 'x') + "\r\n";
    for (std::size_t size = 0; size < (30u << 20); size += bad.size()) file << bad;
    ASSERT_TRUE(file.good());
  }
  const ToolRun huge = run({"check", hugePath}, quiet);
  ASSERT_EQ(1, huge.exitCode) << huge.err;
  ASSERT_GT(small.peakKiB, 0);
  EXPECT_LT(huge.peakKiB - small.peakKiB, 20 * 1024)
      << "peak " << huge.peakKiB << " KiB against " << small.peakKiB << " KiB for one line";
}

// --- dump --------------------------------------------------------------------

TEST_F(TolmiraTableTest, DumpGivesEveryMemberOfEveryRecord) {
  const std::string path = put("t.txt", tableText(4, {
                                                         "\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200",
                                                         "A2\t1.6\tAl AM*(28.5\t0.0041)\t100\t1.01",
                                                         "\xC1\xE5\xE7 R\t2",
                                                         "Big\t1e39",
                                                     }));
  const ToolRun r = run({"dump", path});
  ASSERT_EQ(0, r.exitCode) << r.err;
  EXPECT_EQ("", r.err);

  // Floats in their float32 shortest form, not widened to double digits.
  EXPECT_TRUE(contains(r.out, "\"ku\":1.6,")) << r.out;
  EXPECT_TRUE(contains(r.out, "\"ownResistivity\":0.0285,\"ownTempCoefficient\":0.0041,")) << r.out;
  EXPECT_TRUE(contains(r.out, "\"rOrS\":0.087400004,")) << r.out;

  const nlohmann::ordered_json j = nlohmann::ordered_json::parse(r.out);
  ASSERT_TRUE(j.is_array());
  ASSERT_EQ(4u, j.size());

  std::vector<std::string> keys;
  for (const auto& item : j[0].items()) keys.push_back(item.key());
  EXPECT_EQ(
      (std::vector<std::string>{"name", "ku", "material", "ownResistivity", "ownTempCoefficient",
                                "storedAs", "rOrS", "twistCode", "methods", "line"}),
      keys);

  EXPECT_EQ("КСПВ", j[0]["name"]);
  EXPECT_EQ(1.5, j[0]["ku"]);
  EXPECT_EQ("Cu", j[0]["material"]);
  EXPECT_TRUE(j[0]["ownResistivity"].is_null());
  EXPECT_TRUE(j[0]["ownTempCoefficient"].is_null());
  EXPECT_EQ("R", j[0]["storedAs"]);
  EXPECT_EQ(static_cast<float>(87.4f * 0.001), static_cast<float>(j[0]["rOrS"].get<double>()));
  EXPECT_EQ(2000, j[0]["twistCode"]);
  EXPECT_EQ(3, j[0]["methods"]);
  EXPECT_EQ("КСПВ\t1.5\tCu\t87.4\t1.0200", j[0]["line"]);

  EXPECT_EQ("Al AM", j[1]["material"]);
  EXPECT_EQ(0.0285f, static_cast<float>(j[1]["ownResistivity"].get<double>()));
  EXPECT_EQ(0.0041f, static_cast<float>(j[1]["ownTempCoefficient"].get<double>()));
  EXPECT_EQ(1000, j[1]["twistCode"]);
  EXPECT_EQ("A2\t1.6\tAl AM*(28.5\t0.0041)\t100\t1.0100", j[1]["line"]);

  EXPECT_EQ("Без R", j[2]["name"]);
  EXPECT_EQ(0, j[2]["rOrS"]);
  EXPECT_EQ(0, j[2]["twistCode"]);
  EXPECT_EQ(1, j[2]["methods"]);
  EXPECT_EQ("Без R\t2", j[2]["line"]);

  // Beyond the float range: kept visible, as JSON has no infinity.
  EXPECT_EQ("inf", j[3]["ku"]);
  EXPECT_EQ(0, j[3]["methods"]);
}

TEST_F(TolmiraTableTest, DumpWithRejectedLines) {
  const std::string path = put("t.txt", tableText(4, {"good\t1.5", "bad\tx"}));
  const ToolRun r = run({"dump", path});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_EQ("Стр. 5 (поз. 4): \"bad\tx\"\n", r.err);
  const nlohmann::json j = nlohmann::json::parse(r.out);
  ASSERT_EQ(1u, j.size());
  EXPECT_EQ("good", j[0]["name"]);
}

TEST_F(TolmiraTableTest, DumpOfAnEmptyTable) {
  const ToolRun r = run({"dump", put("t.txt", tableText(4, {}))});
  EXPECT_EQ(0, r.exitCode);
  EXPECT_EQ("[]\n", r.out);
}

// --- convert -----------------------------------------------------------------

struct ConvertCase {
  int version;
  std::string line;
  std::string v04;
};

class ConvertVersionTest : public TolmiraTableTest,
                           public ::testing::WithParamInterface<ConvertCase> {};

TEST_P(ConvertVersionTest, WritesV04Bytes) {
  const std::string in = put("in.txt", tableText(GetParam().version, {GetParam().line}));
  const std::string out = dir.file("out.txt");
  const ToolRun r = run({"convert", in, out});
  EXPECT_EQ(0, r.exitCode) << r.err;
  EXPECT_EQ("", r.out);
  EXPECT_EQ(tableText(4, {GetParam().v04}), readBytes(out));
}

INSTANTIATE_TEST_SUITE_P(
    Tool, ConvertVersionTest,
    ::testing::Values(
        ConvertCase{1, "K1\tCu\t87.4\t1.5", "K1\t1.5\tCu*(17.9\t0.004)\t87.4\t1.0000"},
        ConvertCase{2, "K2\tCu B\t50\t20\t1.7", "K2\t1.7\tCu B*(20)\t50\t1.0000"},
        ConvertCase{3, "K3\tAl AM\t100\t28\t1.6\t1.02", "K3\t1.6\tAl AM\t100\t1.0200"},
        ConvertCase{4, "K4\t1.5\tAl AM*(28.5\t0.0041)\t100\t1.01",
                    "K4\t1.5\tAl AM*(28.5\t0.0041)\t100\t1.0100"}));

TEST_F(TolmiraTableTest, ConvertRefusesRejectedLinesUnlessDropped) {
  const std::string in = put("in.txt", tableText(4, {"good\t1.5", "bad\tx"}));
  const std::string out = put("out.txt", "old");

  const ToolRun refused = run({"convert", in, out});
  EXPECT_EQ(1, refused.exitCode);
  EXPECT_EQ("", refused.out);
  EXPECT_TRUE(contains(refused.err, "Стр. 5 (поз. 4): \"bad\tx\"\n")) << refused.err;
  EXPECT_EQ("old", readBytes(out));

  const ToolRun dropped = run({"convert", in, out, "--drop-rejected"});
  EXPECT_EQ(0, dropped.exitCode) << dropped.err;
  EXPECT_TRUE(contains(dropped.err, "Стр. 5 (поз. 4): \"bad\tx\"\n")) << dropped.err;
  EXPECT_EQ(tableText(4, {"good\t1.5"}), readBytes(out));
}

TEST_F(TolmiraTableTest, ConvertNeverWritesAFileItCouldNotRead) {
  const std::string out = put("out.txt", "old");
  for (const std::string& bytes :
       {std::string("hello\r\n"), std::string("VIRD Table Of Cables V04\r\n\r\nName\r\n")}) {
    const ToolRun r = run({"convert", "--drop-rejected", put("in.txt", bytes), out});
    EXPECT_EQ(1, r.exitCode);
    EXPECT_TRUE(contains(r.err, "LSF_ERROR_ID")) << r.err;
    EXPECT_EQ("old", readBytes(out));
  }
}

// Counts beyond the format's 16-bit counters are told exactly, never as the cap.
TEST_F(TolmiraTableTest, ConvertTellsExactCountsOfHugeFiles) {
  std::vector<std::string> lines;
  for (int i = 0; i < 40000; ++i) lines.push_back("N" + std::to_string(i) + "\t1.5");
  for (int i = 0; i < 33000; ++i) lines.push_back("Bad" + std::to_string(i));
  const std::string in = put("in.txt", tableText(4, lines));
  const ToolRun refused = run({"convert", in, dir.file("out.txt")});
  EXPECT_EQ(1, refused.exitCode);
  EXPECT_TRUE(contains(refused.err, "отклонено строк: 33000, записей сверх 2023: 37977"))
      << refused.err;
}

TEST_F(TolmiraTableTest, ConvertDoesNotSilentlyDropRecordsBeyondCapacity) {
  std::vector<std::string> lines;
  for (int i = 0; i < 2100; ++i) lines.push_back("N" + std::to_string(i) + "\t1.5");
  const std::string in = put("in.txt", tableText(4, lines));
  const std::string out = dir.file("out.txt");

  const ToolRun refused = run({"convert", in, out});
  EXPECT_EQ(1, refused.exitCode);
  EXPECT_TRUE(contains(refused.err, "2023: 77")) << refused.err;
  EXPECT_FALSE(fileExists(out));

  EXPECT_EQ(0, run({"convert", "--drop-rejected", in, out}).exitCode);
  EXPECT_EQ("status=0x00000000 errors=0 loaded=2023 warnings=0 added=2023\n",
            run({"check", out}).out);
}

TEST_F(TolmiraTableTest, ConvertMissingInputExits2) {
  const std::string out = dir.file("out.txt");
  const ToolRun r = run({"convert", dir.file("missing.txt"), out});
  EXPECT_EQ(2, r.exitCode);
  EXPECT_TRUE(contains(r.err, "Файл не найден")) << r.err;
  EXPECT_FALSE(fileExists(out));
}

TEST_F(TolmiraTableTest, ConvertUnwritableOutputExits3) {
  const std::string in = put("in.txt", tableText(4, {"good\t1.5"}));
  const std::string plain = put("plain.txt", "x");
  const ToolRun r = run({"convert", in, plain + "/out.txt"});
  EXPECT_EQ(3, r.exitCode);
  EXPECT_TRUE(contains(r.err, "LSF_CAN_NOT_OPEN")) << r.err;
  EXPECT_EQ("x", readBytes(plain));
}

// Names are UTF-8 on the command line and in what the tool prints; on Windows they
// must come through the wide command line and reach the file system whole.
TEST_F(TolmiraTableTest, CyrillicNamesReachTheFilesAndTheMessagesWhole) {
  const std::string folder =
      dir.file("\xD0\xA2\xD0\xB0\xD0\xB1\xD0\xBB\xD0\xB8\xD1\x86\xD1\x8B");  // Таблицы
  ASSERT_TRUE(std::filesystem::create_directory(tolmira::fsPath(folder)));
  const std::string in =
      folder + "/\xD0\xBA\xD0\xB0\xD0\xB1\xD0\xB5\xD0\xBB\xD0\xB8.txt";              // кабели
  const std::string out = folder + "/\xD0\xBA\xD0\xBE\xD0\xBF\xD0\xB8\xD1\x8F.txt";  // копия
  const std::string text = tableText(4, {"A\t1.5"});
  std::ofstream(tolmira::fsPath(in), std::ios::binary) << text;

  const ToolRun checked = run({"check", in});
  EXPECT_EQ(0, checked.exitCode) << checked.err;
  EXPECT_EQ("status=0x00000000 errors=0 loaded=1 warnings=0 added=1\n", checked.out);

  const ToolRun converted = run({"convert", in, out});
  EXPECT_EQ(0, converted.exitCode) << converted.err;
  std::ifstream back(tolmira::fsPath(out), std::ios::binary);
  EXPECT_EQ(text,
            std::string(std::istreambuf_iterator<char>(back), std::istreambuf_iterator<char>()));

  const std::string missing = folder + "/\xD0\xBD\xD0\xB5\xD1\x82.txt";  // нет
  const ToolRun refused = run({"dump", missing});
  EXPECT_EQ(2, refused.exitCode);
  EXPECT_TRUE(contains(refused.err, missing + ": ")) << refused.err;
}

TEST_F(TolmiraTableTest, ConvertShortWriteExits3AndKeepsTheOldFile) {
  std::vector<std::string> lines;
  for (int i = 0; i < 40; ++i)
    lines.push_back("Cable" + std::to_string(i) + "\t1.5\tCu\t87.4\t1.0200");
  const std::string in = put("in.txt", tableText(4, lines));
  const std::string out = put("out.txt", "old");
  ToolRunOptions limited;
#ifdef _WIN32
  GTEST_SKIP() << "no file size limit per process on Windows";
#endif
  limited.fileSizeLimit = 400;  // room for the header lines and a few records

  const ToolRun r = run({"convert", in, out}, limited);
  EXPECT_EQ(3, r.exitCode);
  EXPECT_TRUE(contains(r.err, "запись не удалась: LSF_")) << r.err;
  EXPECT_EQ("old", readBytes(out));
  std::vector<std::string> left = dir.entries();
  std::sort(left.begin(), left.end());
  EXPECT_EQ((std::vector<std::string>{"in.txt", "out.txt"}), left)
      << "no scratch file may stay behind";
}

}  // namespace
