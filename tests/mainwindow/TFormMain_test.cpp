#include "mainwindow/TFormMain.h"

#include <vector>

#include <QAction>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QSplitter>
#include <QStatusBar>
#include <QTest>
#include <QToolBar>
#include <QToolButton>
#include <QTimer>
#include <QDialog>
#include <QPushButton>
#include <QWheelEvent>

#include <gtest/gtest.h>

#include "editor/EditorTestSupport.h"
#include "editor/TForm_EditCable.h"
#include "mainwindow/MainWindowFixture.h"
#include "support/PaintCounter.h"

namespace {

int listFontSize(TFrameCableList& p) { return p.ListBox->font().pointSize(); }

QStringList barCaptions(QToolBar* bar) {
  QStringList captions;
  for (QAction* a : bar->actions())
    if (a->isVisible()) captions << a->text();
  return captions;
}

void clickInto(TFrameCableList& p) {
  QWidget* target = p.ListBox->isVisible() ? p.ListBox->viewport() : static_cast<QWidget*>(&p);
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QCoreApplication::processEvents();
}

}  // namespace

using TFormMainTest = MainWindowTest;

TEST_F(TFormMainTest, StartsWithTheLeftPaneActiveAndTheBottomBarOfKeys) {
  showWindow();
  EXPECT_EQ(window->windowTitle(), QStringLiteral("Менеджер кабелей для прибора VIRD-50"));
  EXPECT_EQ(window->font().pointSize(), 12);
  EXPECT_EQ(window->activePane(), 0);
  EXPECT_EQ(window->ActionCopyLToR->text(), QStringLiteral("(F5)"));
  EXPECT_EQ(window->ActionCopyRToL->text(), QStringLiteral("    "));
  // The two file-name fields are told apart by their colours.
  EXPECT_NE(pane(0).EditFileName->palette().color(QPalette::Disabled, QPalette::Base),
            pane(1).EditFileName->palette().color(QPalette::Disabled, QPalette::Base));
  EXPECT_EQ(pane(0).EditFileName->palette().color(QPalette::Base),
            window->palette().color(QPalette::Active, QPalette::Highlight));

  // Only commands that work are on the bar; each shows its key.
  EXPECT_EQ(barCaptions(window->ActionToolBar2),
            (QStringList{QStringLiteral("Просмотр (F3)"), QStringLiteral("|"),
                         QStringLiteral("Редактировать (F4)"), QStringLiteral("|"),
                         QStringLiteral("Переместить вниз (S)"), QStringLiteral("|"),
                         QStringLiteral("Переместить вверх (W)"), QStringLiteral("|"),
                         QStringLiteral("Копировать (F5)"), QStringLiteral("|"),
                         QStringLiteral("Удалить (F8)"), QStringLiteral("|"),
                         QStringLiteral("Выход (Alt+F4)")}));
  for (QAction* a : window->ActionToolBar2->actions())
    if (a->text() == QStringLiteral("|")) {
      EXPECT_FALSE(a->isEnabled());
    }
  // No table: nothing to move, copy or delete.
  EXPECT_FALSE(window->ActionMoveDown->isEnabled());
  EXPECT_FALSE(window->ActionCopy->isEnabled());
  EXPECT_FALSE(window->ActionDelete->isEnabled());
  EXPECT_TRUE(window->ActionExit->isEnabled());
}

