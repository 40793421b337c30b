#include "fields/EditorFields.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <optional>

#include "fields/CrossSection.h"
#include "fields/FieldLimits.h"
#include "fields/TypedNumber.h"
#include "model/RecordText.h"
#include "numeric/CFormat.h"
#include "numeric/Numeric.h"

using namespace tolmira;

namespace {
constexpr double kPi = 3.14159265358979323846;
constexpr float kSpeedOfLight = 300.0f;
constexpr long double kPerSpeedOfLight = 1.0L / 300.0L;
constexpr float kFloatMax = std::numeric_limits<float>::max();

// A double as the nearest float, the largest float beyond the range: converting an
// out-of-range double is undefined and would raise an overflow.
float toFloat(double d) {
  if (d > kFloatMax) return kFloatMax;
  if (d < -kFloatMax) return -kFloatMax;
  return static_cast<float>(d);
}

// "%#0.4g" with '.' whatever the C library's locale.
std::string formatVelocity(float v) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%#0.4g", static_cast<double>(v));
  std::string text(buf);
  const char* point = std::localeconv()->decimal_point;
  if (point && *point && std::strcmp(point, ".") != 0) {
    const std::size_t at = text.find(point);
    if (at != std::string::npos) text.replace(at, std::strlen(point), ".");
  }
  return text;
}

// A quantity that is not a number on the grid at all (an infinite or NaN value
// from elsewhere) goes to the nearer limit; stepping it would give NaN.
bool clampNonFinite(float& v, float min, float max) {
  if (std::isfinite(v)) return false;
  v = v > 0.0f ? max : min;
  return true;
}

bool stepSignificantSafe(float& v, std::int16_t n, float min, float max, int d) {
  if (clampNonFinite(v, min, max)) return true;
  return stepSignificant(v, n, min, max, static_cast<std::int8_t>(d), true);
}
}  // namespace

EditorFields::EditorFields() = default;

bool EditorFields::isNumeric(EditorField f) {
  switch (f) {
    case EditorField::CableName:
    case EditorField::TDR:
    case EditorField::DC:
    case EditorField::Material:
      return false;
    default:
      return true;
  }
}

EditorField EditorFields::methodOf(EditorField f) {
  switch (f) {
    case EditorField::CableName:
      return EditorField::CableName;
    case EditorField::TDR:
    case EditorField::V:
    case EditorField::VOP:
    case EditorField::V_2:
    case EditorField::KU:
      return EditorField::TDR;
    default:
      return EditorField::DC;
  }
}

bool EditorFields::isOn(EditorField method) const {
  if (method == EditorField::TDR) return work_.getKU() != 0.0f;
  if (method == EditorField::DC) return work_.hasResistance();
  return false;
}

std::string EditorFields::FieldText(EditorField f) const {
  const float v = work_.getV();
  switch (f) {
    case EditorField::CableName:
      return recordName(work_);
    case EditorField::Material:
      return work_.material.displayName();
    case EditorField::TDR:
    case EditorField::DC:
      return {};
    case EditorField::KU:
      // 300 / V, without dividing by the 0 of a record without KU.
      return formatSignificant(
          v == 0.0f ? std::numeric_limits<float>::infinity() : kSpeedOfLight / v, 4);
    case EditorField::VOP:
      return formatSignificant(static_cast<float>(v * kPerSpeedOfLight), 5);
    case EditorField::V_2:
      return formatVelocity(v * 0.5f);
    case EditorField::V:
      return formatVelocity(v);
    case EditorField::Rud:
      return formatSignificant(toFloat(static_cast<double>(work_.getRu()) * 1000.0), 4);
    case EditorField::TC:
      return formatSignificant(work_.getTC(), 6);
    case EditorField::Rr_20degreeC_:
      return formatSignificant(toFloat(static_cast<double>(work_.getR()) * 1000.0), 4);
    case EditorField::S:
      return formatSignificant(work_.getS(), 4);
    case EditorField::D:
      return formatSignificant(work_.getD(), 4);
    case EditorField::AWG:
      return formatAwg(awgOf(work_.getS()));
    case EditorField::K_TWISTING:
      return formatF(work_.getTwist(), 4);
  }
  return {};
}

void EditorFields::storeVelocity(float v) {
  // 300 / v beyond the float range would overflow; the largest KU stands for it
  // and the normalising step brings it into range.
  if (std::fabs(v) < kSpeedOfLight / kFloatMax) {
    work_.setKU(v > 0.0f ? kFloatMax : -kFloatMax);
    return;
  }
  work_.setV(v);
}

