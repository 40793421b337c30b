#include "model/InstrumentCheck.h"

#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/NamedCable.h"
#include "model/SListCables.h"

using namespace tolmira;
using Kind = InstrumentFinding::Kind;

namespace {

SListCables tableOf(const std::vector<SCable>& records) {
  SListCables t;
  for (const SCable& c : records) EXPECT_TRUE(t.add(c));
  return t;
}

// count records K1, K2, ... with KU 1.5: nothing the instrument minds.
SListCables plainTable(int count) {
  SListCables t;
  for (int i = 0; i < count; ++i) EXPECT_TRUE(t.add(cable("K" + std::to_string(i + 1))));
  return t;
}

const InstrumentFinding* find(const std::vector<InstrumentFinding>& findings, Kind kind) {
  for (const InstrumentFinding& f : findings)
    if (f.kind == kind) return &f;
  return nullptr;
}

}  // namespace

TEST(InstrumentCheck, TheRecordLimitIsTheOnlyFindingThatLosesData) {
  EXPECT_TRUE(checkForInstrument(SListCables()).empty());
  EXPECT_TRUE(checkForInstrument(plainTable(151)).empty());

  const std::vector<InstrumentFinding> f = checkForInstrument(plainTable(153));
  ASSERT_EQ(1u, f.size());
  EXPECT_EQ(Kind::TooManyRecords, f[0].kind);
  EXPECT_TRUE(f[0].losesData);
  EXPECT_TRUE(anyLosesData(f));
  EXPECT_EQ((std::vector<int>{151, 152}), f[0].records);
  EXPECT_EQ(
      "Таблица содержит 153 записей. Прибор ВИРД-50 поддерживает максимум 151 запись. Все "
      "записи свыше будут прибором не загружены. И будут утеряны после изменения таблицы "
      "прибором.",
      f[0].text);

  SListCables dup = tableOf({cable("A"), cable("A"), cable("X", 0.0f)});
  const std::vector<InstrumentFinding> kept = checkForInstrument(dup);
  ASSERT_EQ(2u, kept.size());
  EXPECT_FALSE(anyLosesData(kept));
}

TEST(InstrumentCheck, EqualNamesAreGroupedByName) {
  SListCables t = tableOf({cable("A"), cable("B"), cable("A"), cable("C"), cable("B"), cable("A"),
                           cable("\xCA\xE0\xE1\xE5\xEB\xFC"), cable("\xCA\xE0\xE1\xE5\xEB\xFC")});
  const std::vector<InstrumentFinding> f = checkForInstrument(t);
  ASSERT_EQ(1u, f.size());
  EXPECT_EQ(Kind::DuplicateNames, f[0].kind);
  EXPECT_FALSE(f[0].losesData);
  EXPECT_EQ((std::vector<int>{0, 1, 2, 4, 5, 6, 7}), f[0].records);
  EXPECT_EQ(
      "Одинаковые имена: прибор не различит эти записи: \"A\" (записи 1, 3, 6), \"B\" (записи "
      "2, 5), \"Кабель\" (записи 7, 8).",
      f[0].text);

  // Bytes behind the terminator do not make names different.
  SCable a = cable("A"), b = cable("A");
  b.name[5] = 'x';
  EXPECT_NE(nullptr, find(checkForInstrument(tableOf({a, b})), Kind::DuplicateNames));
}

TEST(InstrumentCheck, OnlyTheRecordsTheInstrumentLoadsAreLookedAt) {
  SListCables t = plainTable(151);
  ASSERT_TRUE(t.add(cable("K1")));       // a duplicate past the limit
  ASSERT_TRUE(t.add(cable("N", 0.0f)));  // and a record without a method
  const std::vector<InstrumentFinding> f = checkForInstrument(t);
  ASSERT_EQ(1u, f.size());
  EXPECT_EQ(Kind::TooManyRecords, f[0].kind);
}

