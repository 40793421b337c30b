#pragma once

#include <string>
#include <string_view>
#include <vector>

// Comma-separated text as spreadsheets read and write it (RFC 4180): fields in
// double quotes when they hold the separator, a quote or a line end, a quote
// inside doubled, records ended by CR LF.
namespace tolmira {

// Appends field to out, quoted where it must be (and where a spreadsheet would
// otherwise trim it: leading or trailing blanks).
void appendCsvField(std::string& out, std::string_view field, char separator);

struct CsvRecord {
  std::vector<std::string> fields;
  int line = 0;       // 1-based line of the text where the record starts
  std::string error;  // empty for a well-formed record, else what is wrong with it
};

// Splits text into records. A record ends at CR LF, LF or CR outside quotes;
// the last one needs no line end. Empty lines give records of one empty field.
// A malformed record (a quote inside an unquoted field, text behind a closing
// quote, a quote never closed) keeps the fields read and says why in error.
std::vector<CsvRecord> splitCsv(std::string_view text, char separator);

}  // namespace tolmira
