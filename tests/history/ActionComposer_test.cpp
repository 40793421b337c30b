#include "history/ActionComposer.h"

#include <ostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "HistoryTestTables.h"
#include "history/SListCables_ActionPrimitives.h"

using namespace tolmira;

namespace {

// Selections written as strings: 'x' selected, '.' not.
std::vector<bool> selection(const std::string& marks) {
  std::vector<bool> sel;
  for (char c : marks) sel.push_back(c == 'x');
  return sel;
}

std::string marks(const std::vector<bool>& sel) {
  std::string out;
  for (bool b : sel) out += b ? 'x' : '.';
  return out;
}

TEST(ActionComposer, DeleteSelectedRemovesHighestFirstAndUndoRestoresOrder) {
  SListCables table = tableOf("ABCDEFG");
  auto action = deleteSelected(table, selection("..x..x."));
  EXPECT_EQ(order(table), "ABDEG");
  ASSERT_EQ(action->size(), 2);
  const auto* first = dynamic_cast<const SListCables_Action_Delete*>(action->primitiveAt(0));
  const auto* second = dynamic_cast<const SListCables_Action_Delete*>(action->primitiveAt(1));
  ASSERT_TRUE(first && second);
  EXPECT_EQ(first->recordIndex, 5);
  EXPECT_STREQ(first->record.name, "F");
  EXPECT_EQ(second->recordIndex, 2);
  EXPECT_STREQ(second->record.name, "C");
  EXPECT_EQ(action->description(), "Удаление 2 записей");

  ASSERT_TRUE(action->undo(table));
  EXPECT_EQ(order(table), "ABCDEFG");
  ASSERT_TRUE(action->redo(table));
  EXPECT_EQ(order(table), "ABDEG");
}

TEST(ActionComposer, DeleteWithNothingSelectedChangesNothing) {
  SListCables table = tableOf("ABC");
  EXPECT_TRUE(deleteSelected(table, selection("..."))->isEmpty());
  EXPECT_TRUE(deleteSelected(table, {})->isEmpty());
  // Entries past the last row are no rows.
  EXPECT_TRUE(deleteSelected(table, selection("...xx"))->isEmpty());
  EXPECT_EQ(order(table), "ABC");
  EXPECT_FALSE(table.isModified());
}

struct MoveCase {
  bool up;
  std::string sel;
  std::string order;  // after the move
  std::string selAfter;
  int steps;
  std::string description;
};

void PrintTo(const MoveCase& c, std::ostream* os) { *os << (c.up ? "up " : "down ") << c.sel; }

class ActionComposerMove : public ::testing::TestWithParam<MoveCase> {};

TEST_P(ActionComposerMove, MovesRowsWithTheirSelectionAndUndoes) {
  const MoveCase& c = GetParam();
  SListCables table = tableOf("ABCDE");
  std::vector<bool> sel = selection(c.sel);
  const bool predicted = c.up ? canMoveUp(sel) : canMoveDown(sel);
  auto action = c.up ? moveSelectedUp(table, sel) : moveSelectedDown(table, sel);
  EXPECT_EQ(order(table), c.order);
  EXPECT_EQ(marks(sel), c.selAfter);
  EXPECT_EQ(action->size(), c.steps);
  EXPECT_EQ(action->description(), c.description);
  EXPECT_EQ(table.isModified(), c.steps > 0);
  if (c.sel.size() == 5) {
    EXPECT_EQ(predicted, c.steps > 0);
  }

  ASSERT_TRUE(action->undo(table));
  EXPECT_EQ(order(table), "ABCDE");
  ASSERT_TRUE(action->redo(table));
  EXPECT_EQ(order(table), c.order);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ActionComposerMove,
    ::testing::Values(MoveCase{true, "xx...", "ABCDE", "xx...", 0, ""},
                      MoveCase{true, ".....", "ABCDE", ".....", 0, ""},
                      MoveCase{true, "....x", "ABCED", "...x.", 1, "Перемещение записи №5 вверх"},
                      MoveCase{true, ".x.x.", "BADCE", "x.x..", 2, "Перемещение вверх 2 записей"},
                      MoveCase{true, ".xx..", "BCADE", "xx...", 2, "Перемещение вверх 2 записей"},
                      MoveCase{true, "x.xx.", "ACDBE", "xxx..", 2, "Перемещение вверх 2 записей"},
                      MoveCase{true, "x", "ABCDE", "x....", 0, ""},
                      MoveCase{true, "....xx", "ABCED", "...x.", 1, "Перемещение записи №5 вверх"},
                      MoveCase{false, "...xx", "ABCDE", "...xx", 0, ""},
                      MoveCase{false, "x....", "BACDE", ".x...", 1, "Перемещение записи №1 вниз"},
                      MoveCase{false, "x.x.x", "BADCE", ".x.xx", 2, "Перемещение вниз 2 записей"},
                      MoveCase{false, "xx...", "CABDE", ".xx..", 2, "Перемещение вниз 2 записей"},
                      MoveCase{false, "x", "BACDE", ".x...", 1, "Перемещение записи №1 вниз"}));

TEST(ActionComposer, MovePredicates) {
  struct Row {
    const char* sel;
    bool up, down;
  };
  const std::vector<Row> rows = {
      {"", false, false},    {".", false, false},   {"x", false, false}, {"xx", false, false},
      {"x.", false, true},   {".x", true, false},   {"x.x", true, true}, {".xx.", true, true},
      {"xx..", false, true}, {"..xx", true, false},
  };
  for (const Row& r : rows) {
    EXPECT_EQ(canMoveUp(selection(r.sel)), r.up) << r.sel;
    EXPECT_EQ(canMoveDown(selection(r.sel)), r.down) << r.sel;
  }
}

TEST(ActionComposer, AddRecord) {
  SListCables table = tableOf("AB");
  auto action = addRecord(table, 1, namedRecord("N"));
  EXPECT_EQ(order(table), "ANB");
  EXPECT_EQ(action->description(), "Добавление записи 2: \"N\"");
  ASSERT_TRUE(action->undo(table));
  EXPECT_EQ(order(table), "AB");

  fillToMax(table);
  table.clearModified();
  EXPECT_TRUE(addRecord(table, 0, namedRecord("N"))->isEmpty());
  EXPECT_FALSE(table.isModified());
}

TEST(ActionComposer, EditRecord) {
  SListCables table = tableOf("ABC");
  EXPECT_TRUE(editRecord(table, 1, table.at(1))->isEmpty());
  EXPECT_TRUE(editRecord(table, 3, namedRecord("X"))->isEmpty());
  EXPECT_TRUE(editRecord(table, -1, namedRecord("X"))->isEmpty());
  EXPECT_FALSE(table.isModified());

  auto action = editRecord(table, 1, namedRecord("B", 3.0f));
  ASSERT_EQ(action->size(), 1);
  EXPECT_EQ(table.at(1).getKU(), 3.0f);
  EXPECT_EQ(action->description(), "Редактирование записи №2(\"B\")");
  ASSERT_TRUE(action->undo(table));
  EXPECT_EQ(table.at(1).getKU(), 1.5f);
}

}  // namespace
