#include "history/SListCables_Action.h"

#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HistoryTestTables.h"
#include "history/SListCables_ActionPrimitives.h"

namespace {

// --- Refresh of the stored record -------------------------------------------

// The stored copy may be stale (the row was edited after the step was built);
// removing the row must keep what was really removed.
TEST(ActionPrimitive, AddUndoKeepsTheRemovedRecordForRedo) {
  SListCables table = tableOf("ABC");
  SListCables_Action_Add add(1, namedRecord("S"));  // stale: row 1 holds B
  ASSERT_TRUE(add.undo(table));
  EXPECT_EQ(order(table), "AC");
  EXPECT_TRUE(table.isModified());
  EXPECT_EQ(add.description(), "Добавление записи 2: \"B\"");
  ASSERT_TRUE(add.redo(table));
  EXPECT_EQ(order(table), "ABC");
}

TEST(ActionPrimitive, DeleteRedoKeepsTheRemovedRecordForUndo) {
  SListCables table = tableOf("ABC");
  SListCables_Action_Delete del(table, 2);
  ASSERT_TRUE(table.remove(2));
  ASSERT_TRUE(del.undo(table));
  EXPECT_EQ(order(table), "ABC");
  ASSERT_TRUE(table.set(2, namedRecord("X")));
  ASSERT_TRUE(del.redo(table));
  EXPECT_EQ(order(table), "AB");
  ASSERT_TRUE(del.undo(table));
  EXPECT_EQ(order(table), "ABX");
}

TEST(ActionPrimitive, EditSwitchesBetweenBeforeAndAfter) {
  SListCables table = tableOf("ABC");
  SListCables_Action_Edit edit(table, namedRecord("E", 2.0f), 1);
  ASSERT_TRUE(edit.redo(table));
  EXPECT_EQ(order(table), "AEC");
  EXPECT_EQ(table.at(1).getKU(), 2.0f);
  ASSERT_TRUE(edit.undo(table));
  EXPECT_EQ(order(table), "ABC");
  EXPECT_EQ(table.at(1).getKU(), 1.5f);
}

TEST(ActionPrimitive, ConstructionOutOfRangeKeepsDefaultRecords) {
  const SListCables table = tableOf("AB");
  const SCable reset;
  for (int index : {-1, 2, 100}) {
    SListCables_Action_Delete del(table, index);
    SListCables_Action_Edit edit(table, namedRecord("N"), index);
    EXPECT_EQ(std::memcmp(&del.record, &reset, sizeof(SCable)), 0) << index;
    EXPECT_EQ(std::memcmp(&edit.before, &reset, sizeof(SCable)), 0) << index;
    EXPECT_EQ(std::memcmp(&edit.after, &reset, sizeof(SCable)), 0) << index;
  }
}

TEST(ActionPrimitive, InsertionsClampTheIndex) {
  SListCables table = tableOf("AB");
  SListCables_Action_Add addFar(9, namedRecord("Z"));
  ASSERT_TRUE(addFar.redo(table));
  SListCables_Action_Add addNeg(-4, namedRecord("Y"));
  ASSERT_TRUE(addNeg.redo(table));
  EXPECT_EQ(order(table), "YABZ");
}

// --- Steps that cannot run -----------------------------------------------

struct FailCase {
  const char* what;
  std::string rows;
  bool full;  // table filled up to the limit first
  std::function<bool(SListCables&)> step;
};

void PrintTo(const FailCase& c, std::ostream* os) { *os << c.what; }

class ActionPrimitiveFails : public ::testing::TestWithParam<FailCase> {};

TEST_P(ActionPrimitiveFails, ReturnsFalseAndLeavesTheTableAlone) {
  const FailCase& c = GetParam();
  SListCables table = tableOf(c.rows);
  if (c.full) fillToMax(table);
  table.clearModified();
  const SListCables before = table;
  EXPECT_FALSE(c.step(table));
  EXPECT_TRUE(sameBytes(table, before));
  EXPECT_FALSE(table.isModified());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ActionPrimitiveFails,
    ::testing::Values(
        FailCase{
            "add undo past end", "AB", false,
            [](SListCables& t) { return SListCables_Action_Add(2, namedRecord("X")).undo(t); }},
        FailCase{
            "add undo negative", "AB", false,
            [](SListCables& t) { return SListCables_Action_Add(-1, namedRecord("X")).undo(t); }},
        FailCase{
            "add redo full", "", true,
            [](SListCables& t) { return SListCables_Action_Add(0, namedRecord("X")).redo(t); }},
        FailCase{"delete undo full", "", true,
                 [](SListCables& t) { return SListCables_Action_Delete(t, 3).undo(t); }},
        FailCase{"delete redo past end", "AB", false,
                 [](SListCables& t) { return SListCables_Action_Delete(t, 2).redo(t); }},
        FailCase{"edit undo past end", "AB", false,
                 [](SListCables& t) {
                   SListCables_Action_Edit e(tableOf("ABC"), namedRecord("X"), 2);
                   return e.undo(t);
                 }},
        FailCase{"edit redo negative", "AB", false,
                 [](SListCables& t) {
                   return SListCables_Action_Edit(t, namedRecord("X"), -1).redo(t);
                 }},
        FailCase{"move to past end", "AB", false,
                 [](SListCables& t) { return SListCables_Action_Move(1, 2).undo(t); }},
        FailCase{"move from negative", "AB", false,
                 [](SListCables& t) { return SListCables_Action_Move(-1, 0).redo(t); }},
        FailCase{"move to itself", "AB", false,
                 [](SListCables& t) { return SListCables_Action_Move(1, 1).redo(t); }}),
    [](const ::testing::TestParamInfo<FailCase>& info) {
      std::string name = info.param.what;
      for (char& ch : name)
        if (ch == ' ') ch = '_';
      return name;
    });

// --- Texts -------------------------------------------------------------------

TEST(ActionPrimitiveText, SingleSteps) {
  SListCables table;
  table.add(namedRecord("A"));
  table.add(namedRecord("B"));
  table.add(namedRecord(kCable1Cp1251));
  table.add(namedRecord(kCable2Cp1251));

  const SListCables_Action_Add add(0, namedRecord(kCable1Cp1251));
  EXPECT_EQ(add.shortName(), "Добавление");
  EXPECT_EQ(add.description(), "Добавление записи 1: \"Кабель 1\"");

  const SListCables_Action_Delete del(table, 3);
  EXPECT_EQ(del.shortName(), "Удаление");
  EXPECT_EQ(del.description(), "Удаление записи №4 (\"Кабель 2\")");

  // The old name is shown, with no blank before the parenthesis.
  const SListCables_Action_Edit edit(table, namedRecord("New"), 2);
  EXPECT_EQ(edit.shortName(), "Редактирование записи");
  EXPECT_EQ(edit.description(), "Редактирование записи №3(\"Кабель 1\")");

  EXPECT_EQ(SListCables_Action_Move(3, 2).shortName(), "Перемещение вверх");
  EXPECT_EQ(SListCables_Action_Move(2, 3).shortName(), "Перемещение вниз");
  EXPECT_EQ(SListCables_Action_Move(3, 2).description(), "Перемещение записи №4 вверх");
  EXPECT_EQ(SListCables_Action_Move(2, 3).description(), "Перемещение записи №3 вниз");
  EXPECT_EQ(SListCables_Action_Move(2, 2).description(), "Перемещение записи №3");
  EXPECT_EQ(SListCables_Action_Move(30, 5).description(),
            "Перемещение записи №31 вверх на 25 позиций");
  EXPECT_EQ(SListCables_Action_Move(0, 21).description(),
            "Перемещение записи №1 вниз на 21 позицию");
}

// The name is read when the text is asked for, and a name that fills all 16
// bytes without a terminator is not read past its array.
TEST(ActionPrimitiveText, NameReadWhenAskedAndBounded) {
  SListCables_Action_Add add(4, namedRecord("Old"));
  std::strncpy(add.record.name, "New", sizeof(add.record.name));
  EXPECT_EQ(add.description(), "Добавление записи 5: \"New\"");
  std::memset(add.record.name, 'Z', sizeof(add.record.name));
  EXPECT_EQ(add.description(), "Добавление записи 5: \"" + std::string(16, 'Z') + "\"");
}

TEST(ActionPrimitiveText, PluralOfTheDistance) {
  struct Row {
    int d;
    const char* suffix;  // "" when no distance is shown
  };
  const std::vector<Row> rows = {
      {1, ""},
      {2, " на 2 позиции"},
      {3, " на 3 позиции"},
      {4, " на 4 позиции"},
      {5, " на 5 позиций"},
      {6, " на 6 позиций"},
      {7, " на 7 позиций"},
      {8, " на 8 позиций"},
      {9, " на 9 позиций"},
      {10, " на 10 позиций"},
      {11, " на 11 позиций"},
      {12, " на 12 позиций"},
      {13, " на 13 позиций"},
      {14, " на 14 позиций"},
      {15, " на 15 позиций"},
      {16, " на 16 позиций"},
      {17, " на 17 позиций"},
      {18, " на 18 позиций"},
      {19, " на 19 позиций"},
      {20, " на 20 позиции"},
      {21, " на 21 позицию"},
      {22, " на 22 позиции"},
      {23, " на 23 позиции"},
      {24, " на 24 позиции"},
      {25, " на 25 позиций"},
      {26, " на 26 позиций"},
      {27, " на 27 позиций"},
      {28, " на 28 позиций"},
      {29, " на 29 позиций"},
      {30, " на 30 позиции"},
      {101, " на 101 позицию"},
      {111, " на 111 позиций"},
      {112, " на 112 позиций"},
      {122, " на 122 позиции"},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(SListCables_Action_Move(0, r.d).description(),
              std::string("Перемещение записи №1 вниз") + r.suffix)
        << "D = " << r.d;
    EXPECT_EQ(SListCables_Action_Move(r.d, 0).description(),
              "Перемещение записи №" + std::to_string(r.d + 1) + " вверх" + r.suffix)
        << "D = " << r.d;
  }
}

// --- The action ----------------------------------------------------------------

TEST(Action, DescriptionByNumberOfSteps) {
  const SListCables table = tableOf("ABCDE");
  SListCables_Action action;
  EXPECT_TRUE(action.isEmpty());
  EXPECT_EQ(action.description(), "");

  action.append(std::make_unique<SListCables_Action_Delete>(table, 4));
  EXPECT_FALSE(action.isEmpty());
  EXPECT_EQ(action.description(), "Удаление записи №5 (\"E\")");

  action.append(std::make_unique<SListCables_Action_Delete>(table, 3))
      .append(std::make_unique<SListCables_Action_Delete>(table, 1));
  EXPECT_EQ(action.description(), "Удаление 3 записей");

  SListCables_Action moves;
  moves.append(std::make_unique<SListCables_Action_Move>(1, 0))
      .append(std::make_unique<SListCables_Action_Move>(3, 2));
  EXPECT_EQ(moves.description(), "Перемещение вверх 2 записей");

  SListCables_Action ignoresNull;
  ignoresNull.append(nullptr);
  EXPECT_TRUE(ignoresNull.isEmpty());
}

// Records the order of calls and of destruction.
class ProbeStep : public SListCables_ActionPrimitive {
 public:
  ProbeStep(std::vector<std::string>& log, char tag) : log_(log), tag_(tag) {}
  ~ProbeStep() override { log_.push_back(std::string("~") + tag_); }
  bool undo(SListCables&) override {
    log_.push_back(std::string("u") + tag_);
    return true;
  }
  bool redo(SListCables&) override {
    log_.push_back(std::string("r") + tag_);
    return true;
  }

