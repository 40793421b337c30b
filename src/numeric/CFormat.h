#pragma once

#include <string>

namespace tolmira {

// printf-style number formatting that always uses the C locale's '.', whatever
// locale the process runs in.
//   formatG(v, p) == printf("%.*g", p, v)
//   formatF(v, p) == printf("%.*f", p, v)
std::string formatG(double v, int precision);
std::string formatF(double v, int precision);

}  // namespace tolmira
