#include "dialogs/CModal.h"

#include <algorithm>

#include <QApplication>
#include <QDir>
#include <QEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QPrinter>
#include <QScreen>
#include <QStringList>

#include "dialogs/TForm_MessageBox.h"

namespace {

QMessageBox::Icon iconFor(StandardBoxKind kind) {
  switch (kind) {
    case StandardBoxKind::Information:
      return QMessageBox::Information;
    case StandardBoxKind::Warning:
      return QMessageBox::Warning;
    case StandardBoxKind::Critical:
      return QMessageBox::Critical;
    case StandardBoxKind::Question:
      return QMessageBox::Question;
  }
  return QMessageBox::NoIcon;
}

QString runFileDialog(QWidget* parent, const QString& title, const QString& fileName,
                      const QString& filter, const QString& defaultSuffix, bool save) {
  QFileDialog dialog(parent, title);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
  // The program asks its own question before it writes over a file.
  if (save) dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
  if (!filter.isEmpty()) dialog.setNameFilters(filter.split(QStringLiteral(";;")));
  dialog.setDefaultSuffix(defaultSuffix);
  if (!fileName.isEmpty()) {
    const QFileInfo info(fileName);
    if (info.isDir()) {
      dialog.setDirectory(info.absoluteFilePath());
    } else {
      if (info.absoluteDir().exists()) dialog.setDirectory(info.absolutePath());
      dialog.selectFile(info.fileName());
    }
  }
  if (dialog.exec() != QDialog::Accepted) return QString();
  const QStringList files = dialog.selectedFiles();
  return files.isEmpty() ? QString() : files.first();
}

// Keeps a window's top-left corner at a point, moved as little as needed to stay on
// its screen, whatever size it takes on when it is shown.
class CornerPlacement : public QObject {
 public:
  CornerPlacement(QWidget* window, const QPoint& topLeft)
      : QObject(window), window_(window), topLeft_(topLeft) {
    window->installEventFilter(this);
    place();
  }

  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::Resize || event->type() == QEvent::Show) place();
    return false;
  }

 private:
  void place() {
    const QScreen* screen = QGuiApplication::screenAt(topLeft_);
    if (!screen) screen = QGuiApplication::primaryScreen();
    QPoint at = topLeft_;
    if (screen) {
      const QRect area = screen->availableGeometry();
      const QSize size = window_->frameGeometry().size().expandedTo(window_->size());
      at.setX(std::max(area.left(), std::min(at.x(), area.right() + 1 - size.width())));
      at.setY(std::max(area.top(), std::min(at.y(), area.bottom() + 1 - size.height())));
    }
    if (window_->pos() != at) window_->move(at);
  }

  QWidget* window_;
  QPoint topLeft_;
};

// The seam of the running program: the real windows.
class RealModal : public CModal {
 public:
  int messageBox(const ModalQuestion& question) override {
    return TForm_MessageBox::instance().execQuestion(question);
  }

  QMessageBox::StandardButton standardBox(StandardBoxKind kind, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton) override {
    QMessageBox box(iconFor(kind), title, text, buttons, QApplication::activeWindow());
    // File names in the texts are shown as they are, never as markup.
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
  }

  QMessageBox::StandardButton standardBoxAt(const QPoint& topLeft, StandardBoxKind kind,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override {
    QMessageBox box(iconFor(kind), title, text, buttons, QApplication::activeWindow());
    box.setTextFormat(Qt::PlainText);
    if (defaultButton != QMessageBox::NoButton) box.setDefaultButton(defaultButton);
    new CornerPlacement(&box, topLeft);
    return static_cast<QMessageBox::StandardButton>(box.exec());
  }

  QString openFileName(QWidget* parent, const QString& title, const QString& fileName,
                       const QString& filter, const QString& defaultSuffix) override {
    return runFileDialog(parent, title, fileName, filter, defaultSuffix, false);
  }

  QString saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                       const QString& filter, const QString& defaultSuffix) override {
    return runFileDialog(parent, title, fileName, filter, defaultSuffix, true);
  }

  bool printDialog(QWidget* parent, QPrinter& printer) override {
    QPrintDialog dialog(&printer, parent);
    return dialog.exec() == QDialog::Accepted;
  }
};

CModal* g_installed = nullptr;

}  // namespace

CModal& CModal::current() {
  static RealModal real;
  return g_installed ? *g_installed : real;
}

void CModal::install(CModal* modal) { g_installed = modal; }
