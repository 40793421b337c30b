#pragma once

// Cross-sections the editor accepts and the AWG gauge of a cross-section. Every
// constant is the float32 nearest to the decimal written.
namespace tolmira {

inline constexpr float SectionMin = 0.0009765363f;  // mm², just below 2^-10
inline constexpr float SectionMax = 546.25f;        // mm²

// AWG n has diameter 0.127 mm * 92^((36 - n) / 39); for the cross-section that is
// AwgBase ^ (AwgOffset - n) with AwgBase = 92^(2/39).
inline constexpr float AwgBase = 1.2609767f;
inline constexpr float AwgOffset = 17.160183f;
inline constexpr float AwgLogOffset = 3.9792166f;
inline constexpr float AwgLogScale = 4.312453f;

// (AwgLogOffset - ln s) * AwgLogScale; +infinity for 0, NaN below 0.
float awgOf(float s);
// AwgBase ^ (AwgOffset - g) in double precision; beyond the double range it is
// +infinity or 0.
double sectionOfAwg(float g);

}  // namespace tolmira
