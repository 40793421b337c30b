#include "numeric/Numeric.h"

#include <charconv>
#include <cmath>
#include <cstddef>
#include <cstdlib>
#include <limits>

#include "numeric/CFormat.h"

namespace tolmira {

namespace {

float f32(double x) { return static_cast<float>(x); }

double pow10(double p) { return std::pow(10.0, p); }

// The powers of ten scanNumber scales by, made once with pow10 itself so that a
// scanned value keeps the very bits a direct call would give.
constexpr int kScanPowers = 65;  // 10^0 ... 10^64
const double* scanPowers() {
  static const struct Table {
    double v[kScanPowers];
    Table() {
      for (int i = 0; i < kScanPowers; ++i) v[i] = pow10(static_cast<double>(i));
    }
  } table;
  return table.v;
}

// Clamp and store; a NaN is not inside any range, so it goes to min.
bool store(float& v, float w, float min, float max) {
  if (!(w >= min)) w = min;
  if (w > max) w = max;
  if (w == v) return false;
  v = w;
  return true;
}

int sign(int n) { return (n > 0) - (n < 0); }

}  // namespace

std::int16_t decimalExponent(float x, std::int8_t d) {
  // Fewer than one significant digit means nothing; past d = 1 the threshold
  // drops to zero or below and the scaling loop below would never end.
  if (d > 1) d = 1;
  float t = f32(10.0 - pow10(d) * 0.5);
  x = std::fabs(x);
  if (x == 0.0f) return -1000;
  if (std::isinf(x)) return 1000;
  std::int16_t e = 0;
  while (x >= t) {
    x = f32(static_cast<double>(x) * 0.1);
    ++e;
  }
  t = f32(static_cast<double>(t) * 0.1);
  while (x < t) {
    x = f32(static_cast<double>(x) * 10.0);
    --e;
  }
  return e;
}

std::string formatSignificant(float x, std::uint8_t N) {
  const int digits = N;
  // d below -128 would not fit; any d that small already gives 9 decimals.
  const int d = 1 - digits < -128 ? -128 : 1 - digits;
  int e = decimalExponent(x, static_cast<std::int8_t>(d));
  if (e < 0) e = 0;
  int decimals = digits - e - 1;
  if (decimals < 0) decimals = 0;
  if (decimals > 9) decimals = 9;
  return formatF(static_cast<double>(x), decimals);
}

float snapFraction(float v, std::int16_t dir, float step, float tol) {
  const float i = f32(std::floor(static_cast<double>(v)));
  const float f = f32(static_cast<double>(v) - i);
  const double s = step;
  if (dir < 0) return f32(i + s * std::ceil(f / s - tol * 0.5));
  if (dir > 0) return f32(i + s * std::floor(f / s + tol * 0.5));
  return v;
}

float snapToStep(float v, std::int16_t dir, float step, float tol) {
  const double s = step;
  if (dir < 0) return f32(s * std::ceil(v / s - tol * 0.5));
  if (dir > 0) return f32(s * std::floor(v / s + tol * 0.5));
  return v;
}

bool stepSignificant(float& v, std::int16_t n, float min, float max, std::int8_t d, bool snap) {
  // An infinite value has no digit grid: moving or snapping it would give NaN.
  if (!std::isfinite(v)) return store(v, v, min, max);
  int e = decimalExponent(v, d);
  if (e < 0) e = 0;
  const int k = e + d;
  float unit = 1.0f;
  float inv = 1.0f;
  for (int j = 0; j < std::abs(k); ++j) {
    if (k > 0) {
      unit = f32(unit * 10.0);
      inv = f32(inv * 0.1);
    } else {
      unit = f32(unit * 0.1);
      inv = f32(inv * 10.0);
    }
  }
  float delta = f32(static_cast<double>(n) * unit);
  delta = f32(static_cast<double>(std::abs(static_cast<int>(n))) * delta);
  float w = f32(static_cast<double>(v) + delta);
  if (snap && std::isfinite(w)) {
    if (unit >= 1.0f)
      w = f32(std::trunc(static_cast<double>(w) / unit + 0.5) * unit);
    else
      w = f32(std::floor(static_cast<double>(w) * inv + 0.5) / inv);
  }
  return store(v, w, min, max);
}

DecadeSplit splitDecade(double v, std::int16_t d) {
  const float L = f32(std::log10(v));
  // log10 of 0 or of a negative value is -inf or NaN; both count as exponent 0.
  int E = 0;
  if (L > 0.0f) E = L > 1000.0f ? 1000 : static_cast<int>(std::floor(static_cast<double>(L)));
  DecadeSplit s;
  if (v >= f32(pow10(E) * (10.0 - pow10(d) * 0.5))) {
    s.exponent = E + 1;
    s.logFraction = 0.0f;
  } else {
    s.exponent = E;
    s.logFraction = f32(static_cast<double>(L) - E);
  }
  s.decade = f32(pow10(s.exponent));
  s.unit = f32(pow10(d + s.exponent));
  return s;
}

bool stepDecade(float& v, int n, float min, float max, std::int8_t d, bool snap) {
  if (!std::isfinite(v)) return store(v, v, min, max);
  DecadeSplit s = splitDecade(v, d);

  // Counts beyond +-20 come from fast repeated input: they raise the speed and
  // add an extra that grows with the position in the decade. 64 bits keep -n
  // defined for the most negative int.
  const std::int64_t n64 = n;
  float speed = 0.0f;
  std::int64_t extra = 0;
  if (n64 > 20) {
    speed = f32(n64 / 1500.0 + 1.0);
    extra = n64 > 2000 ? n64 - 2000 : 0;
  } else if (n64 >= 1) {
    speed = static_cast<float>(n64);
    extra = n64 >= 2 ? static_cast<std::int64_t>(std::trunc((n64 - 2) * 1500.0 / 3.0)) : 0;
  } else if (n64 >= -20 && n64 <= -1) {
    speed = static_cast<float>(-n64);
    extra = n64 <= -2 ? static_cast<std::int64_t>(std::trunc((-n64 - 2) * 1500.0 / 3.0)) : 0;
  } else if (n64 < -20) {
    speed = f32(1.0 - n64 / 1500.0);
    extra = n64 < -2000 ? -n64 - 2000 : 0;
  }
  if (extra > 1500) extra = 1500;

  const float k = f32(static_cast<double>(s.logFraction) * 3.0 + 0.5);
  if (k > 0.0f) speed = f32(static_cast<double>(extra) * k / 1500.0 + speed);
  double w = std::trunc(-3.0 * d - 4.0 + k);
  if (w < 1.0) w = 1.0;
  if (speed > w) speed = f32(w);
  double t = std::trunc(static_cast<double>(speed));
  if (!(t >= 0.0)) t = 0.0;
  if (t > 24.0) t = 24.0;
  int idx = static_cast<int>(t);

  const double dir = n < 0 ? -1.0 : 1.0;
  float delta = f32(dir * stepSequence[idx] * s.unit);
  float x = f32(static_cast<double>(v) + delta);

  // Only a real move down can leave the decade; a count of 0 must not push a
  // value sitting on the decade's start.
  if (s.exponent >= 1 && n < 0) {
    const float lim = f32(0.05 * s.unit + s.decade);
    if (std::fabs(x) < lim) {
      // The move leaves the decade downward.
      if (std::fabs(v) < lim) {
        // Already at the decade's start: continue with the finer digit below.
        s.unit = f32(s.unit * 0.1);
        idx = idx + 2 > 24 ? 24 : idx + 2;
        delta = f32(dir * stepSequence[idx] * s.unit);
        x = f32(static_cast<double>(s.decade) + delta);
      } else {
        // Stop on the decade's start first.
        x = s.decade;
        snap = false;
      }
    }
  }

  const float a = std::fabs(delta);
  // The sign only: a count beyond 16 bits must not wrap into the wrong direction.
  if (snap && a != 0.0f && std::isfinite(x))
    x = snapToStep(x, static_cast<std::int16_t>(sign(n)), a, 0.01f);
  return store(v, x, min, max);
}

bool stepLinear(float& v, std::int16_t n, float min, float max, float step, bool snap, float tol) {
  float x = f32(static_cast<double>(n) * step + v);
  if (snap && std::isfinite(x)) x = snapFraction(x, n, step, tol);
  return store(v, x, min, max);
}

std::string formatAwg(float g) {
  const double t = std::trunc(static_cast<double>(g));
  const float f = std::fabs(f32(g - t));
  // A gauge that is not finite is no whole number either.
  const bool approximate = !std::isfinite(g) || (f > 0.01f && f < 0.99f);
  double r = g > 0.0f ? g + 0.5 : g < 0.0f ? g - 0.5 : g;
  r = std::trunc(r);
  // Keep the conversion inside 16 bits (and NaN out of it).
  if (!(r == r)) r = 0.0;
  if (r > 32767.0) r = 32767.0;
  if (r < -32768.0) r = -32768.0;
  const std::int16_t i = static_cast<std::int16_t>(r);

  std::string text = approximate ? "~" : " ";
  if (i > 0 || i < -4) {
    char buf[8];
    auto res = std::to_chars(buf, buf + sizeof buf, static_cast<int>(i));
    text.append(buf, res.ptr);
  } else {
    text.append(static_cast<std::size_t>(1 - i), '0');
  }
  return text;
}

namespace {

// sign * mantissa * 10^p as a float, +-infinity beyond its range.
float scaledFloat(std::int64_t mantissa, int mantissaSign, std::int64_t p) {
  const double kFloatMax = 3.4028234663852886e38;
  double x = 0.0;
  if (mantissa != 0) {
    const double m = static_cast<double>(mantissa);  // 1 <= m < 10^19
    if (p > 38)
      x = std::numeric_limits<double>::infinity();
    else if (p < -(kScanPowers - 1))
      x = 0.0;
    else if (p >= 0)
      x = m * scanPowers()[p];
    else
      x = m / scanPowers()[-p];
    x *= mantissaSign;
  }
  float f;
  if (x > kFloatMax)
    f = std::numeric_limits<float>::infinity();
  else if (x < -kFloatMax)
    f = -std::numeric_limits<float>::infinity();
  else
    f = static_cast<float>(x);
  if (f == 0.0f) f = 0.0f;  // no negative zero
  return f;
}

// A number of the common shape, optional sign, digits, and optionally a point
// with further digits, that ends in a character that cannot continue it: read
// straight, with the same parts the full scan below would find. False leaves
// the text to the full scan.
bool scanPlainNumber(const char* text, std::int64_t& mantissa, int& sign, std::int64_t& scale,
                     int& used) {
  const char* p = text;
  sign = 1;
  if (*p == '+' || *p == '-') {
    if (*p == '-') sign = -1;
    ++p;
  }
  const char* digits = p;
  std::uint64_t m = 0;  // wraps harmlessly on a run too long for the fast path
  while (*p >= '0' && *p <= '9') m = m * 10 + static_cast<unsigned>(*p++ - '0');
  const std::ptrdiff_t intDigits = p - digits;
  if (intDigits == 0) return false;
  std::ptrdiff_t fracDigits = 0;
  if (*p == '.') {
    const char* frac = ++p;
    while (*p >= '0' && *p <= '9') m = m * 10 + static_cast<unsigned>(*p++ - '0');
    fracDigits = p - frac;
  }
  // 18 digits always fit the mantissa; more, or an exponent or a further point,
  // take the full scan.
  if (intDigits + fracDigits > 18 || *p == '.' || *p == 'e' || *p == 'E') return false;
  mantissa = static_cast<std::int64_t>(m);
  scale = -fracDigits;
  used = static_cast<int>(p - text);
  return true;
}

}  // namespace

// The scanner accepts any text and gives a defined result for all of it:
//  - the mantissa gathers at most what fits in 64 bits; a further integer digit
//    only raises the decimal scale by one, a further fraction digit is dropped
//    (the digits kept are far more than a float can hold);
//  - the exponent stops growing past 10^15, far beyond any float, while the scale
//    counts characters and cannot overflow 64 bits;
//  - the power of ten is applied only where the result can be a nonzero finite
//    float: above 10^38 the value is +-inf, below 10^-64 it is 0, so no
//    floating-point overflow happens on the way;
//  - a zero mantissa is +0 whatever its sign and exponent (0e999 is 0, not NaN),
//    so equal records keep equal bytes.
int scanNumber(const char* text, float* value, int* consumed) {
  if (text == nullptr) return 0;

  std::int64_t plainMantissa = 0;
  int plainSign = 1;
  std::int64_t plainScale = 0;
  int plainUsed = 0;
  if (scanPlainNumber(text, plainMantissa, plainSign, plainScale, plainUsed)) {
    if (consumed) *consumed = plainUsed;
    if (value == nullptr) return 0;
    // The steps of scaledFloat that can apply here: below 10^18 and at most
    // 18 decimals the value is finite and nonzero unless the mantissa is 0.
    float f = 0.0f;
    if (plainMantissa != 0) {
      double x = static_cast<double>(plainMantissa);
      if (plainScale < 0) x = x / scanPowers()[-plainScale];
      x *= plainSign;
      f = static_cast<float>(x);
    }
    *value = f;
    return 1;
  }

  enum { Start, AfterSign, IntDigits, AfterPoint, FracDigits, AfterE, AfterExpSign, ExpDigits };
  constexpr std::int64_t kMantissaMax = std::numeric_limits<std::int64_t>::max();
  const std::int64_t kExponentCap = 1000000000000000;  // 10^15

  int state = Start;
  std::int64_t mantissa = 0;
  int mantissaSign = 1;
  std::int64_t scale = 0;  // fraction count plus integer digits that did not fit
  std::int64_t exponent = 0;
  int exponentSign = 1;
  std::int64_t accepted = 0;
  bool mark = false;
  bool endBeforeDigit = false;

  for (const char* p = text;; ++p) {
    const unsigned char c = static_cast<unsigned char>(*p);
    bool stop = false;
    if (c == 0) {
      endBeforeDigit = !mark;
      break;
    } else if (c == ' ' || c == '\t') {
      if (state == Start) {
      } else if (state == AfterSign) {
        stop = true;
        mark = false;
      } else {
        stop = true;
      }
    } else if (c == '+' || c == '-') {
      const int s = c == '-' ? -1 : 1;
      if (state == Start) {
        mantissaSign = s;
        state = AfterSign;
      } else if (state == AfterE) {
        exponentSign = s;
        state = AfterExpSign;
      } else if (state == AfterSign) {
        stop = true;
        mark = false;
      } else {
        stop = true;
      }
    } else if (c == '.') {
      if (state >= FracDigits) {
        stop = true;
      } else if (state == AfterPoint) {
        stop = true;
        mark = false;
      } else {
        state = AfterPoint;
      }
    } else if (c >= '0' && c <= '9') {
      const int digit = c - '0';
      if (state == Start || state == AfterSign) state = IntDigits;
      if (state == AfterPoint) state = FracDigits;
      if (state == AfterE || state == AfterExpSign) state = ExpDigits;
      if (state == IntDigits || state == FracDigits) {
        // mantissa * 10 + digit still fits (no division per digit).
        if (mantissa < kMantissaMax / 10 ||
            (mantissa == kMantissaMax / 10 && digit <= kMantissaMax % 10)) {
          mantissa = mantissa * 10 + digit;
          if (state == FracDigits) --scale;
        } else if (state == IntDigits) {
          ++scale;
        }
      } else if (exponent < kExponentCap) {
        exponent = exponent * 10 + digit;
      }
      mark = true;
    } else if (c == 'e' || c == 'E') {
      // Malformed exponents read as the instrument reads them: ".e5" is 0 and a
      // further exponent letter carries on the same exponent ("1e5e3" is 1e53).
      if (state == Start || state == AfterSign) {
        stop = true;
        mark = false;
      } else if (state == AfterE) {
        stop = true;
      } else {
        state = AfterE;
      }
    } else {
      stop = true;
    }
    if (stop) break;
    ++accepted;
  }

  const int count = accepted > std::numeric_limits<int>::max() ? std::numeric_limits<int>::max()
                                                               : static_cast<int>(accepted);
  if (!mark || state == Start) {
    if (consumed) *consumed = 0;
    return endBeforeDigit ? -1 : 0;
  }
  if (consumed) *consumed = count;
  if (value == nullptr) return 0;
  *value = scaledFloat(mantissa, mantissaSign, exponentSign * exponent + scale);
  return 1;
}

}  // namespace tolmira
