#include "numeric/CFormat.h"

#include <charconv>
#include <system_error>

namespace tolmira {

namespace {
char* formatTo(char* out, double v, std::chars_format how, int precision) {
  if (precision < 0) precision = 0;
  if (precision > 17) precision = 17;
  auto r = std::to_chars(out, out + kFormatRoom, v, how, precision);
  return r.ec == std::errc() ? r.ptr : out;
}
}  // namespace

char* formatGTo(char* out, double v, int precision) {
  // %g treats a precision of 0 as 1.
  return formatTo(out, v, std::chars_format::general, precision == 0 ? 1 : precision);
}

char* formatFTo(char* out, double v, int precision) {
  return formatTo(out, v, std::chars_format::fixed, precision);
}

std::string formatG(double v, int precision) {
  char buf[kFormatRoom];
  return std::string(buf, formatGTo(buf, v, precision));
}

std::string formatF(double v, int precision) {
  char buf[kFormatRoom];
  return std::string(buf, formatFTo(buf, v, precision));
}

}  // namespace tolmira
