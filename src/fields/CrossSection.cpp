#include "fields/CrossSection.h"

#include <cmath>
#include <limits>

using namespace tolmira;

float tolmira::awgOf(float s) {
  // ln 0 and ln of a negative number would raise a floating-point exception.
  if (s == 0.0f) return std::numeric_limits<float>::infinity();
  if (!(s > 0.0f)) return std::numeric_limits<float>::quiet_NaN();
  const double g = (static_cast<double>(AwgLogOffset) - std::log(static_cast<double>(s))) *
                   static_cast<double>(AwgLogScale);
  return static_cast<float>(g);  // |g| stays below 400 for every positive float
}

double tolmira::sectionOfAwg(float g) {
  const double e = static_cast<double>(AwgOffset) - static_cast<double>(g);
  if (std::isnan(e)) return e;
  // AwgBase^3000 is beyond the double range; stop before pow overflows.
  if (e > 3000.0) return std::numeric_limits<double>::infinity();
  if (e < -3000.0) return 0.0;
  return std::pow(static_cast<double>(AwgBase), e);
}
