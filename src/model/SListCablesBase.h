#pragma once

#include <cstdint>

#include "model/SCable.h"

// The table interface shared with the instrument. The order of the virtual
// operations is part of that interface: do not reorder or insert.
class SListCablesBase {
 public:
  static constexpr int kMaxCount = 2023;

  virtual SCable* data() = 0;                         // slot 0
  virtual const SCable* constData() const = 0;        // slot 1
  virtual int maxCount() const = 0;                   // slot 2
  virtual void clear() = 0;                           // slot 3
  virtual bool add(const SCable& rec) = 0;            // slot 4
  virtual bool next(int& i) const = 0;                // slot 5
  virtual bool get(SCable& out, int i) const = 0;     // slot 6
  virtual bool remove(int i) = 0;                     // slot 7
  virtual bool replace(int i, const SCable& rec);     // slot 8, same as set
  virtual bool set(int i, const SCable& rec);         // slot 9
  virtual bool insert(int i, const SCable& rec) = 0;  // slot 10
  virtual bool swap(int a, int b);                    // slot 11
  virtual int commit() = 0;                           // slot 12
  // Declared after the interface slots so that it does not shift them.
  virtual ~SListCablesBase() = default;

  int getCount() const { return count; }
  bool isModified() const { return modified != 0; }
  void setModified() { modified = 1; }
  void clearModified() { modified = 0; }

 protected:
  SListCablesBase() = default;
  SListCablesBase(const SListCablesBase&) = default;
  SListCablesBase& operator=(const SListCablesBase&) = default;

  bool inRange(int i) const { return i >= 0 && i < count; }

  std::int16_t count = 0;
  std::uint8_t modified = 0;
};
