#pragma once

#include <optional>
#include <string>

// KU from a piece of cable of known length: the instrument showed some length
// with the record's KU, or the reflection came after some time, while the true
// length is known.
namespace tolmira {

struct KuFromLength {
  std::optional<float> ku;  // the new KU, within 1 … 7
  std::string problem;      // without a KU: what is wrong with the input (Russian, UTF-8)
};

// KU_new = KU_old × shown / true. The lengths are texts as typed, in metres
// (',' or '.' as the decimal separator).
KuFromLength kuFromShownLength(float currentKu, const std::string& trueLength,
                               const std::string& shownLength);

// KU = 300 × t / (2 × length), t in µs, length in metres: the pulse goes to the
// end and back at 300 / KU m/µs.
KuFromLength kuFromReflectionTime(const std::string& trueLength, const std::string& timeUs);

}  // namespace tolmira
