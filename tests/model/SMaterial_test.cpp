#include "model/SMaterial.h"

#include <cstring>
#include <new>

#include <gtest/gtest.h>

#include "model/MaterialInfo.h"

TEST(SMaterial, ConstructionZeroesEveryByte) {
  alignas(SMaterial) unsigned char storage[sizeof(SMaterial)];
  std::memset(storage, 0xAA, sizeof storage);
  const SMaterial* m = new (storage) SMaterial;
  unsigned char expected[sizeof(SMaterial)] = {};
  const float noTC = kNoTCOverride;
  std::memcpy(expected + offsetof(SMaterial, tcOverride), &noTC, sizeof noTC);
  EXPECT_EQ(0, std::memcmp(storage, expected, sizeof storage));
  EXPECT_FALSE(m->hasRuOverride());
  EXPECT_FALSE(m->hasTCOverride());
}

TEST(SMaterial, ResetClampsIndexAndKeepsOwnName) {
  SMaterial m;
  m.name[0] = 'Q';
  m.setRuOverride(0.02f);
  m.setTCOverride(0.004f);
  m.reset(6);
  EXPECT_EQ(6, m.index);
  EXPECT_FALSE(m.hasRuOverride());
  EXPECT_FALSE(m.hasTCOverride());
  EXPECT_EQ('Q', m.name[0]);
  for (int bad : {8, -1, 255}) {
    m.reset(bad);
    EXPECT_EQ(0, m.index) << bad;
  }
}

TEST(SMaterial, EffectiveValues) {
  SMaterial m;
  m.reset(2);
  EXPECT_EQ(0.0179f, m.getRu());
  EXPECT_EQ(0.00428f, m.getTC());
  m.setRuOverride(0.03f);
  m.setTCOverride(0.005f);
  EXPECT_EQ(0.03f, m.getRu());
  EXPECT_EQ(0.005f, m.getTC());
  m.clearRuOverride();
  m.clearTCOverride();
  EXPECT_EQ(0.0179f, m.getRu());
  EXPECT_EQ(0.00428f, m.getTC());

  m.index = 9;  // only possible by writing the field: reads entry 0
  EXPECT_EQ(0.01748f, m.getRu());
  EXPECT_EQ(0.00393f, m.getTC());
  EXPECT_EQ("Cu", m.displayName());
}

TEST(SMaterial, FreezeCopiesCatalogueValueOnce) {
  SMaterial m;
  m.reset(7);
  m.freezeRu();
  m.freezeTC();
  EXPECT_EQ(0.0283f, m.ruOverride);
  EXPECT_EQ(0.00416f, m.tcOverride);

  m.setRuOverride(0.02f);
  m.freezeRu();  // an own value stays
  EXPECT_EQ(0.02f, m.ruOverride);

  SMaterial bad;
  bad.index = 8;
  bad.freezeRu();
  bad.freezeTC();
  EXPECT_FALSE(bad.hasRuOverride());
  EXPECT_FALSE(bad.hasTCOverride());
}

TEST(SMaterial, DisplayName) {
  SMaterial m;
  m.reset(7);
  EXPECT_EQ("Al AT", m.displayName());
  m.setTCOverride(0.005f);
  EXPECT_EQ("Al*", m.displayName());
  m.clearTCOverride();
  m.setRuOverride(0.03f);
  EXPECT_EQ("Al*", m.displayName());
  m.clearRuOverride();
  EXPECT_EQ("Al AT", m.displayName());
  m.reset(5);
  m.freezeRu();
  EXPECT_EQ("Cu*", m.displayName());
}

struct ValidCase {
  bool setRu;
  float ru;
  bool setTC;
  float tc;
  bool valid;
};

class SMaterialValid : public ::testing::TestWithParam<ValidCase> {};

TEST_P(SMaterialValid, Ranges) {
  const ValidCase& t = GetParam();
  SMaterial m;
  if (t.setRu) m.setRuOverride(t.ru);
  if (t.setTC) m.setTCOverride(t.tc);
  EXPECT_EQ(t.valid, m.isValid()) << t.ru << " " << t.tc;
}

// 0.035f and 0.006f lie just above the double bounds and so are outside.
INSTANTIATE_TEST_SUITE_P(
    Bounds, SMaterialValid,
    ::testing::Values(
        ValidCase{false, 0, false, 0, true}, ValidCase{true, 0.016f, false, 0, true},
        ValidCase{true, 0.0349f, false, 0, true}, ValidCase{true, 0.0159f, false, 0, false},
        ValidCase{true, 0.035f, false, 0, false}, ValidCase{true, -0.02f, false, 0, false},
        ValidCase{false, 0, true, 0.003f, true}, ValidCase{false, 0, true, 0.0059f, true},
        ValidCase{false, 0, true, 0.0029f, false}, ValidCase{false, 0, true, 0.006f, false},
        ValidCase{true, 0.02f, true, 0.007f, false}, ValidCase{true, 0.02f, true, 0.004f, true}));

TEST(SMaterial, InvalidIndexIsNotValid) {
  SMaterial m;
  m.index = 8;
  EXPECT_FALSE(m.isValid());
}

TEST(SMaterial, EqualsComparesStoredValues) {
  SMaterial a;
  a.reset(3);
  SMaterial b = a;
  b.name[0] = 'x';  // own name is not compared
  EXPECT_TRUE(a.equals(b));

  b = a;
  b.freezeRu();  // same effective value, but an own one
  EXPECT_EQ(a.getRu(), b.getRu());
  EXPECT_FALSE(a.equals(b));

  b = a;
  b.freezeTC();
  EXPECT_FALSE(a.equals(b));

  b = a;
  b.reset(4);
  EXPECT_FALSE(a.equals(b));
}
