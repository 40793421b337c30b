#include "fields/EditorFields.h"

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#if defined(__GLIBC__)
#include <fenv.h>
#endif

#include "fields/CrossSection.h"
#include "fields/FieldLimits.h"
#include "model/MaterialInfo.h"

using namespace tolmira;

namespace {

using F = EditorField;

// Overflow, invalid operations and division by zero trap while one lives, so an
// arithmetic fault ends the test program instead of passing unnoticed.
class FloatTraps {
 public:
  FloatTraps() {
#if defined(__GLIBC__)
    feclearexcept(FE_ALL_EXCEPT);
    feenableexcept(FE_OVERFLOW | FE_INVALID | FE_DIVBYZERO);
#endif
  }
  ~FloatTraps() {
#if defined(__GLIBC__)
    fedisableexcept(FE_ALL_EXCEPT);
    feclearexcept(FE_ALL_EXCEPT);
#endif
  }
};

EditorFields withKU(float ku) {
  EditorFields e;
  e.work().setKU(ku);
  return e;
}

// Generic copper, TF 1.0, S stored.
EditorFields copperS(float s) {
  EditorFields e;
  e.work().setS(s);
  return e;
}

struct TextCase {
  const char* what;
  EditorFields fields;
  F field;
  std::string text;
};

TEST(FieldText, Table) {
  const std::vector<TextCase> cases = {
      {"KU 1.5", withKU(1.5f), F::KU, "1.500"},
      {"KU 1.5", withKU(1.5f), F::V, "200.0"},
      {"KU 1.5", withKU(1.5f), F::V_2, "100.0"},
      {"KU 1.5", withKU(1.5f), F::VOP, "0.6667"},
      {"KU 7", withKU(7.0f), F::KU, "7.000"},
      {"KU 7", withKU(7.0f), F::V, "42.86"},
      {"KU 7", withKU(7.0f), F::V_2, "21.43"},
      {"KU 7", withKU(7.0f), F::VOP, "0.1429"},
      {"KU 1", withKU(1.0f), F::V, "300.0"},
      {"KU 1", withKU(1.0f), F::VOP, "1.0000"},
      {"copper S 1", copperS(1.0f), F::Rr_20degreeC_, "17.48"},
      {"copper S 1", copperS(1.0f), F::S, "1.000"},
      {"copper S 1", copperS(1.0f), F::D, "1.128"},
      {"copper S 1", copperS(1.0f), F::AWG, "~17"},
      {"copper S 1", copperS(1.0f), F::Rud, "17.48"},
      {"copper S 1", copperS(1.0f), F::TC, "0.00393"},
      {"copper S 1", copperS(1.0f), F::K_TWISTING, "1.0000"},
      {"copper S 1", copperS(1.0f), F::Material, "Cu"},
      {"smallest section", copperS(SectionMin), F::S, "0.001"},
      {"smallest section", copperS(SectionMin), F::D, "0.035"},
      {"smallest section", copperS(SectionMin), F::AWG, "~47"},
      {"largest section", copperS(SectionMax), F::S, "546.2"},
      {"largest section", copperS(SectionMax), F::D, "26.37"},
      {"largest section", copperS(SectionMax), F::AWG, "~-10"},
  };
  for (const TextCase& c : cases)
    EXPECT_EQ(c.fields.FieldText(c.field), c.text) << c.what << ", field " << int(c.field);
}

TEST(FieldText, ReadsWithThePointWhateverTheLocale) {
  // The project's tests also run under a comma locale (see test.sh).
  EditorFields e = withKU(1.5f);
  EXPECT_EQ(e.FieldText(F::V), "200.0");
  EXPECT_EQ(e.FieldText(F::K_TWISTING), "1.0000");
}

struct TypedCase {
  const char* what;
  EditorFields fields;
  F field;
  std::string typed;
  bool stored;
  std::vector<std::pair<F, std::string>> shown;
};

TEST(ApplyText, Table) {
  const std::vector<TypedCase> cases = {
      {"V 250",
       withKU(1.5f),
       F::V,
       "250",
       true,
       {{F::KU, "1.200"}, {F::V_2, "125.0"}, {F::VOP, "0.8333"}, {F::V, "250.0"}}},
      {"blanks around", withKU(1.5f), F::KU, "  2 ", true, {{F::KU, "2.000"}}},
      {"KU above range", withKU(1.5f), F::KU, "9", true, {{F::KU, "7.000"}}},
      {"KU 0", withKU(1.5f), F::KU, "0", true, {{F::KU, "1.000"}}},
      {"KU on the grid", withKU(1.5f), F::KU, "1.23456", true, {{F::KU, "1.235"}}},
      {"twist above range", withKU(1.5f), F::K_TWISTING, "2", true, {{F::K_TWISTING, "1.5000"}}},
      {"S above range", copperS(1.0f), F::S, "1000", true, {{F::S, "546.2"}}},
      {"S below range", copperS(1.0f), F::S, "0.00001", true, {{F::S, "0.001"}}},
      {"R 20",
       copperS(1.0f),
       F::Rr_20degreeC_,
       "20",
       true,
       {{F::Rr_20degreeC_, "20.00"}, {F::S, "0.874"}}},
      {"R below range",
       copperS(1.0f),
       F::Rr_20degreeC_,
       "0.001",
       true,
       {{F::Rr_20degreeC_, "0.032"}, {F::S, "546.2"}}},
      {"AWG 10", copperS(1.0f), F::AWG, "10", true, {{F::S, "5.261"}, {F::AWG, " 10"}}},
      {"AWG -1", copperS(1.0f), F::AWG, "-1", true, {{F::S, "67.43"}, {F::AWG, " 00"}}},
      {"AWG 0", copperS(1.0f), F::AWG, "0", true, {{F::S, "53.48"}, {F::AWG, " 0"}}},
      {"AWG far beyond", copperS(1.0f), F::AWG, "-1e30", true, {{F::AWG, "~-10"}}},
      {"D 2", copperS(1.0f), F::D, "2", true, {{F::D, "2.000"}, {F::S, "3.142"}}},
      {"resistivity",
       copperS(1.0f),
       F::Rud,
       "20",
       true,
       {{F::Rud, "20.00"}, {F::Material, "Cu*"}, {F::Rr_20degreeC_, "20.00"}}},
      {"resistivity above range", copperS(1.0f), F::Rud, "50", true, {{F::Rud, "35.00"}}},
      {"not a number", withKU(1.5f), F::KU, "1,5", false, {{F::KU, "1.500"}}},
      {"letters", withKU(1.5f), F::KU, "abc", false, {{F::KU, "1.500"}}},
      {"empty", withKU(1.5f), F::KU, "", false, {{F::KU, "1.500"}}},
      {"inf", withKU(1.5f), F::KU, "inf", false, {{F::KU, "1.500"}}},
      {"beyond float32", withKU(1.5f), F::KU, "1e40", false, {{F::KU, "1.500"}}},
      {"beyond float32 in R", copperS(1.0f), F::Rr_20degreeC_, "1e40", false, {{F::S, "1.000"}}},
      {"V 0", withKU(1.5f), F::V, "0", false, {{F::KU, "1.500"}}},
      {"V/2 0", withKU(1.5f), F::V_2, "0.0", false, {{F::KU, "1.500"}}},
      {"VOP 0", withKU(1.5f), F::VOP, "0", false, {{F::KU, "1.500"}}},
      {"VOP of a tiny number", withKU(1.5f), F::VOP, "1e-50", false, {{F::KU, "1.500"}}},
      {"temperature coefficient", copperS(1.0f), F::TC, "0.004", false, {{F::TC, "0.00393"}}},
  };
  for (const TypedCase& c : cases) {
    EditorFields e = c.fields;
    const SCable before = e.work();
    {
      FloatTraps traps;
      EXPECT_EQ(e.ApplyText(c.field, c.typed), c.stored) << c.what;
    }
    if (!c.stored) {
      EXPECT_TRUE(e.work().equals(before)) << c.what;
    }
    for (const auto& [field, text] : c.shown)
      EXPECT_EQ(e.FieldText(field), text) << c.what << ", field " << int(field);
  }
}

TEST(ApplyText, UnchangedTextStoresNothing) {
  // S is stored; re-reading the rounded R text would make R the stored quantity.
  EditorFields e = copperS(1.0f);
  EXPECT_FALSE(e.ApplyText(F::Rr_20degreeC_, e.FieldText(F::Rr_20degreeC_)));
  EXPECT_EQ(e.work().sIsStored, 1);
  EXPECT_TRUE(e.ApplyText(F::Rr_20degreeC_, "20"));
  EXPECT_EQ(e.work().sIsStored, 0);
}

TEST(SetFieldValue, RefusesWhatIsNoQuantity) {
  FloatTraps traps;
  const float inf = std::numeric_limits<float>::infinity();
  EditorFields e = withKU(1.5f);
  const SCable before = e.work();
  for (F f : {F::CableName, F::TDR, F::DC, F::Material, F::TC}) EXPECT_FALSE(e.SetFieldValue(f, 2));
  EXPECT_FALSE(e.SetFieldValue(F::KU, inf));
  EXPECT_FALSE(e.SetFieldValue(F::V, std::nanf("")));
  EXPECT_FALSE(e.SetFieldValue(F::V, 0.0f));
  EXPECT_TRUE(e.work().equals(before));
  // The largest float is a number: it goes to the nearer limit.
  EXPECT_TRUE(e.SetFieldValue(F::VOP, std::numeric_limits<float>::max()));
  EXPECT_EQ(e.FieldText(F::KU), "1.000");
  EXPECT_TRUE(e.SetFieldValue(F::V, std::numeric_limits<float>::denorm_min()));
  EXPECT_EQ(e.FieldText(F::KU), "7.000");
}

struct StepCase {
  const char* what;
  EditorFields fields;
  F field;
  int n;
  bool changed;
  std::vector<std::pair<F, std::string>> shown;
};

TEST(StepField, Table) {
  const std::vector<StepCase> cases = {
      {"Down on V 200", withKU(1.5f), F::V, -1, true, {{F::V_2, "99.90"}, {F::V, "199.8"}}},
      {"Up on KU 1.5", withKU(1.5f), F::KU, 1, true, {{F::KU, "1.501"}}},
      {"two on KU 1.5", withKU(1.5f), F::KU, 2, true, {{F::KU, "1.504"}}},
      {"minus two on KU 1.5", withKU(1.5f), F::KU, -2, true, {{F::KU, "1.496"}}},
      {"KU at the top", withKU(7.0f), F::KU, 1, false, {{F::KU, "7.000"}}},
      // Below 1 the fifth digit is the fourth decimal.
      {"VOP up", withKU(1.5f), F::VOP, 1, true, {{F::VOP, "0.6668"}, {F::KU, "1.500"}}},
      {"S up", copperS(1.0f), F::S, 1, true, {{F::S, "1.001"}}},
      {"S at the bottom", copperS(SectionMin), F::S, -1, false, {{F::S, "0.001"}}},
      {"AWG down", copperS(1.0f), F::AWG, -1, true, {{F::AWG, " 17"}}},
      {"AWG up twice", copperS(1.0f), F::AWG, 2, true, {{F::AWG, " 19"}}},
      {"D up", copperS(1.0f), F::D, 1, true, {{F::D, "1.129"}}},
      {"R up", copperS(1.0f), F::Rr_20degreeC_, 1, true, {{F::Rr_20degreeC_, "17.49"}}},
      {"twist up", copperS(1.0f), F::K_TWISTING, 1, true, {{F::K_TWISTING, "1.0001"}}},
      {"resistivity up", copperS(1.0f), F::Rud, 1, true, {{F::Rud, "17.49"}}},
      {"temperature coefficient", copperS(1.0f), F::TC, 1, false, {{F::TC, "0.00393"}}},
      {"name", copperS(1.0f), F::CableName, 1, false, {}},
      {"snap only", withKU(1.23456f), F::KU, 0, true, {{F::KU, "1.235"}}},
  };
  for (const StepCase& c : cases) {
    EditorFields e = c.fields;
    EXPECT_EQ(e.StepField(c.field, static_cast<std::int16_t>(c.n)), c.changed) << c.what;
    for (const auto& [field, text] : c.shown)
      EXPECT_EQ(e.FieldText(field), text) << c.what << ", field " << int(field);
  }
}

TEST(StepField, NonFiniteQuantityGoesToALimit) {
  FloatTraps traps;
  EditorFields e;
  e.work().setKU(std::numeric_limits<float>::infinity());
  EXPECT_TRUE(e.StepField(F::KU, 0));
  EXPECT_EQ(e.work().getKU(), 7.0f);
}

TEST(Material, ChangeWithRStoredKeepsR) {
  EditorFields e = copperS(1.0f);
  e.StoreR();
  ASSERT_EQ(e.FieldText(F::Rr_20degreeC_), "17.48");
  e.SelectMaterial(6);  // Al AM
  EXPECT_EQ(e.work().sIsStored, 0);
  EXPECT_EQ(e.FieldText(F::Rr_20degreeC_), "17.48");
  EXPECT_EQ(e.FieldText(F::Material), "Al AM");
  EXPECT_EQ(e.FieldText(F::S), "1.602");
}

TEST(Material, ChangeWithSStoredSnapsTheNewRAndStoresIt) {
  EditorFields e = copperS(1.5f);
  e.SelectMaterial(6);  // Al AM: R = 0.028 / 1.5 = 18.666… Ohm/km
  EXPECT_EQ(e.work().sIsStored, 0);
  EXPECT_EQ(e.FieldText(F::Rr_20degreeC_), "18.67");
  EXPECT_EQ(e.FieldText(F::S), "1.500");
}

TEST(Material, IndexOutsideTheCatalogueIsCopperAndOwnValuesGo) {
  EditorFields e = copperS(1.0f);
  e.work().material.setTCOverride(0.004f);
  e.SetOwnResistivity(true);
  e.SelectMaterial(9);
  EXPECT_EQ(e.work().material.index, 0);
  EXPECT_FALSE(e.work().material.hasRuOverride());
  EXPECT_FALSE(e.work().material.hasTCOverride());
}

TEST(Material, OwnResistivityFreezesAndClears) {
  EditorFields e = copperS(1.0f);
  e.SetOwnResistivity(true);
  EXPECT_EQ(e.work().material.ruOverride, materialInfo(0).ru);
  EXPECT_EQ(e.FieldText(F::Material), "Cu*");
  ASSERT_TRUE(e.StepField(F::Rud, 1));
  EXPECT_EQ(e.FieldText(F::Rud), "17.49");
  e.SetOwnResistivity(false);
  EXPECT_FALSE(e.work().material.hasRuOverride());
  EXPECT_EQ(e.FieldText(F::Rud), "17.48");
}

TEST(StoredQuantity, SwitchingKeepsThePhysicalValues) {
  EditorFields e = copperS(1.0f);
  e.StoreR();
  EXPECT_EQ(e.work().sIsStored, 0);
  EXPECT_EQ(e.FieldText(F::S), "1.000");
  e.StoreS();
  EXPECT_EQ(e.work().sIsStored, 1);
  EXPECT_EQ(e.FieldText(F::Rr_20degreeC_), "17.48");
}

TEST(Methods, OnByStoredValues) {
  EditorFields e;
  EXPECT_FALSE(e.isOn(F::TDR));
  EXPECT_FALSE(e.isOn(F::DC));
  e.work().setKU(1.5f);
  e.work().setR(0.01748f);
  EXPECT_TRUE(e.isOn(F::TDR));
  EXPECT_TRUE(e.isOn(F::DC));
  EXPECT_FALSE(e.isOn(F::KU));
}

TEST(CrossSection, AwgConversions) {
  EXPECT_NEAR(sectionOfAwg(10), 5.261, 0.0005);
  EXPECT_NEAR(sectionOfAwg(0), 53.48, 0.005);
  EXPECT_NEAR(sectionOfAwg(-1), 67.43, 0.005);
  EXPECT_NEAR(awgMin(), -10.02, 0.005);
  EXPECT_NEAR(awgMax(), 47.05, 0.005);
  EXPECT_NEAR(diameterMin(), 0.03526, 0.000005);
  EXPECT_NEAR(diameterMax(), 26.37, 0.005);
  FloatTraps traps;
  EXPECT_TRUE(std::isinf(awgOf(0.0f)));
  EXPECT_TRUE(std::isnan(awgOf(-1.0f)));
  EXPECT_TRUE(std::isinf(sectionOfAwg(-1e30f)));
  EXPECT_EQ(sectionOfAwg(1e30f), 0.0);
}

}  // namespace
