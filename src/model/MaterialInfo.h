#pragma once

#include <cstdint>

// One entry of the built-in conductor catalogue. The index of an entry is what
// records store, so the order of the catalogue never changes.
struct MaterialInfo {
  // The instrument draws the base metal's symbol on its display through this;
  // here it draws nothing and returns 0.
  int (*drawSymbol)(int x, int y);
  const char* name;
  std::uint8_t baseIndex;  // 0: copper, 1: aluminium
  float ru;                // resistivity at 20 °C, Ohm·mm²/m
  float tc;                // temperature coefficient, 1/°C
};

constexpr int kMaterialCount = 8;

// Values of the two generic metals (catalogue entries 0 and 1), kept apart from
// the catalogue so that they can be set at start-up.
struct GenericMetals {
  float cuRu;
  float alRu;
  float cuTC;
  float alTC;
};
extern GenericMetals genericMetals;

// The material table of the oldest table files (V01).
struct LegacyMaterial {
  const char* name;
  float ru;  // Ohm·mm²/m
  float tc;  // 1/°C
};
constexpr int kLegacyMaterialCount = 2;
extern const LegacyMaterial legacyMaterials[kLegacyMaterialCount];

namespace tolmira {

// Entry `index`, or entry 0 when index is outside 0 … 7; entries 0 and 1 carry
// the current genericMetals values.
MaterialInfo materialInfo(int index);

// Lowest index whose catalogue name equals name exactly, or -1.
int findMaterial(const char* name);

}  // namespace tolmira
