#include "fields/KuFromLength.h"

#include <algorithm>
#include <cmath>

#include "fields/FieldLimits.h"
#include "fields/TypedNumber.h"
#include "numeric/Numeric.h"

namespace tolmira {

namespace {

constexpr double kLightSpeed = 300.0;  // m/µs, as the record takes it

// A positive number from text, or the problem with it.
std::optional<double> positive(const std::string& text, const char* missing,
                               const char* notPositive, std::string& problem) {
  std::string t = text;
  std::replace(t.begin(), t.end(), ',', '.');
  const std::optional<float> x = parseTypedNumber(t);
  if (!x) {
    problem = missing;
    return std::nullopt;
  }
  if (!(*x > 0.0f)) {
    problem = notPositive;
    return std::nullopt;
  }
  return static_cast<double>(*x);
}

std::optional<double> trueLengthOf(const std::string& text, std::string& problem) {
  return positive(text, "Введите длину кабеля в метрах.", "Длина кабеля должна быть больше нуля.",
                  problem);
}

KuFromLength result(double ku) {
  KuFromLength r;
  if (ku >= KuMin && ku <= KuMax) {
    r.ku = static_cast<float>(ku);
    return r;
  }
  const std::string shown = std::isfinite(ku) && ku < 1e6
                                ? formatSignificant(static_cast<float>(ku), 4)
                                : "больше миллиона";
  r.problem = "КУ выходит " + shown + ", а должен быть от 1 до 7.";
  return r;
}

}  // namespace

KuFromLength kuFromShownLength(float currentKu, const std::string& trueLength,
                               const std::string& shownLength) {
  KuFromLength r;
  if (!(currentKu >= KuMin && currentKu <= KuMax)) {
    r.problem = "У записи нет КУ от 1 до 7: введите время отражения.";
    return r;
  }
  const std::optional<double> length = trueLengthOf(trueLength, r.problem);
  if (!length) return r;
  const std::optional<double> shown =
      positive(shownLength, "Введите длину, которую показал прибор, в метрах.",
               "Длина по прибору должна быть больше нуля.", r.problem);
  if (!shown) return r;
  return result(static_cast<double>(currentKu) * *shown / *length);
}

KuFromLength kuFromReflectionTime(const std::string& trueLength, const std::string& timeUs) {
  KuFromLength r;
  const std::optional<double> length = trueLengthOf(trueLength, r.problem);
  if (!length) return r;
  const std::optional<double> t = positive(timeUs, "Введите время отражения в мкс.",
                                           "Время отражения должно быть больше нуля.", r.problem);
  if (!t) return r;
  return result(kLightSpeed * *t / (2.0 * *length));
}

}  // namespace tolmira
