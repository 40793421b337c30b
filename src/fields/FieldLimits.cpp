#include "fields/FieldLimits.h"

#include <cmath>

#include "fields/CrossSection.h"

using namespace tolmira;

namespace {
constexpr double kPi = 3.14159265358979323846;
float diameterOf(float s) { return static_cast<float>(2.0 * std::sqrt(s / kPi)); }
}  // namespace

float tolmira::diameterMin() { return diameterOf(SectionMin); }
float tolmira::diameterMax() { return diameterOf(SectionMax); }
float tolmira::awgMin() { return awgOf(SectionMax); }
float tolmira::awgMax() { return awgOf(SectionMin); }
