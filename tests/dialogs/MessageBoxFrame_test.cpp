// Where a question lands once a window manager has framed it: only a real display
// with a window manager shows this (the offscreen platform has no frames).
#include "dialogs/TForm_MessageBox.h"

#include <QApplication>
#include <QScreen>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>

#include "support/GuiTestMain.h"
#include "support/RealDisplay.h"

namespace {

[[maybe_unused]] const bool applicationChosen =
    setTestApplicationFactory([](int& argc, char** argv) -> QApplication* {
      RealDisplay::start(1280, 1024);
      return new QApplication(argc, argv);
    });

// The frame of a shown window once the window manager stopped moving it: three
// looks a tenth of a second apart agree.
QRect settledFrame(const QWidget& w) {
  QRect last = w.frameGeometry();
  for (int same = 0, tries = 0; same < 3 && tries < 30; ++tries) {
    QTest::qWait(100);
    same = w.frameGeometry() == last ? same + 1 : 0;
    last = w.frameGeometry();
  }
  return last;
}

class MessageBoxFrame : public testing::Test {
 protected:
  void SetUp() override {
    if (!RealDisplay::running()) GTEST_SKIP() << RealDisplay::why();
    main.setWindowTitle(QStringLiteral("Главное окно"));
    main.setGeometry(200, 150, 700, 500);
    main.show();
    // A window manager that has only just started now and then misses the first
    // window mapped: shown again, it is managed.
    if (!QTest::qWaitForWindowExposed(&main, 3000)) {
      main.hide();
      QTest::qWait(100);
      main.show();
    }
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    ASSERT_TRUE(QTest::qWaitFor([&] { return framed(main); }, 5000)) << "no frame";
    TForm_MessageBox::setMainWindow(&main);
  }
  void TearDown() override { TForm_MessageBox::setMainWindow(nullptr); }

  static bool framed(const QWidget& w) { return w.frameGeometry() != w.geometry(); }

  // The frame of the question while it is up, once framed and no longer moving.
  // Each test asks through a box of its own, new like the first box of a run.
  QRect frameOfQuestion(const QString& text) {
    QRect frame;
    QTimer::singleShot(0, [this, &frame] {
      TForm_MessageBox& box = this->box;
      if (QTest::qWaitFor([&] { return box.isVisible() && framed(box); }, 10000)) {
        frame = settledFrame(box);
      } else {
        ADD_FAILURE() << "not framed: visible " << box.isVisible() << ", frame "
                      << box.frameGeometry().width() << "x" << box.frameGeometry().height()
                      << ", client " << box.width() << "x" << box.height();
      }
      box.reject();
    });
    box.Ask(text, QStringLiteral("Внимание!"), false, 0);
    return frame;
  }

  QWidget main;
  TForm_MessageBox box;
};

}  // namespace

TEST_F(MessageBoxFrame, TheFirstQuestionLandsWhereTheLaterOnesDo) {
  const QString text = QStringLiteral("Имеются несохранённые изменения в таблице 1");
  const QRect first = frameOfQuestion(text);
  const QRect second = frameOfQuestion(text);
  const QRect third = frameOfQuestion(text);
  ASSERT_FALSE(first.isNull()) << "the question was not framed";
  EXPECT_EQ(first.topLeft(), third.topLeft());
  EXPECT_EQ(second.topLeft(), third.topLeft());
}

// A report as tall as the screen, as the first question of a run (a load error
// at start-up): its title bar is on the screen too.
TEST_F(MessageBoxFrame, ALongReportKeepsItsTitleOnTheScreen) {
  QString report;
  for (int i = 1; i <= 200; ++i)
    report += QStringLiteral("Стр. %1 (поз. 5): \"Кабель %1\tx\"\r\n").arg(i + 3);
  const QRect screen = main.screen()->availableGeometry();
  const QRect frame = frameOfQuestion(report);
  ASSERT_FALSE(frame.isNull()) << "the question was not framed";
  EXPECT_TRUE(screen.contains(frame))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
}

// At start-up the main window itself may not be framed yet when a load error is
// reported: the report still ends up whole on the screen, title bar included.
TEST(MessageBoxFrameAtStartUp, AReportOverAnUnframedMainWindowIsWholeOnTheScreen) {
  if (!RealDisplay::running()) GTEST_SKIP() << RealDisplay::why();
  QString report;
  for (int i = 1; i <= 200; ++i)
    report += QStringLiteral("Стр. %1 (поз. 5): \"Кабель %1\tx\"\r\n").arg(i + 3);
  QWidget starting;
  starting.setGeometry(100, 100, 900, 700);
  starting.show();
  TForm_MessageBox box;  // the one box of this run, never framed before
  TForm_MessageBox::setMainWindow(&starting);
  QRect frame;
  QTimer::singleShot(0, [&] {
    if (QTest::qWaitFor([&] { return box.isVisible() && box.frameGeometry() != box.geometry(); },
                        5000))
      frame = settledFrame(box);
    box.reject();
  });
  box.Ask(report, QStringLiteral("Ошибка загрузки!"), false, 0);
  TForm_MessageBox::setMainWindow(nullptr);
  ASSERT_FALSE(frame.isNull()) << "the question was not framed";
  const QRect screen = starting.screen()->availableGeometry();
  EXPECT_TRUE(screen.contains(frame))
      << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height();
}