bool EditorFields::SetFieldValue(EditorField f, float x) {
  if (!isNumeric(f) || f == EditorField::TC || !std::isfinite(x)) return false;
  const double xd = x;
  switch (f) {
    case EditorField::KU:
      work_.setKU(x);
      break;
    case EditorField::VOP:
    case EditorField::V_2:
    case EditorField::V: {
      // A velocity of 0 would give an infinite KU: the record stays as it is.
      const double v = f == EditorField::VOP ? xd * 300.0 : f == EditorField::V_2 ? xd * 2.0 : xd;
      const float fv = toFloat(v);
      if (fv == 0.0f) return false;
      storeVelocity(fv);
      break;
    }
    case EditorField::Rud:
      work_.material.setRuOverride(toFloat(xd * 0.001));
      break;
    case EditorField::Rr_20degreeC_:
      work_.setR(toFloat(xd * 0.001));
      break;
    case EditorField::S:
      work_.setS(x);
      break;
    case EditorField::D:
      work_.setS(toFloat(xd * xd * kPi * 0.25));
      break;
    case EditorField::AWG:
      work_.setS(toFloat(sectionOfAwg(x)));
      break;
    case EditorField::K_TWISTING:
      work_.setTwist(x);
      break;
    default:
      return false;
  }
  StepField(f, 0);
  return true;
}

float EditorFields::kPerKm() const {
  const float ruTf = toFloat(static_cast<double>(work_.getRu()) *
                             static_cast<double>(static_cast<float>(work_.getTwist())));
  return toFloat(static_cast<double>(ruTf) * 1000.0);
}

float EditorFields::rMinPerKm() const {
  return toFloat(static_cast<double>(kPerKm()) / static_cast<double>(SectionMax));
}

float EditorFields::rMaxPerKm() const {
  return toFloat(static_cast<double>(kPerKm()) / static_cast<double>(SectionMin));
}

bool EditorFields::StepField(EditorField f, std::int16_t n) {
  // Byte copy: the table compares records byte for byte, padding included.
  unsigned char before[sizeof(SCable)];
  std::memcpy(before, &work_, sizeof before);
  switch (f) {
    case EditorField::KU: {
      float v = work_.getKU();
      if (stepSignificantSafe(v, n, KuMin, KuMax, KuDigits)) work_.setKU(v);
      break;
    }
    case EditorField::VOP: {
      float v = static_cast<float>(work_.getV() * kPerSpeedOfLight);
      if (stepSignificantSafe(v, n, VopMin, VopMax, VopDigits)) storeVelocity(v * 300.0f);
      break;
    }
    case EditorField::V_2:
    case EditorField::V: {
      float v = work_.getV() * 0.5f;
      if (stepSignificantSafe(v, n, HalfVMin, HalfVMax, HalfVDigits)) storeVelocity(v * 2.0f);
      break;
    }
    case EditorField::Rud: {
      float v = work_.getRu();
      if (clampNonFinite(v, RuMin, RuMax) ||
          stepDecade(v, n, RuMin, RuMax, static_cast<std::int8_t>(RuDigits), true))
        work_.material.setRuOverride(v);
      break;
    }
    case EditorField::Rr_20degreeC_: {
      float v = toFloat(static_cast<double>(work_.getR()) * 1000.0);
      if (stepSignificantSafe(v, n, rMinPerKm(), rMaxPerKm(), RDigits))
        work_.setR(toFloat(static_cast<double>(v) * 0.001));
      break;
    }
    case EditorField::S: {
      float v = work_.getS();
      if (stepSignificantSafe(v, n, SectionMin, SectionMax, SDigits)) work_.setS(v);
      break;
    }
    case EditorField::D: {
      float v = work_.getD();
      if (stepSignificantSafe(v, n, diameterMin(), diameterMax(), DDigits)) {
        const double d = v;
        work_.setS(toFloat(d * d * kPi * 0.25));
      }
      break;
    }
    case EditorField::AWG: {
      float v = awgOf(work_.getS());
      if (clampNonFinite(v, awgMin(), awgMax()) ||
          stepLinear(v, n, awgMin(), awgMax(), AwgStep, true, AwgTolerance))
        work_.setS(toFloat(sectionOfAwg(v)));
      break;
    }
    case EditorField::K_TWISTING: {
      float v = static_cast<float>(work_.getTwist());
      if (stepSignificantSafe(v, n, TwistMin, TwistMax, TwistDigits)) work_.setTwist(v);
      break;
    }
    default:
      return false;
  }
  return std::memcmp(before, &work_, sizeof before) != 0;
}

bool EditorFields::ApplyText(EditorField f, const std::string& text) {
  if (!isNumeric(f) || text == FieldText(f)) return false;
  const std::optional<float> x = parseTypedNumber(text);
  return x && SetFieldValue(f, *x);
}

void EditorFields::SelectMaterial(int index) {
  work_.material.reset(index);
  StepField(EditorField::Rr_20degreeC_, 0);
}

void EditorFields::StoreS() { work_.setS(work_.getS()); }

void EditorFields::StoreR() { work_.setR(work_.getR()); }

void EditorFields::SetOwnResistivity(bool own) {
  if (own)
    work_.material.freezeRu();
  else
    work_.material.clearRuOverride();
}
