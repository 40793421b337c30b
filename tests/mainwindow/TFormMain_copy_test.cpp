// Copying between the panes from the main window: F5, the panes' copy buttons and
// the bottom bar that follows them.
#include <QAction>
#include <QListView>
#include <QTest>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "mainwindow/MainWindowFixture.h"

namespace {

void clickInto(TFrameCableList& p) {
  QWidget* target = p.ListBox->isVisible() ? p.ListBox->viewport() : static_cast<QWidget*>(&p);
  QTest::mouseClick(target, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
  QCoreApplication::processEvents();
}

void clickCopyButton(TFrameCableList& p, QAction* copy) {
  auto* button = qobject_cast<QToolButton*>(p.ToolBar_CableActions->widgetForAction(copy));
  ASSERT_NE(button, nullptr);
  ASSERT_TRUE(button->isVisible());
  // The button of the direction F5 copies in says so.
  EXPECT_EQ(button->text(), QStringLiteral("(F5)"));
  EXPECT_EQ(button->toolButtonStyle(), Qt::ToolButtonTextBesideIcon);
  QTest::mouseClick(button, Qt::LeftButton);
  QCoreApplication::processEvents();
}

QStringList names(const TFrameCableList& p) {
  QStringList out;
  for (int i = 0; i < p.table().getCount(); ++i) out << recordName(p, i);
  return out;
}

}  // namespace

using TFormMainCopyTest = MainWindowTest;

TEST_F(TFormMainCopyTest, CtrlAAndF5CopyTheWholeLeftTableIntoARightPaneWithoutATable) {
  showActive();
  openTable(0, QStringLiteral("left.txt"), 5);
  clickInto(pane(0));
  ASSERT_EQ(window->activePane(), 0);
  ASSERT_FALSE(pane(1).tableOpen());

  QTest::keyClick(pane(0).ListBox, Qt::Key_A, Qt::ControlModifier);
  EXPECT_TRUE(window->ActionCopy->isEnabled());
  QTest::keyClick(pane(0).ListBox, Qt::Key_F5);
  QCoreApplication::processEvents();

  ASSERT_TRUE(pane(1).tableOpen());
  ASSERT_EQ(pane(1).table().getCount(), 5);
  for (int i = 0; i < 5; ++i) EXPECT_TRUE(pane(1).table().at(i).equals(pane(0).table().at(i))) << i;
  EXPECT_TRUE(pane(1).ListBox->isVisible());
  EXPECT_EQ(pane(1).ListBox->model()->rowCount(), 5);
  EXPECT_EQ(pane(1).history().count(), 1);
  // All of them are on the right now: the key and the button have nothing left to copy.
  EXPECT_FALSE(window->ActionCopyLToR->isEnabled());
  EXPECT_FALSE(window->ActionCopy->isEnabled());
  EXPECT_TRUE(modal.asked().empty());
}

TEST_F(TFormMainCopyTest, ButtonsAndF5CopyInBothDirections) {
  showActive();
  openTable(0, QStringLiteral("left.txt"), 3, "Left");
  openTable(1, QStringLiteral("right.txt"), 2, "Right");

  clickInto(pane(0));  // selects Left 1
  EXPECT_EQ(window->ActionCopyLToR->text(), QStringLiteral("(F5)"));
  clickCopyButton(pane(0), window->ActionCopyLToR);
  EXPECT_EQ(names(pane(1)), (QStringList{"Right 1", "Right 2", "Left 1"}));

  clickInto(pane(1));  // selects Right 1, F5 now copies to the left
  ASSERT_EQ(window->activePane(), 1);
  EXPECT_EQ(window->ActionCopyRToL->text(), QStringLiteral("(F5)"));
  EXPECT_TRUE(window->ActionCopy->isEnabled());
  QTest::keyClick(pane(1).ListBox, Qt::Key_F5);
  QCoreApplication::processEvents();
  EXPECT_EQ(names(pane(0)), (QStringList{"Left 1", "Left 2", "Left 3", "Right 1"}));
  // Right 1 is on the left now, so the bottom bar's copy goes off with the button.
  EXPECT_FALSE(window->ActionCopyRToL->isEnabled());
  EXPECT_FALSE(window->ActionCopy->isEnabled());

  pane(1).setSelection({false, true, false});
  EXPECT_TRUE(window->ActionCopy->isEnabled());
  clickCopyButton(pane(1), window->ActionCopyRToL);
  EXPECT_EQ(names(pane(0)), (QStringList{"Left 1", "Left 2", "Left 3", "Right 1", "Right 2"}));
  EXPECT_EQ(pane(0).history().count(), 2);
  EXPECT_EQ(pane(1).history().count(), 1);
  EXPECT_TRUE(modal.asked().empty());
}
