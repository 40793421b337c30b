#include "numeric/Numeric.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tolmira;

namespace {

// Plain numbers (sign, digits, point, digits) are read by a short path; the same
// text with "e0" behind it has the same value but goes through the full scanner.
// Both must give the very same float bits and the same characters.
void expectSameAsFullScan(const std::string& number, const std::string& after) {
  const std::string plain = number + after;
  const std::string full = number + "e0" + after;
  float a = -1.0f, b = -2.0f;
  int usedA = -1, usedB = -1;
  const int ra = scanNumber(plain.c_str(), &a, &usedA);
  const int rb = scanNumber(full.c_str(), &b, &usedB);
  ASSERT_EQ(1, rb) << full;
  EXPECT_EQ(rb, ra) << '"' << plain << '"';
  EXPECT_EQ(usedB - 2, usedA) << '"' << plain << '"';
  EXPECT_EQ(0, std::memcmp(&a, &b, sizeof a)) << '"' << plain << "\": " << a << " vs " << b;
}

TEST(ScanNumberPaths, PlainNumbersMatchTheFullScanner) {
  const std::vector<std::string> numbers = {
      "0",
      "-0",
      "+0",
      "0.000",
      "-0.000",
      "7",
      "-7",
      "+7",
      "1.5",
      "17.48",
      "0.0039",
      "87.4",
      "1.0200",
      "5.",
      "-5.",
      "00012.50",
      // Around the 18 digits the short path takes at most.
      "12345678901234567",
      "123456789012345678",
      "1234567890123456789",
      "0.12345678901234567",
      "0.123456789012345678",
      "0.1234567890123456789",
      "999999999999999999",
      "-999999999999999999",
      "922337203685477580.7",
      "9223372036854775807",
      "0.000000000000000001",
      "0.0000000000000000001",
      // Past 64 bits: 2^64 + 1 and twenty nines.
      "18446744073709551617",
      "99999999999999999999",
      "-1844674407370955161.7",
  };
  // What may follow a number: each ends it, the point and the letter after
  // digits are left to the full scanner.
  const std::vector<std::string> afters = {"", "\t1", ")", " x", ",5", "+1", "-", "\xB0"};
  for (const std::string& n : numbers)
    for (const std::string& a : afters) expectSameAsFullScan(n, a);

  std::mt19937 rng(20231);
  for (int i = 0; i < 20000; ++i) {
    std::string n;
    const unsigned kind = rng() % 3;
    if (kind == 1) n += '-';
    if (kind == 2) n += '+';
    const int intDigits = 1 + static_cast<int>(rng() % 12);
    for (int k = 0; k < intDigits; ++k) n += static_cast<char>('0' + rng() % 10);
    if (rng() % 4 != 0) {
      n += '.';
      const int fracDigits = static_cast<int>(rng() % 10);
      for (int k = 0; k < fracDigits; ++k) n += static_cast<char>('0' + rng() % 10);
    }
    expectSameAsFullScan(n, "\t");
    if (HasFailure()) return;
  }
}

TEST(ScanNumberPaths, ShapesTheShortPathLeavesAlone) {
  float value = 0;
  int used = 0;
  // A second point after the fraction ends the number; after a bare point it
  // makes the text no number at all.
  EXPECT_EQ(1, scanNumber("1.5.3", &value, &used));
  EXPECT_EQ(1.5f, value);
  EXPECT_EQ(3, used);
  EXPECT_EQ(0, scanNumber("-5..", &value, &used));
  EXPECT_EQ(0, used);
  // Leading blanks and an exponent right after the point.
  EXPECT_EQ(1, scanNumber(" \t12", &value, &used));
  EXPECT_EQ(12.0f, value);
  EXPECT_EQ(4, used);
  EXPECT_EQ(1, scanNumber("5.e1\t", &value, &used));
  EXPECT_EQ(50.0f, value);
  EXPECT_EQ(4, used);
  // A sign without digits behind it.
  EXPECT_EQ(-1, scanNumber("-", &value, &used));
  EXPECT_EQ(0, scanNumber("-x", &value, &used));
}

}  // namespace
