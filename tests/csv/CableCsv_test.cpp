// Cable tables to CSV and back: the round trip over generated and real tables,
// and what import rejects, brings into range and warns about.

#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csv/CableCsv.h"
#include "csv/CsvText.h"
#include "fields/CrossSection.h"
#include "fields/EditorFields.h"
#include "fields/FieldLimits.h"
#include "model/MaterialInfo.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "model/TableFile.h"

using namespace tolmira;

namespace {

bool sameBytes(const SCable& a, const SCable& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

std::uint32_t bitsOf(float f) {
  std::uint32_t u;
  std::memcpy(&u, &f, sizeof u);
  return u;
}

float floatOf(std::uint32_t u) {
  float f;
  std::memcpy(&f, &u, sizeof f);
  return f;
}

// Records within the instrument's limits, their floats drawn over every bit
// pattern in range, not just round decimals.
class TableGenerator {
 public:
  explicit TableGenerator(unsigned seed) : random_(seed) {}

  SCable record() {
    SCable rec;
    const std::string name = this->name();
    std::memcpy(rec.name, name.data(), name.size());
    if (chance(4)) rec.ku = between(KuMin, KuMax);
    rec.material.reset(static_cast<int>(random_() % kMaterialCount));
    if (chance(2)) rec.material.setRuOverride(between(RuMin, RuMax));
    if (chance(2)) rec.material.setTCOverride(between(0.003f, 0.006f));
    rec.twistCode = static_cast<std::uint16_t>(random_() % 50001);
    rec.sIsStored = static_cast<std::uint8_t>(random_() % 2);
    if (chance(5)) {
      if (rec.sIsStored) {
        rec.rOrS = between(SectionMin, SectionMax);
      } else {
        EditorFields fields;
        fields.work() = rec;
        const float lo = static_cast<float>(fields.rMinPerKm() * 0.001);
        const float hi = static_cast<float>(fields.rMaxPerKm() * 0.001);
        do {
          rec.rOrS = between(lo, hi);
        } while (!(static_cast<float>(rec.rOrS * 1000.0) >= fields.rMinPerKm() &&
                   static_cast<float>(rec.rOrS * 1000.0) <= fields.rMaxPerKm()));
      }
    }
    return rec;
  }

  std::vector<SCable> table(int count) {
    std::vector<SCable> records;
    for (int i = 0; i < count; ++i) records.push_back(record());
    return records;
  }

 private:
  // True with probability 1 - 1/n.
  bool chance(unsigned n) { return random_() % n != 0; }

  float between(float lo, float hi) {
    const std::uint32_t a = bitsOf(lo), b = bitsOf(hi);
    return floatOf(a + static_cast<std::uint32_t>(random_() % (b - a + 1)));
  }

  // Windows-1251 names of every allowed character, the separators among them,
  // blanks at either end included.
  std::string name() {
    static const std::string chars =
        "ABCZabcz0189 %()*+,-./:;<=>[\\]_\xA8\xB8\xB0\xB1\xC0\xC1\xDF\xE0\xFF";
    std::string out;
    const int length = static_cast<int>(random_() % (SCable::kMaxNameLength + 1));
    for (int i = 0; i < length; ++i) out += chars[random_() % chars.size()];
    return out;
  }

  std::mt19937 random_;
};

void expectSameRecords(const std::vector<SCable>& expected, const CsvImport& back) {
  ASSERT_TRUE(back.readable) << back.error;
  EXPECT_EQ(std::vector<std::string>(), back.problems);
  ASSERT_EQ(expected.size(), back.records.size());
  for (std::size_t i = 0; i < expected.size(); ++i)
    EXPECT_TRUE(sameBytes(expected[i], back.records[i])) << "record " << i;
}

// What a spreadsheet writes when told to quote every text cell: each field that
// is not a plain number in double quotes, LF line ends, no byte-order mark.
std::string asSpreadsheetWrites(const std::string& csv, char sep) {
  const std::vector<CsvRecord> rows = splitCsv(csv.substr(3), sep);
  std::string out;
  for (const CsvRecord& row : rows) {
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
      const std::string& f = row.fields[i];
      const bool number = !f.empty() && f.find(sep) == std::string::npos &&
                          f.find_first_not_of("0123456789.,-+e") == std::string::npos;
      if (i > 0) out += sep;
      if (number || f.empty()) {
        out += f;
      } else {
        out += '"';
        for (const char c : f) out += c == '"' ? std::string("\"\"") : std::string(1, c);
        out += '"';
      }
    }
    out += '\n';
  }
  return out;
}

struct Options {
  char separator;
  bool decimalComma;
};

class RoundTripTest : public ::testing::TestWithParam<Options> {};

TEST_P(RoundTripTest, GeneratedTablesComeBackByteForByte) {
  const CsvOptions options{GetParam().separator, GetParam().decimalComma};
  for (unsigned seed = 1; seed <= 20; ++seed) {
    SCOPED_TRACE("seed " + std::to_string(seed));
    const std::vector<SCable> table = TableGenerator(seed).table(100);
    const std::string csv = exportCsv(table, options);
    expectSameRecords(table, importCsv(csv));
    expectSameRecords(table, importCsv(asSpreadsheetWrites(csv, options.separator)));
  }
}

INSTANTIATE_TEST_SUITE_P(Csv, RoundTripTest,
                         ::testing::Values(Options{',', false}, Options{';', true},
                                           Options{';', false}, Options{',', true}));

// Stored values of any bits among in-range ones, NaN, infinities and values far
// out of range included:
// a record comes back byte for byte, or import says what it changed or refused.
TEST(CsvRoundTrip, NothingChangesSilently) {
  std::mt19937 random(7);
  TableGenerator generator(7);
  // Each stored value of an in-range record replaced now and then by any bits.
  // Bits that random draws almost never hit: zeros, infinities, NaN, the extremes.
  const std::uint32_t special[] = {0x80000000u, 0x7F800000u, 0xFF800000u, 0x7FC00000u,
                                   0x7F7FFFFFu, 0xFF7FFFFFu, 0x00000001u, 0x80000001u};
  const auto sometimes = [&random, &special](float& v) {
    const unsigned pick = random() % 16;
    if (pick < 2) v = floatOf(special[random() % 8]);
    if (pick >= 2 && pick < 5) v = floatOf(static_cast<std::uint32_t>(random()));
  };
  for (int i = 0; i < 20000; ++i) {
    SCable rec = generator.record();
    sometimes(rec.ku);
    sometimes(rec.rOrS);
    sometimes(rec.material.ruOverride);
    sometimes(rec.material.tcOverride);
    if (random() % 4 == 0) rec.twistCode = static_cast<std::uint16_t>(random());
    const CsvImport back = importCsv(exportCsv(std::vector<SCable>{rec}));
    ASSERT_TRUE(back.readable);
    if (!back.problems.empty()) continue;
    ASSERT_EQ(1u, back.records.size()) << i;
    ASSERT_TRUE(sameBytes(rec, back.records[0]))
        << i << " ku " << rec.ku << " rOrS " << rec.rOrS << " ru " << rec.material.ruOverride
        << " tc " << rec.material.tcOverride;
  }
}

TEST(CsvRoundTrip, TheExampleTableComesBackByteForByte) {
  SListCables table;
  const LoadResult loaded = loadFromFile(table, TOLMIRA_SOURCE_DIR "/examples/cables.txt");
  if (loaded.status != 0 || table.getCount() == 0)
    GTEST_SKIP() << "examples/cables.txt not readable here";
  std::vector<SCable> records;
  for (int i = 0; i < table.getCount(); ++i) records.push_back(table.at(i));
  expectSameRecords(records, importCsv(exportCsv(table)));
  expectSameRecords(records, importCsv(exportCsv(table, CsvOptions{';', true})));
}

TEST(CsvRoundTrip, ValuesAFileMayHoldComeBackToo) {
  // Negative zeros (a file may hold them: "-0" reads as one), a resistance of
  // many digits, own values equal to the catalogue's, the limits themselves.
  SCable a;
  std::memcpy(a.name, "x", 1);
  a.ku = -0.0f;
  a.setR(-0.0f);
  a.material.setRuOverride(-0.0f);
  SCable b;
  b.material.reset(3);
  b.material.freezeRu();
  b.material.freezeTC();
  b.setR(0.0123456789f);
  SCable c;
  c.setS(SectionMin);
  c.twistCode = 50000;
  const std::vector<SCable> records = {a, b, c};
  expectSameRecords(records, importCsv(exportCsv(records)));
}

TEST(CsvExport, WritesWhatAPersonReads) {
  SCable rec;
  std::memcpy(rec.name, "\xD2\xCF\xCF 10x2, 0.4", 13);  // "ТПП 10x2, 0.4"
  rec.ku = 1.48f;
  rec.material.reset(1);
  rec.material.setTCOverride(0.0041f);
  rec.setR(0.139f);
  rec.twistCode = 2000;
  EXPECT_EQ(
      "\xEF\xBB\xBF"
      "Название,КУ,V (м/мкс),VOP,Материал,Уд. сопротивление (Ом·мм²/км),"
      "Температурный коэф. (1/°C),R (Ом/км),S (мм²),Хранится,Коэффициент укрутки\r\n"
      "\"ТПП 10x2, 0.4\",1.48,202.7,0.6757,Al,,0.0041,139,0.198,R,1.02\r\n",
      exportCsv(std::vector<SCable>{rec}));
  EXPECT_EQ("ТПП 10x2, 0.4;1,48;202,7;0,6757;Al;;0,0041;139;0,198;R;1,02\r\n", [&] {
    const std::string csv = exportCsv(std::vector<SCable>{rec}, CsvOptions{';', true});
    return csv.substr(csv.find("\r\n") + 2);
  }());
}

// --- import faults ---------------------------------------------------------

SCable baseRecord() {
  SCable rec;
  std::memcpy(rec.name, "Cable", 5);
  rec.ku = 1.5f;
  rec.setR(0.1f);
  rec.twistCode = 2000;
  return rec;
}

// The header and the base record's row with one cell replaced.
std::string csvWith(int column, const std::string& cell) {
  const std::string csv = exportCsv(std::vector<SCable>{baseRecord()});
  std::vector<CsvRecord> rows = splitCsv(csv.substr(3), ',');
  rows[1].fields[static_cast<std::size_t>(column)] = cell;
  std::string out;
  for (const CsvRecord& row : rows) {
    for (std::size_t i = 0; i < row.fields.size(); ++i) {
      if (i > 0) out += ',';
      appendCsvField(out, row.fields[i], ',');
    }
    out += "\r\n";
  }
  return out;
}

struct RejectCase {
  int column;
  std::string cell;
  std::string problem;
};

class CsvRejectTest : public ::testing::TestWithParam<RejectCase> {};

TEST_P(CsvRejectTest, ReportsRowAndColumnAndImportsNothing) {
  const CsvImport back = importCsv(csvWith(GetParam().column, GetParam().cell));
  ASSERT_TRUE(back.readable) << back.error;
  EXPECT_EQ(std::vector<std::string>{GetParam().problem}, back.problems);
  EXPECT_EQ(1, back.rejectedRows);
  EXPECT_TRUE(back.records.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvRejectTest,
    ::testing::Values(
        RejectCase{kCsvKU, "1.5x", "Строка 2, столбец 2 (КУ): не число: «1.5x»"},
        RejectCase{kCsvKU, "nan", "Строка 2, столбец 2 (КУ): не число: «nan»"},
        RejectCase{kCsvKU, "1,000.5", "Строка 2, столбец 2 (КУ): не число: «1,000.5»"},
        RejectCase{kCsvR, "e5", "Строка 2, столбец 8 (R (Ом/км)): не число: «e5»"},
        RejectCase{kCsvTwist, "1,0,2",
                   "Строка 2, столбец 11 (Коэффициент укрутки): не число: «1,0,2»"},
        RejectCase{kCsvMaterial, "Fe", "Строка 2, столбец 5 (Материал): неизвестный материал «Fe»"},
        RejectCase{kCsvMaterial, "Cu*",
                   "Строка 2, столбец 5 (Материал): неизвестный материал «Cu*»"},
        RejectCase{kCsvName, "Кабель 123456789",
                   "Строка 2, столбец 1 (Название): имя длиннее 15 символов: «Кабель 123456789»"},
        RejectCase{kCsvName, "Кабель Ω",
                   "Строка 2, столбец 1 (Название): символ «Ω» не входит в Windows-1251"},
        RejectCase{kCsvName, "a#b",
                   "Строка 2, столбец 1 (Название): символ «#» недопустим в имени кабеля"},
        RejectCase{kCsvName, std::string("a\0b", 3),
                   "Строка 2, столбец 1 (Название): символ «\\x00» недопустим в имени кабеля"},
        RejectCase{kCsvStored, "Р", "Строка 2, столбец 10 (Хранится): ожидается R или S: «Р»"}));

struct WarnCase {
  const char* what;
  std::function<void(SCable&)> change;
  std::vector<std::string> problems;
  std::function<void(SCable&)> expected;  // applied to the changed record
};

class CsvRangeTest : public ::testing::TestWithParam<WarnCase> {};

TEST_P(CsvRangeTest, BringsIntoRangeAndReports) {
  SCable rec = baseRecord();
  GetParam().change(rec);
  const CsvImport back = importCsv(exportCsv(std::vector<SCable>{rec}));
  EXPECT_EQ(GetParam().problems, back.problems);
  EXPECT_EQ(0, back.rejectedRows);
  EXPECT_EQ(1, back.warningRows);
  ASSERT_EQ(1u, back.records.size());
  SCable expected = rec;
  GetParam().expected(expected);
  EXPECT_TRUE(sameBytes(expected, back.records[0]))
      << back.records[0].ku << " " << back.records[0].rOrS << " " << back.records[0].twistCode;
}

INSTANTIATE_TEST_SUITE_P(
    Csv, CsvRangeTest,
    ::testing::Values(
        WarnCase{"KU above",
                 [](SCable& r) { r.ku = 8.0f; },
                 {"Строка 2, столбец 2 (КУ): 8 вне пределов прибора, взято 7"},
                 [](SCable& r) { r.ku = 7.0f; }},
        WarnCase{"KU below",
                 [](SCable& r) { r.ku = -2.0f; },
                 {"Строка 2, столбец 2 (КУ): -2 вне пределов прибора, взято 1"},
                 [](SCable& r) { r.ku = 1.0f; }},
        WarnCase{
            "twist above",
            [](SCable& r) { r.twistCode = 60000; },
            {"Строка 2, столбец 11 (Коэффициент укрутки): 1.6 вне пределов прибора, взято 1.5"},
            [](SCable& r) { r.twistCode = 50000; }},
        WarnCase{"own resistivity above",
                 [](SCable& r) { r.material.setRuOverride(0.05f); },
                 {"Строка 2, столбец 6 (Уд. сопротивление (Ом·мм²/км)): 50 вне пределов прибора, "
                  "взято 35"},
                 [](SCable& r) { r.material.setRuOverride(RuMax); }},
        WarnCase{"section above",
                 [](SCable& r) { r.setS(1000.0f); },
                 {"Строка 2, столбец 9 (S (мм²)): 1000 вне пределов прибора, взято 546.25"},
                 [](SCable& r) { r.setS(SectionMax); }},
        WarnCase{"resistance below",
                 [](SCable& r) { r.setR(0.00001f); },
                 {"Строка 2, столбец 8 (R (Ом/км)): 0.01 вне пределов прибора, взято 0.032640004"},
                 [](SCable& r) {
                   EditorFields f;
                   f.work() = r;
                   f.StepField(EditorField::Rr_20degreeC_, 0);
                   r = f.work();
                 }},
        WarnCase{"own temperature coefficient kept",
                 [](SCable& r) { r.material.setTCOverride(0.01f); },
                 {"Строка 2, столбец 7 (Температурный коэф. (1/°C)): 0.01 вне пределов прибора "
                  "(0.003 … 0.006): для метода DC запись непригодна"},
                 [](SCable&) {}}),
    [](const ::testing::TestParamInfo<WarnCase>& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p) name += *p == ' ' ? '_' : *p;
      return name;
    });

TEST(CsvDerived, AnEditedDerivedColumnWarnsAndTheStoredValueIsTaken) {
  struct Case {
    int column;
    std::string cell;
    std::string problem;  // empty: agrees
  };
  const std::vector<Case> cases = {
      {kCsvV, "100",
       "Строка 2, столбец 3 (V (м/мкс)): «100» не согласуется с КУ (200.0), взято КУ"},
      {kCsvVOP, "", "Строка 2, столбец 4 (VOP): «» не согласуется с КУ (0.6667), взято КУ"},
      {kCsvS, "1", "Строка 2, столбец 9 (S (мм²)): «1» не согласуется с R (0.178), взято R"},
      {kCsvV, "200", ""},
      {kCsvV, "200.00", ""},
      {kCsvVOP, "0,6667", ""},
      {kCsvVOP, "6.667e-1", ""},
      {kCsvS, "0.17800", ""},
  };
  for (const Case& c : cases) {
    const CsvImport back = importCsv(csvWith(c.column, c.cell));
    const std::vector<std::string> expected =
        c.problem.empty() ? std::vector<std::string>() : std::vector<std::string>{c.problem};
    EXPECT_EQ(expected, back.problems) << c.cell;
    ASSERT_EQ(1u, back.records.size()) << c.cell;
    EXPECT_TRUE(sameBytes(baseRecord(), back.records[0])) << c.cell;
  }
}

TEST(CsvNumbers, NumbersBeyondTheFloatRangeAreNeverTakenSilently) {
  const std::string tiny = "0." + std::string(60, '0') + "1";
  struct Case {
    std::string cell;
    float ku;
    std::vector<std::string> problems;
  };
  const std::vector<Case> cases = {
      {"1e-50", 0.0f, {"Строка 2, столбец 2 (КУ): «1e-50» меньше наименьшего числа, взято 0"}},
      {tiny,
       0.0f,
       {"Строка 2, столбец 2 (КУ): «" + tiny.substr(0, 32) +
        "…» меньше наименьшего "
        "числа, взято 0"}},
      {"0e-999", 0.0f, {}},
      {"1e999", 7.0f, {"Строка 2, столбец 2 (КУ): inf вне пределов прибора, взято 7"}},
      {"-" + std::string(400, '9'),
       1.0f,
       {"Строка 2, столбец 2 (КУ): -inf вне пределов прибора, взято 1"}},
      {"+1.5", 1.5f, {}},
      {" 1,5 ", 1.5f, {}},
  };
  for (const Case& c : cases) {
    const CsvImport back = importCsv(csvWith(kCsvKU, c.cell));
    ASSERT_EQ(1u, back.records.size()) << c.cell;
    EXPECT_EQ(c.ku, back.records[0].ku) << c.cell;
    // The derived columns still show KU 1.5: only the KU problems are of interest.
    std::vector<std::string> kuProblems;
    for (const std::string& p : back.problems)
      if (p.find("(КУ):") != std::string::npos) kuProblems.push_back(p);
    EXPECT_EQ(c.problems, kuProblems) << c.cell;
  }
}

TEST(CsvImportText, RowsThatAreNoRecordsAreRejectedTheRestImported) {
  const std::string header = exportCsv(std::vector<SCable>()).substr(3);
  const std::string good = csvWith(kCsvName, "good").substr(header.size());
  const CsvImport back = importCsv(header + good + "a,b\r\n" + ",,,,,,,,,,\r\n" + "x\"y" +
                                   good.substr(good.find(',')) + good + "\r\n");
  ASSERT_TRUE(back.readable);
  EXPECT_EQ((std::vector<std::string>{"Строка 3: столбцов 2, а должно быть 11",
                                      "Строка 5: ошибка CSV: кавычка внутри поля без кавычек"}),
            back.problems);
  EXPECT_EQ(2, back.rejectedRows);
  EXPECT_EQ(2u, back.records.size());
}

TEST(CsvImportText, AFullTableRejectsFurtherRows) {
  const std::vector<SCable> records(SListCablesBase::kMaxCount + 1, baseRecord());
  const CsvImport back = importCsv(exportCsv(records));
  EXPECT_EQ(std::size_t(SListCablesBase::kMaxCount), back.records.size());
  EXPECT_EQ(1, back.rejectedRows);
  EXPECT_EQ(std::vector<std::string>{"Строка 2025: в таблице уже 2023 записи"}, back.problems);
}

TEST(CsvImportText, TextWithoutOurHeaderIsNoTable) {
  const std::string ok = exportCsv(std::vector<SCable>{baseRecord()});
  struct Case {
    std::string text;
    std::string error;
  };
  std::string renamed = ok;
  renamed.replace(renamed.find("V (м/мкс)"), std::strlen("V (м/мкс)"), "V");
  const std::vector<Case> cases = {
      {"",
       "первая строка не заголовок таблицы кабелей: ожидается «Название», затем запятая, точка с "
       "запятой или табуляция"},
      {"Name,KU\r\n",
       "первая строка не заголовок таблицы кабелей: ожидается «Название», затем "
       "запятая, точка с запятой или табуляция"},
      {renamed, "в заголовке столбец 3 должен быть «V (м/мкс)», а не «V»"},
      {"Название,КУ\r\n", "в заголовке столбец 3 должен быть «V (м/мкс)», а не пусто"},
  };
  for (const Case& c : cases) {
    const CsvImport back = importCsv(c.text);
    EXPECT_FALSE(back.readable) << c.text;
    EXPECT_EQ(c.error, back.error) << c.text;
    EXPECT_TRUE(back.records.empty());
  }
}

}  // namespace
