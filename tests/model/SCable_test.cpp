#include "model/SCable.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <new>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/MaterialInfo.h"

namespace {

std::string line(const SCable& c) {
  char buf[128];
  const int n = c.snprint(buf, sizeof buf);
  EXPECT_EQ(n, static_cast<int>(std::strlen(buf)));
  return std::string(buf, static_cast<std::size_t>(n));
}

SCable named(const char* name) {
  SCable c;
  std::memcpy(c.name, name, strnlen(name, SCable::kMaxNameLength));
  return c;
}

}  // namespace

TEST(SCableLayout, ConstructionClearsEveryByteIncludingPadding) {
  alignas(SCable) unsigned char storage[sizeof(SCable)];
  std::memset(storage, 0xAA, sizeof storage);
  SCable* c = new (storage) SCable;

  unsigned char expected[sizeof(SCable)] = {};
  const float noTC = -1000.0f;
  std::memcpy(expected + offsetof(SCable, material) + offsetof(SMaterial, tcOverride), &noTC,
              sizeof noTC);
  EXPECT_EQ(0, std::memcmp(storage, expected, sizeof storage));

  // reset() on a dirtied record gives the same bytes again.
  std::memset(storage, 0x55, sizeof storage);
  c->reset();
  EXPECT_EQ(0, std::memcmp(storage, expected, sizeof storage));
}

TEST(SCableLayout, ResetState) {
  const SCable c;
  EXPECT_STREQ("", c.name);
  EXPECT_EQ(0.0f, c.getKU());
  EXPECT_EQ(0.0f, c.getV());
  EXPECT_FALSE(c.hasResistance());
  EXPECT_EQ(0.0f, c.getR());
  EXPECT_EQ(0.0f, c.getS());
  EXPECT_EQ(1.0, c.getTwist());
  EXPECT_EQ(0, c.material.index);
  EXPECT_FALSE(c.material.hasRuOverride());
  EXPECT_FALSE(c.material.hasTCOverride());
  EXPECT_EQ(0, c.suitableMethods());
}

struct KUCase {
  float ku;
  bool valid;
};

class SCableKUValid : public ::testing::TestWithParam<KUCase> {};

TEST_P(SCableKUValid, Bounds) {
  SCable c;
  c.setKU(GetParam().ku);
  EXPECT_EQ(GetParam().valid, c.isKUValid()) << GetParam().ku;
  EXPECT_EQ(GetParam().valid ? 1 : 0, c.suitableMethods() & 1);
}

INSTANTIATE_TEST_SUITE_P(Float32, SCableKUValid,
                         ::testing::Values(KUCase{1.0f, true}, KUCase{7.0f, true},
                                           KUCase{std::nextafter(1.0f, 0.0f), false},
                                           KUCase{std::nextafter(7.0f, 8.0f), false},
                                           KUCase{0.999f, false}, KUCase{7.001f, false},
                                           KUCase{0.0f, false}, KUCase{1.5f, true},
                                           KUCase{std::numeric_limits<float>::quiet_NaN(), false}));

TEST(SCableVelocity, FollowsKUWithLightAt300) {
  SCable c;
  c.setKU(1.5f);
  EXPECT_FLOAT_EQ(200.0f, c.getV());
  EXPECT_TRUE(c.isDefaultKU());
  c.setV(100.0f);
  EXPECT_FLOAT_EQ(3.0f, c.getKU());
  EXPECT_FALSE(c.isDefaultKU());
  // A zero velocity would divide by zero: ignored.
  c.setV(0.0f);
  EXPECT_FLOAT_EQ(3.0f, c.getKU());
  c.setDefaultKU();
  EXPECT_EQ(1.5f, c.getKU());
}

struct TwistCase {
  float tf;
  std::uint16_t code;
};

class SCableTwist : public ::testing::TestWithParam<TwistCase> {};

TEST_P(SCableTwist, Coding) {
  SCable c;
  c.twistCode = 777;
  c.setTwist(GetParam().tf);
  EXPECT_EQ(GetParam().code, c.twistCode) << GetParam().tf;
}

INSTANTIATE_TEST_SUITE_P(Values, SCableTwist,
                         ::testing::Values(TwistCase{1.0f, 0}, TwistCase{1.05f, 5000},
                                           TwistCase{1.2345f, 23450}, TwistCase{0.9f, 0},
                                           TwistCase{2.0f, 65535}, TwistCase{1.65535f, 65535},
                                           TwistCase{1.000004f, 0}, TwistCase{1.000005f, 1},
                                           TwistCase{-5.0f, 0},
                                           TwistCase{std::numeric_limits<float>::infinity(), 65535},
                                           TwistCase{-std::numeric_limits<float>::infinity(), 0},
                                           TwistCase{std::numeric_limits<float>::quiet_NaN(), 0}));

