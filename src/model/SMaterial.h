#pragma once

#include <cstdint>
#include <string>

// "No own temperature coefficient": the catalogue value applies.
constexpr float kNoTCOverride = -1000.0f;

// The material part of a cable record: a catalogue index with optional own
// resistivity and own temperature coefficient. Part of SCable's bytes.
struct SMaterial {
  char name[8];        // room for a user material's name; never written, stays zero
  std::uint8_t index;  // catalogue index 0 … 7
  float tcOverride;    // own TC in 1/°C, kNoTCOverride when none
  float ruOverride;    // own resistivity in Ohm·mm²/m, 0 when none

  // Zeroes all bytes (padding included), then reset(0).
  SMaterial();

  // index outside 0 … 7 selects 0; clears both own values, keeps name.
  void reset(int index = 0);

  float getRu() const;  // own value, else catalogue
  float getTC() const;
  bool hasRuOverride() const;
  bool hasTCOverride() const;
  void setRuOverride(float ru);
  void setTCOverride(float tc);
  void clearRuOverride();
  void clearTCOverride();
  // Copy the catalogue value into the own value when there is none yet.
  void freezeRu();
  void freezeTC();

  // Catalogue name without own values, else base metal name with '*' ("Cu*",
  // "Al*"); at most 6 characters.
  std::string displayName() const;

  // Usable for the DC method: catalogue index, own values (where set) in range.
  bool isValid() const;

  // Same index and own values (exact); name is not compared.
  bool equals(const SMaterial& other) const;
};
