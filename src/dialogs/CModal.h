#pragma once

#include <cstdint>
#include <vector>

#include <QMessageBox>
#include <QPoint>
#include <QString>

class QPrinter;
class QWidget;

// One button of a question of the program's own message box.
struct ModalButton {
  QString caption;
  QString hint;
  int result = 0;
};

// Everything the program's message box shows for one question, after its button
// rules have run (the "Закрыть" button of a question without buttons included).
struct ModalQuestion {
  QString title;
  QString text;
  bool wordWrap = true;
  int alignment = 2;  // 0 left-justified, 1 right-justified, 2 centred
  std::vector<ModalButton> buttons;
  std::uint32_t flags = 0;    // bits 8..11 pick the focused button
  QWidget* anchor = nullptr;  // none: centred over the main window
};

enum class StandardBoxKind { Information, Warning, Critical, Question };

// The one seam through which every modal question and file dialog of the program
// passes, so that tests can script the answers and check what was asked.
class CModal {
 public:
  virtual ~CModal() = default;

  // The program's own message box; returns the result of the pressed button
  // (2 for Escape or the window's close button).
  virtual int messageBox(const ModalQuestion& question) = 0;

  // The toolkit's standard message and confirmation boxes; returns the button pressed
  // (QMessageBox::Cancel / Escape button when the box is closed).
  virtual QMessageBox::StandardButton standardBox(StandardBoxKind kind, const QString& title,
                                                  const QString& text,
                                                  QMessageBox::StandardButtons buttons,
                                                  QMessageBox::StandardButton defaultButton) = 0;

  // The same, its top-left corner at topLeft (global coordinates), kept on the screen.
  virtual QMessageBox::StandardButton standardBoxAt(const QPoint& topLeft, StandardBoxKind kind,
                                                    const QString& title, const QString& text,
                                                    QMessageBox::StandardButtons buttons,
                                                    QMessageBox::StandardButton defaultButton) = 0;

  // Standard file dialogs; an empty result means the user cancelled.
  virtual QString openFileName(QWidget* parent, const QString& title, const QString& fileName,
                               const QString& filter, const QString& defaultSuffix) = 0;
  virtual QString saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                               const QString& filter, const QString& defaultSuffix) = 0;

  // The standard print dialog for printer; true when the user chose to print.
  virtual bool printDialog(QWidget* parent, QPrinter& printer) = 0;

  // The seam in use. Until install() is called it is the real one, which shows the
  // real windows.
  static CModal& current();
  // Installs a replacement (not owned); nullptr goes back to the real one.
  static void install(CModal* modal);
};
