#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "model/SCable.h"

class SListCables;

// A cable table as CSV for spreadsheets: UTF-8 with a byte-order mark, a header
// row, one record per row in the units the editor shows. The stored quantities
// are written with the shortest text that reads back as the same float, so a
// table goes to a spreadsheet and back without losing a digit; the derived ones
// (V, VOP, the other of R and S) are there to be read and are not imported.
namespace tolmira {

struct CsvOptions {
  char separator = ',';       // ',' or ';' (or '\t')
  bool decimalComma = false;  // numbers with ',' instead of '.'
};

// The columns, in their order.
enum CsvColumn {
  kCsvName,
  kCsvKU,
  kCsvV,
  kCsvVOP,
  kCsvMaterial,
  kCsvOwnRu,
  kCsvOwnTC,
  kCsvR,
  kCsvS,
  kCsvStored,
  kCsvTwist,
  kCsvColumnCount
};

// The header title of a column (UTF-8).
const char* csvColumnTitle(int column);

std::string exportCsv(const std::vector<SCable>& records, const CsvOptions& options = {});
std::string exportCsv(const SListCables& table, const CsvOptions& options = {});

struct CsvImport {
  // False when the text is not such a table at all (no header row of ours);
  // error says why and nothing else is set.
  bool readable = false;
  std::string error;
  char separator = ',';  // found in the header row
  std::vector<SCable> records;
  // One line per problem, "Строка R, столбец C (title): what": rejected
  // rows, and for imported ones values brought into range and derived
  // columns that do not agree with the stored ones.
  std::vector<std::string> problems;
  int rejectedRows = 0;
  int warningRows = 0;
};

// Reads CSV text as exportCsv writes it. The separator is taken from the header
// row; numbers may use '.' or ',' as decimal mark. A row with a bad number, an
// unknown material or a name the record cannot hold is not imported; values
// beyond the instrument's limits are brought into range as the editor does.
// At most a table's 2023 records; further rows are rejected.
CsvImport importCsv(std::string_view text);

}  // namespace tolmira
