// The pane's find field: narrowing the rows by name, and the commands while it is on.
#include <string>
#include <vector>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include "editor/EditorTestSupport.h"
#include "model/Cp1251.h"
#include "model/NameFilter.h"
#include "model/RecordText.h"
#include "pane/PaneTestHost.h"
#include "platform/QtCp1251.h"
#include "support/ScriptedModal.h"

using namespace tolmira;

namespace {

// The byte folding agrees with Qt's lower case of every Windows-1251 character.
TEST(NameFilterCase, EveryWindows1251CapitalFoldsAsUnicodeLowerCases) {
  int capitals = 0;
  for (int b = 1; b < 256; ++b) {
    const std::string byte(1, static_cast<char>(b));
    const QString ch = qStringFromCp1251(byte);
    const QString lower = ch.toLower();
    const std::string expected = lower == ch ? byte : cp1251FromQString(lower);
    ASSERT_EQ(expected.size(), 1u) << b;
    EXPECT_EQ(static_cast<int>(cp1251Lower(static_cast<unsigned char>(b))),
              static_cast<int>(static_cast<unsigned char>(expected[0])))
        << "byte 0x" << std::hex << b;
    if (lower != ch) ++capitals;
  }
  EXPECT_GE(capitals, 26 + 33) << "Latin and Russian capitals at least";
}

// --- the pane -------------------------------------------------------------------

class PaneFindTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    ASSERT_TRUE(dir.isValid());
  }

  // A new table of records with these names (UTF-8), no history.
  void fill(std::initializer_list<const char*> names, int p = 0) {
    TFrameCableList& target = host.pane(p);
    target.NewExecute();
    for (const char* n : names) ASSERT_TRUE(target.appendRecord(cable(n)));
  }

  static SCable cable(const char* utf8Name) {
    SCable c;
    SCable::sanitizeName(c.name, utf8ToCp1251(utf8Name).c_str());
    c.setKU(1.5f);
    return c;
  }

  void find(const QString& text) { pane.EditFind->setText(text); }

  // The names of the rows the list shows, in order; checks that the pane's idea of
  // the hidden rows is the view's.
  std::vector<std::string> shown() {
    std::vector<std::string> out;
    EXPECT_EQ(pane.ListBox->model()->rowCount(), pane.table().getCount());
    for (int r = 0; r < pane.ListBox->model()->rowCount(); ++r) {
      EXPECT_EQ(pane.rowHiddenByFind(r), pane.ListBox->isRowHidden(r)) << "row " << r;
      if (!pane.ListBox->isRowHidden(r)) out.push_back(cp1251ToUtf8(pane.table().at(r).name));
    }
    EXPECT_EQ(pane.shownCount(), static_cast<int>(out.size()));
    return out;
  }

  static std::vector<bool> rows(int count, std::initializer_list<int> selected) {
    std::vector<bool> s(static_cast<std::size_t>(count), false);
    for (int r : selected) s[static_cast<std::size_t>(r)] = true;
    return s;
  }

  std::string names() const {
    std::string out;
    for (int i = 0; i < pane.table().getCount(); ++i) out += pane.table().at(i).name;
    return out;
  }

  using Names = std::vector<std::string>;

  QTemporaryDir dir;
  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& pane = host.pane(0);
};

TEST_F(PaneFindTest, TypingNarrowsToMatchingNamesAndEscapeClears) {
  fill({"ТПП 10х2", "Кабель 1", "КСПП 1х4", "tpp-x", "кабель 2"});
  host.window.show();
  host.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window));
  EXPECT_FALSE(pane.findActive());
  EXPECT_FALSE(pane.LabelFindCount->isVisibleTo(pane.PanelFind));

  pane.focusFind();
  ASSERT_EQ(QApplication::focusWidget(), pane.EditFind);
  typeInto(pane.EditFind, QStringLiteral("ка"));
  EXPECT_EQ(shown(), (Names{"Кабель 1", "кабель 2"}));
  EXPECT_EQ(pane.LabelFindCount->text(), QStringLiteral("2 из 5"));
  EXPECT_TRUE(pane.LabelFindCount->isVisibleTo(pane.PanelFind));
  typeInto(pane.EditFind, QStringLiteral("бель 2"));
  EXPECT_EQ(shown(), (Names{"кабель 2"}));

  find(QStringLiteral("пп"));
  EXPECT_EQ(shown(), (Names{"ТПП 10х2", "КСПП 1х4"}));
  find(QStringLiteral("PP"));
  EXPECT_EQ(shown(), (Names{"tpp-x"}));
  find(QStringLiteral("нет такого"));
  EXPECT_EQ(shown(), Names{});
  EXPECT_EQ(pane.LabelFindCount->text(), QStringLiteral("0 из 5"));

  // The rows keep the table's own numbers and texts while some are hidden.
  find(QStringLiteral("кабель"));
  expectRowsMatchTable(pane);

  QTest::keyClick(pane.EditFind, Qt::Key_Escape);
  EXPECT_TRUE(pane.EditFind->text().isEmpty());
  EXPECT_FALSE(pane.findActive());
  EXPECT_EQ(shown().size(), 5u);
  EXPECT_FALSE(pane.LabelFindCount->isVisibleTo(pane.PanelFind));
}