TEST(InstrumentCheck, RecordsWithoutAMethodAreListedWithTheirNumbers) {
  SCable dcOnly = cable("DC", 0.0f);
  dcOnly.setDefaultResistance();
  SListCables t = tableOf({cable("OK"), cable("NONE", 0.0f), dcOnly, cable("KU9", 9.0f)});
  const std::vector<InstrumentFinding> f = checkForInstrument(t);
  const InstrumentFinding* none = find(f, Kind::NoMethod);
  ASSERT_NE(nullptr, none);
  EXPECT_EQ((std::vector<int>{1, 3}), none->records);
  EXPECT_EQ(
      "Записи без метода измерения (ни TDR, ни DC), прибор не сможет по ним мерить: 2 \"NONE\", "
      "4 \"KU9\".",
      none->text);

  // A long list ends in a count.
  SListCables many;
  for (int i = 0; i < 12; ++i) ASSERT_TRUE(many.add(cable("N" + std::to_string(i + 1), 0.0f)));
  const std::vector<InstrumentFinding> manyFound = checkForInstrument(many);
  const InstrumentFinding* cut = find(manyFound, Kind::NoMethod);
  ASSERT_NE(nullptr, cut);
  EXPECT_EQ(12u, cut->records.size());
  EXPECT_NE(std::string::npos, cut->text.find("10 \"N10\" и ещё 2."));
  EXPECT_EQ(std::string::npos, cut->text.find("N11"));
}

TEST(InstrumentCheck, ValuesOnTheLimitsAreNamed) {
  auto dc = [](float ru, float tc, float twist) {
    SCable c = cable("R");
    c.setDefaultResistance();
    if (ru != 0) c.material.setRuOverride(ru);
    if (tc != 0) c.material.setTCOverride(tc);
    c.setTwist(twist);
    return c;
  };
  struct Case {
    const char* what;
    SCable rec;
    std::string values;  // empty: no finding
  };
  const Case cases[] = {
      {"KU inside", cable("R", 1.5f), ""},
      {"KU 1", cable("R", 1.0f), "КУ 1 на границе 1…7"},
      {"KU 7", cable("R", 7.0f), "КУ 7 на границе 1…7"},
      {"KU past 7", cable("R", 7.5f), "КУ 7.5 вне 1…7, метод TDR не работает"},
      {"KU below 1", cable("R", 0.5f), "КУ 0.5 вне 1…7, метод TDR не работает"},
      {"plain DC", dc(0, 0, 1.0f), ""},
      {"Ru 16", dc(0.016f, 0, 1.0f), "удельное сопротивление 16 на границе 16…35"},
      {"Ru 35", dc(0.035f, 0, 1.0f),
       "удельное сопротивление 35 на границе 16…35, прибор его не принимает, метод DC не работает"},
      {"Ru 40", dc(0.04f, 0, 1.0f), "удельное сопротивление 40 вне 16…35, метод DC не работает"},
      {"TC 0.003", dc(0, 0.003f, 1.0f), "ТКС 0.003 на границе 0.003…0.006"},
      {"TC 0.006", dc(0, 0.006f, 1.0f),
       "ТКС 0.006 на границе 0.003…0.006, прибор его не принимает, метод DC не работает"},
      {"largest twist", dc(0, 0, 2.0f), "коэффициент скрутки 1.65535 - наибольший возможный"},
      {"two at once",
       [&] {
         SCable c = dc(0.016f, 0, 1.0f);
         c.setKU(7.0f);
         return c;
       }(),
       "КУ 7 на границе 1…7; удельное сопротивление 16 на границе 16…35"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    const std::vector<InstrumentFinding> found = checkForInstrument(tableOf({cable("OK"), c.rec}));
    const InstrumentFinding* f = find(found, Kind::ValueOnLimit);
    if (c.values.empty()) {
      EXPECT_EQ(nullptr, f);
      continue;
    }
    ASSERT_NE(nullptr, f);
    EXPECT_FALSE(f->losesData);
    EXPECT_EQ(std::vector<int>{1}, f->records);
    EXPECT_EQ("Значения на границе допустимого: 2 \"R\": " + c.values + ".", f->text);
  }
}