TEST_F(TFormMainTest, ClickingIntoAPaneMakesItActiveAndTheBarFollowsIt) {
  showActive();
  openTable(1, QStringLiteral("right.txt"), 3);
  pane(1).setSelection({false, true, false});
  pane(1).setCurrentRow(1);
  EXPECT_FALSE(window->ActionDelete->isEnabled()) << "the bar mirrors the left pane";

  clickInto(pane(1));
  ASSERT_EQ(window->activePane(), 1);
  EXPECT_EQ(window->ActionCopyLToR->text(), QStringLiteral("    "));
  EXPECT_EQ(window->ActionCopyRToL->text(), QStringLiteral("(F5)"));
  EXPECT_EQ(pane(1).EditFileName->palette().color(QPalette::Base),
            window->palette().color(QPalette::Active, QPalette::Highlight));
  EXPECT_NE(pane(0).EditFileName->palette().color(QPalette::Base),
            window->palette().color(QPalette::Active, QPalette::Highlight));
  // The click selected one row of the right table: the bar shows its commands.
  EXPECT_EQ(window->ActionDelete->isEnabled(), pane(1).ActionDeleteSelected->isEnabled());
  EXPECT_TRUE(window->ActionDelete->isEnabled());
  EXPECT_EQ(window->ActionMoveDown->isEnabled(), pane(1).ActionMoveDown->isEnabled());

  clickInto(pane(0));
  EXPECT_EQ(window->activePane(), 0);
  EXPECT_FALSE(window->ActionDelete->isEnabled());
}

// --- keys of the active pane -------------------------------------------------------

struct PaneKeyCase {
  const char* label;
  Qt::Key key;
  std::vector<QString> rightAfter;  // names of the right table after the key
};

class PaneKeyTest : public MainWindowTest, public ::testing::WithParamInterface<PaneKeyCase> {};

TEST_P(PaneKeyTest, KeyActsOnTheActivePaneOnly) {
  const PaneKeyCase& c = GetParam();
  showActive();
  openTable(0, QStringLiteral("left.txt"), 3);
  openTable(1, QStringLiteral("right.txt"), 3);
  clickInto(pane(1));
  pane(1).setSelection({false, true, false});
  pane(1).setCurrentRow(1);
  ASSERT_EQ(window->activePane(), 1);

  QTest::keyClick(pane(1).ListBox, c.key);
  QCoreApplication::processEvents();

  std::vector<QString> names;
  for (int i = 0; i < pane(1).table().getCount(); ++i) names.push_back(recordName(pane(1), i));
  EXPECT_EQ(names, c.rightAfter);
  ASSERT_EQ(pane(0).table().getCount(), 3);
  for (int i = 0; i < 3; ++i)
    EXPECT_EQ(recordName(pane(0), i), QStringLiteral("Cable %1").arg(i + 1));
}

INSTANTIATE_TEST_SUITE_P(
    Keys, PaneKeyTest,
    ::testing::Values(PaneKeyCase{"S_moves_down", Qt::Key_S, {"Cable 1", "Cable 3", "Cable 2"}},
                      PaneKeyCase{"W_moves_up", Qt::Key_W, {"Cable 2", "Cable 1", "Cable 3"}},
                      PaneKeyCase{"F8_deletes", Qt::Key_F8, {"Cable 1", "Cable 3"}}),
    [](const ::testing::TestParamInfo<PaneKeyCase>& info) {
      return std::string(info.param.label);
    });

TEST_F(TFormMainTest, ViewAndEditOfTheBottomBarOpenTheEditorOnTheActivePane) {
  TForm_EditCable editor(window.get());
  showActive();
  openTable(0, QStringLiteral("left.txt"), 3);
  openTable(1, QStringLiteral("right.txt"), 3);
  clickInto(pane(1));
  pane(1).setSelection({false, true, false});
  pane(1).setCurrentRow(1);
  ASSERT_EQ(window->activePane(), 1);
  EXPECT_TRUE(window->ActionEditCable->isEnabled());
  EXPECT_TRUE(window->ActionView->isEnabled());
  EXPECT_EQ(window->ActionView->shortcut(), QKeySequence(Qt::Key_F3));
  EXPECT_EQ(window->ActionEditCable->shortcut(), QKeySequence(Qt::Key_F4));

  runEditor(
      editor,
      [&] {
        window->ActionView->trigger();
        return 0;
      },
      [&] {
        EXPECT_EQ(editor.mode(), EditorMode::View);
        EXPECT_EQ(editor.Edit_CableName->text(), QStringLiteral("Cable 2"));
        key(editor.Button2, Qt::Key_Escape);
      });
  runEditor(
      editor,
      [&] {
        window->ActionEditCable->trigger();
        return 0;
      },
      [&] {
        EXPECT_EQ(editor.mode(), EditorMode::Edit);
        EXPECT_EQ(editor.Edit_CableName->text(), QStringLiteral("Cable 2"));
        editor.Edit_KU->setText(QStringLiteral("2"));
        key(editor.Edit_KU, Qt::Key_Return);
        EXPECT_TRUE(editor.modified());
        EXPECT_TRUE(editor.isVisible());
        editor.Button1->click();
      });
  EXPECT_FLOAT_EQ(pane(1).table().at(1).getKU(), 2.0f);
  EXPECT_FLOAT_EQ(pane(0).table().at(1).getKU(), 1.52f);
  EXPECT_EQ(pane(1).history().count(), 1);
}

