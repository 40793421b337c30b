#include "model/SMaterial.h"

#include <cstdio>
#include <cstring>

#include "model/MaterialInfo.h"

using namespace tolmira;

SMaterial::SMaterial() {
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  reset(0);
}

void SMaterial::reset(int newIndex) {
  index = static_cast<std::uint8_t>(newIndex >= 0 && newIndex < kMaterialCount ? newIndex : 0);
  tcOverride = kNoTCOverride;
  ruOverride = 0.0f;
}

float SMaterial::getRu() const { return hasRuOverride() ? ruOverride : materialInfo(index).ru; }

float SMaterial::getTC() const { return hasTCOverride() ? tcOverride : materialInfo(index).tc; }

bool SMaterial::hasRuOverride() const { return ruOverride != 0.0f; }

bool SMaterial::hasTCOverride() const { return tcOverride != kNoTCOverride; }

void SMaterial::setRuOverride(float ru) { ruOverride = ru; }

void SMaterial::setTCOverride(float tc) { tcOverride = tc; }

void SMaterial::clearRuOverride() { ruOverride = 0.0f; }

void SMaterial::clearTCOverride() { tcOverride = kNoTCOverride; }

void SMaterial::freezeRu() {
  if (index < kMaterialCount && !hasRuOverride()) ruOverride = materialInfo(index).ru;
}

void SMaterial::freezeTC() {
  if (index < kMaterialCount && !hasTCOverride()) tcOverride = materialInfo(index).tc;
}

std::string SMaterial::displayName() const {
  const MaterialInfo info = materialInfo(index);
  if (!hasRuOverride() && !hasTCOverride()) return info.name;
  char text[8];
  std::snprintf(text, 7, "%s*", materialInfo(info.baseIndex).name);
  return text;
}

bool SMaterial::isValid() const {
  if (index >= kMaterialCount) return false;
  if (hasRuOverride()) {
    const double ru = ruOverride;
    if (!(ru >= 0.016 && ru <= 0.035)) return false;
  }
  if (hasTCOverride()) {
    const double tc = tcOverride;
    if (!(tc >= 0.003 && tc <= 0.006)) return false;
  }
  return true;
}

bool SMaterial::equals(const SMaterial& other) const {
  return index == other.index && tcOverride == other.tcOverride && ruOverride == other.ruOverride;
}