TEST_F(PaneFindTest, CommandsActOnlyOnTheVisibleSelection) {
  fill({"A1", "B1", "A2", "B2", "A3"});
  pane.setSelection(rows(5, {0, 1, 2, 3, 4}));
  find(QStringLiteral("a"));
  EXPECT_EQ(pane.selection(), rows(5, {0, 2, 4}));
  EXPECT_TRUE(pane.ActionDeleteSelected->isEnabled());
  EXPECT_FALSE(pane.ActionEditCable->isEnabled()) << "three visible rows are selected";

  pane.ActionDeleteSelectedExecute();
  ASSERT_EQ(pane.table().getCount(), 2);
  EXPECT_EQ(names(), "B1B2");
  EXPECT_EQ(shown(), Names{});
  EXPECT_EQ(pane.LabelFindCount->text(), QStringLiteral("0 из 2"));
  find(QString());
  EXPECT_EQ(shown(), (Names{"B1", "B2"}));
  EXPECT_EQ(pane.selection(), rows(2, {0, 1})) << "the hidden selected rows stay selected";

  // Undo and redo take the filter again.
  find(QStringLiteral("a"));
  pane.Action_UndoExecute();
  EXPECT_EQ(shown(), (Names{"A1", "A2", "A3"}));
  EXPECT_EQ(pane.LabelFindCount->text(), QStringLiteral("3 из 5"));
  pane.Action_RedoExecute();
  EXPECT_EQ(shown(), Names{});
  pane.Action_UndoExecute();
  EXPECT_EQ(shown(), (Names{"A1", "A2", "A3"}));
}

TEST_F(PaneFindTest, MovesAreOffWhileFilteredAndComeBackAfter) {
  fill({"A1", "B1", "A2"});
  pane.setSelection(rows(3, {2}));
  ASSERT_TRUE(pane.ActionMoveUp->isEnabled());
  find(QStringLiteral("a"));
  EXPECT_FALSE(pane.ActionMoveUp->isEnabled());
  EXPECT_FALSE(pane.ActionMoveDown->isEnabled());
  EXPECT_FALSE(pane.commandStates().moveUp);
  pane.runCommand(TFrameCableList::Command::MoveUp);
  EXPECT_EQ(cp1251ToUtf8(pane.table().at(2).name), "A2");
  EXPECT_EQ(pane.history().count(), 0);

  find(QString());
  EXPECT_TRUE(pane.ActionMoveUp->isEnabled());
}

TEST_F(PaneFindTest, TheCurrentRowNeverStaysOnAHiddenRow) {
  TForm_EditCable editor;
  fill({"B0", "A1", "B2", "A3"});
  pane.setSelection(rows(4, {0, 3}));
  pane.setCurrentRow(0);
  find(QStringLiteral("a"));
  // One visible row selected: the edit is on, and on that row, not the hidden current one.
  EXPECT_EQ(pane.selection(), rows(4, {3}));
  EXPECT_EQ(pane.currentRow(), 3);
  ASSERT_TRUE(pane.ActionEditCable->isEnabled());
  QString edited;
  runEditor(
      editor,
      [&] {
        pane.ActionEditCableExecute();
        return 0;
      },
      [&] {
        edited = editor.Edit_CableName->text();
        editor.Button2->click();
      });
  EXPECT_EQ(edited, QStringLiteral("A3"));

  // Nothing visible selected: the focus frame goes to the first visible row.
  pane.setSelection(rows(4, {}));
  pane.setCurrentRow(2);
  find(QStringLiteral("a1"));
  EXPECT_EQ(pane.currentRow(), 1);
  find(QStringLiteral("zz"));
  EXPECT_EQ(pane.currentRow(), -1);
  EXPECT_FALSE(pane.ActionView->isEnabled());
}

