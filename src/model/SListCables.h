#pragma once

#include <cstdint>
#include <vector>

#include "model/SCable.h"
#include "model/SListCablesBase.h"

// One cable table: at most 2023 records held by value, positions 0-based.
class SListCables : public SListCablesBase {
 public:
  SListCables() = default;
  SListCables(const SListCables&) = default;
  SListCables& operator=(const SListCables&) = default;
  ~SListCables() override = default;

  SCable* data() override;
  const SCable* constData() const override;
  int maxCount() const override;
  void clear() override;
  bool add(const SCable& rec) override;
  bool next(int& i) const override;
  bool get(SCable& out, int i) const override;
  bool remove(int i) override;
  // i outside 0 … count: false, nothing changes.
  bool insert(int i, const SCable& rec) override;
  int commit() override;

  // Record i; the caller keeps 0 <= i < getCount().
  const SCable& at(int i) const { return records[static_cast<std::size_t>(i)]; }

  // Appends " n" (n = 1 … 9999, the base cut so that at most 15 characters
  // result) until no record has the name. False when all are taken.
  bool makeUniqueName(SCable& rec) const;
  // First position holding the same cable (SCable::equals), or -1.
  int indexOfEqual(const SCable& rec) const;
  // First position >= start (start out of range: 0), skipping exclude, whose
  // name equals name within 16 bytes; -1 when none.
  int indexOfName(const char* name, int start = 0, int exclude = -1) const;

  // Writes the table as a V04 file; 0 or the failure's status bits.
  std::uint32_t saveToFile(const char* fileName);

 private:
  std::vector<SCable> records;  // always exactly count elements
};
