// The main window on a laptop-sized screen with a real window manager: only there
// does the window have a frame that must fit too.
#include "mainwindow/TFormMain.h"

#include <QApplication>
#include <QScreen>
#include <QStatusBar>
#include <QTest>
#include <QListView>
#include <QToolBar>

#include <gtest/gtest.h>

#include "model/SCable.h"
#include "pane/TFrameCableList.h"
#include "support/CMemorySettingsStore.h"
#include "support/GuiTestMain.h"
#include "support/RealDisplay.h"
#include "support/ScriptedModal.h"
#include "support/SettingsReset.h"

namespace {

[[maybe_unused]] const bool applicationChosen =
    setTestApplicationFactory([](int& argc, char** argv) -> QApplication* {
      RealDisplay::start(1366, 768);
      return new QApplication(argc, argv);
    });

// The rectangle of w on the screen.
QRect onScreen(const QWidget& w) { return QRect(w.mapToGlobal(QPoint(0, 0)), w.size()); }

}  // namespace

// At the first start nothing is stored: the window takes its design size where the
// screen has room, else as much as there is, with its frame and its bars on the screen.
TEST(MainWindowFrame, AtTheFirstStartTheWholeWindowIsOnALaptopScreen) {
  if (!RealDisplay::running()) GTEST_SKIP() << RealDisplay::why();
  QApplication::setQuitOnLastWindowClosed(false);
  resetProgramSettings();
  ScriptedModal modal;
  CMemorySettingsStore store;
  TFormMain window(store);
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  const QRect screen = window.screen()->availableGeometry();
  ASSERT_EQ(screen.height(), 768) << "the test screen";
  EXPECT_TRUE(QTest::qWaitFor([&] { return screen.contains(window.frameGeometry()); }, 10000))
      << window.frameGeometry().x() << "," << window.frameGeometry().y() << " "
      << window.frameGeometry().width() << "x" << window.frameGeometry().height();
  EXPECT_NE(window.frameGeometry(), window.geometry()) << "no frame came";
  // The bars follow once the window has laid itself out for its last size.
  EXPECT_TRUE(QTest::qWaitFor(
      [&] {
        return screen.contains(onScreen(*window.ActionToolBar2)) &&
               screen.contains(onScreen(*window.StatusBar1));
      },
      5000))
      << "bottom bar at " << onScreen(*window.ActionToolBar2).y() << ", status bar at "
      << onScreen(*window.StatusBar1).y();
  // With a table in each pane, a full row shows without scrolling sideways.
  for (int i = 0; i < 2; ++i) {
    window.pane(i)->NewExecute();
    window.pane(i)->appendRecord(SCable());
  }
  QCoreApplication::processEvents();
  for (int i = 0; i < 2; ++i) {
    const TFrameCableList& pane = *window.pane(i);
    EXPECT_GE(pane.ListBox->viewport()->width(), pane.rowWidth()) << "pane " << i;
  }
  window.hide();
  resetProgramSettings();
}