TEST_F(PaneFindTest, AddedAndEditedRecordsAreFilteredLikeTheRest) {
  TForm_EditCable editor;
  fill({"Кабель 1", "ТПП"});
  find(QStringLiteral("кабель"));
  auto add = [&](const QString& name) {
    runEditor(
        editor,
        [&] {
          pane.ActionAddNewExecute();
          return 0;
        },
        [&] {
          editor.Edit_CableName->setText(name);
          editor.Button1->click();
        });
  };
  // Inserted between rows: the hidden rows after it move down with it.
  pane.setCurrentRow(0);
  add(QStringLiteral("Кабель 7"));
  EXPECT_EQ(shown(), (Names{"Кабель 1", "Кабель 7"}));
  add(QStringLiteral("МКС"));
  ASSERT_EQ(pane.table().getCount(), 4);
  ASSERT_EQ(cp1251ToUtf8(pane.table().at(2).name), "МКС");
  ASSERT_EQ(cp1251ToUtf8(pane.table().at(3).name), "ТПП");
  EXPECT_EQ(shown(), (Names{"Кабель 1", "Кабель 7"}));
  EXPECT_EQ(pane.LabelFindCount->text(), QStringLiteral("2 из 4"));

  // An edit that renames a record out of the filter hides it.
  pane.setSelection(rows(4, {0}));
  pane.setCurrentRow(0);
  runEditor(
      editor,
      [&] {
        pane.ActionEditCableExecute();
        return 0;
      },
      [&] {
        editor.Edit_CableName->setText(QStringLiteral("Провод"));
        editor.Button1->click();
      });
  ASSERT_EQ(cp1251ToUtf8(pane.table().at(0).name), "Провод");
  EXPECT_EQ(shown(), (Names{"Кабель 7"}));

  // Undo inserts rows again at their places.
  pane.Action_UndoExecute();
  pane.Action_UndoExecute();
  pane.Action_UndoExecute();
  EXPECT_EQ(shown(), (Names{"Кабель 1"}));
  pane.Action_RedoExecute();
  EXPECT_EQ(shown(), (Names{"Кабель 1", "Кабель 7"}));
}

TEST_F(PaneFindTest, TheFilterStaysAcrossNewOpenAndClose) {
  fill({"Кабель 1", "ТПП"});
  find(QStringLiteral("тпп"));
  ASSERT_EQ(shown(), (Names{"ТПП"}));

  const QString path = dir.filePath(QStringLiteral("t.txt"));
  writeBytes(path, v04File(QByteArray::fromStdString(
                       utf8ToCp1251("ТПП 1\t1.5\r\nКабель\t1.5\r\nтпп 2\t1.5\r\nМКС\t1.5\r\n"))));
  modal.answerMessageBox(3);  // the unsaved new table: forget it
  ASSERT_TRUE(pane.openDroppedFile(path));
  EXPECT_EQ(shown(), (Names{"ТПП 1", "тпп 2"}));
  EXPECT_EQ(pane.LabelFindCount->text(), QStringLiteral("2 из 4"));

  ASSERT_TRUE(pane.closeTable(true));
  EXPECT_FALSE(pane.PanelFind->isVisibleTo(&host.window));
  pane.focusFind();
  EXPECT_NE(QApplication::focusWidget(), pane.EditFind);

  pane.NewExecute();
  EXPECT_TRUE(pane.PanelFind->isVisibleTo(&host.window));
  ASSERT_TRUE(pane.appendRecord(cable("МКС")));
  ASSERT_TRUE(pane.appendRecord(cable("ТППэп")));
  EXPECT_EQ(shown(), (Names{"ТППэп"}));
}

TEST_F(PaneFindTest, DownGoesOnToTheFirstRowShown) {
  fill({"B0", "A1", "A2"});
  host.window.show();
  host.window.activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(&host.window));
  pane.focusFind();
  typeInto(pane.EditFind, QStringLiteral("a"));
  QTest::keyClick(pane.EditFind, Qt::Key_Down);
  EXPECT_EQ(QApplication::focusWidget(), pane.ListBox);
  EXPECT_EQ(pane.currentRow(), 1);
  EXPECT_EQ(pane.selection(), rows(3, {1}));
  // A current row already shown stays.
  pane.setCurrentRow(2);
  pane.focusFind();
  QTest::keyClick(pane.EditFind, Qt::Key_Return);
  EXPECT_EQ(QApplication::focusWidget(), pane.ListBox);
  EXPECT_EQ(pane.currentRow(), 2);
}

TEST_F(PaneFindTest, EachPaneHasItsOwnFilter) {
  fill({"A", "B"}, 0);
  fill({"A", "B"}, 1);
  find(QStringLiteral("b"));
  EXPECT_EQ(host.pane(1).shownCount(), 2);
  EXPECT_FALSE(host.pane(1).findActive());
}

}  // namespace
