#include "model/NameFilter.h"

#include <array>

namespace tolmira {

namespace {

std::array<unsigned char, 256> makeLowerTable() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[static_cast<std::size_t>(i)] = static_cast<unsigned char>(i);
  for (int c = 'A'; c <= 'Z'; ++c)
    t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
  // А … Я to а … я.
  for (int c = 0xC0; c <= 0xDF; ++c)
    t[static_cast<std::size_t>(c)] = static_cast<unsigned char>(c + 32);
  // The capitals outside that run, each with its small letter.
  static const unsigned char pairs[][2] = {{0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C},
                                           {0x8D, 0x9D}, {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2},
                                           {0xA3, 0xBC}, {0xA5, 0xB4}, {0xA8, 0xB8}, {0xAA, 0xBA},
                                           {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE}};
  for (const auto& p : pairs) t[p[0]] = p[1];
  return t;
}

const std::array<unsigned char, 256>& lowerTable() {
  static const std::array<unsigned char, 256> table = makeLowerTable();
  return table;
}

}  // namespace

unsigned char cp1251Lower(unsigned char byte) { return lowerTable()[byte]; }

NameFilter::NameFilter(std::string_view cp1251Text) {
  needle_.reserve(cp1251Text.size());
  for (char c : cp1251Text)
    needle_.push_back(static_cast<char>(cp1251Lower(static_cast<unsigned char>(c))));
}

bool NameFilter::matches(const char* name, std::size_t maxBytes) const {
  if (needle_.empty()) return true;
  // Names are short (15 characters): fold into a buffer on the stack, then search.
  char folded[64];
  const std::array<unsigned char, 256>& lower = lowerTable();
  std::size_t n = 0;
  while (n < maxBytes && n < sizeof folded && name[n] != '\0') {
    folded[n] = static_cast<char>(lower[static_cast<unsigned char>(name[n])]);
    ++n;
  }
  return std::string_view(folded, n).find(needle_) != std::string_view::npos;
}

}  // namespace tolmira
