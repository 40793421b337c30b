#pragma once

#include <string>

namespace tolmira {

// printf-style number formatting that always uses the C locale's '.', whatever
// locale the process runs in.
//   formatG(v, p) == printf("%.*g", p, v)
//   formatF(v, p) == printf("%.*f", p, v)
std::string formatG(double v, int precision);
std::string formatF(double v, int precision);

// The same texts written at out, which has room for kFormatRoom characters (any
// double in fixed notation with up to 17 decimals); the end of the text is returned.
inline constexpr int kFormatRoom = 400;
char* formatGTo(char* out, double v, int precision);
char* formatFTo(char* out, double v, int precision);

}  // namespace tolmira
