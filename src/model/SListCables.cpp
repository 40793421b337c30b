#include "model/SListCables.h"

#include <algorithm>
#include <cstring>
#include <string>

SCable* SListCables::data() { return records.data(); }

const SCable* SListCables::constData() const { return records.data(); }

int SListCables::maxCount() const { return kMaxCount; }

void SListCables::clear() {
  if (count == 0) return;
  records.clear();
  count = 0;
  setModified();
}

bool SListCables::add(const SCable& rec) {
  if (count >= kMaxCount) return false;
  const SCable copy = rec;  // rec may live inside records
  records.push_back(copy);
  ++count;
  setModified();
  return true;
}

bool SListCables::next(int& i) const {
  if (i < 0) i = -1;
  ++i;
  return i < count;
}

bool SListCables::get(SCable& out, int i) const {
  if (!inRange(i)) return false;
  out = records[static_cast<std::size_t>(i)];
  return true;
}

bool SListCables::remove(int i) {
  if (!inRange(i)) return false;
  --count;
  records.erase(records.begin() + i);
  setModified();
  return true;
}

bool SListCables::insert(int i, const SCable& rec) {
  if (count >= kMaxCount) return false;
  // A position beyond the end would leave a gap or write outside the storage.
  if (i < 0 || i > count) return false;
  const SCable copy = rec;  // rec may live inside records
  records.insert(records.begin() + i, copy);
  ++count;
  setModified();
  return true;
}

int SListCables::commit() { return 0; }

int SListCables::indexOfEqual(const SCable& rec) const {
  for (int i = 0; i < count; ++i) {
    if (records[static_cast<std::size_t>(i)].equals(rec)) return i;
  }
  return -1;
}

int SListCables::indexOfName(const char* name, int start, int exclude) const {
  if (name == nullptr) return -1;
  if (!inRange(start)) start = 0;
  for (int i = start; i < count; ++i) {
    if (i == exclude) continue;
    if (std::strncmp(records[static_cast<std::size_t>(i)].name, name, SCable::kNameSize) == 0)
      return i;
  }
  return -1;
}

bool SListCables::makeUniqueName(SCable& rec) const {
  char base[SCable::kNameSize];
  std::memcpy(base, rec.name, sizeof base);
  const int len = static_cast<int>(strnlen(base, SCable::kMaxNameLength));
  for (int n = 1; n <= 9999; ++n) {
    const std::string digits = std::to_string(n);
    const int d = static_cast<int>(digits.size());
    const int pos = std::min(len, SCable::kMaxNameLength - (d + 1));
    // Rebuilt from the base each time so that the bytes behind the terminator stay zero.
    std::memset(rec.name, 0, sizeof rec.name);
    std::memcpy(rec.name, base, static_cast<std::size_t>(pos));
    rec.name[pos] = ' ';
    std::memcpy(rec.name + pos + 1, digits.data(), digits.size());
    if (indexOfName(rec.name, 0, -1) < 0) return true;
  }
  return false;
}
