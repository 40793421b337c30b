#include "model/SListCablesBase.h"

#include <cstring>

bool SListCablesBase::replace(int i, const SCable& rec) { return set(i, rec); }

bool SListCablesBase::set(int i, const SCable& rec) {
  if (!inRange(i)) return false;
  SCable* target = data() + i;
  // Byte comparison: an edit that changes nothing must not mark the table.
  if (std::memcmp(target, &rec, sizeof(SCable)) != 0) {
    std::memmove(static_cast<void*>(target), &rec, sizeof(SCable));
    setModified();
  }
  return commit() == 0;
}

bool SListCablesBase::swap(int a, int b) {
  if (!inRange(a) || !inRange(b) || a == b) return false;
  SCable* records = data();
  const SCable tmp = records[a];
  records[a] = records[b];
  records[b] = tmp;
  setModified();
  return true;
}