TEST(SCableTwist, CodeReadsBack) {
  SCable c;
  c.twistCode = 65535;
  EXPECT_DOUBLE_EQ(1.65535, c.getTwist());
  c.twistCode = 2000;
  EXPECT_DOUBLE_EQ(1.02, c.getTwist());
}

TEST(SCableResistance, CrossSectionAndResistanceConvert) {
  SCable c;
  c.setS(1.0f);
  EXPECT_EQ(1, c.sIsStored);
  EXPECT_TRUE(c.hasResistance());
  EXPECT_FLOAT_EQ(0.01748f, c.getR());
  EXPECT_EQ(1.0f, c.getS());

  c.setR(0.01748f);
  EXPECT_EQ(0, c.sIsStored);
  EXPECT_FLOAT_EQ(1.0f, c.getS());
  EXPECT_NEAR(1.1284, c.getD(), 1e-4);

  c.setR(0.0f);
  EXPECT_FALSE(c.hasResistance());
  EXPECT_EQ(0.0f, c.getS());
  EXPECT_EQ(0.0f, c.getD());
}

TEST(SCableResistance, DerivedValueFollowsMaterialAndTwist) {
  SCable c;
  c.setS(2.0f);
  c.setTwist(1.05f);
  EXPECT_NEAR(0.01748 * 1.05 / 2.0, c.getR(), 1e-8);
  c.material.reset(1);  // Al
  EXPECT_NEAR(0.027 * 1.05 / 2.0, c.getR(), 1e-8);
  c.material.setRuOverride(0.03f);
  EXPECT_NEAR(0.03 * 1.05 / 2.0, c.getR(), 1e-8);
  EXPECT_EQ(2.0f, c.rOrS);  // the stored number stays
}

TEST(SCableResistance, StoredZeroCrossSectionGivesZero) {
  SCable c;
  c.sIsStored = 1;
  c.rOrS = 0.0f;
  EXPECT_EQ(0.0f, c.getR());
  EXPECT_EQ(0.0f, c.getD());
}

TEST(SCableResistance, DefaultResistanceKeepsNameAndKU) {
  SCable c = named("AB");
  c.setKU(2.0f);
  c.setS(5.0f);
  c.setTwist(1.3f);
  c.material.reset(6);
  c.material.setTCOverride(0.005f);
  EXPECT_FALSE(c.isDefaultResistance());

  c.setDefaultResistance();
  EXPECT_STREQ("AB", c.name);
  EXPECT_EQ(2.0f, c.getKU());
  EXPECT_EQ(0.01748f, c.getR());
  EXPECT_EQ(0, c.sIsStored);
  EXPECT_EQ(0, c.twistCode);
  EXPECT_EQ(0, c.material.index);
  EXPECT_FALSE(c.material.hasTCOverride());
  EXPECT_TRUE(c.isDefaultResistance());
}

