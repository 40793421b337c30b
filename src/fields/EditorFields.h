#pragma once

#include <cstdint>
#include <string>

#include "fields/EditorField.h"
#include "model/SCable.h"

// The editor's working copy of one record and the coupling of its fields: what
// each numeric field shows, how a typed number or a step is stored, and the range
// and grid of each quantity. Only KU, R or S, the material and the twisting factor
// are stored; every other quantity is derived from them at each display, so the
// fields of a group cannot disagree.
class EditorFields {
 public:
  EditorFields();  // a reset working copy

  SCable& work() { return work_; }
  const SCable& work() const { return work_; }

  // UTF-8 text of the field for the working copy, whether or not its method is on.
  // The name for CableName, the material's display name for Material, empty for
  // TDR and DC.
  std::string FieldText(EditorField f) const;

  // Stores x as the field's quantity, then normalises it (StepField(f, 0)). False,
  // storing nothing, for the name, the material, the methods and the temperature
  // coefficient, for a number that is not finite, and for a velocity of 0.
  bool SetFieldValue(EditorField f, float x);

  // Moves the field's quantity by n (sign(n)*n^2 units of its last digit, n AWG
  // steps, or a decade-aware step for the resistivity); n = 0 only snaps and
  // clamps. True when the record changed.
  bool StepField(EditorField f, std::int16_t n);

  // A typed text: nothing when it equals FieldText(f) (the user did not change it,
  // and reading the rounded text back would lose precision); else the number it
  // holds is stored with SetFieldValue. True when stored.
  bool ApplyText(EditorField f, const std::string& text);

  // The catalogue material `index` (0 outside 0 … 7) without own values; R is
  // brought onto its grid and into the range of the new material.
  void SelectMaterial(int index);
  // The same physical values with S, or R, as the stored quantity.
  void StoreS();
  void StoreR();
  // Own resistivity on: the catalogue value becomes the own value; off: the
  // catalogue value applies again.
  void SetOwnResistivity(bool own);

  // TDR: KU is set; DC: the record has resistance data. False for other fields.
  bool isOn(EditorField method) const;

  // The range of the linear resistance in Ohm/km: the R of SectionMax … SectionMin
  // for the current material and twisting factor.
  float rMinPerKm() const;
  float rMaxPerKm() const;

  // The fields that show a number.
  static bool isNumeric(EditorField f);
  // The method whose group holds the field (TDR or DC); CableName for the name.
  static EditorField methodOf(EditorField f);

 private:
  float kPerKm() const;
  void storeVelocity(float v);

  SCable work_;
};
