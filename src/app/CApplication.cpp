#include "app/CApplication.h"

#include <clocale>
#include <exception>

#include <QLocale>

#include "dialogs/CModal.h"
#include "dialogs/TForm_About.h"
#include "dialogs/TForm_Help.h"
#include "dialogs/TForm_MessageBox.h"
#include "editor/TForm_EditCable.h"
#include "mainwindow/TFormMain.h"
#include "platform/ISettingsStore.h"
#include "platform/SettingsStoreFactory.h"
#include "settings/CProgramInfo.h"
#include "settings/CProgramSettings.h"

using namespace tolmira;

CApplication::CApplication(int& argc, char** argv) : QApplication(argc, argv) {
  // The per-user data folder (autosave fallback) is named after these.
  setOrganizationName(QStringLiteral("ORVEN"));
  setApplicationName(QStringLiteral("Tolmira"));
  // Numbers in files and on screen always use the point. QApplication has just set
  // the C library's locale from the environment, so this must come after it.
  std::setlocale(LC_ALL, "C");
  QLocale::setDefault(QLocale::c());
}

CApplication::~CApplication() {
  help_.reset();
  about_.reset();
  messageBox_.reset();
  editor_.reset();
  mainWindow_.reset();
}

bool CApplication::notify(QObject* receiver, QEvent* event) {
  try {
    return QApplication::notify(receiver, event);
  } catch (const std::exception& e) {
    showEscapedError(QString::fromLocal8Bit(e.what()));
  } catch (...) {
    showEscapedError(QStringLiteral("Неизвестная ошибка"));
  }
  return false;
}

void CApplication::showEscapedError(const QString& message) {
  // A second exception while the box is up must not end the program either.
  try {
    CModal::current().standardBox(StandardBoxKind::Critical, QStringLiteral("Ошибка"), message,
                                  QMessageBox::Ok, QMessageBox::Ok);
  } catch (...) {
  }
}

void CApplication::createWindows(ISettingsStore* store) {
  if (mainWindow_) return;
  // The settings and the program information come before any window.
  programSettings();
  programInfo();
  if (!store) {
    ownStore_ = createUserSettingsStore();
    store = ownStore_.get();
  }
  mainWindow_ = std::make_unique<TFormMain>(*store);
  // Parented to the main window so that it opens over it; owned here.
  editor_ = std::make_unique<TForm_EditCable>(mainWindow_.get());
  messageBox_ = std::make_unique<TForm_MessageBox>();
  TForm_MessageBox::setMainWindow(mainWindow_.get());
  // Parented to the main window so that they open over it; owned here.
  about_ = std::make_unique<TForm_About>(programInfo(), mainWindow_.get());
  help_ = std::make_unique<TForm_Help>(mainWindow_->programDir(), mainWindow_.get());
  mainWindow_->setAboutWindow(about_.get());
  mainWindow_->setHelpWindow(help_.get());
}

int CApplication::run() {
  createWindows();
  mainWindow_->show();
  return exec();
}
