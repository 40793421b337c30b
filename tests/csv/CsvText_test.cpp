// Splitting and quoting of CSV text as spreadsheets write and read it.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "csv/CsvText.h"

using namespace tolmira;

namespace {

struct SplitCase {
  const char* what;
  std::string text;
  char separator;
  std::vector<std::vector<std::string>> fields;
  std::vector<std::string> errors;  // per record, empty = well-formed
  std::vector<int> lines;
};

class SplitCsvTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitCsvTest, GivesTheRecordsAndTheirFaults) {
  const SplitCase& c = GetParam();
  const std::vector<CsvRecord> records = splitCsv(c.text, c.separator);
  ASSERT_EQ(c.fields.size(), records.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    EXPECT_EQ(c.fields[i], records[i].fields) << "record " << i;
    EXPECT_EQ(c.errors[i], records[i].error) << "record " << i;
    EXPECT_EQ(c.lines[i], records[i].line) << "record " << i;
  }
}

INSTANTIATE_TEST_SUITE_P(
    Csv, SplitCsvTest,
    ::testing::Values(
        SplitCase{"plain", "a,b\r\nc,d\r\n", ',', {{"a", "b"}, {"c", "d"}}, {"", ""}, {1, 2}},
        SplitCase{"no line end at the end", "a,b\nc", ',', {{"a", "b"}, {"c"}}, {"", ""}, {1, 2}},
        SplitCase{"empty fields and a trailing separator", ",,\n", ',', {{"", "", ""}}, {""}, {1}},
        SplitCase{"empty line", "a\n\nb\n", ',', {{"a"}, {""}, {"b"}}, {"", "", ""}, {1, 2, 3}},
        SplitCase{"separator, quote and line end inside quotes",
                  "\"a,b\",\"say \"\"hi\"\"\",\"x\r\ny\"\nnext\n",
                  ',',
                  {{"a,b", "say \"hi\"", "x\r\ny"}, {"next"}},
                  {"", ""},
                  {1, 3}},
        SplitCase{"semicolon keeps commas", "1,5;\"2;3\"\n", ';', {{"1,5", "2;3"}}, {""}, {1}},
        SplitCase{"quote in an unquoted field",
                  "ab\"c,d\nok\n",
                  ',',
                  {{"ab\"c", "d"}, {"ok"}},
                  {"кавычка внутри поля без кавычек", ""},
                  {1, 2}},
        SplitCase{"text behind the closing quote",
                  "\"ab\"c,d\n",
                  ',',
                  {{"abc", "d"}},
                  {"текст после закрывающей кавычки"},
                  {1}},
        SplitCase{"quote never closed",
                  "a,\"bc\nd\n",
                  ',',
                  {{"a", "bc\nd\n"}},
                  {"кавычка не закрыта"},
                  {1}}),
    [](const ::testing::TestParamInfo<SplitCase>& info) {
      std::string name;
      for (const char* p = info.param.what; *p; ++p)
        name += (*p >= 'a' && *p <= 'z') || (*p >= 'A' && *p <= 'Z') ? *p : '_';
      return name;
    });

TEST(CsvFieldTest, QuotesOnlyWhatNeedsItAndReadsBackEveryField) {
  struct Case {
    std::string field;
    char separator;
    std::string written;
  };
  const std::vector<Case> cases = {
      {"ТПП 10x2", ',', "ТПП 10x2"}, {"1,5", ',', "\"1,5\""},       {"1,5", ';', "1,5"},
      {"a;b", ';', "\"a;b\""},       {"6\"", ',', "\"6\"\"\""},     {"a\nb", ',', "\"a\nb\""},
      {" lead", ',', "\" lead\""},   {"trail ", ';', "\"trail \""}, {"", ',', ""},
  };
  for (const Case& c : cases) {
    std::string out;
    appendCsvField(out, c.field, c.separator);
    EXPECT_EQ(c.written, out) << c.field;
    const std::vector<CsvRecord> back = splitCsv(out + c.separator + "x", c.separator);
    ASSERT_EQ(1u, back.size()) << c.field;
    EXPECT_EQ((std::vector<std::string>{c.field, "x"}), back[0].fields) << c.field;
    EXPECT_EQ("", back[0].error) << c.field;
  }
}

}  // namespace
