#include "model/MaterialInfo.h"

#include <cstring>

namespace {
int drawNothing(int, int) { return 0; }

// Entries 0 and 1 take their values from genericMetals; theirs here are unused.
const MaterialInfo kCatalogue[kMaterialCount] = {
    {drawNothing, "Cu", 0, 0.01748f, 0.00393f},    {drawNothing, "Al", 1, 0.027f, 0.00403f},
    {drawNothing, "Cu M1E", 0, 0.0179f, 0.00428f}, {drawNothing, "Cu A", 0, 0.01707f, 0.00428f},
    {drawNothing, "Cu B", 0, 0.01718f, 0.00428f},  {drawNothing, "Cu C", 0, 0.01724f, 0.00428f},
    {drawNothing, "Al AM", 1, 0.028f, 0.00416f},   {drawNothing, "Al AT", 1, 0.0283f, 0.00416f},
};
}  // namespace

GenericMetals genericMetals = {0.01748f, 0.027f, 0.00393f, 0.00403f};

const LegacyMaterial legacyMaterials[kLegacyMaterialCount] = {
    {"Cu", 0.0179f, 0.004f},
    {"Al", 0.027f, 0.00416f},
};

MaterialInfo tolmira::materialInfo(int index) {
  if (index < 0 || index >= kMaterialCount) index = 0;
  MaterialInfo info = kCatalogue[index];
  if (index == 0) {
    info.ru = genericMetals.cuRu;
    info.tc = genericMetals.cuTC;
  } else if (index == 1) {
    info.ru = genericMetals.alRu;
    info.tc = genericMetals.alTC;
  }
  return info;
}

int tolmira::findMaterial(const char* name) {
  if (name == nullptr) return -1;
  for (int i = 0; i < kMaterialCount; ++i) {
    if (std::strcmp(kCatalogue[i].name, name) == 0) return i;
  }
  return -1;
}
