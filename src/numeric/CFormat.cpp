#include "numeric/CFormat.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <system_error>

namespace tolmira {

namespace {

char* formatTo(char* out, double v, std::chars_format how, int precision) {
  if (precision < 0) precision = 0;
  if (precision > 17) precision = 17;
  auto r = std::to_chars(out, out + kFormatRoom, v, how, precision);
  return r.ec == std::errc() ? r.ptr : out;
}

#ifdef __SIZEOF_INT128__
using U128 = unsigned __int128;

const U128 kPow10[] = {1,
                       10,
                       100,
                       1000,
                       10000,
                       100000,
                       1000000,
                       10000000,
                       100000000,
                       1000000000,
                       10000000000ull,
                       100000000000ull,
                       1000000000000ull,
                       10000000000000ull,
                       100000000000000ull,
                       1000000000000000ull,
                       10000000000000000ull,
                       100000000000000000ull,
                       1000000000000000000ull};

// m * 2^e * 10^k rounded to an integer, half to even, as printf rounds; false when
// the exact product does not fit the arithmetic here (the caller then formats the
// slow way). The numbers of a table all fit.
bool roundScaled(std::uint64_t m, int e, int k, std::uint64_t& q) {
  constexpr int kMaxPow = sizeof kPow10 / sizeof kPow10[0] - 1;
  if (k > kMaxPow || -k > kMaxPow || e > 40 || e < -120) return false;
  U128 numer = m;
  if (k > 0) numer *= kPow10[k];  // below 2^(53 + 60)
  if (e > 0) {
    if (numer >> (127 - e)) return false;
    numer <<= e;
  }
  U128 result;
  U128 rem;
  U128 half;
  if (k >= 0) {
    const int s = e < 0 ? -e : 0;
    if (s == 0) {
      q = static_cast<std::uint64_t>(numer);
      return (numer >> 63) == 0;
    }
    result = numer >> s;
    rem = numer - (result << s);
    half = U128(1) << (s - 1);
  } else {
    if (e < 0) return false;  // a fraction divided by a power of ten: not a table's case
    const U128 denom = kPow10[-k];
    result = numer / denom;
    rem = numer % denom;
    half = denom / 2;  // the power is even
  }
  if (rem > half || (rem == half && (result & 1))) ++result;
  if (result >> 63) return false;
  q = static_cast<std::uint64_t>(result);
  return true;
}

// v as mantissa and exponent, v = m * 2^e exactly; false for zero, infinities, NaN.
bool split(double v, std::uint64_t& m, int& e) {
  std::uint64_t bits;
  std::memcpy(&bits, &v, sizeof bits);
  const int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0x7FF || (bits << 1) == 0) return false;
  m = bits & ((std::uint64_t(1) << 52) - 1);
  if (biased == 0) {
    e = -1074;
  } else {
    m |= std::uint64_t(1) << 52;
    e = biased - 1075;
  }
  // Trailing zero bits carry nothing and only widen the arithmetic.
  const int zeros = __builtin_ctzll(m);
  m >>= zeros;
  e += zeros;
  return true;
}

// "%.*g" the exact way, in integers; null when the number is beyond it.
char* quickG(char* out, double v, int precision) {
  if (precision < 1 || precision > 17 || v == 0.0) return nullptr;
  std::uint64_t m;
  int e;
  if (!split(v, m, e)) return nullptr;
  // The decimal exponent from the binary one, at most one too low; the loop mends it.
  const int binary = e + 63 - __builtin_clzll(m);
  int x = binary >= 0 ? binary * 1233 / 4096 : -((-binary * 1233 + 4095) / 4096);
  const std::uint64_t low = static_cast<std::uint64_t>(kPow10[precision - 1]);
  const std::uint64_t high = low * 10;
  std::uint64_t q = 0;
  for (int attempt = 0;; ++attempt) {
    if (attempt == 3 || !roundScaled(m, e, precision - 1 - x, q)) return nullptr;
    if (q >= high)
      ++x;  // the estimate was low, or the rounding carried into a new digit
    else if (q < low)
      --x;
    else
      break;
  }
  char digits[24];
  int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, q).ptr - digits);
  while (n > 1 && digits[n - 1] == '0') --n;
  char* o = out;
  if (std::signbit(v)) *o++ = '-';
  if (x < -4 || x >= precision) {
    *o++ = digits[0];
    if (n > 1) {
      *o++ = '.';
      std::memcpy(o, digits + 1, static_cast<std::size_t>(n - 1));
      o += n - 1;
    }
    *o++ = 'e';
    *o++ = x < 0 ? '-' : '+';
    const int ax = x < 0 ? -x : x;
    if (ax < 10) *o++ = '0';
    o = std::to_chars(o, o + 8, ax).ptr;
  } else if (x >= 0) {
    for (int i = 0; i < n || i <= x; ++i) {
      if (i == x + 1) *o++ = '.';
      *o++ = i < n ? digits[i] : '0';
    }
  } else {
    *o++ = '0';
    *o++ = '.';
    for (int i = 0; i < -x - 1; ++i) *o++ = '0';
    std::memcpy(o, digits, static_cast<std::size_t>(n));
    o += n;
  }
  return o;
}

// "%.*f" the exact way, in integers; null when the number is beyond it.
char* quickF(char* out, double v, int precision) {
  if (precision < 0 || precision > 17) return nullptr;
  std::uint64_t q = 0;
  if (v != 0.0) {
    std::uint64_t m;
    int e;
    if (!split(v, m, e) || !roundScaled(m, e, precision, q)) return nullptr;
  }
  char digits[24];
  const int n = static_cast<int>(std::to_chars(digits, digits + sizeof digits, q).ptr - digits);
  char* o = out;
  if (std::signbit(v)) *o++ = '-';
  if (n <= precision) {
    *o++ = '0';
    *o++ = '.';
    for (int i = n; i < precision; ++i) *o++ = '0';
    std::memcpy(o, digits, static_cast<std::size_t>(n));
    o += n;
  } else {
    const int whole = n - precision;
    std::memcpy(o, digits, static_cast<std::size_t>(whole));
    o += whole;
    if (precision > 0) {
      *o++ = '.';
      std::memcpy(o, digits + whole, static_cast<std::size_t>(precision));
      o += precision;
    }
  }
  return o;
}
#else
char* quickG(char*, double, int) { return nullptr; }
char* quickF(char*, double, int) { return nullptr; }
#endif

}  // namespace

// The library's exact formatting with a precision is several times slower than
// integer arithmetic on the number's bits, and a save formats four numbers a record.
char* formatGTo(char* out, double v, int precision) {
  // %g treats a precision of 0 as 1.
  if (precision == 0) precision = 1;
  if (char* end = quickG(out, v, precision)) return end;
  return formatTo(out, v, std::chars_format::general, precision);
}

char* formatFTo(char* out, double v, int precision) {
  if (char* end = quickF(out, v, precision)) return end;
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
