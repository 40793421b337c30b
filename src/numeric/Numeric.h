#pragma once

#include <cstdint>
#include <string>

// Text and stepping helpers for the single-precision quantities of a cable record.
//
// Significant digits are passed as d = 1 - N: d = -3 means 4 digits, -4 means 5,
// -5 means 6. The stepping functions share one contract: they move v by a signed
// count (0 only normalises), snap the result to the display grid, clamp it to
// min..max, store it only when it differs, and return whether they stored.
// All number text uses '.' as decimal separator whatever the process locale.

namespace tolmira {

// Step multipliers in the 1-2-5 progression used by stepDecade.
inline constexpr std::int32_t stepSequence[25] = {
    0,      1,       2,       5,       10,       20,       50,      100,    200,
    500,    1000,    2000,    5000,    10000,    20000,    50000,   100000, 200000,
    500000, 1000000, 2000000, 5000000, 10000000, 20000000, 50000000};

struct DecadeSplit {
  float unit;             // one step of the last significant digit
  std::int32_t exponent;  // power of ten of the leading digit, never below 0
  float logFraction;      // log10(v) - exponent; negative below 1, 0 when v rounds up a decade
  float decade;           // 10^exponent
};

// Power of ten of the leading digit of |x| after rounding to 1 - d significant
// digits; -1000 for 0 and 1000 for an infinite value.
std::int16_t decimalExponent(float x, std::int8_t d);

// Fixed-point text of x with N significant digits (N - 1 decimals below 1),
// never more than 9 decimals.
std::string formatSignificant(float x, std::uint8_t N);

// Snap the part of v above its integer part (snapFraction) or v itself
// (snapToStep) to multiples of step, toward the side a move in direction dir came
// from; a value within tol/2 of a step from a grid point counts as on it.
float snapFraction(float v, std::int16_t dir, float step, float tol);
float snapToStep(float v, std::int16_t dir, float step, float tol);

// Moves v by sign(n)*n^2 units of its last significant digit.
bool stepSignificant(float& v, std::int16_t n, float min, float max, std::int8_t d, bool snap);

DecadeSplit splitDecade(double v, std::int16_t d);

// Decade-aware move by a multiplier from stepSequence.
bool stepDecade(float& v, int n, float min, float max, std::int8_t d, bool snap);

// Moves v by n*step.
bool stepLinear(float& v, std::int16_t n, float min, float max, float step, bool snap, float tol);

// AWG gauge text: "~" before an approximate gauge, a space before an exact one;
// the heavy gauges 0 .. -4 are written as 0, 00, 000, 0000, 00000.
std::string formatAwg(float g);

// Scans a number (leading blanks, sign, digits, point, fraction, exponent) from
// the start of text. Returns 1 when a number was scanned and stored in *value,
// 0 when the text does not start with a number (or value is null), -1 when the
// text ended before any digit. *consumed gets the characters used (0 when invalid).
int scanNumber(const char* text, float* value, int* consumed);

}  // namespace tolmira
