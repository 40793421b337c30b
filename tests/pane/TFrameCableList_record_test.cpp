// The pane's record commands: delete, move, undo/redo, keys and command states.
#include <cstdio>
#include <functional>
#include <utility>
#include <string>
#include <vector>

#include <QAbstractItemModel>
#include <QApplication>
#include <QListView>
#include <QMenu>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "model/Cp1251.h"
#include "pane/PaneTestHost.h"
#include "support/ScriptedModal.h"

namespace {

SCable cable(const char* name, float ku = 1.5f) {
  SCable c;
  std::snprintf(c.name, sizeof c.name, "%s", name);
  c.setKU(ku);
  return c;
}

std::vector<bool> sel(int count, std::initializer_list<int> rows) {
  std::vector<bool> s(static_cast<std::size_t>(count), false);
  for (int r : rows) s[static_cast<std::size_t>(r)] = true;
  return s;
}

class PaneRecordTest : public ::testing::Test {
 protected:
  void SetUp() override { resetProgramSettings(); }

  // A new table in pane p with records named A, B, C, … (no history).
  void fill(int count, int p = 0) {
    TFrameCableList& target = host.pane(p);
    target.NewExecute();
    for (int i = 0; i < count; ++i) {
      const char name[2] = {static_cast<char>('A' + i), 0};
      ASSERT_TRUE(target.appendRecord(cable(name)));
    }
    host.refreshedFrom.clear();
  }

  std::string names(int p = 0) {
    std::string out;
    const SListCables& t = host.pane(p).table();
    for (int i = 0; i < t.getCount(); ++i) out += t.at(i).name;
    return out;
  }

