#include "numeric/CFormat.h"

#include <charconv>
#include <system_error>

namespace tolmira {

namespace {
std::string format(double v, std::chars_format how, int precision) {
  // 350 holds any double in fixed notation with up to 17 decimals.
  char buf[400];
  if (precision < 0) precision = 0;
  if (precision > 17) precision = 17;
  auto r = std::to_chars(buf, buf + sizeof buf, v, how, precision);
  if (r.ec != std::errc()) return {};
  return std::string(buf, r.ptr);
}
}  // namespace

std::string formatG(double v, int precision) {
  // %g treats a precision of 0 as 1.
  return format(v, std::chars_format::general, precision == 0 ? 1 : precision);
}

std::string formatF(double v, int precision) {
  return format(v, std::chars_format::fixed, precision);
}

}  // namespace tolmira
