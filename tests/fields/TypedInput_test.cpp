#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "fields/KeyRepeatCounter.h"
#include "fields/TypedNumber.h"

using namespace tolmira;

namespace {

struct ParseCase {
  std::string text;
  std::optional<float> value;
};

TEST(ParseTypedNumber, Table) {
  const std::vector<ParseCase> cases = {
      {"1.5", 1.5f}, {"  1.5\t", 1.5f}, {"-3", -3.0f},   {"+2", 2.0f},        {".5", 0.5f},
      {"5.", 5.0f},  {"1e3", 1000.0f},  {"1E-2", 0.01f}, {"1,5", {}},         {"1.5x", {}},
      {"abc", {}},   {"", {}},          {"   ", {}},     {"inf", {}},         {"nan", {}},
      {"0x10", {}},  {"1 2", {}},       {"--1", {}},     {"+", {}},           {".", {}},
      {"1e40", {}},  {"-1e40", {}},     {"1e400", {}},   {"3.4e38", 3.4e38f},
  };
  for (const ParseCase& c : cases) EXPECT_EQ(parseTypedNumber(c.text), c.value) << c.text;
}

struct CharCase {
  std::string text;
  char typed;
  char result;
};

TEST(FilterFieldChar, Table) {
  const std::vector<CharCase> cases = {
      {"12", ',', '.'}, {"12", '.', '.'}, {"1.2", ',', 0}, {"1.2", '.', 0}, {"", '7', '7'},
      {"1.2", 8, 8},    {"1", 'e', 0},    {"1", '-', 0},   {"1", ' ', 0},   {"1", 'x', 0},
  };
  for (const CharCase& c : cases)
    EXPECT_EQ(filterFieldChar(c.text, c.typed), c.result) << c.text << " + " << int(c.typed);
}

TEST(KeyRepeatCounter, OneUnitForTheFirstHundredPressesThenTwo) {
  KeyRepeatCounter k;
  int a = 0;
  k.enter(&a);
  EXPECT_TRUE(k.idle());
  for (int i = 1; i <= 100; ++i) ASSERT_EQ(k.press(KeyRepeatCounter::Key::Up), 1) << i;
  EXPECT_EQ(k.press(KeyRepeatCounter::Key::Up), 2);
  for (int i = 0; i < 300; ++i) k.press(KeyRepeatCounter::Key::Up);
  EXPECT_EQ(k.upCount(), KeyRepeatCounter::kMaxCount);
  EXPECT_EQ(k.count(), 2);
  k.release(KeyRepeatCounter::Key::Up);
  EXPECT_TRUE(k.idle());
  EXPECT_EQ(k.press(KeyRepeatCounter::Key::Up), 1);
}

TEST(KeyRepeatCounter, DownCountsNegativeAndBothKeysCancel) {
  KeyRepeatCounter k;
  int a = 0;
  k.enter(&a);
  EXPECT_EQ(k.press(KeyRepeatCounter::Key::Down), -1);
  EXPECT_EQ(k.press(KeyRepeatCounter::Key::Up), 0);
  k.release(KeyRepeatCounter::Key::Down);
  EXPECT_EQ(k.count(), 1);
}

TEST(KeyRepeatCounter, AnotherControlStartsAfresh) {
  KeyRepeatCounter k;
  int a = 0, b = 0;
  k.enter(&a);
  for (int i = 0; i < 150; ++i) k.press(KeyRepeatCounter::Key::Up);
  k.enter(&a);
  EXPECT_EQ(k.upCount(), 150);
  k.enter(&b);
  EXPECT_TRUE(k.idle());
  EXPECT_EQ(k.lastControl(), &b);
}

}  // namespace
