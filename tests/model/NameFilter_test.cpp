// Whether a record name contains a piece of text, whatever the case of its letters.
#include "model/NameFilter.h"

#include <string>

#include <gtest/gtest.h>

#include "model/Cp1251.h"
#include "model/SCable.h"

using namespace tolmira;

namespace {

struct MatchCase {
  const char* text;  // UTF-8
  const char* name;  // UTF-8
  bool matches;
};

TEST(NameFilter, MatchesPartsOfNamesWhateverTheCase) {
  const MatchCase cases[] = {
      {"каб", "КАБЕЛЬ 1", true},
      {"КАБ", "кабель", true},
      {"тпп", "ТПП-10х2", true},
      {"Ёж", "ёЖИК", true},
      {"е", "Ёж", false},
      {"ab", "xAB", true},
      {"AB", "x ab", true},
      {"1x", "ТПП 1Х2", false},
      {"ппх", "ТППx", false},
      {"іє", "ІЄЇ", true},
      {"", "что угодно", true},
      {"кабель 12", "Кабель 1", false},
      {"345", "123456789012345", true},
      {"?", "Кабель", false},
      {"λ", "Кабель", false},
  };
  for (const MatchCase& c : cases) {
    const std::string name = utf8ToCp1251(c.name);
    EXPECT_EQ(NameFilter(utf8ToCp1251(c.text)).matches(name.c_str(), SCable::kNameSize), c.matches)
        << c.text << " in " << c.name;
  }
}

TEST(NameFilter, ReadsANameOnlyUpToItsField) {
  // A name field of 16 bytes without a terminator, followed by bytes of the next field.
  const char record[] = "ABCDEFGHIJKLMNOPQRST";
  EXPECT_TRUE(NameFilter("nop").matches(record, SCable::kNameSize));
  EXPECT_FALSE(NameFilter("pq").matches(record, SCable::kNameSize));
}

}  // namespace
