#include "app/CApplication.h"

#include <clocale>
#include <exception>

#include <QLibraryInfo>
#include <QLocale>
#include <QSessionManager>
#include <QTranslator>

#include "devicedisk/TForm_SelectDeviceDisk.h"
#include "dialogs/CModal.h"
#include "dialogs/TForm_About.h"
#include "dialogs/TForm_Help.h"
#include "dialogs/TForm_MessageBox.h"
#include "editor/TForm_EditCable.h"
#include "mainwindow/TFormMain.h"
#include "pane/PaneFeatures.h"
#include "platform/CTerminationRequests.h"
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
  // the C library's locale from the environment, so this must come after it; the
  // rest (the system's messages) stays in the user's language.
  std::setlocale(LC_NUMERIC, "C");
  QLocale::setDefault(QLocale::c());

  // Qt's own texts (standard buttons, file dialogs) in the user's language too.
  auto* qtTexts = new QTranslator(this);
  if (qtTexts->load(QLocale::system(), QStringLiteral("qtbase"), QStringLiteral("_"),
                    QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
    installTranslator(qtTexts);
  else
    delete qtTexts;
}

CApplication::~CApplication() {
  terminationRequests_.reset();
  selectDisk_.reset();
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
  // The help tells only of the commands the program offers.
  QStringList hiddenTopics;
  if (!kCopyBetweenPanes) hiddenTopics << QStringLiteral("copy");
  if (!kEditorCommands) hiddenTopics << QStringLiteral("editor");
  if (!kDeviceCommands) hiddenTopics << QStringLiteral("device");
  help_ = std::make_unique<TForm_Help>(mainWindow_->programDir(), mainWindow_.get(), hiddenTopics);
  mainWindow_->setAboutWindow(about_.get());
  mainWindow_->setHelpWindow(help_.get());
  selectDisk_ = std::make_unique<TForm_SelectDeviceDisk>(nullptr, mainWindow_.get());

  terminationRequests_ = std::make_unique<CTerminationRequests>();
  connect(terminationRequests_.get(), &CTerminationRequests::requested, this,
          [this] { endOnRequest(); });
  connect(this, &QGuiApplication::commitDataRequest, this,
          [this](QSessionManager&) { endOnRequest(); });
}

void CApplication::endOnRequest() {
  // A second request while a message of the first is up adds nothing.
  if (ending_) return;
  ending_ = true;
  const bool kept = !mainWindow_ || mainWindow_->keepTablesAndClose();
  ending_ = false;
  if (kept) quit();
}

int CApplication::run() {
  createWindows();
  mainWindow_->show();
  return exec();
}