 private:
  std::vector<std::string>& log_;
  char tag_;
};

TEST(Action, OrderOfStepsAndOfDestruction) {
  std::vector<std::string> log;
  SListCables table;
  {
    SListCables_Action action;
    action.append(std::make_unique<ProbeStep>(log, '1'))
        .append(std::make_unique<ProbeStep>(log, '2'))
        .append(std::make_unique<ProbeStep>(log, '3'));
    EXPECT_TRUE(action.undo(table));
    EXPECT_TRUE(action.redo(table));
    EXPECT_EQ(action.description(), " 3 записей");  // the base's short name is empty
  }
  EXPECT_EQ(log, (std::vector<std::string>{"u3", "u2", "u1", "r1", "r2", "r3", "~3", "~2", "~1"}));
}

// A step that fails must not leave the other steps applied: a retried undo
// would otherwise apply them twice.
TEST(Action, FailingStepLeavesTheTableAsItWas) {
  SListCables table = tableOf("ABC");
  SListCables_Action action;
  action
      .append(std::make_unique<SListCables_Action_Move>(5, 6))  // out of range
      .append(std::make_unique<SListCables_Action_Move>(0, 1));
  table.clearModified();
  EXPECT_FALSE(action.undo(table));  // runs Move(0, 1) first
  EXPECT_EQ(order(table), "ABC");
  EXPECT_FALSE(table.isModified());

  SListCables_Action deletes;
  deletes.append(std::make_unique<SListCables_Action_Delete>(table, 2))
      .append(std::make_unique<SListCables_Action_Delete>(table, 7));  // out of range
  EXPECT_FALSE(deletes.redo(table));                                   // removes row 2 first
  EXPECT_EQ(order(table), "ABC");
  EXPECT_FALSE(deletes.redo(table));
  EXPECT_EQ(order(table), "ABC");
}

}  // namespace
