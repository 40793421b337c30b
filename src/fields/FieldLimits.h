#pragma once

// Ranges and display precision of the editor's quantities, in the units the
// stepping works in. Every constant is the float32 nearest to the decimal written.
namespace tolmira {

inline constexpr float KuMin = 1.0f, KuMax = 7.0f;
inline constexpr float VopMin = 0.14285715f, VopMax = 1.0f;       // 1/7 … 1
inline constexpr float HalfVMin = 21.428572f, HalfVMax = 150.0f;  // m/µs
inline constexpr float RuMin = 0.016f, RuMax = 0.035f;            // Ohm·mm²/m
inline constexpr float TwistMin = 1.0f, TwistMax = 1.5f;

// Significant digits as the stepping functions take them (d = 1 - N).
inline constexpr int KuDigits = -3;     // 4 digits
inline constexpr int VopDigits = -4;    // 5
inline constexpr int HalfVDigits = -3;  // 4
inline constexpr int RuDigits = -5;     // one unit is 0.00001 Ohm·mm²/m
inline constexpr int RDigits = -3;
inline constexpr int SDigits = -3;
inline constexpr int DDigits = -3;
inline constexpr int TwistDigits = -4;
inline constexpr float AwgStep = 1.0f;
inline constexpr float AwgTolerance = 0.01f;

// The diameters of SectionMin and SectionMax: 2 * sqrt(S / pi).
float diameterMin();
float diameterMax();
// The AWG gauges of SectionMax and SectionMin.
float awgMin();
float awgMax();

}  // namespace tolmira