  void expectRowsMatchTable(int p = 0) { ::expectRowsMatchTable(host.pane(p)); }

  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& pane = host.pane(0);
};

// --- moves -------------------------------------------------------------------------

struct MoveCase {
  const char* label;
  int count;
  std::vector<int> selected;
  bool up;
  const char* order;
  std::vector<int> selectedAfter;
  const char* description;  // of the recorded action; empty: nothing recorded
  int current = -1;         // the row with the focus frame, before and after
  int currentAfter = -1;
};

class PaneMoveTest : public PaneRecordTest, public ::testing::WithParamInterface<MoveCase> {};

TEST_P(PaneMoveTest, BlocksMoveByOneAndTakeTheirSelection) {
  const MoveCase& c = GetParam();
  fill(c.count);
  // Two earlier moves that cancel out, so that the history has a description to keep.
  pane.setSelection(sel(c.count, {0}));
  pane.ActionMoveDownExecute();
  pane.ActionMoveUpExecute();
  ASSERT_EQ(pane.history().count(), 2);
  std::vector<bool> before(static_cast<std::size_t>(c.count), false);
  for (int r : c.selected) before[static_cast<std::size_t>(r)] = true;
  pane.setSelection(before);
  pane.setCurrentRow(c.current);
  const QString undoHintBefore = pane.Action_Undo->statusTip();

  if (c.up)
    pane.ActionMoveUpExecute();
  else
    pane.ActionMoveDownExecute();

  EXPECT_EQ(names(), c.order);
  std::vector<bool> after(static_cast<std::size_t>(c.count), false);
  for (int r : c.selectedAfter) after[static_cast<std::size_t>(r)] = true;
  EXPECT_EQ(pane.selection(), after);
  EXPECT_EQ(pane.currentRow(), c.currentAfter) << "the focus frame stays on its record";
  expectRowsMatchTable();
  EXPECT_TRUE(host.refreshedFrom.empty());  // the set of records is unchanged
  if (*c.description == 0) {
    EXPECT_EQ(pane.history().count(), 2);
    EXPECT_EQ(pane.Action_Undo->statusTip(), undoHintBefore);
    return;
  }
  ASSERT_EQ(pane.history().count(), 3);
  EXPECT_EQ(pane.history().undoText(), "Отмена действия: \"" + std::string(c.description) + "\"");
  pane.Action_UndoExecute();
  EXPECT_EQ(names(), std::string("ABCDEF").substr(0, static_cast<std::size_t>(c.count)));
  expectRowsMatchTable();
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaneMoveTest,
    ::testing::Values(
        // One Move (3, 2).
        MoveCase{"UpTopBlockStays",
                 5,
                 {0, 1, 3},
                 true,
                 "ABDCE",
                 {0, 1, 2},
                 "Перемещение записи №4 вверх",
                 1,
                 1},
        MoveCase{"UpTopBlockStaysTheMovedOneTakesItsFrame",
                 5,
                 {0, 1, 3},
                 true,
                 "ABDCE",
                 {0, 1, 2},
                 "Перемещение записи №4 вверх",
                 3,
                 2},
        MoveCase{"UpBlock", 5, {2, 3}, true, "ACDBE", {1, 2}, "Перемещение вверх 2 записей", 3, 2},
        MoveCase{"DownLastOnly", 4, {3}, false, "ABCD", {3}, "", 3, 3},
        MoveCase{
            "DownTwoBlocks", 5, {0, 2}, false, "BADCE", {1, 3}, "Перемещение вниз 2 записей", 2, 3},
        MoveCase{"DownFrameOnAnUnselectedRow",
                 5,
                 {0, 2},
                 false,
                 "BADCE",
                 {1, 3},
                 "Перемещение вниз 2 записей",
                 4,
                 4},
        MoveCase{"UpAll", 3, {0, 1, 2}, true, "ABC", {0, 1, 2}, "", 0, 0}),
    [](const ::testing::TestParamInfo<MoveCase>& info) { return info.param.label; });

// --- delete ---------------------------------------------------------------------------

TEST_F(PaneRecordTest, DeleteSelectedIsOneActionThatUndoRestores) {
  fill(6);
  pane.setSelection(sel(6, {1, 3, 4}));
  pane.ActionDeleteSelectedExecute();

  EXPECT_EQ(names(), "ACF");
  expectRowsMatchTable();
  EXPECT_EQ(pane.selection(), std::vector<bool>(3, false));
  ASSERT_EQ(pane.history().count(), 1);
  EXPECT_EQ(pane.Action_Undo->statusTip(),
            QStringLiteral("Отмена действия: \"Удаление 3 записей\""));
  EXPECT_EQ(host.refreshedFrom, std::vector<int>{0});
  EXPECT_FALSE(pane.ActionDeleteSelected->isEnabled());

  pane.Action_UndoExecute();
  EXPECT_EQ(names(), "ABCDEF");
  expectRowsMatchTable();
}

// A command on a scattered selection changes many runs of rows; each change sends
// selection signals, and answering each with a refresh made the commands quadratic.
TEST_F(PaneRecordTest, CommandsOnScatteredRowsRefreshTheirStatesOnce) {
  fill(20);
  const std::vector<bool> everyOther = [] {
    std::vector<bool> s(20, false);
    for (int i = 0; i < 20; i += 2) s[static_cast<std::size_t>(i)] = true;
    return s;
  }();
  using Step = std::pair<const char*, std::function<void()>>;
  const std::vector<Step> steps = {
      {"move down", [&] { pane.ActionMoveDownExecute(); }},
      {"move up", [&] { pane.ActionMoveUpExecute(); }},
      {"undo", [&] { pane.Action_UndoExecute(); }},
      {"redo", [&] { pane.Action_RedoExecute(); }},
      {"delete", [&] { pane.ActionDeleteSelectedExecute(); }},
      {"undo of the delete", [&] { pane.Action_UndoExecute(); }},
  };
  for (const Step& step : steps) {
    const std::string name = step.first;
    if (name == "move down" || name == "move up" || name == "delete") {
      pane.setSelection(everyOther);
      pane.setCurrentRow(0);
    }
    host.bottomBarUpdates = 0;
    step.second();
    // The pane's own refresh and the one of the other pane it asks for.
    EXPECT_LE(host.bottomBarUpdates, 2) << step.first;
    expectRowsMatchTable();
  }
  EXPECT_EQ(pane.table().getCount(), 20);
}

TEST_F(PaneRecordTest, UndoAfterDeletingTheLastRowsAppendsThemAgain) {
  fill(5);
  pane.setSelection(sel(5, {2, 3, 4}));
  pane.ActionDeleteSelectedExecute();
  ASSERT_EQ(pane.ListBox->model()->rowCount(), 2);
  pane.Action_UndoExecute();
  EXPECT_EQ(names(), "ABCDE");
  expectRowsMatchTable();
  pane.Action_RedoExecute();
  EXPECT_EQ(names(), "AB");
  expectRowsMatchTable();
}

TEST_F(PaneRecordTest, DeleteWithoutSelectionRecordsNothing) {
  fill(3);
  pane.ActionDeleteSelectedExecute();
  EXPECT_EQ(names(), "ABC");
  EXPECT_EQ(pane.history().count(), 0);
}

TEST_F(PaneRecordTest, DeleteKeyInTheListDeletesTheSelection) {
  // The main key, the keypad's key and a modified press all delete.
  const std::vector<Qt::KeyboardModifiers> presses = {Qt::NoModifier, Qt::KeypadModifier,
                                                      Qt::ShiftModifier};
  fill(4);
  std::string expected = names();
  for (Qt::KeyboardModifiers mods : presses) {
    pane.setSelection(sel(pane.table().getCount(), {0}));
    QTest::keyClick(pane.ListBox, Qt::Key_Delete, mods);
    expected.erase(0, 1);
    EXPECT_EQ(names(), expected) << int(mods);
    expectRowsMatchTable();
  }
  EXPECT_EQ(pane.history().count(), 3);
}

TEST_F(PaneRecordTest, LettersTypedInTheListLeaveTheSelection) {
  // W and S are the move keys; when a move is not possible they reach the list,
  // which must not jump to a record whose name starts with that letter.
  pane.NewExecute();
  for (const char* name : {"Wire", "Speaker", "Alpha"}) ASSERT_TRUE(pane.appendRecord(cable(name)));
  for (Qt::Key key : {Qt::Key_S, Qt::Key_W, Qt::Key_A}) {
    pane.setSelection(sel(3, {2}));
    pane.setCurrentRow(2);
    QTest::keyClick(pane.ListBox, key);
    EXPECT_EQ(pane.selection(), sel(3, {2})) << key;
    EXPECT_EQ(pane.currentRow(), 2) << key;
  }
  EXPECT_EQ(names(), "WireSpeakerAlpha");
}

// --- undo and redo texts ------------------------------------------------------------

TEST_F(PaneRecordTest, UndoAndRedoHintsFollowTheHistory) {
  // Record 4 named "Кабель 2" (Windows-1251 in the record).
  const SCable named = cable("\xCA\xE0\xE1\xE5\xEB\xFC 2");
  pane.NewExecute();
  for (const char* n : {"A", "B", "C"}) pane.appendRecord(cable(n));
  pane.appendRecord(named);

  EXPECT_FALSE(pane.Action_Undo->isEnabled());
  EXPECT_FALSE(pane.Action_Redo->isEnabled());
  EXPECT_EQ(pane.Action_Undo->toolTip(), QStringLiteral("Отмена"));
  EXPECT_EQ(pane.Action_Redo->toolTip(), QStringLiteral("Повтор"));

  pane.setSelection(sel(4, {3}));
  pane.ActionDeleteSelectedExecute();
  const QString description = QStringLiteral("Удаление записи №4 (\"Кабель 2\")");
  EXPECT_TRUE(pane.Action_Undo->isEnabled());
  EXPECT_EQ(pane.Action_Undo->toolTip(), QStringLiteral("Отмена"));
  EXPECT_EQ(pane.Action_Undo->statusTip(),
            QStringLiteral("Отмена действия: \"") + description + QStringLiteral("\""));
  EXPECT_FALSE(pane.Action_Redo->isEnabled());
  EXPECT_EQ(pane.Action_Redo->statusTip(), QStringLiteral("Повтор"));

  pane.Action_UndoExecute();
  EXPECT_FALSE(pane.Action_Undo->isEnabled());
  EXPECT_EQ(pane.Action_Undo->statusTip(), QStringLiteral("Отмена"));
  EXPECT_TRUE(pane.Action_Redo->isEnabled());
  EXPECT_EQ(pane.Action_Redo->toolTip(), QStringLiteral("Повтор"));
  EXPECT_EQ(pane.Action_Redo->statusTip(),
            QStringLiteral("Повтор действия: \"") + description + QStringLiteral("\""));
  EXPECT_EQ(host.refreshedFrom.back(), 0);
  ASSERT_EQ(pane.table().getCount(), 4);

  // Undo with nothing left changes nothing.
  pane.Action_UndoExecute();
  EXPECT_EQ(pane.table().getCount(), 4);
}

TEST_F(PaneRecordTest, NewOpenAndCloseClearTheHistory) {
  fill(3);
  pane.setSelection(sel(3, {0}));
  pane.ActionDeleteSelectedExecute();
  ASSERT_TRUE(pane.Action_Undo->isEnabled());
  modal.answerMessageBox(3);  // forget the changes
  ASSERT_TRUE(pane.closeTable(false));
  EXPECT_EQ(pane.history().count(), 0);
  EXPECT_FALSE(pane.Action_Undo->isEnabled());
}

// --- command states ------------------------------------------------------------------

struct StateCase {
  const char* label;
  int count;
  std::vector<int> selected;
  bool up, down, del;
};

class PaneStateTest : public PaneRecordTest, public ::testing::WithParamInterface<StateCase> {};

TEST_P(PaneStateTest, SelectionDecidesTheRecordCommands) {
  const StateCase& c = GetParam();
  fill(c.count);
  std::vector<bool> s(static_cast<std::size_t>(c.count), false);
  for (int r : c.selected) s[static_cast<std::size_t>(r)] = true;
  const int updates = host.bottomBarUpdates;
  pane.setSelection(s);
  pane.refreshCommands();
  EXPECT_EQ(pane.ActionMoveUp->isEnabled(), c.up);
  EXPECT_EQ(pane.ActionMoveDown->isEnabled(), c.down);
  EXPECT_EQ(pane.ActionDeleteSelected->isEnabled(), c.del);
  EXPECT_GT(host.bottomBarUpdates, updates);
}

INSTANTIATE_TEST_SUITE_P(Cases, PaneStateTest,
                         ::testing::Values(StateCase{"None", 3, {}, false, false, false},
                                           StateCase{"First", 3, {0}, false, true, true},
                                           StateCase{"Last", 3, {2}, true, false, true},
                                           StateCase{"All", 3, {0, 1, 2}, false, false, true},
                                           StateCase{"Middle", 3, {1}, true, true, true},
                                           StateCase{"OnlyRow", 1, {0}, false, false, true}),
                         [](const ::testing::TestParamInfo<StateCase>& info) {
                           return info.param.label;
                         });

TEST(PaneCopyState, CopyIsOnWhenASelectedRecordIsMissingInTheOtherTable) {
  resetProgramSettings();
  ScriptedModal modal;
  PaneTestHost host(true);
  TFrameCableList& left = host.pane(0);
  TFrameCableList& right = host.pane(1);
  left.NewExecute();
  left.appendRecord(cable("Shared"));
  left.appendRecord(cable("Own"));

  left.setSelection(sel(2, {0}));
  left.refreshCommands();
  EXPECT_TRUE(host.copy[0]->isEnabled());  // no table on the right

  right.NewExecute();
  right.appendRecord(cable("Shared"));
  left.refreshCommands();
  EXPECT_FALSE(host.copy[0]->isEnabled());
  left.setSelection(sel(2, {0, 1}));
  left.refreshCommands();
  EXPECT_TRUE(host.copy[0]->isEnabled());
  left.setSelection(sel(2, {}));
  left.refreshCommands();
  EXPECT_FALSE(host.copy[0]->isEnabled());

  // Each pane carries its own direction, on its tool bar and in its menu.
  EXPECT_TRUE(left.ToolBar_CableActions->actions().contains(host.copy[0]));
  EXPECT_FALSE(left.ToolBar_CableActions->actions().contains(host.copy[1]));
  EXPECT_TRUE(right.PopupMenuList->actions().contains(host.copy[1]));
  EXPECT_FALSE(right.PopupMenuList->actions().contains(host.copy[0]));
}

TEST(PaneCopyState, CopyCommandsComeLastOnTheRecordBarAndInTheMenu) {
  resetProgramSettings();
  PaneTestHost host(true);
  for (int i = 0; i < 2; ++i) {
    TFrameCableList& p = host.pane(i);
    const QList<QAction*> menu = p.PopupMenuList->actions();
    // The record commands and the copy, then a separator and the two print commands.
    ASSERT_EQ(menu.size(), 7);
    EXPECT_EQ(menu.mid(0, 4), (QList<QAction*>{p.ActionEditCable, p.ActionAddNew,
                                               p.ActionDeleteSelected, host.copy[i]}));
    EXPECT_TRUE(menu[4]->isSeparator());
    EXPECT_EQ(menu.mid(5), (QList<QAction*>{p.FilePrint, p.FileSavePdf}));
    const QList<QAction*> bar = p.ToolBar_CableActions->actions();
    ASSERT_EQ(bar.size(), 9);
    EXPECT_TRUE(bar[7]->isSeparator());
    EXPECT_EQ(bar[8], host.copy[i]);
  }
}

TEST_F(PaneRecordTest, AppendToAFullTableAddsNoRow) {
  pane.NewExecute();
  for (int i = 0; i < SListCablesBase::kMaxCount; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "R%d", i);
    ASSERT_TRUE(pane.appendRecord(cable(name)));
  }
  EXPECT_FALSE(pane.appendRecord(cable("extra")));
  EXPECT_EQ(pane.table().getCount(), SListCablesBase::kMaxCount);
  EXPECT_EQ(pane.ListBox->model()->rowCount(), SListCablesBase::kMaxCount);
}