// Ctrl+Z and Ctrl+Y reach the active pane's history whether the focus is in that pane
// (the pane's own shortcut) or nowhere in particular (the window's key handler).
class UndoKeyTest : public MainWindowTest, public ::testing::WithParamInterface<bool> {};

TEST_P(UndoKeyTest, CtrlZWithTheRightPaneActiveUndoesOnlyThere) {
  const bool focusInPane = GetParam();
  showActive();
  openTable(0, QStringLiteral("left.txt"), 3);
  openTable(1, QStringLiteral("right.txt"), 3);
  deleteRow(0, 0);
  deleteRow(1, 0);
  clickInto(pane(1));
  ASSERT_EQ(window->activePane(), 1);
  QWidget* target = pane(1).ListBox;
  if (!focusInPane) {
    QApplication::focusWidget()->clearFocus();
    QCoreApplication::processEvents();
    ASSERT_EQ(window->activePane(), 1);
    target = window.get();
  }

  QTest::keyClick(target, Qt::Key_Z, Qt::ControlModifier);
  EXPECT_EQ(pane(1).table().getCount(), 3);
  EXPECT_EQ(pane(0).table().getCount(), 2);

  QTest::keyClick(target, Qt::Key_Y, Qt::ControlModifier);
  EXPECT_EQ(pane(1).table().getCount(), 2);
  EXPECT_EQ(pane(0).table().getCount(), 2);
}

INSTANTIATE_TEST_SUITE_P(Focus, UndoKeyTest, ::testing::Values(true, false),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return std::string(info.param ? "InThePane" : "OutsideThePanes");
                         });

// --- font size -------------------------------------------------------------------

struct FontStepCase {
  int start;      // set through ApplyFontSize
  int direction;  // per step
  int steps;
  int expected;
  bool plusEnabled, minusEnabled;
};

class FontStepTest : public MainWindowTest, public ::testing::WithParamInterface<FontStepCase> {};

