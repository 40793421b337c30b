#include "csv/CsvText.h"

using namespace tolmira;

void tolmira::appendCsvField(std::string& out, std::string_view field, char separator) {
  const bool quote =
      field.find_first_of(std::string{separator, '"', '\r', '\n'}) != std::string_view::npos ||
      (!field.empty() && (field.front() == ' ' || field.back() == ' '));
  if (!quote) {
    out += field;
    return;
  }
  out += '"';
  for (const char c : field) {
    if (c == '"') out += '"';
    out += c;
  }
  out += '"';
}

std::vector<CsvRecord> tolmira::splitCsv(std::string_view text, char separator) {
  std::vector<CsvRecord> records;
  const std::size_t n = text.size();
  std::size_t pos = 0;
  int line = 1;
  const auto lineEndAt = [&](std::size_t i) { return text[i] == '\r' || text[i] == '\n'; };
  // Moves past the line end at pos, counting the line.
  const auto skipLineEnd = [&] {
    if (text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n') ++pos;
    ++pos;
    ++line;
  };

  while (pos < n) {
    CsvRecord rec;
    rec.line = line;
    const auto fail = [&rec](const char* why) {
      if (rec.error.empty()) rec.error = why;
    };
    bool recordEnded = false;
    while (!recordEnded) {
      std::string field;
      if (pos < n && text[pos] == '"') {
        ++pos;
        bool closed = false;
        while (pos < n) {
          const char c = text[pos];
          if (c == '"') {
            if (pos + 1 < n && text[pos + 1] == '"') {
              field += '"';
              pos += 2;
              continue;
            }
            ++pos;
            closed = true;
            break;
          }
          if (c == '\n' || (c == '\r' && !(pos + 1 < n && text[pos + 1] == '\n'))) ++line;
          field += c;
          ++pos;
        }
        if (!closed) fail("кавычка не закрыта");
        if (pos < n && text[pos] != separator && !lineEndAt(pos)) {
          fail("текст после закрывающей кавычки");
          while (pos < n && text[pos] != separator && !lineEndAt(pos)) field += text[pos++];
        }
      } else {
        while (pos < n && text[pos] != separator && !lineEndAt(pos)) {
          if (text[pos] == '"') fail("кавычка внутри поля без кавычек");
          field += text[pos++];
        }
      }
      rec.fields.push_back(std::move(field));
      if (pos >= n) {
        recordEnded = true;
      } else if (text[pos] == separator) {
        ++pos;
      } else {
        skipLineEnd();
        recordEnded = true;
      }
    }
    records.push_back(std::move(rec));
  }
  return records;
}
