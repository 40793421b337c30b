#include "model/RecordSet.h"

#include <cstring>

#include "model/SListCables.h"

namespace {

std::string nameKey(const SCable& rec) {
  return std::string(rec.name, strnlen(rec.name, sizeof rec.name));
}

}  // namespace

RecordSet::RecordSet(const SListCables& table) : table_(table) {
  byName_.reserve(static_cast<std::size_t>(table.getCount()));
  for (int i = 0; i < table.getCount(); ++i) byName_.emplace(nameKey(table.at(i)), i);
}

bool RecordSet::contains(const SCable& rec) const {
  const auto range = byName_.equal_range(nameKey(rec));
  for (auto it = range.first; it != range.second; ++it)
    if (table_.at(it->second).equals(rec)) return true;
  return false;
}
