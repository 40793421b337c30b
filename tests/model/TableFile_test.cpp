#include "model/TableFile.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/FileOpenError.h"
#include "support/FileTestSupport.h"
#include "model/LoadStatus.h"
#include "model/MaterialInfo.h"

using namespace tolmira;

namespace {

const char* const kV04Id = "VIRD Table Of Cables V04";
const char* const kV04Header =
    "Name\tKU\tMaterial(Ohm x mm^2/km\t1/\xB0"
    "C)\tOhm/km\tTwist";

// A table file of the given version holding the given record lines.
std::string tableText(int version, const std::vector<std::string>& lines) {
  const TableFormat& f = tableFormats[version - 1];
  std::string text = std::string(f.identifier) + "\r\n\r\n" + f.header + "\r\n";
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// What the reader makes of a value in Ohm/km or Ohm·mm²/km.
float perKm(float fileValue) { return static_cast<float>(static_cast<double>(fileValue) * 0.001); }

struct Expect {
  std::string name;
  float ku;
  int material;
  float ru;  // own resistivity, 0 = none
  float tc;  // own temperature coefficient, kNoTCOverride = none
  float r;
  int twistCode;
};

void expectRecord(const Expect& e, const SCable& rec) {
  EXPECT_EQ(e.name, std::string(rec.name));
  EXPECT_EQ(e.ku, rec.ku);
  EXPECT_EQ(e.material, rec.material.index);
  EXPECT_EQ(e.ru, rec.material.ruOverride);
  EXPECT_EQ(e.tc, rec.material.tcOverride);
  EXPECT_EQ(e.r, rec.rOrS);
  EXPECT_EQ(0, rec.sIsStored);
  EXPECT_EQ(e.twistCode, rec.twistCode);
  // Nothing but the parsed fields may differ from a reset record.
  SCable ref;
  std::memcpy(ref.name, rec.name, sizeof ref.name);
  ref.material.reset(rec.material.index);
  ref.material.ruOverride = rec.material.ruOverride;
  ref.material.tcOverride = rec.material.tcOverride;
  ref.ku = rec.ku;
  ref.rOrS = rec.rOrS;
  ref.twistCode = rec.twistCode;
  EXPECT_EQ(0, std::memcmp(&ref, &rec, sizeof rec)) << "stray bytes in the record";
}

struct ParseCase {
  const char* line;
  std::uint32_t status;
  Expect rec;
};

constexpr float kNoTC = kNoTCOverride;

void runParseCases(int version, const std::vector<ParseCase>& cases) {
  for (const ParseCase& c : cases) {
    SCOPED_TRACE(c.line);
    SCable rec;
    std::memset(rec.name, 'q', sizeof rec.name);  // parseLine must reset first
    rec.ku = 99;
    EXPECT_EQ(c.status, parseLine(rec, c.line, version));
    expectRecord(c.rec, rec);
  }
}

}  // namespace

TEST(ParseLineV04, FieldsStatusAndPosition) {
  const float cuRu = perKm(28.5f);
  runParseCases(
      4, {
             {"\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200",
              23,
              {"\xCA\xD1\xCF\xC2", 1.5f, 0, 0, kNoTC, perKm(87.4f), 2000}},
             {"A\t1.5", 5, {"A", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"Name", LSF_NOT_TAB | 4, {"Name", 0, 0, 0, kNoTC, 0, 0}},
             {"Name\t", 5, {"Name", 0, 0, 0, kNoTC, 0, 0}},
             {"N\tabc", LSF_CABLE_Ku_ERROR | 2, {"N", 0, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5x", LSF_NOT_TAB | 5, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t\tCu\t\t", 7, {"N", 0, 0, 0, kNoTC, 0, 0}},
             // Material part.
             {"N\t1.5\tCu*\t87\t1", LSF_CABLE_ERROR | 9, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu(28.5)\t87\t1", 19, {"N", 1.5f, 0, cuRu, kNoTC, perKm(87), 0}},
             {"N\t1.5\tcu\t87\t1", LSF_CABLE_ERROR | 8, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu M1\t87\t1", LSF_CABLE_ERROR | 11, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu", LSF_CABLE_ERROR | 8, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu M1E\t20\t1", 17, {"N", 1.5f, 2, 0, kNoTC, perKm(20), 0}},
             {"N\t1.5\tAl AM*(28.5\t0.0041)\t87.4\t1.0200",
              37,
              {"N", 1.5f, 6, cuRu, 0.0041f, perKm(87.4f), 2000}},
             {"N\t1.5\tCu*(\t0.005)\t20\t1", 22, {"N", 1.5f, 0, 0, 0.005f, perKm(20), 0}},
             {"N\t1.5\tCu*(0)\t87\t1", 17, {"N", 1.5f, 0, 0, kNoTC, perKm(87), 0}},
             {"N\t1.5\tCu*(\t)\t87\t1", 17, {"N", 1.5f, 0, 0, kNoTC, perKm(87), 0}},
             {"N\t1.5\tCu*()\t87\t1", LSF_CABLE_R_to_m_ERROR | 10, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu*(28.5x)", LSF_NOT_TAB | 14, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu*(28.5\t0.004", LSF_CABLE_ERROR | 20, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu*(28.5\tabc)", LSF_CABLE_TC_ERROR | 15, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             // Own resistivity range: below 1 Ohm·mm²/km raised with a warning, above 500 kept.
             {"N\t1.5\tCu*(0.5)\t87\t1",
              LSF_CABLE_WARNING_Ru_BAD_VALUE | 19,
              {"N", 1.5f, 0, 0.001f, kNoTC, perKm(87), 0}},
             {"N\t1.5\tCu*(1)\t87\t1", 17, {"N", 1.5f, 0, perKm(1), kNoTC, perKm(87), 0}},
             {"N\t1.5\tCu*(600)\t87\t1",
              LSF_CABLE_WARNING_Ru_BAD_VALUE | 19,
              {"N", 1.5f, 0, perKm(600), kNoTC, perKm(87), 0}},
             // R and twist.
             {"N\t1.5\tCu\tabc", LSF_CABLE_R_to_m_ERROR | 9, {"N", 1.5f, 0, 0, kNoTC, 0, 0}},
             {"N\t1.5\tCu\t87x", LSF_NOT_TAB | 11, {"N", 1.5f, 0, 0, kNoTC, perKm(87), 0}},
             {"N\t1.5\tCu\t87\tx",
              LSF_CABLE_TwistingFactor_ERROR | 12,
              {"N", 1.5f, 0, 0, kNoTC, perKm(87), 0}},
             {"N\t1.5\tCu\t87\t1.05\tjunk", 16, {"N", 1.5f, 0, 0, kNoTC, perKm(87), 5000}},
             // A long name is cut with a warning, the rest of the line still read.
             {"ABCDEFGHIJKLMNOPQRST\t1.5\tCu\t87.4\t1.02",
              LSF_CABLE_WARNING_NAME_IS_SO_BIGGER | 37,
              {"ABCDEFGHIJKLMNO", 1.5f, 0, 0, kNoTC, perKm(87.4f), 2000}},
         });
}

TEST(ParseLineV02V03, SharedProcedure) {
  runParseCases(
      3, {
             {"N\tCu M1E\t20\t17.9\t1.5\t1.05", 25, {"N", 1.5f, 2, 0, kNoTC, perKm(20), 5000}},
             // Resistivity equal to the catalogue within 0.99999 ... 1.00001: no own value.
             {"N\tCu\t20\t17.4801\t1.5", 19, {"N", 1.5f, 0, 0, kNoTC, perKm(20), 0}},
             {"N\tCu\t20\t17.4803\t1.5", 19, {"N", 1.5f, 0, perKm(17.4803f), kNoTC, perKm(20), 0}},
             {"N\tXX\t20\t17.9\t1.5", 16, {"N", 1.5f, 0, perKm(17.9f), kNoTC, perKm(20), 0}},
             {"N\tCu M1E-long\t20", 16, {"N", 0, 0, 0, kNoTC, perKm(20), 0}},
             {"N", 1, {"N", 0, 0, 0, kNoTC, 0, 0}},
             {"N\tAl\tabc\t17.9\t1.5", 5, {"N", 0, 1, 0, kNoTC, 0, 0}},
             {"N\tAl\t\t\t1.5", 10, {"N", 1.5f, 1, 0, kNoTC, 0, 0}},
             {"ABCDEFGHIJKLMNOPQRST\tCu", 23, {"ABCDEFGHIJKLMNO", 0, 0, 0, kNoTC, 0, 0}},
         });
  runParseCases(2, {{"N\tCu\t20\t17.48\t1.5", 17, {"N", 1.5f, 0, 0, kNoTC, perKm(20), 0}}});
}

TEST(ParseLineV01, LegacyMaterials) {
  runParseCases(1, {
                       {"N\tCu\t20\t1.5", 11, {"N", 1.5f, 0, 0.0179f, 0.004f, perKm(20), 0}},
                       {"N\tAl\t20\t1.5", 11, {"N", 1.5f, 1, 0.027f, 0.00416f, perKm(20), 0}},
                       {"N\tCux\t20\t1.5", 4, {"N", 0, 0, 0.0179f, 0.004f, 0, 0}},
                       {"N\tFe\t20\t1.5", 2, {"N", 0, 0, 0, kNoTC, 0, 0}},
                       // No empty-field check here: the scanner skips the tab and takes KU as R.
                       {"N\tCu\t\t1.5", 9, {"N", 0, 0, 0.0179f, 0.004f, perKm(1.5f), 0}},
                   });
}

TEST(ParseLine, UnknownVersionIsRejected) {
  SCable rec;
  EXPECT_TRUE(hasErrorBit(parseLine(rec, "N\t1.5", 5)));
  EXPECT_TRUE(hasErrorBit(parseLine(rec, "N\t1.5", 0)));
}

TEST(ReadToken, CopiesUpToTabAndReportsCuts) {
  struct Case {
    const char* text;
    int size;
    const char* token;
    bool whole;
    int advanced;
  };
  const std::vector<Case> cases = {
      {"abc\tdef", 8, "abc", true, 3},
      {"abcdefghij", 4, "abc", false, 10},
      {"abcdefg\tx", 8, "abcdefg", true, 7},
      {"abcdefgh\tx", 8, "abcdefg", false, 8},
      {"", 4, "", true, 0},
      {"\tx", 4, "", true, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    char dst[16];
    std::memset(dst, '#', sizeof dst);
    const char* p = c.text;
    EXPECT_EQ(c.whole, readToken(dst, c.size, &p));
    EXPECT_STREQ(c.token, dst);
    EXPECT_EQ(c.advanced, p - c.text);
  }
}

TEST(IdentifyFormat, IdentifierThenEndOrPeriod) {
  struct Case {
    const char* line;
    int version;  // 0: none
  };
  const std::vector<Case> cases = {
      {"VIRD-50 Table Of Cables V01", 1},
      {"VIRD-50 Table Of Cables V02", 2},
      {"VIRD Table Of Cables V03", 3},
      {"VIRD Table Of Cables V04", 4},
      {"VIRD Table Of Cables V04.", 4},
      {"VIRD Table Of Cables V04.2 beta", 4},
      {"VIRD Table Of Cables V04 ", 0},
      {"VIRD Table Of Cables V0", 0},
      {"VIRD Table Of Cables V05", 0},
      {"vird table of cables v04", 0},
      {"", 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const TableFormat* f = identifyFormat(c.line);
    EXPECT_EQ(c.version, f ? f->version : 0);
  }
}

namespace {

class LoadTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.file("table.txt");
  SListCables table;

  LoadResult load(const std::string& bytes, LoadLineCallback cb = LoadLineCallback()) {
    writeBytes(path, bytes);
    return loadFromFile(table, path.c_str(), cb);
  }
};

struct Reported {
  std::string text;
  std::uint32_t status;
  int line;
  bool operator==(const Reported& o) const {
    return text == o.text && status == o.status && line == o.line;
  }
};

std::ostream& operator<<(std::ostream& os, const Reported& r) {
  return os << "{" << r.text << ", 0x" << std::hex << r.status << std::dec << ", " << r.line << "}";
}

}  // namespace

TEST_F(LoadTest, FileLevelResults) {
  struct Case {
    const char* what;
    std::string bytes;
    std::uint32_t status;
    int records;
  };
  const std::string id = kV04Id;
  const std::string header = kV04Header;
  const std::vector<Case> cases = {
      {"empty file", "", 0, 0},
      {"identifier only, no line end", id, 0, 0},
      {"identifier only", id + "\r\n", 0, 0},
      {"identifier with a period", id + ".7\r\n\r\n" + header + "\r\nA\t1.5\r\n", 0, 1},
      {"identifier with a space", id + " \r\n\r\n" + header + "\r\nA\t1.5\r\n", LSF_ERROR_ID, 0},
      {"LF line ends", id + "\n\n" + header + "\nA\t1.5\n", LSF_ERROR_ID, 0},
      {"second line not empty", id + "\r\nx\r\n" + header + "\r\nA\t1.5\r\n", LSF_ERROR, 0},
      {"ends after line 2", id + "\r\n\r\n", LSF_ERROR, 0},
      {"header of another version", tableText(3, {}).replace(0, 24, id) + "A\t1.5\r\n",
       LSF_ERROR_ID, 0},
      {"header with a trailing space", id + "\r\n\r\n" + header + " \r\nA\t1.5\r\n", LSF_ERROR_ID,
       0},
      {"header only", tableText(4, {}), 0, 0},
      {"lone CR line ends", id + "\r\r" + header + "\rA\t1.5\rB\t2\r", 0, 2},
      {"records and empty lines", tableText(4, {"A\t1.5", "", "B\t2", ""}), 0, 2},
      {"warnings only", tableText(4, {"ABCDEFGHIJKLMNOPQ\t1.5"}),
       LSF_CABLE_WARNING_NAME_IS_SO_BIGGER | 21, 1},
      {"bad line last", tableText(4, {"A\t1.5", "Bad"}), LSF_NOT_TAB | 3, 1},
      {"bad line first", tableText(4, {"Bad", "A\t1.5"}), LSF_NOT_TAB | 5, 1},
      {"V01", tableText(1, {"A\tCu\t20\t1.5"}), 0, 1},
      {"V02", tableText(2, {"A\tCu\t20\t17.48\t1.5"}), 0, 1},
      {"V03", tableText(3, {"A\tCu\t20\t17.48\t1.5\t1.05", "garbage"}), 0, 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    SCable old;
    table.add(old);
    const LoadResult r = load(c.bytes);
    EXPECT_EQ(c.status, r.status) << std::hex << r.status;
    EXPECT_EQ(c.records, table.getCount());
    EXPECT_FALSE(table.isModified());
  }
}

TEST_F(LoadTest, MissingFileAndOpenFailures) {
  SCable old;
  table.add(old);
  table.clearModified();
  LoadResult r = loadFromFile(table, dir.file("nope.txt").c_str(), LoadLineCallback());
  EXPECT_EQ(LSF_ERROR_VERSION, r.status);
  EXPECT_EQ(0, table.getCount());
  EXPECT_TRUE(table.isModified());  // the cleared table is a change
  EXPECT_EQ(0, r.loadedLines + r.errorLines + r.addedRecords + r.warningLines);

  EXPECT_THROW(loadFromFile(table, dir.path().c_str(), LoadLineCallback()), FileOpenError);
}

// The counters keep the format's 16-bit rule and stop at its largest value; the
// exact counts go on for messages to a person.
TEST_F(LoadTest, CountersStopAtTheCapAndTheExactCountsGoOn) {
  std::vector<std::string> lines;
  for (int i = 0; i < 33000; ++i) lines.push_back("N\t1.5");
  for (int i = 0; i < 33000; ++i) lines.push_back("Bad");
  const std::string path = dir.file("huge.txt");
  writeBytes(path, tableText(4, lines));
  const LoadResult r = loadFromFile(table, path.c_str(), LoadLineCallback());
  EXPECT_EQ(INT16_MAX, r.loadedLines);
  EXPECT_EQ(INT16_MAX, r.errorLines);
  EXPECT_EQ(33000, r.loadedLineCount);
  EXPECT_EQ(33000, r.errorLineCount);
  EXPECT_EQ(SListCablesBase::kMaxCount, r.addedRecords);
}

TEST_F(LoadTest, ReadFailureIsNotSuccess) {
  // Reading this file fails with an I/O error at its first byte.
  const LoadResult r = loadFromFile(table, "/proc/self/mem", LoadLineCallback());
  EXPECT_EQ(LSF_ERROR, r.status);
  EXPECT_EQ(0, table.getCount());
}

TEST_F(LoadTest, CountsAndCallbackLineNumbers) {
  std::vector<Reported> seen;
  const auto collect = [&](const char* text, std::uint32_t status, int line) {
    seen.push_back({text, status, line});
    return true;
  };
  const std::vector<std::string> lines = {
      "Good\t1.5",               // 4
      "",                        // 5
      "Bad",                     // 6
      "LongNameLongName1\t1.5",  // 7: warning
      "X\tzz",                   // 8
      "Fine\t1.5\tCu\t87\t1",    // 9
  };
  LoadResult r = load(tableText(4, lines), collect);
  const std::vector<Reported> expected = {
      {"Bad", LSF_NOT_TAB | 3, 6},
      {"LongNameLongName1\t1.5", LSF_CABLE_WARNING_NAME_IS_SO_BIGGER | 21, 7},
      {"X\tzz", LSF_CABLE_Ku_ERROR | 2, 8},
  };
  EXPECT_EQ(expected, seen);
  EXPECT_EQ(LSF_NOT_TAB | LSF_CABLE_Ku_ERROR | LSF_CABLE_WARNING_NAME_IS_SO_BIGGER | 16, r.status);
  EXPECT_EQ(2, r.errorLines);
  EXPECT_EQ(3, r.loadedLines);
  EXPECT_EQ(1, r.warningLines);
  EXPECT_EQ(3, r.addedRecords);
  ASSERT_EQ(3, table.getCount());
  EXPECT_STREQ("LongNameLongNam", table.at(1).name);

  // A callback that declines is not called again; loading goes on.
  seen.clear();
  const auto once = [&](const char* text, std::uint32_t status, int line) {
    seen.push_back({text, status, line});
    return false;
  };
  r = load(tableText(4, lines), once);
  EXPECT_EQ(std::vector<Reported>{expected.front()}, seen);
  EXPECT_EQ(2, r.errorLines);
  EXPECT_EQ(3, r.addedRecords);
}

TEST_F(LoadTest, LongLineIsSplitIntoTwoNumberedLines) {
  // 150 characters: the first 127 are one line, characters 130 on the next.
  const std::string head = "A\t1.5\tCu\t87\t1";
  std::string longLine = head + std::string(127 - head.size(), ' ') + "ab" + std::string(21, 'Z');
  ASSERT_EQ(150u, longLine.size());
  std::vector<Reported> seen;
  const LoadResult r =
      load(tableText(4, {longLine, "Bad"}), [&](const char* text, std::uint32_t status, int line) {
        seen.push_back({text, status, line});
        return true;
      });
  const std::vector<Reported> expected = {
      {std::string(21, 'Z'), LSF_NOT_TAB | LSF_CABLE_WARNING_NAME_IS_SO_BIGGER | 21, 5},
      {"Bad", LSF_NOT_TAB | 3, 6},
  };
  EXPECT_EQ(expected, seen);
  EXPECT_EQ(1, r.loadedLines);
  ASSERT_EQ(1, table.getCount());
  EXPECT_EQ(perKm(87), table.at(0).rOrS);
}

TEST_F(LoadTest, TableLimitCountsLinesBeyondIt) {
  std::vector<std::string> lines;
  for (int i = 0; i < 2100; ++i) lines.push_back("C" + std::to_string(i) + "\t1.5");
  const LoadResult r = load(tableText(4, lines));
  EXPECT_EQ(0u, r.status);
  EXPECT_EQ(2100, r.loadedLines);
  EXPECT_EQ(2023, r.addedRecords);
  EXPECT_EQ(0, r.errorLines);
  ASSERT_EQ(2023, table.getCount());
  EXPECT_STREQ("C2022", table.at(2022).name);
  EXPECT_FALSE(table.isModified());
}
