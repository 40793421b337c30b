#include "history/List_UndoRedo.h"

#include <memory>
#include <string>

#include <gtest/gtest.h>

#include "HistoryTestTables.h"
#include "history/ActionComposer.h"
#include "history/SListCables_ActionPrimitives.h"

using namespace tolmira;

namespace {

std::unique_ptr<SListCables_Action> moveAction(int from, int to) {
  auto action = std::make_unique<SListCables_Action>();
  action->append(std::make_unique<SListCables_Action_Move>(from, to));
  return action;
}

TEST(List_UndoRedo, EmptyHistoryDoesNothing) {
  List_UndoRedo history;
  SListCables table = tableOf("AB");
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(history.canRedo());
  EXPECT_FALSE(history.undo(table));
  EXPECT_FALSE(history.redo(table));
  EXPECT_EQ(history.undoText(), "");
  EXPECT_EQ(history.redoText(), "");
  EXPECT_EQ(history.descriptionAt(0), "");
  EXPECT_EQ(order(table), "AB");
  EXPECT_FALSE(table.isModified());
}

TEST(List_UndoRedo, PushingNothingRecordsNothing) {
  List_UndoRedo history;
  std::unique_ptr<SListCables_Action> none;
  history.push(none);
  EXPECT_EQ(history.count(), 0);

  auto empty = std::make_unique<SListCables_Action>();
  history.push(empty);
  EXPECT_EQ(empty, nullptr);
  EXPECT_EQ(history.count(), 0);
  EXPECT_EQ(history.position(), 0);

  auto real = moveAction(0, 1);
  history.push(real);
  EXPECT_EQ(real, nullptr);
  auto emptyAgain = std::make_unique<SListCables_Action>();
  history.push(emptyAgain);
  EXPECT_EQ(history.count(), 1);
  EXPECT_EQ(history.position(), 1);
}

TEST(List_UndoRedo, PushAfterUndoDropsTheRedoEntries) {
  List_UndoRedo history;
  SListCables table = tableOf("ABCD");
  auto a = moveAction(0, 1);
  auto b = moveAction(2, 3);
  ASSERT_TRUE(a->redo(table));
  history.push(a);
  ASSERT_TRUE(b->redo(table));
  history.push(b);
  EXPECT_EQ(order(table), "BADC");

  ASSERT_TRUE(history.undo(table));
  EXPECT_EQ(order(table), "BACD");
  EXPECT_TRUE(history.canRedo());

  auto c = moveAction(1, 2);
  ASSERT_TRUE(c->redo(table));
  history.push(c);
  EXPECT_EQ(history.count(), 2);
  EXPECT_EQ(history.position(), 2);
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(history.descriptionAt(0), "Перемещение записи №1 вниз");
  EXPECT_EQ(history.descriptionAt(1), "Перемещение записи №2 вниз");

  ASSERT_TRUE(history.undo(table));
  ASSERT_TRUE(history.undo(table));
  EXPECT_EQ(order(table), "ABCD");
  EXPECT_FALSE(history.canUndo());
  // Undoing everything still leaves the table changed.
  EXPECT_TRUE(table.isModified());
}

TEST(List_UndoRedo, UndoAndRedoTexts) {
  SListCables table = tableOf("ABC");
  table.add(namedRecord(kCable2Cp1251));
  List_UndoRedo history;
  auto del = deleteSelected(table, {false, false, false, true});
  history.push(del);

  const std::string description = "Удаление записи №4 (\"Кабель 2\")";
  EXPECT_EQ(history.undoText(), "Отмена действия: \"" + description + "\"");
  EXPECT_EQ(history.redoText(), "");

  ASSERT_TRUE(history.undo(table));
  EXPECT_EQ(table.getCount(), 4);
  EXPECT_EQ(history.undoText(), "");
  EXPECT_EQ(history.redoText(), "Повтор действия: \"" + description + "\"");

  ASSERT_TRUE(history.redo(table));
  EXPECT_EQ(order(table), "ABC");
  EXPECT_EQ(history.undoText(), "Отмена действия: \"" + description + "\"");
}

// The table was changed behind the history's back; the failing action keeps
// its place and the table is left as it was.
TEST(List_UndoRedo, FailingUndoOrRedoKeepsThePosition) {
  {
    SCOPED_TRACE("undo of a delete into a full table");
    SListCables table = tableOf("ABC");
    List_UndoRedo history;
    auto del = deleteSelected(table, {true, false, true});
    history.push(del);
    fillToMax(table);
    const SListCables before = table;
    EXPECT_FALSE(history.undo(table));
    EXPECT_EQ(history.position(), 1);
    EXPECT_TRUE(history.canUndo());
    EXPECT_TRUE(sameBytes(table, before));
  }
  {
    SCOPED_TRACE("undo of an edit past the end");
    SListCables table = tableOf("ABCDEF");
    List_UndoRedo history;
    auto edit = editRecord(table, 5, namedRecord("X"));
    history.push(edit);
    table.remove(5);
    EXPECT_FALSE(history.undo(table));
    EXPECT_EQ(history.position(), 1);
    EXPECT_EQ(order(table), "ABCDE");
  }
  {
    SCOPED_TRACE("redo of an add into a full table");
    SListCables table = tableOf("AB");
    List_UndoRedo history;
    auto add = addRecord(table, 1, namedRecord("N"));
    history.push(add);
    ASSERT_TRUE(history.undo(table));
    fillToMax(table);
    EXPECT_FALSE(history.redo(table));
    EXPECT_EQ(history.position(), 0);
    EXPECT_TRUE(history.canRedo());
  }
}

TEST(List_UndoRedo, ClearDropsUndoneActionsToo) {
  SListCables table = tableOf("ABC");
  List_UndoRedo history;
  for (int i = 0; i < 2; ++i) {
    auto a = moveAction(i, i + 1);
    ASSERT_TRUE(a->redo(table));
    history.push(a);
  }
  ASSERT_TRUE(history.undo(table));
  history.clear();
  EXPECT_EQ(history.count(), 0);
  EXPECT_EQ(history.position(), 0);
  EXPECT_FALSE(history.canUndo());
  EXPECT_FALSE(history.canRedo());
  EXPECT_EQ(history.redoText(), "");
}

}  // namespace
