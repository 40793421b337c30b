#pragma once

#include <cstdlib>
#include <cstring>

#include "model/MaterialInfo.h"
#include "model/SCable.h"

// A finding stops the run where libFuzzer sees it.
inline void require(bool ok) {
  if (!ok) std::abort();
}

// A record the reader made: a valid material index, and the name terminated within
// its array with only zeros behind.
inline void requireRecordShape(const SCable& rec) {
  const void* end = std::memchr(rec.name, 0, sizeof rec.name);
  require(end != nullptr);
  for (const char* p = static_cast<const char*>(end); p < rec.name + sizeof rec.name; ++p)
    require(*p == 0);
  require(rec.material.index < kMaterialCount);
}
