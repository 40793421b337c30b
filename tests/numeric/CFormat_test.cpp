#include "numeric/CFormat.h"

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tolmira;

namespace {

std::string printed(const char* format, int precision, double v) {
  char buf[512];
  std::snprintf(buf, sizeof buf, format, precision, v);
  return buf;
}

// The integer formatting gives exactly what printf gives: for the numbers a table
// holds (floats, floats in thousands, twisting factors), ties, carries into a new
// digit, the extremes, subnormals and any bits.
TEST(FormatMatchesPrintf, ForEveryKindOfNumber) {
  std::vector<double> values = {0.0,
                                -0.0,
                                1.0,
                                1.5,
                                7.0,
                                9.9996,
                                99995.0,
                                0.5,
                                2.5,
                                1.03125,
                                1.0625,
                                0.000125,
                                1e-5,
                                1e-4,
                                1e5,
                                1e6,
                                1e17,
                                1e22,
                                123456.5,
                                999999.5,
                                9999995.0,
                                0.1,
                                1e300,
                                -2.675,
                                std::numeric_limits<double>::denorm_min(),
                                std::numeric_limits<double>::min(),
                                std::numeric_limits<double>::max(),
                                std::numeric_limits<float>::denorm_min(),
                                std::numeric_limits<float>::max()};
  for (int k = 1000; k <= 7000; ++k) values.push_back(static_cast<float>(k) * 0.001f);
  for (int k = 1; k <= 20000; ++k) {
    const float r = static_cast<float>(k) * 0.0001f;
    values.push_back(r);
    values.push_back(static_cast<double>(r) * 1000.0);
  }
  for (int code = 0; code <= 65535; ++code) values.push_back((code + 100000) * 0.00001);
  std::uint64_t state = 12345;
  for (int i = 0; i < 100000; ++i) {
    state = state * 6364136223846793005ull + 1442695040888963407ull;
    float f;
    const std::uint32_t high = static_cast<std::uint32_t>(state >> 32);
    std::memcpy(&f, &high, sizeof f);
    if (std::isfinite(f)) {
      values.push_back(f);
      values.push_back(static_cast<double>(f) * 1000.0);
    }
    double d;
    std::memcpy(&d, &state, sizeof d);
    if (std::isfinite(d)) values.push_back(d);
  }
  int mismatches = 0;
  for (const double v : values) {
    for (const int p : {0, 1, 4, 5, 6, 9, 17}) {
      const std::string g = formatG(v, p);
      if (g != printed("%.*g", p, v) && ++mismatches < 10)
        ADD_FAILURE() << "formatG(" << printed("%.*g", 17, v) << ", " << p << ") = " << g;
    }
    if (std::fabs(v) > 1e30) continue;  // fixed notation of those is long, and slow anyway
    for (const int p : {0, 1, 4, 17}) {
      const std::string f = formatF(v, p);
      if (f != printed("%.*f", p, v) && ++mismatches < 10)
        ADD_FAILURE() << "formatF(" << printed("%.*g", 17, v) << ", " << p << ") = " << f;
    }
  }
  EXPECT_EQ(mismatches, 0);
}

}  // namespace
