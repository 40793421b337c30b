#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QApplication>
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QString>
#include <QTemporaryDir>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include "mainwindow/TFormMain.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "pane/TFrameCableList.h"
#include "support/CMemorySettingsStore.h"
#include "settings/CProgramSettings.h"
#include "support/SettingsReset.h"
#include "support/ScriptedModal.h"

// A table file of n records named "<prefix> 1" … "<prefix> n"; false when it could
// not be written.
inline bool writeTable(const QString& path, int n, const char* prefix = "Cable") {
  SListCables table;
  for (int i = 1; i <= n; ++i) {
    SCable c;
    const std::string name = std::string(prefix) + " " + std::to_string(i);
    SCable::sanitizeName(c.name, name.c_str());
    c.setKU(1.5f + 0.01f * static_cast<float>(i));
    if (!table.add(c)) return false;
  }
  return table.saveToFile(QFile::encodeName(path).constData()) == 0;
}

inline QString recordName(const TFrameCableList& pane, int i) {
  return QString::fromLatin1(pane.table().at(i).name);
}

// One run of the program's main window over a memory settings store that outlives
// it, so that a second window sees what the first one stored, as at a restart.
class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(temp.isValid());
    programDir = temp.filePath(QStringLiteral("program"));
    ASSERT_TRUE(QDir().mkpath(programDir));
    // The per-user fallback folder of the autosave files lives under the test's folder.
    oldDataHome = qgetenv("XDG_DATA_HOME");
    hadDataHome = qEnvironmentVariableIsSet("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", temp.filePath(QStringLiteral("data")).toLocal8Bit());
    QApplication::setQuitOnLastWindowClosed(false);
    restart();
  }

  void TearDown() override {
    window.reset();
    if (hadDataHome)
      qputenv("XDG_DATA_HOME", oldDataHome);
    else
      qunsetenv("XDG_DATA_HOME");
  }

  // Ends the window (without its close handler) and starts a new "run".
  void restart() {
    window.reset();
    resetProgramSettings();
    window = std::make_unique<TFormMain>(store);
    window->setProgramDir(programDir);
  }

  // Shows the window as the program does and lets it restore its tables.
  void showWindow() {
    window->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    QCoreApplication::processEvents();
  }

  void showActive() {
    showWindow();
    window->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
  }

  TFrameCableList& pane(int i) { return *window->pane(i); }

  QString file(const QString& name) const { return temp.filePath(name); }

  // A table of n records opened in pane i.
  void openTable(int i, const QString& name, int n, const char* prefix = "Cable") {
    const QString path = file(name);
    ASSERT_TRUE(writeTable(path, n, prefix));
    ASSERT_TRUE(pane(i).openFile(path));
  }

  // Deletes record `row` of pane i through its command: an unsaved change.
  void deleteRow(int i, int row) {
    std::vector<bool> sel(static_cast<std::size_t>(pane(i).table().getCount()), false);
    sel[static_cast<std::size_t>(row)] = true;
    pane(i).setSelection(sel);
    pane(i).ActionDeleteSelectedExecute();
  }

  std::optional<QString> storedString(const char* name) {
    auto key = store.openKey(CProgramSettings::KeyPath, false);
    return key ? key->readString(QLatin1String(name)) : std::nullopt;
  }

  // Every question of the run goes through it; an unscripted one fails the test.
  ScriptedModal modal;
  QTemporaryDir temp;
  QString programDir;
  QByteArray oldDataHome;
  bool hadDataHome = false;
  CMemorySettingsStore store;
  std::unique_ptr<TFormMain> window;
};
