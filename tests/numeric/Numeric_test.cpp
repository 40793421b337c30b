#include "numeric/Numeric.h"

#include <climits>
#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#if defined(__GLIBC__)
#include <fenv.h>
#endif

using namespace tolmira;

namespace {

const float kInf = std::numeric_limits<float>::infinity();

TEST(StepSequence, FollowsOneTwoFive) {
  EXPECT_EQ(stepSequence[0], 0);
  const int mantissas[3] = {1, 2, 5};
  std::int64_t decade = 1;
  for (int i = 1; i < 25; ++i) {
    EXPECT_EQ(stepSequence[i], mantissas[(i - 1) % 3] * decade) << i;
    if (i % 3 == 0) decade *= 10;
  }
  EXPECT_EQ(stepSequence[24], 50000000);
}

struct ExponentCase {
  float x;
  int d;
  int expected;
};

TEST(DecimalExponent, Table) {
  const std::vector<ExponentCase> cases = {
      {0.0f, -3, -1000},
      {-0.0f, -3, -1000},
      {kInf, -3, 1000},
      {-kInf, -3, 1000},
      {9.9994f, -3, 0},
      {9.9995f, -3, 1},  // rounds up to 10.00 with 4 digits
      {0.99996f, -3, 0},
      {0.9999f, -3, -1},
      {1234.0f, -3, 3},
      {-1234.0f, -3, 3},
      {0.0123f, -3, -2},
      {99.99f, -3, 1},
      {9.99994f, -4, 0},
      {9.99995f, -4, 1},
      {1.0f, -3, 0},
      {std::numeric_limits<float>::max(), -3, 38},
      {std::numeric_limits<float>::denorm_min(), -3, -45},
  };
  for (const auto& c : cases)
    EXPECT_EQ(decimalExponent(c.x, static_cast<std::int8_t>(c.d)), c.expected)
        << "x=" << c.x << " d=" << c.d;
}

TEST(DecimalExponent, NoSignificantDigitsStillEnds) {
  // d above 1 would make the threshold negative; it must not loop forever.
  EXPECT_EQ(decimalExponent(5.0f, 2), decimalExponent(5.0f, 1));
  EXPECT_EQ(decimalExponent(5.0f, 127), decimalExponent(5.0f, 1));
}

struct FormatCase {
  float x;
  int n;
  const char* expected;
};

TEST(FormatSignificant, Table) {
  const std::vector<FormatCase> cases = {
      {1.5f, 4, "1.500"},
      {17.48f, 4, "17.48"},
      {9.9994f, 4, "9.999"},
      {9.9996f, 4, "10.00"},
      {9.9995f, 4, "10.00"},
      {0.66667f, 5, "0.6667"},
      {0.00393f, 6, "0.00393"},
      {0.0f, 4, "0.000"},
      {0.0004f, 4, "0.000"},
      {123456.0f, 4, "123456"},
      {100.0f, 4, "100.0"},
      {-1.5f, 4, "-1.500"},
      {7.3f, 1, "7"},
      {1e-12f, 12, "0.000000000"},  // at most 9 decimals
      {1.5f, 200, "1.500000000"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(formatSignificant(c.x, static_cast<std::uint8_t>(c.n)), c.expected)
        << "x=" << c.x << " N=" << c.n;
}

struct SnapCase {
  float v;
  int dir;
  float step;
  float expected;
};

TEST(SnapToStep, GoesTowardTheSideTheValueCameFrom) {
  const std::vector<SnapCase> cases = {
      {0.37f, 1, 0.1f, 0.3f},    {0.37f, -1, 0.1f, 0.4f},  {0.37f, 0, 0.1f, 0.37f},
      {0.2996f, 1, 0.1f, 0.3f},  // within tol/2 of a step: counts as on the grid
      {0.3004f, -1, 0.1f, 0.3f}, {-0.37f, 1, 0.1f, -0.4f}, {25.0f, 1, 10.0f, 20.0f},
  };
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(snapToStep(c.v, static_cast<std::int16_t>(c.dir), c.step, 0.01f), c.expected)
        << "v=" << c.v << " dir=" << c.dir;
}

TEST(SnapFraction, SnapsOnlyThePartAboveTheInteger) {
  const std::vector<SnapCase> cases = {
      {10.37f, 1, 0.25f, 10.25f}, {10.37f, -1, 0.25f, 10.5f}, {10.37f, 0, 0.25f, 10.37f},
      {-0.3f, 1, 1.0f, -1.0f},    {-0.3f, -1, 1.0f, 0.0f},    {11.997f, 1, 1.0f, 12.0f},
  };
  for (const auto& c : cases)
    EXPECT_FLOAT_EQ(snapFraction(c.v, static_cast<std::int16_t>(c.dir), c.step, 0.01f), c.expected)
        << "v=" << c.v << " dir=" << c.dir;
}

struct StepCase {
  const char* name;
  float v;
  int n;
  float min;
  float max;
  int d;
  bool snap;
  float expected;
  bool stored;
};

void runSignificant(const StepCase& c) {
  float v = c.v;
  const bool stored = stepSignificant(v, static_cast<std::int16_t>(c.n), c.min, c.max,
                                      static_cast<std::int8_t>(c.d), c.snap);
  EXPECT_EQ(v, c.expected) << c.name;
  EXPECT_EQ(stored, c.stored) << c.name;
}

TEST(StepSignificant, Table) {
  const std::vector<StepCase> cases = {
      {"up across a decade", 99.99f, 1, 0, 1000, -3, true, 100.0f, true},
      {"down across a decade", 100.0f, -1, 0, 1000, -3, true, 99.9f, true},
      {"zero only snaps", 1.23456f, 0, 0, 10, -3, true, 1.235f, true},
      {"zero on the grid", 1.5f, 0, 0, 10, -3, true, 1.5f, false},
      {"zero below min", 0.5f, 0, 1, 7, -3, true, 1.0f, true},
      {"count 2 is four units", 1.5f, 2, 0, 10, -3, true, 1.504f, true},
      {"count -2", 1.5f, -2, 0, 10, -3, true, 1.496f, true},
      {"at max", 7.0f, 1, 1, 7, -3, true, 7.0f, false},
      {"at min", 1.0f, -1, 1, 7, -3, true, 1.0f, false},
      {"unit of ten", 12345.0f, 1, 0, 1e6f, -3, true, 12360.0f, true},
      {"without snap", 1.23456f, 1, 0, 10, -3, false,
       static_cast<float>(1.23456f + static_cast<double>(0.001f)), true},
      {"from zero", 0.0f, 1, 0, 10, -3, true, 0.001f, true},
      {"five digits", 0.3f, 1, 0, 1, -4, true, 0.3001f, true},
      {"infinity clamps", kInf, 0, 1, 7, -3, true, 7.0f, true},
      {"minus infinity clamps", -kInf, 1, 1, 7, -3, true, 1.0f, true},
  };
  for (const auto& c : cases) runSignificant(c);
}

TEST(StepSignificant, NaNGoesToMin) {
  float v = std::numeric_limits<float>::quiet_NaN();
  EXPECT_TRUE(stepSignificant(v, 0, 1, 7, -3, true));
  EXPECT_EQ(v, 1.0f);
}

struct SplitCase {
  double v;
  int d;
  int exponent;
  bool roundsUp;  // logFraction 0 because the value rounds into the next decade
};

TEST(SplitDecade, Table) {
  const std::vector<SplitCase> cases = {
      {0.01748, -5, 0, false}, {1.0, -3, 0, false},    {17.48, -3, 1, false}, {99.99, -3, 1, false},
      {99.996, -3, 2, true},   {9.9995f, -3, 1, true},  // callers pass floats
      {1234.0, -3, 3, false},
  };
  for (const auto& c : cases) {
    const DecadeSplit s = splitDecade(c.v, static_cast<std::int16_t>(c.d));
    EXPECT_EQ(s.exponent, c.exponent) << c.v;
    EXPECT_EQ(s.decade, static_cast<float>(std::pow(10.0, c.exponent))) << c.v;
    EXPECT_EQ(s.unit, static_cast<float>(std::pow(10.0, c.d + c.exponent))) << c.v;
    const double expectedFraction =
        c.roundsUp ? 0.0 : static_cast<float>(std::log10(c.v)) - static_cast<double>(c.exponent);
    EXPECT_FLOAT_EQ(s.logFraction, static_cast<float>(expectedFraction)) << c.v;
  }
}

TEST(SplitDecade, ZeroAndNegativeAreDefined) {
  const DecadeSplit zero = splitDecade(0.0, -3);
  EXPECT_EQ(zero.exponent, 0);
  EXPECT_EQ(zero.decade, 1.0f);
  EXPECT_EQ(zero.unit, 0.001f);
  EXPECT_TRUE(std::isinf(zero.logFraction) && zero.logFraction < 0);
  EXPECT_EQ(splitDecade(-5.0, -3).exponent, 0);
  EXPECT_EQ(splitDecade(HUGE_VAL, -3).decade, kInf);
}

void runDecade(const StepCase& c) {
  float v = c.v;
  const bool stored = stepDecade(v, c.n, c.min, c.max, static_cast<std::int8_t>(c.d), c.snap);
  // Snapping to a step that is itself a rounded float may land one ulp off the literal.
  EXPECT_FLOAT_EQ(v, c.expected) << c.name;
  EXPECT_EQ(stored, c.stored) << c.name;
}

TEST(StepDecade, Table) {
  const std::vector<StepCase> cases = {
      {"small value up", 0.01748f, 1, 0.016f, 0.035f, -5, true, 0.01749f, true},
      {"small value down", 0.01748f, -1, 0.016f, 0.035f, -5, true, 0.01747f, true},
      {"small value two units", 0.01748f, 2, 0.016f, 0.035f, -5, true, 0.0175f, true},
      {"small value at max", 0.035f, 1, 0.016f, 0.035f, -5, true, 0.035f, false},
      {"zero only clamps", 0.01f, 0, 0.016f, 0.035f, -5, true, 0.016f, true},
      {"below ten", 9.99f, 1, 0, 1000, -3, true, 9.991f, true},
      {"up into the next decade", 99.99f, 1, 0, 1000, -3, true, 100.0f, true},
      {"within a decade", 17.48f, -1, 0, 1000, -3, true, 17.47f, true},
      {"off grid snaps to the next grid point", 17.483f, 1, 0, 1000, -3, true, 17.49f, true},
      // Leaving a decade downward first stops on its start ...
      {"down onto the decade start", 10.003f, -1, 0, 1000, -3, true, 10.0f, true},
      // ... and from there continues with the finer digit below.
      {"down from the decade start", 10.0f, -1, 0, 1000, -3, true, 9.995f, true},
      {"down from 100", 100.0f, -1, 0, 1000, -3, true, 99.95f, true},
      {"zero on the decade start stays", 10.0f, 0, 0, 1000, -3, true, 10.0f, false},
      {"fast count up", 1.0003f, 65536, 0, 10, -3, true, 1.02f, true},
      {"largest count", 5.0f, INT_MAX, 0, 10, -3, true, 5.1f, true},
      {"smallest count", 5.0f, INT_MIN, 0, 10, -3, true, 4.9f, true},
      {"infinity clamps", kInf, 0, 0, 10, -3, true, 10.0f, true},
  };
  for (const auto& c : cases) runDecade(c);
}

TEST(StepLinear, Table) {
  const std::vector<StepCase> cases = {
      // d is unused here; step 1.0 and tol 0.01 throughout.
      {"up", 10.3f, 1, -10.02f, 47.05f, 0, true, 11.0f, true},
      {"down", 10.3f, -1, -10.02f, 47.05f, 0, true, 10.0f, true},
      {"down from whole", 10.0f, -1, -10.02f, 47.05f, 0, true, 9.0f, true},
      {"just below whole counts as whole", 10.997f, 1, -10.02f, 47.05f, 0, true, 12.0f, true},
      {"just above whole counts as whole", 11.003f, -1, -10.02f, 47.05f, 0, true, 10.0f, true},
      {"outside tolerance", 10.99f, 1, -10.02f, 47.05f, 0, true, 11.0f, true},
      {"two steps", 10.3f, 2, -10.02f, 47.05f, 0, true, 12.0f, true},
      {"without snap", 10.3f, 1, -10.02f, 47.05f, 0, false, 11.3f, true},
      {"clamped at max", 47.0f, 1, -10.02f, 47.05f, 0, true, 47.05f, true},
      {"at max", 47.05f, 1, -10.02f, 47.05f, 0, true, 47.05f, false},
      {"negative gauge", -3.4f, -1, -10.02f, 47.05f, 0, true, -4.0f, true},
      {"infinity clamps", kInf, 0, -10.02f, 47.05f, 0, true, 47.05f, true},
  };
  for (const auto& c : cases) {
    float v = c.v;
    const bool stored =
        stepLinear(v, static_cast<std::int16_t>(c.n), c.min, c.max, 1.0f, c.snap, 0.01f);
    EXPECT_EQ(v, c.expected) << c.name;
    EXPECT_EQ(stored, c.stored) << c.name;
  }
}

struct AwgCase {
  float g;
  const char* expected;
};

TEST(FormatAwg, Table) {
  const std::vector<AwgCase> cases = {
      {10.0f, " 10"},
      {12.3f, "~12"},
      {-7.6f, "~-8"},
      {0.0f, " 0"},
      {-1.0f, " 00"},
      {-2.0f, " 000"},
      {-3.0f, " 0000"},
      {-4.0f, " 00000"},
      {-5.0f, " -5"},
      {47.05f, "~47"},
      {0.5f, "~1"},
      {-0.5f, "~00"},
      {-10.02f, "~-10"},
      {17.005f, " 17"},
      {16.995f, " 17"},
      {-0.3f, "~0"},
      {kInf, "~32767"},
      {-kInf, "~-32768"},
      {std::numeric_limits<float>::quiet_NaN(), "~0"},
  };
  for (const auto& c : cases) EXPECT_EQ(formatAwg(c.g), c.expected) << "g=" << c.g;
}

struct ScanCase {
  std::string text;
  int result;
  float value;  // checked when result is 1
  int consumed;
};

void runScan(const ScanCase& c) {
  float value = -12345.0f;
  int consumed = -1;
  EXPECT_EQ(scanNumber(c.text.c_str(), &value, &consumed), c.result) << '"' << c.text << '"';
  EXPECT_EQ(consumed, c.consumed) << '"' << c.text << '"';
  if (c.result == 1) {
    EXPECT_EQ(value, c.value) << '"' << c.text << '"';
    EXPECT_FALSE(std::signbit(value) && value == 0.0f) << "negative zero for \"" << c.text << '"';
  } else {
    EXPECT_EQ(value, -12345.0f) << "value written for \"" << c.text << '"';
  }
}

TEST(ScanNumber, Examples) {
  const std::vector<ScanCase> cases = {
      {"12.5\tx", 1, 12.5f, 4},
      {"  -3", 1, -3.0f, 4},
      {"5.", 1, 5.0f, 2},
      {".5", 1, 0.5f, 2},
      {"1e3", 1, 1000.0f, 3},
      {"5e", 1, 5.0f, 2},
      {"1,5", 1, 1.0f, 1},
      {"1..2", 0, 0, 0},
      {"abc", 0, 0, 0},
      {"", -1, 0, 0},
      {"+", -1, 0, 0},
      {" ", -1, 0, 0},
      {"1e40", 1, kInf, 4},
      {"-1e40", 1, -kInf, 5},
      {"- 5", 0, 0, 0},
      {"+-5", 0, 0, 0},
      {"1.e5", 1, 100000.0f, 4},
      {"\t+7 ", 1, 7.0f, 3},
      {"1E-3", 1, 0.001f, 4},
      {"2.5e+2x", 1, 250.0f, 6},
      {"1e+", 1, 1.0f, 3},
      {"17.48\t0.01748", 1, 17.48f, 5},
      {"e5", 0, 0, 0},
      {"-e5", 0, 0, 0},
      {".", -1, 0, 0},
      {"-.", -1, 0, 0},
      {"..", 0, 0, 0},
      {"\xB0"
       "5",
       0, 0, 0},
      {"1-2", 1, 1.0f, 1},
      {"-0", 1, 0.0f, 2},
      {"-0.0e5", 1, 0.0f, 6},
  };
  for (const auto& c : cases) runScan(c);
}

TEST(ScanNumber, MalformedExponents) {
  const std::vector<ScanCase> cases = {
      // A further exponent letter carries on the same exponent, as the instrument reads it.
      {"1e5e3", 1, std::numeric_limits<float>::infinity(), 5},
      {"1e+e3", 1, 1000.0f, 5},
      {"2e1e-1", 1, 2e-11f, 6},  // the later sign applies to the whole exponent
      // A point without mantissa digits still scans as 0.
      {".e5", 1, 0, 3},
      {"-.e5", 1, 0, 4},
  };
  for (const auto& c : cases) runScan(c);
}

// Turns overflow, invalid operation and division by zero into SIGFPE while alive,
// so an arithmetic fault crashes the test instead of passing unnoticed.
class FloatTraps {
 public:
  FloatTraps() {
#if defined(__GLIBC__)
    feclearexcept(FE_ALL_EXCEPT);
    previous_ = feenableexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
#endif
  }
  ~FloatTraps() {
#if defined(__GLIBC__)
    fedisableexcept(FE_ALL_EXCEPT);
    feclearexcept(FE_ALL_EXCEPT);
    if (previous_ > 0) feenableexcept(previous_);
#endif
  }

 private:
  int previous_ = 0;
};

TEST(ScanNumber, OverflowingTexts) {
  const std::string zeros400(400, '0');
  const std::vector<ScanCase> cases = {
      {"1234567890123456789012345", 1, 1.234567890123456789012345e24f, 25},
      {"9223372036854775807", 1, 9223372036854775807.0f, 19},
      {"9223372036854775808", 1, 9223372036854775808.0f, 19},
      {"12345678901234567890.123456789", 1, 12345678901234567890.123456789f, 30},
      {"0.12345678901234567890123", 1, 0.12345678901234567890123f, 25},
      {"1" + zeros400, 1, kInf, 401},
      {"-1" + zeros400, 1, -kInf, 402},
      {"1" + zeros400 + "e-400", 1, 1.0f, 406},
      {"0." + zeros400 + "15e401", 1, 1.5f, 408},
      {"0." + zeros400 + "1", 1, 0.0f, 403},
      {"1e99999999999999999999", 1, kInf, 22},
      {"-1e99999999999999999999", 1, -kInf, 23},
      {"1e-99999999999999999999", 1, 0.0f, 23},
      {"-1e-99999999999999999999", 1, 0.0f, 24},
      {"0e99999999999999999999", 1, 0.0f, 22},
      {"1e2147483648", 1, kInf, 12},
      {"1e-2147483649", 1, 0.0f, 13},
      {"1e38", 1, 1e38f, 4},
      {"1e39", 1, kInf, 4},
      {"1e-45", 1, 1e-45f, 5},
      {"1e-46", 1, 0.0f, 5},
      {"9" + std::string(64, '0') + "e-110", 1, 9e-46f, 70},
      {std::string(100000, '9'), 1, kInf, 100000},
  };
  FloatTraps traps;
  for (const auto& c : cases) runScan(c);
}

TEST(ScanNumber, NullPointers) {
  float value = 3.0f;
  int consumed = 7;
  EXPECT_EQ(scanNumber(nullptr, &value, &consumed), 0);
  EXPECT_EQ(value, 3.0f);

  // Without a value pointer a valid scan returns 0 but still reports its length.
  EXPECT_EQ(scanNumber("12.5x", nullptr, &consumed), 0);
  EXPECT_EQ(consumed, 4);
  EXPECT_EQ(scanNumber("abc", nullptr, &consumed), 0);
  EXPECT_EQ(consumed, 0);

  EXPECT_EQ(scanNumber("42", &value, nullptr), 1);
  EXPECT_EQ(value, 42.0f);
  EXPECT_EQ(scanNumber("", &value, nullptr), -1);
}

TEST(ScanNumber, StopsAtTheTerminator) {
  // The characters after the NUL must not be looked at.
  const char buffer[] = {'1', '2', '\0', '3', '4'};
  float value = 0;
  int consumed = 0;
  EXPECT_EQ(scanNumber(buffer, &value, &consumed), 1);
  EXPECT_EQ(value, 12.0f);
  EXPECT_EQ(consumed, 2);
}

// Runs with a locale whose decimal separator is ',' and restores "C" afterwards.
class CommaLocale : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "de_DE", "ru_RU.UTF-8", "fr_FR.UTF-8"}) {
      if (std::setlocale(LC_ALL, name) && std::strcmp(std::localeconv()->decimal_point, ",") == 0)
        return;
    }
    std::setlocale(LC_ALL, "C");
    GTEST_SKIP() << "no locale with ',' as decimal separator is installed";
  }
  void TearDown() override { std::setlocale(LC_ALL, "C"); }
};

TEST_F(CommaLocale, NumbersKeepThePoint) {
  char probe[16];
  std::snprintf(probe, sizeof probe, "%.1f", 1.5);
  ASSERT_STREQ(probe, "1,5") << "the locale is not in effect";

  EXPECT_EQ(formatSignificant(1.5f, 4), "1.500");
  EXPECT_EQ(formatSignificant(0.00393f, 6), "0.00393");
  EXPECT_EQ(formatAwg(-7.6f), "~-8");

  float value = 0;
  int consumed = 0;
  EXPECT_EQ(scanNumber("12.5", &value, &consumed), 1);
  EXPECT_EQ(value, 12.5f);
  EXPECT_EQ(consumed, 4);
  EXPECT_EQ(scanNumber("1,5", &value, &consumed), 1);
  EXPECT_EQ(value, 1.0f);
  EXPECT_EQ(consumed, 1);
}

}  // namespace
