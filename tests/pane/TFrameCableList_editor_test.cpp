// The pane's add, edit and view commands with the real cable editor.
#include <cstdio>
#include <string>
#include <vector>

#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QPushButton>
#include <QToolBar>

#include <gtest/gtest.h>

#include "editor/EditorTestSupport.h"
#include "editor/TForm_EditCable.h"
#include "model/RecordText.h"
#include "pane/PaneTestHost.h"
#include "support/ScriptedModal.h"

namespace {

std::vector<bool> sel(int count, std::initializer_list<int> rows) {
  std::vector<bool> s(static_cast<std::size_t>(count), false);
  for (int r : rows) s[static_cast<std::size_t>(r)] = true;
  return s;
}

class PaneEditorTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    pane.NewExecute();
  }

  void fill(int count) {
    for (int i = 0; i < count; ++i) {
      const char name[2] = {static_cast<char>('A' + i), 0};
      ASSERT_TRUE(pane.appendRecord(namedCable(name)));
    }
    host.refreshedFrom.clear();
  }

  std::string name(int i) { return tolmira::recordName(pane.table().at(i)); }

  // Runs command with the editor answering through script.
  void withEditor(const std::function<void()>& command, const std::function<void()>& script) {
    runEditor(
        editor,
        [&] {
          command();
          return 0;
        },
        script);
  }

  ScriptedModal modal;
  TForm_EditCable editor;
  PaneTestHost host;
  TFrameCableList& pane = host.pane(0);
};

TEST_F(PaneEditorTest, AddInsertsAfterTheCurrentRowWithAFreeTemplateName) {
  EditorMode mode{};
  QString proposed;
  auto done = [&] {
    mode = editor.mode();
    proposed = editor.Edit_CableName->text();
    editor.Button1->click();
  };
  withEditor([&] { pane.ActionAddNewExecute(); }, done);
  EXPECT_EQ(mode, EditorMode::New);
  EXPECT_EQ(proposed, QStringLiteral("Кабель 1"));
  withEditor([&] { pane.ActionAddNewExecute(); }, done);
  EXPECT_EQ(proposed, QStringLiteral("Кабель 2"));
  ASSERT_EQ(pane.table().getCount(), 2);
  EXPECT_EQ(name(1), "Кабель 2");
  EXPECT_EQ(pane.selection(), sel(2, {1}));

  // Row 0 current: the new record goes to index 1.
  pane.setCurrentRow(0);
  withEditor([&] { pane.ActionAddNewExecute(); }, done);
  EXPECT_EQ(name(1), "Кабель 3");
  EXPECT_EQ(pane.selection(), sel(3, {1}));
  expectRowsMatchTable(pane);
  EXPECT_EQ(pane.history().count(), 3);
  EXPECT_FALSE(host.refreshedFrom.empty());

  pane.Action_UndoExecute();
  EXPECT_EQ(pane.table().getCount(), 2);
  EXPECT_EQ(name(1), "Кабель 2");
}

TEST_F(PaneEditorTest, AddCancelledChangesNothing) {
  withEditor([&] { pane.ActionAddNewExecute(); }, [&] { editor.Button2->click(); });
  EXPECT_EQ(pane.table().getCount(), 0);
  EXPECT_EQ(pane.history().count(), 0);
}

TEST_F(PaneEditorTest, AddToAFullTableRefusesAtOnceAndRecordsNothing) {
  for (int i = 0; i < pane.table().maxCount(); ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "N%d", i);
    ASSERT_TRUE(pane.appendRecord(namedCable(name)));
  }
  modal.answerStandardBox(QMessageBox::Ok);
  pane.ActionAddNewExecute();  // no editor: the script would fail on a shown dialog
  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().title, QStringLiteral("Сообщение"));
  EXPECT_TRUE(modal.last().text.contains(QStringLiteral("2023")));
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(pane.table().getCount(), 2023);
  EXPECT_EQ(pane.history().count(), 0);
}

TEST_F(PaneEditorTest, DoubleClickEditsTheOneSelectedRow) {
  fill(3);
  pane.setSelection(sel(3, {1}));
  pane.setCurrentRow(1);
  withEditor([&] { pane.ListBoxDblClick(); },
             [&] {
               EXPECT_EQ(editor.mode(), EditorMode::Edit);
               EXPECT_TRUE(editor.nameMessage().isEmpty());  // its own name is no duplicate
               editor.Edit_KU->setText(QStringLiteral("2"));
               key(editor.Edit_KU, Qt::Key_Return);
               editor.Button1->click();
             });
  EXPECT_FLOAT_EQ(pane.table().at(1).getKU(), 2.0f);
  EXPECT_EQ(pane.history().count(), 1);
  EXPECT_TRUE(pane.selection()[1]);
  EXPECT_EQ(host.refreshedFrom, std::vector<int>{0});
  expectRowsMatchTable(pane);
  pane.Action_UndoExecute();
  EXPECT_FLOAT_EQ(pane.table().at(1).getKU(), 1.5f);

  // Done without a change records nothing.
  withEditor([&] { pane.ActionEditCableExecute(); }, [&] { editor.Button1->click(); });
  EXPECT_EQ(pane.history().count(), 1);  // the undone Edit stays as redo
  EXPECT_TRUE(pane.history().canRedo());
}

TEST_F(PaneEditorTest, DoubleClickWithTwoRowsSelectedDoesNothing) {
  fill(3);
  pane.setSelection(sel(3, {0, 1}));
  pane.setCurrentRow(1);
  pane.ListBoxDblClick();
  EXPECT_FALSE(editor.isVisible());
  EXPECT_EQ(pane.history().count(), 0);
}

TEST_F(PaneEditorTest, ViewShowsTheRecordAndChangesNothing) {
  fill(2);
  pane.setSelection(sel(2, {1}));
  pane.setCurrentRow(1);
  withEditor([&] { pane.ActionViewExecute(); },
             [&] {
               EXPECT_EQ(editor.mode(), EditorMode::View);
               EXPECT_EQ(editor.Edit_CableName->text(), QStringLiteral("B"));
               key(editor.Button2, Qt::Key_Escape);
             });
  EXPECT_EQ(pane.history().count(), 0);
}

TEST_F(PaneEditorTest, EditorCommandsAreOnTheToolBarAndInTheMenu) {
  fill(1);
  pane.setSelection(sel(1, {0}));
  pane.setCurrentRow(0);
  pane.refreshCommands();
  for (QAction* a : {pane.ActionAddNew, pane.ActionEditCable}) {
    EXPECT_TRUE(a->isVisible());
    EXPECT_TRUE(pane.ToolBar_CableActions->actions().contains(a));
    EXPECT_TRUE(pane.PopupMenuList->actions().contains(a));
    EXPECT_TRUE(a->isEnabled());
  }
  EXPECT_TRUE(pane.ActionView->isEnabled());
}

}  // namespace
