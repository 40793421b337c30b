#pragma once

// The editor's fields; the values also order the refresh of dependent fields.
// 10 is not used.
enum class EditorField {
  CableName = 0,
  TDR = 1,
  DC = 2,
  V = 3,
  Material = 4,
  Rud = 5,
  TC = 6,
  Rr_20degreeC_ = 7,
  S = 8,
  K_TWISTING = 9,
  VOP = 11,
  V_2 = 12,
  KU = 13,
  D = 14,
  AWG = 15
};
