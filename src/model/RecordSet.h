#pragma once

#include <string>
#include <unordered_map>

#include "model/SCable.h"

class SListCables;

// The records of a table found by content (SCable::equals) in constant time on
// average, for a question asked about many records at once: asked record by record
// of the table itself, it costs the rows times the rows. The table must not change
// while the set is in use.
class RecordSet {
 public:
  explicit RecordSet(const SListCables& table);
  bool contains(const SCable& rec) const;

 private:
  const SListCables& table_;
  std::unordered_multimap<std::string, int> byName_;  // equal records have equal names
};
