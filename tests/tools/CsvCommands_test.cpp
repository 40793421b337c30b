// export-csv and import-csv of the built tolmira-table on real files.

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileTestSupport.h"
#include "tools/TableText.h"
#include "tools/ToolRun.h"

namespace {

bool contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const std::string kHeader =
    "\xEF\xBB\xBF"
    "Название,КУ,V (м/мкс),VOP,Материал,Уд. сопротивление (Ом·мм²/км),"
    "Температурный коэф. (1/°C),R (Ом/км),S (мм²),Хранится,Коэффициент укрутки\r\n";

class CsvCommandsTest : public ::testing::Test {
 protected:
  std::string put(const std::string& name, const std::string& bytes) {
    const std::string path = dir.file(name);
    writeBytes(path, bytes);
    return path;
  }
  ToolRun run(const std::vector<std::string>& args) { return runTool(dir, args); }

  // Кабель 1, Кабель 2: a name with the separator, own values, S stored.
  std::string table() {
    return put("table.txt",
               tableText({"\xCA\xE0\xE1\xE5\xEB\xFC, 1\t1.48\tCu\t139\t1.0200",
                          "\xCA\xE0\xE1\xE5\xEB\xFC; 2\t1.6\tAl AM*(28.5\t0.0041)\t15.9\t1.0100",
                          "RG-58\t1.52"}));
  }

  TempDir dir;
};

TEST_F(CsvCommandsTest, ATableGoesToCsvAndBackUnchanged) {
  const std::string in = table();
  const std::string converted = dir.file("converted.txt");
  ASSERT_EQ(0, run({"convert", in, converted}).exitCode);

  struct Case {
    std::vector<std::string> options;
    std::string firstRow;
  };
  const std::vector<Case> cases = {
      {{}, "\"Кабель, 1\",1.48,202.7,0.6757,Cu,,,139,0.128,R,1.02\r\n"},
      {{"--sep", ";", "--decimal-comma"}, "Кабель, 1;1,48;202,7;0,6757;Cu;;;139;0,128;R;1,02\r\n"},
      {{"--sep=;"}, "Кабель, 1;1.48;202.7;0.6757;Cu;;;139;0.128;R;1.02\r\n"},
  };
  for (const Case& c : cases) {
    const std::string csv = dir.file("table.csv");
    std::vector<std::string> args = {"export-csv"};
    args.insert(args.end(), c.options.begin(), c.options.end());
    args.push_back(in);
    args.push_back(csv);
    const ToolRun exported = run(args);
    EXPECT_EQ(0, exported.exitCode) << exported.err;
    const std::string bytes = readBytes(csv);
    const std::size_t headerEnd = bytes.find("\r\n") + 2;
    EXPECT_EQ(c.firstRow, bytes.substr(headerEnd, c.firstRow.size())) << bytes;

    const std::string back = dir.file("back.txt");
    const ToolRun imported = run({"import-csv", csv, back});
    EXPECT_EQ(0, imported.exitCode) << imported.err;
    EXPECT_EQ("", imported.err);
    EXPECT_EQ(readBytes(converted), readBytes(back));
  }
}

TEST_F(CsvCommandsTest, ImportRefusesRejectedRowsUnlessDropped) {
  const std::string in = put(
      "in.csv", kHeader + "good,1.5,200.0,0.6667,Cu,,,,,R,1\r\n" + "bad,x,,,Cu,,,,,R,1\r\n" +
                    "steel,1.5,200.0,0.6667,Fe,,,,,R,1\r\n" + "big,9,33.33,0.1111,Cu,,,,,R,1\r\n");
  const std::string out = put("out.txt", "old");

  const ToolRun refused = run({"import-csv", in, out});
  EXPECT_EQ(1, refused.exitCode);
  EXPECT_EQ("", refused.out);
  EXPECT_TRUE(contains(refused.err,
                       "Строка 3, столбец 2 (КУ): не число: «x»\n"
                       "Строка 4, столбец 5 (Материал): неизвестный материал «Fe»\n"
                       "Строка 5, столбец 2 (КУ): 9 вне пределов прибора, взято 7\n"))
      << refused.err;
  EXPECT_TRUE(contains(refused.err, "отклонено строк: 2; " + out + " не записан (--drop-rejected"))
      << refused.err;
  EXPECT_EQ("old", readBytes(out));

  const ToolRun dropped = run({"import-csv", "--drop-rejected", in, out});
  EXPECT_EQ(0, dropped.exitCode) << dropped.err;
  EXPECT_TRUE(contains(dropped.err, "отклонено строк: 2, в " + out + " они не вошли"))
      << dropped.err;
  EXPECT_EQ(tableText({"good\t1.5", "big\t7"}), readBytes(out));
}

TEST_F(CsvCommandsTest, ImportOfWhatIsNoCsvTableWritesNothing) {
  const std::string out = put("out.txt", "old");
  const ToolRun r = run({"import-csv", "--drop-rejected", table(), out});
  EXPECT_EQ(1, r.exitCode);
  EXPECT_TRUE(contains(r.err, "первая строка не заголовок таблицы кабелей")) << r.err;
  EXPECT_EQ("old", readBytes(out));
}

TEST_F(CsvCommandsTest, FaultsOfTheCommandLineAndTheFiles) {
  const std::string in = table();
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string err;
  };
  const std::string plain = put("plain.txt", "x");
  const std::vector<Case> cases = {
      {{"export-csv", "--sep", ":", in, dir.file("a.csv")}, 2, "--sep: ожидается ',' или ';'"},
      {{"export-csv", in, dir.file("a.csv"), "--sep"}, 2, "--sep: ожидается ',' или ';'"},
      {{"import-csv", "--decimal-comma", in, dir.file("a.txt")}, 2, "неизвестный параметр"},
      {{"export-csv", in}, 2, "неверное число параметров"},
      {{"export-csv", dir.file("missing.txt"), dir.file("a.csv")}, 2, "Файл не найден"},
      {{"import-csv", dir.file("missing.csv"), dir.file("a.txt")}, 2, "не удалось открыть файл"},
      {{"export-csv", in, plain + "/a.csv"}, 3, "запись не удалась"},
  };
  for (const Case& c : cases) {
    const ToolRun r = run(c.args);
    EXPECT_EQ(c.exitCode, r.exitCode) << c.args[1];
    EXPECT_TRUE(contains(r.err, c.err)) << r.err;
  }
  EXPECT_FALSE(fileExists(dir.file("a.csv")));
  EXPECT_FALSE(fileExists(dir.file("a.txt")));
  EXPECT_EQ("x", readBytes(plain));
}

#ifndef _WIN32
TEST_F(CsvCommandsTest, ExportThroughALinkWritesTheLinkedFile) {
  const std::string real = put("real.csv", "old");
  std::filesystem::create_symlink("real.csv", dir.file("link.csv"));
  const ToolRun r = run({"export-csv", table(), dir.file("link.csv")});
  EXPECT_EQ(0, r.exitCode) << r.err;
  EXPECT_TRUE(std::filesystem::is_symlink(dir.file("link.csv")));
  EXPECT_EQ(0u, readBytes(real).find(kHeader));
}
#endif

}  // namespace
