#include "fields/KuFromLength.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tolmira;

namespace {

const std::string kNoLength = "Введите длину кабеля в метрах.";
const std::string kLengthNotPositive = "Длина кабеля должна быть больше нуля.";

std::string outside(const std::string& ku) {
  return "КУ выходит " + ku + ", а должен быть от 1 до 7.";
}

void expectResult(const KuFromLength& r, std::optional<float> ku, const std::string& problem) {
  if (ku) {
    ASSERT_TRUE(r.ku.has_value()) << r.problem;
    EXPECT_FLOAT_EQ(*ku, *r.ku);
    EXPECT_EQ("", r.problem);
  } else {
    EXPECT_FALSE(r.ku.has_value());
    EXPECT_EQ(problem, r.problem);
  }
}

}  // namespace

TEST(KuFromLength, FromTheShownLength) {
  struct Case {
    float currentKu;
    std::string trueLength, shown;
    std::optional<float> ku;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {1.5f, "100", "110", 1.65f, ""},
      {1.5f, "200", "100", {}, outside("0.750")},
      {1.5f, " 100,5 ", "100.5", 1.5f, ""},  // a comma as typed
      {2.0f, "100", "350", 7.0f, ""},        // the limits belong to the range
      {2.0f, "100", "50", 1.0f, ""},
      {2.0f, "100", "351", {}, outside("7.020")},
      {1.5f, "", "110", {}, kNoLength},
      {1.5f, "abc", "110", {}, kNoLength},
      {1.5f, "0", "110", {}, kLengthNotPositive},
      {1.5f, "-100", "110", {}, kLengthNotPositive},
      {1.5f, "100", "", {}, "Введите длину, которую показал прибор, в метрах."},
      {1.5f, "100", "0", {}, "Длина по прибору должна быть больше нуля."},
      {0.0f, "100", "110", {}, "У записи нет КУ от 1 до 7: введите время отражения."},
      {9.0f, "100", "110", {}, "У записи нет КУ от 1 до 7: введите время отражения."},
      {1.5f, "1e-30", "1e30", {}, outside("больше миллиона")},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trueLength + " / " + c.shown + " at KU " + std::to_string(c.currentKu));
    expectResult(kuFromShownLength(c.currentKu, c.trueLength, c.shown), c.ku, c.problem);
  }
}

TEST(KuFromLength, FromTheReflectionTime) {
  struct Case {
    std::string trueLength, time;
    std::optional<float> ku;
    std::string problem;
  };
  const std::vector<Case> cases = {
      {"100", "1", 1.5f, ""},  // 200 m at 200 m/µs
      {"150", "1", 1.0f, ""},
      {"150", "7", 7.0f, ""},
      {"150", "7.02", {}, outside("7.020")},
      {"150", "0.9", {}, outside("0.900")},
      {"0", "1", {}, kLengthNotPositive},
      {"", "1", {}, kNoLength},
      {"100", "", {}, "Введите время отражения в мкс."},
      {"100", "-1", {}, "Время отражения должно быть больше нуля."},
      {"100", "0", {}, "Время отражения должно быть больше нуля."},
      {"100", "1e40", {}, "Введите время отражения в мкс."},  // beyond any float
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.trueLength + " / " + c.time);
    expectResult(kuFromReflectionTime(c.trueLength, c.time), c.ku, c.problem);
  }
}