// --- focus and shortcuts --------------------------------------------------------------

TEST_F(PaneRecordTest, OnlyTheFocusedPaneAnswersCtrlZAndCtrlV) {
  fill(3, 0);
  fill(3, 1);
  for (int p = 0; p < 2; ++p) {
    host.pane(p).setSelection(sel(3, {0}));
    host.pane(p).ActionDeleteSelectedExecute();
  }
  host.window.show();
  QApplication::setActiveWindow(&host.window);
  ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window));

  host.pane(1).ListBox->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(host.activePane, 1);
  EXPECT_EQ(host.pane(1).Action_Undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));
  EXPECT_EQ(host.pane(1).Action_Redo->shortcut(), QKeySequence(QStringLiteral("Ctrl+V")));
  EXPECT_TRUE(host.pane(0).Action_Undo->shortcut().isEmpty());

  host.pane(0).ListBox->setFocus();
  QApplication::processEvents();
  EXPECT_EQ(host.activePane, 0);
  EXPECT_TRUE(host.pane(1).Action_Undo->shortcut().isEmpty());
  EXPECT_TRUE(host.pane(1).Action_Redo->shortcut().isEmpty());
  EXPECT_EQ(host.pane(0).Action_Undo->shortcut(), QKeySequence(QStringLiteral("Ctrl+Z")));

  QTest::keyClick(host.pane(0).ListBox, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(names(0), "ABC");
  EXPECT_EQ(names(1), "BC");
  QTest::keyClick(host.pane(0).ListBox, Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(names(0), "BC");
  EXPECT_EQ(names(1), "BC");
  expectRowsMatchTable(0);
}

}  // namespace
