// The program's start: the windows, the number conventions and the message loop.
#include "app/CApplication.h"

#include <cstring>
#include <cerrno>
#include <clocale>
#include <cstdio>
#include <string>

#include <QTest>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QAbstractButton>
#include <QDialog>
#include <QLocale>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "dialogs/CModal.h"
#include "devicedisk/TForm_SelectDeviceDisk.h"
#include "dialogs/TForm_About.h"
#include "dialogs/TForm_Help.h"
#include "dialogs/TForm_MessageBox.h"
#include "editor/TForm_EditCable.h"
#include "mainwindow/TFormMain.h"
#include "support/CMemorySettingsStore.h"
#include "settings/CProgramSettings.h"
#include "support/GuiTestMain.h"
#include "support/ScriptedModal.h"

namespace {

[[maybe_unused]] const bool applicationChosen =
    setTestApplicationFactory([](int& argc, char** argv) -> QApplication* {
      // A user whose locale writes numbers with a comma.
      qputenv("LC_ALL", "ru_RU.UTF-8");
      qputenv("LANG", "ru_RU.UTF-8");
      return new CApplication(argc, argv);
    });

CApplication& app() { return *qobject_cast<CApplication*>(QCoreApplication::instance()); }

}  // namespace

TEST(Startup, NumbersUseThePointWhateverTheUsersLocale) {
  // The user's locale really writes a comma; otherwise this would show nothing.
  ASSERT_EQ(QLocale::system().decimalPoint(), QStringLiteral(","));
  EXPECT_EQ(QLocale().decimalPoint(), QStringLiteral("."));
  EXPECT_EQ(QLocale().toString(1.5), QStringLiteral("1.5"));
  char buf[16];
  std::snprintf(buf, sizeof buf, "%.1f", 1.5);
  EXPECT_STREQ(buf, "1.5");

  // The same for the C library, where the machine has the user's locale.
  const std::string current = std::setlocale(LC_NUMERIC, nullptr);
  const bool commaLocale =
      std::setlocale(LC_NUMERIC, "") && std::localeconv()->decimal_point[0] == ',';
  std::setlocale(LC_NUMERIC, current.c_str());
  if (!commaLocale) GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
  EXPECT_EQ(current, "C");
}

// Only numbers keep the C conventions: Qt's standard buttons and the system's
// messages speak the user's language.
TEST(Startup, StandardButtonsAndSystemMessagesSpeakTheUsersLanguage) {
  ASSERT_EQ(QLocale::system().language(), QLocale::Russian);
  if (!QFileInfo::exists(QLibraryInfo::path(QLibraryInfo::TranslationsPath) +
                         QStringLiteral("/qtbase_ru.qm")))
    GTEST_SKIP() << "Qt's Russian translation is not installed (qt6-translations-l10n)";
  QString cancel;
  QTimer::singleShot(0, [&cancel] {
    QMessageBox* box = nullptr;
    if (!QTest::qWaitFor(
            [&] { return (box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())); },
            3000))
      return;
    cancel = box->button(QMessageBox::Cancel)->text();
    box->reject();
  });
  CModal::current().standardBox(StandardBoxKind::Question, QStringLiteral("Вопрос"),
                                QStringLiteral("Текст"), QMessageBox::Ok | QMessageBox::Cancel,
                                QMessageBox::Cancel);
  EXPECT_EQ(cancel, QStringLiteral("Отмена"));

  const std::string messages = std::setlocale(LC_MESSAGES, nullptr);
  if (messages.rfind("ru_RU", 0) != 0) GTEST_SKIP() << "ru_RU.UTF-8 is not installed";
  EXPECT_STREQ(std::strerror(EISDIR), "Это каталог");
}

// One test for the whole run: the application object exists once per process.
TEST(Startup, WindowsAreMadeOnceAndClosingTheMainWindowEndsTheLoop) {
  ScriptedModal modal;
  CMemorySettingsStore store;
  app().createWindows(&store);
  TFormMain* main = app().mainWindow();
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(&TForm_MessageBox::instance(), app().messageBox());
  // The pane's record commands find the one editor, which opens over the main window.
  ASSERT_NE(app().cableEditor(), nullptr);
  EXPECT_EQ(TForm_EditCable::instance(), app().cableEditor());
  EXPECT_EQ(app().cableEditor()->parentWidget(), main);
  ASSERT_NE(app().aboutWindow(), nullptr);
  ASSERT_NE(app().helpWindow(), nullptr);
  ASSERT_NE(app().selectDiskWindow(), nullptr);
  EXPECT_EQ(&TForm_SelectDeviceDisk::instance(), app().selectDiskWindow())
      << "the panes' instrument commands use the application's disk selection dialog";
  app().createWindows(&store);
  EXPECT_EQ(app().mainWindow(), main) << "a second call makes nothing new";

  // The help menu opens the application's own About window.
  QWidget* shownModal = nullptr;
  QTimer::singleShot(0, [&shownModal] {
    shownModal = QApplication::activeModalWidget();
    if (auto* d = qobject_cast<QDialog*>(shownModal)) d->reject();
  });
  main->ActionAbout->trigger();
  EXPECT_EQ(shownModal, app().aboutWindow());

  // No changes: the close asks nothing, stores the settings and ends the loop.
  QTimer::singleShot(50, main, [main] { main->close(); });
  // A loop that did not end would hang the test: end it the hard way after a while.
  bool timedOut = false;
  QTimer::singleShot(20000, [&timedOut] {
    timedOut = true;
    QCoreApplication::exit(1);
  });
  EXPECT_EQ(app().run(), 0);
  EXPECT_FALSE(timedOut);
  EXPECT_FALSE(main->isVisible());
  EXPECT_TRUE(modal.asked().empty());
  auto key = store.openKey(CProgramSettings::KeyPath, false);
  ASSERT_TRUE(key);
  EXPECT_TRUE(key->readString(QStringLiteral("Version")).has_value());
}