TEST(SCableResistance, AnyDeviationIsNotDefault) {
  std::vector<void (*)(SCable&)> changes = {
      [](SCable& c) { c.setS(1.0f); },  // the same R, stored as S
      [](SCable& c) { c.twistCode = 1; },       [](SCable& c) { c.material.reset(2); },
      [](SCable& c) { c.material.freezeRu(); },  // own value equal to the catalogue
      [](SCable& c) { c.material.freezeTC(); }, [](SCable& c) { c.setR(0.0175f); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCable c;
    c.setDefaultResistance();
    changes[i](c);
    EXPECT_FALSE(c.isDefaultResistance()) << "change " << i;
  }
}

TEST(SCableMethods, ResistanceNeedsValidMaterial) {
  SCable c;
  c.setKU(1.5f);
  c.setR(0.05f);
  EXPECT_EQ(3, c.suitableMethods());
  c.material.setRuOverride(0.04f);  // outside the accepted range
  EXPECT_FALSE(c.isResistanceValid());
  EXPECT_EQ(1, c.suitableMethods());
  c.material.clearRuOverride();
  c.setKU(0.0f);
  EXPECT_EQ(2, c.suitableMethods());
}

TEST(SCableEquals, IgnoresBytesBehindTerminatorUnlikeByteComparison) {
  SCable a = named("AB");
  SCable b = a;
  b.name[5] = 'x';
  EXPECT_TRUE(a.equals(b));
  EXPECT_NE(0, std::memcmp(&a, &b, sizeof a));

  b = a;
  b.material.name[0] = 'Z';  // the material's own name is not compared
  EXPECT_TRUE(a.equals(b));
}

TEST(SCableEquals, EveryStoredValueCounts) {
  SCable base = named("AB");
  base.setKU(1.5f);
  base.setR(0.01748f);
  std::vector<void (*)(SCable&)> changes = {
      [](SCable& c) { c.name[1] = 'C'; },       [](SCable& c) { c.setKU(1.5001f); },
      [](SCable& c) { c.setS(c.getS()); },  // equivalent S is a different record
      [](SCable& c) { c.twistCode = 1; },       [](SCable& c) { c.material.reset(2); },
      [](SCable& c) { c.material.freezeRu(); }, [](SCable& c) { c.material.freezeTC(); },
  };
  for (std::size_t i = 0; i < changes.size(); ++i) {
    SCable c = base;
    changes[i](c);
    EXPECT_FALSE(base.equals(c)) << "change " << i;
    EXPECT_FALSE(c.equals(base)) << "change " << i;
  }
}

TEST(SCableText, WorkedExampleWithCatalogueMaterial) {
  SCable c = named("\xCA\xD1\xCF\xC2");  // КСПВ
  c.setKU(1.5f);
  c.setR(0.0874f);
  c.setTwist(1.02f);
  EXPECT_EQ("\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200", line(c));
}

TEST(SCableText, OwnValuesInParentheses) {
  SCable c = named("X");
  c.setKU(1.5f);
  c.setR(0.0874f);
  c.setTwist(1.02f);
  c.material.reset(6);  // Al AM
  c.material.setRuOverride(0.0285f);
  c.material.setTCOverride(0.0041f);
  EXPECT_EQ("X\t1.5\tAl AM*(28.5\t0.0041)\t87.4\t1.0200", line(c));

  c.material.clearTCOverride();
  EXPECT_EQ("X\t1.5\tAl AM*(28.5)\t87.4\t1.0200", line(c));

  c.material.clearRuOverride();
  c.material.setTCOverride(0.0041f);
  EXPECT_EQ("X\t1.5\tAl AM*(\t0.0041)\t87.4\t1.0200", line(c));
}

TEST(SCableText, WithoutResistanceOnlyNameAndKU) {
  SCable c = named("A B");
  c.setKU(1.5f);
  c.material.reset(3);
  c.setTwist(1.3f);
  EXPECT_EQ("A B\t1.5", line(c));
  EXPECT_EQ("\t0", line(SCable()));
}

TEST(SCableText, NumberFormats) {
  SCable c = named("N");
  c.setKU(1.23456f);
  c.setS(1.0f);  // R derived: 17.48 Ohm/km
  EXPECT_EQ("N\t1.235\tCu\t17.48\t1.0000", line(c));
  c.setTwist(1.23456f);
  EXPECT_EQ("N\t1.235\tCu\t21.58\t1.2346", line(c));
  c.setKU(12345.0f);
  c.setR(1.0f);
  EXPECT_EQ("N\t1.234e+04\tCu\t1000\t1.2346", line(c));
}

TEST(SCableText, NeverWritesPastSize) {
  SCable c = named("ABCDEFGHIJKLMNO");
  c.setKU(1.5f);
  c.setR(0.0874f);
  for (int size : {1, 2, 10, 16, 17, 30}) {
    char buf[64];
    std::memset(buf, 'X', sizeof buf);
    const int n = c.snprint(buf, size);
    EXPECT_EQ(size - 1, n) << size;
    EXPECT_EQ('\0', buf[size - 1]) << size;
    EXPECT_EQ('X', buf[size]) << size;
  }
  char buf[4] = {'X', 'X', 'X', 'X'};
  EXPECT_EQ(0, c.snprint(buf, 0));
  EXPECT_EQ('X', buf[0]);
}

TEST(SCableText, ToTextIsTheRecordLine) {
  SCable c = named("ABCDEFGHIJKLMNO");
  c.setKU(6.9999f);
  c.setR(0.123456f);
  c.material.reset(2);
  c.material.setRuOverride(0.0312344f);
  c.material.setTCOverride(0.00456789f);
  c.setTwist(1.5f);
  char out[SCable::kTextSize];
  std::memset(out, 'X', sizeof out);
  c.toText(out);
  EXPECT_EQ(line(c), std::string(out));
  EXPECT_EQ("ABCDEFGHIJKLMNO\t7\tCu M1E*(31.234\t0.0045679)\t123.46\t1.5000", std::string(out));

  // snprint gets size 63, so a longer line is cut to 62 characters.
  c.setKU(1.2345e20f);
  c.material.setRuOverride(1.23456e-5f);
  c.setR(1.23456e-7f);
  const std::string full = line(c);
  ASSERT_GT(full.size(), 63u);
  std::memset(out, 'X', sizeof out);
  c.toText(out);
  EXPECT_EQ(full.substr(0, 62), std::string(out));
}

TEST(SCableNames, CharacterSet) {
  int valid = 0;
  for (int b = 0; b < 256; ++b) valid += SCable::isValidNameChar(static_cast<char>(b)) ? 1 : 0;
  // 52 Latin, 10 digits, 19 punctuation, 66 Cyrillic, ° and ±.
  EXPECT_EQ(149, valid);

  const std::string good = std::string("AZaz09 %()*+,-./:;<=>[\\]_") + "\xC0\xFF\xA8\xB8\xB0\xB1";
  for (char ch : good)
    EXPECT_TRUE(SCable::isValidNameChar(ch)) << int(static_cast<unsigned char>(ch));
  const std::string bad = std::string("\t\n!\"#$&'?@^`{|}~\x7F", 18) + std::string(1, '\0') +
                          "\xBF\xA7\xA9\xB2\x98\xB9\xA0";
  for (char ch : bad)
    EXPECT_FALSE(SCable::isValidNameChar(ch)) << int(static_cast<unsigned char>(ch));
}

struct CheckNameCase {
  const char* name;
  bool ok;
  bool badChar;
  bool tooLong;
};

class SCableCheckName : public ::testing::TestWithParam<CheckNameCase> {};

TEST_P(SCableCheckName, Flags) {
  const CheckNameCase& t = GetParam();
  bool badChar = !t.badChar;
  bool tooLong = !t.tooLong;
  EXPECT_EQ(t.ok, SCable::checkName(t.name, &badChar, &tooLong)) << t.name;
  EXPECT_EQ(t.badChar, badChar) << t.name;
  EXPECT_EQ(t.tooLong, tooLong) << t.name;
  EXPECT_EQ(t.ok, SCable::checkName(t.name));  // flags are optional
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SCableCheckName,
    ::testing::Values(CheckNameCase{"", true, false, false},
                      CheckNameCase{"ABCDEFGHIJKLMNO", true, false, false},
                      CheckNameCase{"ABCDEFGHIJKLMNOP", false, false, true},
                      CheckNameCase{"ABCDEFGHIJKLMNOP!", false, false, true},
                      CheckNameCase{"A\tB", false, true, false},
                      CheckNameCase{"A!", false, true, false},
                      CheckNameCase{"AB!DEFGHIJKLMNOPQRST", false, true, false},
                      CheckNameCase{"\xA8\xEB\xEA\xE0 1.5\xB0", true, false, false}));

struct SanitizeCase {
  const char* src;
  const char* expected;
  bool ok;
};

class SCableSanitize : public ::testing::TestWithParam<SanitizeCase> {};

TEST_P(SCableSanitize, Result) {
  const SanitizeCase& t = GetParam();
  char dst[SCable::kNameSize];
  std::memset(dst, 'Z', sizeof dst);
  EXPECT_EQ(t.ok, SCable::sanitizeName(dst, t.src)) << t.src;
  char expected[SCable::kNameSize] = {};
  std::memcpy(expected, t.expected, std::strlen(t.expected));
  // Zero-padded behind the terminator, so records built from it compare by bytes.
  EXPECT_EQ(0, std::memcmp(expected, dst, sizeof dst)) << t.src << " -> " << dst;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SCableSanitize,
    ::testing::Values(SanitizeCase{"A!B", "A_B", false}, SanitizeCase{"", "_", false},
                      SanitizeCase{"ABCDEFGHIJKLMNOPQRST", "ABCDEFGHIJKLMNO", false},
                      SanitizeCase{"ABCDEFGHIJKLMNO", "ABCDEFGHIJKLMNO", true},
                      SanitizeCase{"\xCA\xE0\xE1\xE5\xEB\xFC", "\xCA\xE0\xE1\xE5\xEB\xFC", true},
                      SanitizeCase{"A?\tB", "A__B", false},
                      SanitizeCase{"!BCDEFGHIJKLMNOPQ", "_BCDEFGHIJKLMNO", false}));

TEST(SCableSanitize, NullSourceIsEmpty) {
  char dst[SCable::kNameSize];
  EXPECT_FALSE(SCable::sanitizeName(dst, nullptr));
  EXPECT_STREQ("_", dst);
}