TEST_P(FontStepTest, CtrlNumPlusMinusStepsWithinLimits) {
  const FontStepCase& c = GetParam();
  showActive();
  window->ApplyFontSize(c.start, false);
  for (int i = 0; i < c.steps; ++i)
    QTest::keyClick(window.get(), c.direction > 0 ? Qt::Key_Plus : Qt::Key_Minus,
                    Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(listFontSize(pane(0)), c.expected);
  EXPECT_EQ(listFontSize(pane(1)), c.expected);
  EXPECT_EQ(window->Action_FontSizePlus->isEnabled(), c.plusEnabled);
  EXPECT_EQ(window->Action_FontSizeMinus->isEnabled(), c.minusEnabled);
  // A step that changed the size is remembered, and its menu item checked.
  if (c.expected != c.start) {
    EXPECT_EQ(programSettings().FontSize, c.expected);
    for (QAction* item : window->FontSizeItems)
      EXPECT_EQ(item->isChecked(), item->data().toInt() == c.expected)
          << item->text().toStdString();
  } else {
    EXPECT_EQ(programSettings().FontSize, 0);
  }
}

INSTANTIATE_TEST_SUITE_P(Steps, FontStepTest,
                         ::testing::Values(FontStepCase{12, +1, 3, 18, true, true},
                                           FontStepCase{12, +1, 4, 20, false, true},
                                           FontStepCase{20, +1, 1, 20, false, true},
                                           FontStepCase{8, -1, 1, 8, true, false},
                                           FontStepCase{10, -1, 1, 8, true, false},
                                           FontStepCase{11, -1, 1, 8, true, false},
                                           FontStepCase{11, +1, 1, 12, true, true}));

TEST_F(TFormMainTest, MenuSizeThenPlusChangesNothingButDisablesPlus) {
  showActive();
  QAction* twenty = window->FontSizeItems.back();
  ASSERT_EQ(twenty->text(), QStringLiteral("20"));
  twenty->trigger();
  EXPECT_EQ(listFontSize(pane(0)), 20);
  EXPECT_EQ(programSettings().FontSize, 20);
  EXPECT_TRUE(twenty->isChecked());
  EXPECT_TRUE(window->Action_FontSizePlus->isEnabled()) << "the menu leaves the font actions";

  QTest::keyClick(window.get(), Qt::Key_Plus, Qt::ControlModifier | Qt::KeypadModifier);
  EXPECT_EQ(listFontSize(pane(0)), 20);
  EXPECT_FALSE(window->Action_FontSizePlus->isEnabled());
  EXPECT_TRUE(twenty->isChecked());
}

TEST_F(TFormMainTest, CtrlWheelAnywhereAndTheMainKeyboardStepTheSize) {
  showActive();
  openTable(1, QStringLiteral("right.txt"), 2);
  ASSERT_EQ(listFontSize(pane(0)), 12);

  auto wheel = [](QWidget* target, int dy, Qt::KeyboardModifiers mods) {
    QWheelEvent e(QPointF(10, 10), target->mapToGlobal(QPointF(10, 10)), QPoint(), QPoint(0, dy),
                  Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QApplication::sendEvent(target, &e);
  };
  wheel(pane(1).ListBox->viewport(), 120, Qt::ControlModifier);
  EXPECT_EQ(listFontSize(pane(0)), 14);
  wheel(window->ActionToolBar2, -120, Qt::ControlModifier);
  EXPECT_EQ(listFontSize(pane(1)), 12);
  wheel(pane(1).ListBox->viewport(), 120, Qt::NoModifier);  // plain scrolling
  EXPECT_EQ(listFontSize(pane(1)), 12);

  QTest::keyClick(window.get(), Qt::Key_Plus, Qt::ControlModifier);
  EXPECT_EQ(listFontSize(pane(0)), 14);
  QTest::keyClick(window.get(), Qt::Key_Minus, Qt::ControlModifier);
  EXPECT_EQ(listFontSize(pane(0)), 12);
}

TEST_F(TFormMainTest, StoredFontSizeAndGeometryAreAppliedAtFirstShowing) {
  {
    auto key = store.openKey(CProgramSettings::KeyPath, true);
    key->writeInt(QStringLiteral("FontSize"), 16);
    auto sub = key->openSubKey(CProgramSettings::MainWindowSubKey, true);
    sub->writeInt(QStringLiteral("Width"), 700);
  }
  showWindow();
  EXPECT_EQ(listFontSize(pane(0)), 16);
  EXPECT_EQ(listFontSize(pane(1)), 16);
  EXPECT_TRUE(window->FontSizeItems[4]->isChecked());
  EXPECT_EQ(window->width(), 700);
  // Not remembered again: the stored value came from the settings.
  EXPECT_EQ(programSettings().FontSize, 16);
}

// --- split between the panes -----------------------------------------------------

struct SplitCase {
  int w;
  double k;
  int left;
};

class SplitRuleTest : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitRuleTest, LeftWidthFollowsTheRatioWithinTheMinimums) {
  const SplitCase& c = GetParam();
  EXPECT_EQ(TFormMain::splitLeftWidth(c.w, c.k, 200, 200), c.left);
}

INSTANTIATE_TEST_SUITE_P(Rules, SplitRuleTest,
                         ::testing::Values(SplitCase{900, 1.0, 450}, SplitCase{901, 1.0, 450},
                                           SplitCase{900, 2.0, 300}, SplitCase{1000, 0.5, 666},
                                           SplitCase{500, 9.0, 201},  // the left minimum + 1
                                           SplitCase{500, 0.1, 299},  // the right minimum + 1
                                           SplitCase{401, 1.0, 200},  // narrow: w - 201 wins
                                           SplitCase{380, 1.0, 179},
                                           SplitCase{900, 0.0, 450},  // no ratio yet: even split
                                           SplitCase{900, -1.0, 450}));

TEST_F(TFormMainTest, ResizingKeepsTheRatioThatTheSplitterSet) {
  showActive();
  const int handle = window->PanelTables->handleWidth();
  ASSERT_EQ(handle, 3);
  auto w = [&] { return window->PanelTables->width() - handle; };
  // Ratio 1: both panes equally wide, up to the rounding of w / 2.
  EXPECT_EQ(pane(0).width(), w() / 2);
  EXPECT_EQ(pane(1).width(), w() - w() / 2);

  // Drag the splitter so that the right pane is twice as wide as the left.
  QSplitterHandle* h = window->Splitter1;
  const int target = w() / 3;
  const QPoint start(1, h->height() / 2);
  QTest::mousePress(h, Qt::LeftButton, Qt::NoModifier, start);
  QTest::mouseMove(h, start + QPoint(target - pane(0).width(), 0));
  QTest::mouseRelease(h, Qt::LeftButton, Qt::NoModifier,
                      start + QPoint(target - pane(0).width(), 0));
  QCoreApplication::processEvents();
  ASSERT_NEAR(pane(0).width(), target, 2);
  const double ratio = double(pane(1).width()) / pane(0).width();
  EXPECT_DOUBLE_EQ(programSettings().TableWidthK, ratio);
  EXPECT_NEAR(ratio, 2.0, 0.02);

  window->resize(window->width() + 300, window->height());
  QCoreApplication::processEvents();
  EXPECT_EQ(pane(0).width(), static_cast<int>(w() / (programSettings().TableWidthK + 1)));
  EXPECT_NEAR(double(pane(1).width()) / pane(0).width(), 2.0, 0.02);

  // And the next run: the stored ratio, not the pixels, comes back.
  const double stored = programSettings().TableWidthK;
  ASSERT_TRUE(window->close());
  restart();
  showActive();
  EXPECT_DOUBLE_EQ(programSettings().TableWidthK, stored);
  EXPECT_EQ(pane(0).width(), static_cast<int>(w() / (stored + 1)));
}

// --- settings, status bar and help menu ------------------------------------------

TEST_F(TFormMainTest, SettingsItemsToggleTheSettingsAndTheirMarks) {
  showWindow();
  struct Item {
    QAction* action;
    bool CProgramSettings::*field;
  };
  for (const Item& item :
       {Item{window->ActionSettingsAllowSameNames, &CProgramSettings::AllowSameNames},
        Item{window->ActionSettingsMarkSameNames, &CProgramSettings::MarkSameNames},
        Item{window->ActionSettingsMarkSameCables, &CProgramSettings::MarkSameCables}}) {
    const bool before = programSettings().*item.field;
    EXPECT_EQ(item.action->isChecked(), before);
    item.action->trigger();
    EXPECT_EQ(programSettings().*item.field, !before) << item.action->text().toStdString();
    EXPECT_EQ(item.action->isChecked(), !before);
  }
  EXPECT_FALSE(window->MenuMessagesStyle->menuAction()->isVisible());
  EXPECT_TRUE(window->ActionStyleStrict->isChecked());
  window->ActionStylePlayful->trigger();
  EXPECT_EQ(programSettings().MessagesStyle, 1);
  EXPECT_TRUE(window->ActionStylePlayful->isChecked());
  EXPECT_FALSE(window->ActionStyleStrict->isChecked());
}

// What repaints which list: a change of one table repaints the other pane (its marks
// of shared records depend on it), the two mark switches repaint both, the switch for
// repeated names, which only the copy reads, neither.
enum class Trigger { DeleteInLeft, UndoInRight, MarkSameNames, MarkSameCables, AllowSameNames };

struct RepaintCase {
  const char* label;
  Trigger trigger;
  bool leftRepainted, rightRepainted;
};

class RepaintTest : public MainWindowTest, public ::testing::WithParamInterface<RepaintCase> {};

// Delivers the pending update requests, so that the paints they cause happen now.
void deliverPaints() {
  for (int round = 0; round < 3; ++round) {
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
  }
}

TEST_P(RepaintTest, ListsThatDependOnAChangeAreRepainted) {
  const RepaintCase& c = GetParam();
  showActive();
  openTable(0, QStringLiteral("left.txt"), 3);
  openTable(1, QStringLiteral("right.txt"), 3);
  deleteRow(1, 2);
  deliverPaints();  // the set-up's paints are not counted
  PaintCounter counters[2];
  for (int i = 0; i < 2; ++i) pane(i).ListBox->viewport()->installEventFilter(&counters[i]);

  switch (c.trigger) {
    case Trigger::DeleteInLeft:
      deleteRow(0, 0);
      break;
    case Trigger::UndoInRight:
      pane(1).Action_UndoExecute();
      break;
    case Trigger::MarkSameNames:
      window->ActionSettingsMarkSameNames->trigger();
      break;
    case Trigger::MarkSameCables:
      window->ActionSettingsMarkSameCables->trigger();
      break;
    case Trigger::AllowSameNames:
      window->ActionSettingsAllowSameNames->trigger();
      break;
  }
  for (int i = 0; i < 2; ++i) {
    const bool expected = i == 0 ? c.leftRepainted : c.rightRepainted;
    if (expected) {
      EXPECT_TRUE(QTest::qWaitFor([&] { return counters[i].paints > 0; }, 1000));
    }
  }
  deliverPaints();
  EXPECT_EQ(counters[0].paints > 0, c.leftRepainted);
  EXPECT_EQ(counters[1].paints > 0, c.rightRepainted);
  for (int i = 0; i < 2; ++i) pane(i).ListBox->viewport()->removeEventFilter(&counters[i]);
}

INSTANTIATE_TEST_SUITE_P(
    Changes, RepaintTest,
    ::testing::Values(RepaintCase{"DeleteInLeft", Trigger::DeleteInLeft, true, true},
                      RepaintCase{"UndoInRight", Trigger::UndoInRight, true, true},
                      RepaintCase{"MarkSameNames", Trigger::MarkSameNames, true, true},
                      RepaintCase{"MarkSameCables", Trigger::MarkSameCables, true, true},
                      RepaintCase{"AllowSameNames", Trigger::AllowSameNames, false, false}),
    [](const ::testing::TestParamInfo<RepaintCase>& info) {
      return std::string(info.param.label);
    });

TEST_F(TFormMainTest, StatusBarShowsTheLongPartOfTheHintUnderTheMouse) {
  showActive();
  openTable(0, QStringLiteral("left.txt"), 2);
  QWidget* button = pane(0).ToolBar1->widgetForAction(pane(0).FileSaveAs);
  ASSERT_NE(button, nullptr);
  QTest::mouseMove(button, QPoint(button->width() / 2, button->height() / 2));
  QCoreApplication::processEvents();
  EXPECT_EQ(window->StatusBar1->currentMessage(),
            QStringLiteral("Сохранить таблицу файл с новым именем"));
}

TEST_F(TFormMainTest, HelpMenuShowsTheAboutAndHelpWindowsModally) {
  showActive();
  for (QAction* item : {window->ActionAbout, window->ActionHelp}) {
    QString shown;
    QTimer::singleShot(0, [&shown] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal) return;
      shown = QString::fromLatin1(modal->metaObject()->className());
      static_cast<QDialog*>(modal)->reject();
    });
    item->trigger();
    EXPECT_EQ(shown,
              QString::fromLatin1(item == window->ActionAbout ? "TForm_About" : "TForm_Help"));
  }
}
