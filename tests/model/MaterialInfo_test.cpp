#include "model/MaterialInfo.h"

#include <string>

#include <gtest/gtest.h>

#include "model/SMaterial.h"

using namespace tolmira;

// Records store the index, so the order of the catalogue is fixed; the values
// are the float32 numbers nearest to the catalogue's decimals.
TEST(MaterialInfo, Catalogue) {
  struct Entry {
    const char* name;
    int base;
    float ru;
    float tc;
  };
  const Entry entries[kMaterialCount] = {
      {"Cu", 0, 0.01748f, 0.00393f},    {"Al", 1, 0.027f, 0.00403f},
      {"Cu M1E", 0, 0.0179f, 0.00428f}, {"Cu A", 0, 0.01707f, 0.00428f},
      {"Cu B", 0, 0.01718f, 0.00428f},  {"Cu C", 0, 0.01724f, 0.00428f},
      {"Al AM", 1, 0.028f, 0.00416f},   {"Al AT", 1, 0.0283f, 0.00416f},
  };
  for (int i = 0; i < kMaterialCount; ++i) {
    const MaterialInfo info = materialInfo(i);
    EXPECT_STREQ(entries[i].name, info.name) << i;
    EXPECT_EQ(entries[i].base, info.baseIndex) << i;
    EXPECT_EQ(entries[i].ru, info.ru) << i;
    EXPECT_EQ(entries[i].tc, info.tc) << i;
    EXPECT_EQ(0, info.drawSymbol(1, 2));
  }
}

TEST(MaterialInfo, OutOfRangeIndexReadsEntryZero) {
  for (int index : {8, 255, -1, 1000}) {
    const MaterialInfo info = materialInfo(index);
    EXPECT_STREQ("Cu", info.name) << index;
    EXPECT_EQ(0.01748f, info.ru) << index;
  }
}

struct FindCase {
  const char* name;
  int index;
};

class FindMaterial : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindMaterial, ExactWholeName) {
  EXPECT_EQ(GetParam().index, findMaterial(GetParam().name)) << GetParam().name;
}

INSTANTIATE_TEST_SUITE_P(Names, FindMaterial,
                         ::testing::Values(FindCase{"Cu M1E", 2}, FindCase{"Cu", 0},
                                           FindCase{"Al AT", 7}, FindCase{"cu", -1},
                                           FindCase{"Cu M1", -1}, FindCase{"Cu M1E ", -1},
                                           FindCase{"", -1}, FindCase{nullptr, -1}));

// The generic metals come from the settable record, not from the catalogue.
class GenericMetalsTest : public ::testing::Test {
 protected:
  void SetUp() override { saved = genericMetals; }
  void TearDown() override { genericMetals = saved; }
  GenericMetals saved{};
};

TEST_F(GenericMetalsTest, EntriesZeroAndOneReadTheRecord) {
  EXPECT_EQ(0.01748f, genericMetals.cuRu);
  EXPECT_EQ(0.027f, genericMetals.alRu);
  EXPECT_EQ(0.00393f, genericMetals.cuTC);
  EXPECT_EQ(0.00403f, genericMetals.alTC);

  genericMetals = {0.02f, 0.03f, 0.004f, 0.005f};
  EXPECT_EQ(0.02f, materialInfo(0).ru);
  EXPECT_EQ(0.004f, materialInfo(0).tc);
  EXPECT_EQ(0.03f, materialInfo(1).ru);
  EXPECT_EQ(0.005f, materialInfo(1).tc);
  EXPECT_EQ(0.0179f, materialInfo(2).ru);  // catalogue entries are unaffected
  SMaterial m;
  m.reset(1);
  EXPECT_EQ(0.03f, m.getRu());
}

TEST(LegacyMaterials, Values) {
  EXPECT_STREQ("Cu", legacyMaterials[0].name);
  EXPECT_EQ(0.0179f, legacyMaterials[0].ru);
  EXPECT_EQ(0.004f, legacyMaterials[0].tc);
  EXPECT_STREQ("Al", legacyMaterials[1].name);
  EXPECT_EQ(0.027f, legacyMaterials[1].ru);
  EXPECT_EQ(0.00416f, legacyMaterials[1].tc);
}
