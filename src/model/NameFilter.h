#pragma once

#include <string>
#include <string_view>

namespace tolmira {

// The lower-case form of a Windows-1251 byte: Latin and Cyrillic capitals (Ё and
// the other letters of the Cyrillic block included) become small; every other
// byte stays.
unsigned char cp1251Lower(unsigned char byte);

// Whether a record name contains a piece of text, case-insensitively for Latin
// and Cyrillic letters. Both are Windows-1251 bytes; the text is folded once, so
// that testing every name of a table costs only the names.
class NameFilter {
 public:
  NameFilter() = default;
  explicit NameFilter(std::string_view cp1251Text);

  // An empty text matches every name.
  bool empty() const { return needle_.empty(); }
  // name: NUL-terminated, read up to its terminator or maxBytes.
  bool matches(const char* name, std::size_t maxBytes) const;

 private:
  std::string needle_;
};

}  // namespace tolmira
