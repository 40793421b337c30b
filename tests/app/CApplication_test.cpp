#include "app/CApplication.h"

#include <csignal>
#include <stdexcept>

#include <QFile>
#include <QTimer>
#include <QTemporaryDir>
#include <QFileInfo>
#include <QDir>
#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTest>

#include <gtest/gtest.h>

#include "mainwindow/TFormMain.h"
#include "pane/TFrameCableList.h"
#include "support/CMemorySettingsStore.h"
#include "settings/CProgramSettings.h"
#include "support/SettingsReset.h"
#include "support/GuiTestMain.h"
#include "support/ScriptedModal.h"

namespace {

[[maybe_unused]] const bool applicationChosen = setTestApplicationFactory(
    [](int& argc, char** argv) -> QApplication* { return new CApplication(argc, argv); });

// An event handler that fails the way a command may: by throwing.
class Thrower : public QObject {
 public:
  int handled = 0;
  bool event(QEvent* e) override {
    if (e->type() == QEvent::User) {
      ++handled;
      throw std::runtime_error("Нет доступа к файлу");
    }
    return QObject::event(e);
  }
};

// The real seam's standard boxes as the script gives them, but the program's own
// message box fails.
class FailingQuestion : public ScriptedModal {
 public:
  int messageBox(const ModalQuestion&) override { throw std::runtime_error("Нет памяти"); }
};

}  // namespace

TEST(CApplication, ExceptionFromHandlerIsShownAndTheLoopGoesOn) {
  auto* app = qobject_cast<CApplication*>(QCoreApplication::instance());
  ASSERT_NE(app, nullptr);
  ScriptedModal modal;
  modal.answerStandardBox(QMessageBox::Ok).answerStandardBox(QMessageBox::Ok);

  Thrower t;
  QEvent first(QEvent::User);
  EXPECT_FALSE(QCoreApplication::sendEvent(&t, &first));
  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().kind, ScriptedModal::Kind::StandardBox);
  EXPECT_EQ(modal.last().standardKind, StandardBoxKind::Critical);
  EXPECT_EQ(modal.last().text, QStringLiteral("Нет доступа к файлу"));

  // The program goes on: a posted event still reaches its handler through the loop.
  QCoreApplication::postEvent(&t, new QEvent(QEvent::User));
  QCoreApplication::processEvents();
  EXPECT_EQ(t.handled, 2);
  EXPECT_EQ(modal.asked().size(), 2u);
}

// The close question failing must not end the program without the autosave: the
// error is shown and the window stays open with its changes.
TEST(CApplication, AFailingCloseHandlerKeepsTheWindowOpen) {
  QApplication::setQuitOnLastWindowClosed(false);
  FailingQuestion modal;
  modal.answerStandardBox(QMessageBox::Ok);
  CMemorySettingsStore store;
  {
    TFormMain window(store);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    window.pane(0)->NewExecute();
    ASSERT_TRUE(window.pane(0)->table().isModified());

    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.last().text, QStringLiteral("Нет памяти"));
    EXPECT_TRUE(window.pane(0)->table().isModified());
    auto key = store.openKey(CProgramSettings::KeyPath, false);
    EXPECT_FALSE(key && key->readString(QStringLiteral("Version"))) << "settings stored";
  }
  resetProgramSettings();
}

// The system asks the program to end (shutdown, kill, a closed terminal): the unsaved
// table is kept for the next start without a question, the settings are stored and
// the message loop ends. The only test here that makes the application's windows.
TEST(CApplication, ATerminationSignalKeepsTheTablesAndEndsTheLoop) {
  ScriptedModal modal;  // an unscripted question fails the test
  CMemorySettingsStore store;
  QTemporaryDir dir;
  ASSERT_TRUE(dir.isValid());
  auto& app = *qobject_cast<CApplication*>(QCoreApplication::instance());
  app.createWindows(&store);
  TFormMain& window = *app.mainWindow();
  window.setProgramDir(dir.path());
  for (const int number : {SIGTERM, SIGHUP, SIGINT}) {
    SCOPED_TRACE(number);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    QCoreApplication::processEvents();
    // Still marked after an earlier round: kept files are copies.
    if (!window.pane(0)->tableOpen()) window.pane(0)->NewExecute();
    ASSERT_TRUE(window.pane(0)->table().isModified());

    QTimer::singleShot(0, [number] { std::raise(number); });
    bool timedOut = false;
    QTimer guard;  // stopped with the round, so that it cannot end a later loop
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [&] {
      timedOut = true;
      QCoreApplication::exit(1);
    });
    guard.start(5000);
    EXPECT_EQ(app.exec(), 0);
    EXPECT_FALSE(timedOut);
    EXPECT_FALSE(window.isVisible());
    EXPECT_TRUE(modal.asked().empty());
    const QString kept = QDir(dir.path()).filePath(TFormMain::autoSaveFileName(1));
    EXPECT_TRUE(QFileInfo::exists(kept));
    auto key = store.openKey(CProgramSettings::KeyPath, false);
    ASSERT_TRUE(key);
    EXPECT_EQ(key->readString(QStringLiteral("AutoSave1")), kept);
    QFile::remove(kept);
  }
}
