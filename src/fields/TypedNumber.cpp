#include "fields/TypedNumber.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

using namespace tolmira;

namespace {
bool isBlank(char c) { return c == ' ' || c == '\t'; }
bool isDigit(char c) { return c >= '0' && c <= '9'; }
}  // namespace

std::optional<float> tolmira::parseTypedNumber(const std::string& text) {
  std::size_t begin = 0;
  std::size_t end = text.size();
  while (begin < end && isBlank(text[begin])) ++begin;
  while (end > begin && isBlank(text[end - 1])) --end;
  if (begin == end) return std::nullopt;

  // from_chars would also take "inf", "nan" and hexadecimal digits.
  bool negative = false;
  if (text[begin] == '+' || text[begin] == '-') {
    negative = text[begin] == '-';
    ++begin;
  }
  if (begin == end || !(isDigit(text[begin]) || text[begin] == '.')) return std::nullopt;
  for (std::size_t i = begin; i < end; ++i) {
    const char c = text[i];
    if (!isDigit(c) && c != '.' && c != 'e' && c != 'E' && c != '+' && c != '-')
      return std::nullopt;
  }

  double value = 0.0;
  const char* first = text.data() + begin;
  const char* last = text.data() + end;
  const auto r = std::from_chars(first, last, value, std::chars_format::general);
  if (r.ptr != last) return std::nullopt;
  // Out of the double range either way is no number the record can hold.
  if (r.ec != std::errc()) return std::nullopt;
  if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max())
    return std::nullopt;
  const float x = static_cast<float>(value);
  return negative ? -x : x;
}

char tolmira::filterFieldChar(const std::string& text, char typed) {
  if (typed == ',' || typed == '.') return text.find('.') == std::string::npos ? '.' : 0;
  if (isDigit(typed) || typed == 8) return typed;
  return 0;
}
