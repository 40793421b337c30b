#include "app/CApplication.h"

#include <exception>

#include "dialogs/CModal.h"

CApplication::CApplication(int& argc, char** argv) : QApplication(argc, argv) {}

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
