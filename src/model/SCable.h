#pragma once

#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "model/SMaterial.h"

// One cable record, shared with the instrument's firmware. A plain value type:
// tables copy it whole and compare it byte for byte to see whether an edit
// changed anything, so every record starts from reset() (all bytes zero,
// padding included) and the name is zero-padded behind its terminator.
struct SCable {
  char name[16];  // Windows-1251, NUL-terminated, at most 15 characters
  SMaterial material;
  float ku;    // shortening coefficient, 0 = not set
  float rOrS;  // R in Ohm/m (sIsStored 0) or S in mm² (sIsStored 1); 0 = no data
  std::uint8_t sIsStored;
  std::uint16_t twistCode;  // TF = (twistCode + 100000) * 0.00001

  static constexpr int kNameSize = 16;
  static constexpr int kMaxNameLength = 15;
  static constexpr int kTextSize = 64;

  SCable();  // reset state

  void reset();

  float getKU() const;
  void setKU(float ku);
  float getV() const;   // 300 / KU in m/µs, 0 when KU is 0
  void setV(float v);   // KU = 300 / v; v == 0 is ignored
  void setDefaultKU();  // 1.5
  bool isDefaultKU() const;
  bool isKUValid() const;  // 1 <= KU <= 7

  bool hasResistance() const;
  float getR() const;  // Ohm/m
  float getS() const;  // mm²
  float getD() const;  // mm
  void setR(float r);
  void setS(float s);
  float getRu() const;  // effective, Ohm·mm²/m
  float getTC() const;  // effective, 1/°C

  double getTwist() const;
  void setTwist(float tf);  // clamped to codes 0 … 65535

  // 1 mm² of generic copper, TF 1.0, material Cu without own values.
  void setDefaultResistance();
  bool isDefaultResistance() const;

  bool isResistanceValid() const;
  // Bit 1: TDR usable (isKUValid); bit 2: DC usable (isResistanceValid).
  std::uint8_t suitableMethods() const;

  // Same cable: names as strings, every stored value exact, materials by
  // SMaterial::equals. Bytes behind the name's terminator do not matter.
  bool equals(const SCable& other) const;

  // The V04 record line without line end. Writes at most size bytes including
  // the terminator and returns the number of characters actually written.
  int snprint(char* buf, int size) const;
  // snprint with size 63 (at most 62 characters), always terminated.
  void toText(char out[kTextSize]) const;

  static bool isValidNameChar(char c);
  // True for a name of valid characters with a terminator within 16 bytes.
  // Flags (optional) tell why it failed.
  static bool checkName(const char* name, bool* badChar = nullptr, bool* tooLong = nullptr);
  // Copies at most 15 characters, invalid ones replaced by '_'; empty src
  // gives "_". True only when src was non-empty, valid and short enough.
  // dst is zero-padded to its 16 bytes.
  static bool sanitizeName(char dst[kNameSize], const char* src);
};

// The layout is the firmware's record and the container compares records
// byte for byte, so the byte positions must not drift.
static_assert(sizeof(float) == 4 && std::numeric_limits<float>::is_iec559,
              "the firmware's quantities are IEEE single-precision floats");
static_assert(std::is_trivially_copyable<SCable>::value, "SCable is copied as bytes");
static_assert(std::is_standard_layout<SCable>::value, "SCable has a fixed layout");
static_assert(sizeof(SMaterial) == 20, "SMaterial layout");
static_assert(offsetof(SMaterial, index) == 8, "SMaterial layout");
static_assert(offsetof(SMaterial, tcOverride) == 12, "SMaterial layout");
static_assert(offsetof(SMaterial, ruOverride) == 16, "SMaterial layout");
static_assert(offsetof(SCable, material) == 16, "SCable layout");
static_assert(offsetof(SCable, ku) == 36, "SCable layout");
static_assert(offsetof(SCable, rOrS) == 40, "SCable layout");
static_assert(offsetof(SCable, sIsStored) == 44, "SCable layout");
static_assert(offsetof(SCable, twistCode) == 46, "SCable layout");
static_assert(sizeof(SCable) == 48, "SCable layout");
