#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "model/SCable.h"
#include "model/SListCables.h"

// Records and tables named by short ASCII tags, so that a table's order reads
// as a string ("ABCDE").
inline SCable namedRecord(const std::string& name, float ku = 1.5f) {
  SCable rec;
  std::strncpy(rec.name, name.c_str(), SCable::kMaxNameLength);
  rec.setKU(ku);
  return rec;
}

inline SListCables tableOf(const std::string& tags) {
  SListCables table;
  for (char c : tags) table.add(namedRecord(std::string(1, c)));
  table.clearModified();
  return table;
}

inline std::string order(const SListCables& table) {
  std::string out;
  for (int i = 0; i < table.getCount(); ++i) out += table.at(i).name;
  return out;
}

inline void fillToMax(SListCables& table) {
  while (table.getCount() < table.maxCount()) table.add(namedRecord("F"));
}

inline bool sameBytes(const SListCables& a, const SListCables& b) {
  if (a.getCount() != b.getCount()) return false;
  return a.getCount() == 0 ||
         std::memcmp(a.constData(), b.constData(), sizeof(SCable) * std::size_t(a.getCount())) == 0;
}

// "Кабель 1" / "Кабель 2" as Windows-1251 bytes.
inline const char* const kCable1Cp1251 = "\xCA\xE0\xE1\xE5\xEB\xFC 1";
inline const char* const kCable2Cp1251 = "\xCA\xE0\xE1\xE5\xEB\xFC 2";
