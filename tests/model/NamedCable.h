#pragma once

#include <algorithm>
#include <cstring>
#include <string>

#include "model/SCable.h"

// A record with the given name (cut to what the record holds) and KU.
inline SCable cable(const std::string& name, float ku = 1.5f) {
  SCable c;
  std::memcpy(c.name, name.data(), std::min<std::size_t>(name.size(), SCable::kMaxNameLength));
  c.setKU(ku);
  return c;
}
