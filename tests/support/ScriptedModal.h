#pragma once

#include <deque>
#include <vector>

#include <QPoint>
#include <QString>

#include "dialogs/CModal.h"

// A seam for GUI tests: records every question and answers from a script.
// A question for which no answer was scripted, or of another kind than the next
// scripted answer, fails the running test.
class ScriptedModal : public CModal {
 public:
  enum class Kind { MessageBox, StandardBox, OpenFile, SaveFile, Print };

  struct Asked {
    Kind kind;
    ModalQuestion question;          // MessageBox
    StandardBoxKind standardKind{};  // StandardBox
    QString title;                   // every kind
    QString text;                    // MessageBox, StandardBox
    QMessageBox::StandardButtons standardButtons;
    QMessageBox::StandardButton defaultButton = QMessageBox::NoButton;
    bool placed = false;  // StandardBox asked with standardBoxAt, at topLeft
    QPoint topLeft;
    QString fileName;  // file dialogs: the name the dialog started with
    QString filter;
    QString defaultSuffix;
    std::vector<QString> captions() const;  // MessageBox: the button captions in order
  };

  ScriptedModal();            // installs itself
  ~ScriptedModal() override;  // uninstalls; unused answers fail the test

  // Script the next answers, in order.
  ScriptedModal& answerMessageBox(int result);
  ScriptedModal& answerStandardBox(QMessageBox::StandardButton button);
  ScriptedModal& answerOpenFile(const QString& path);  // empty: cancelled
  ScriptedModal& answerSaveFile(const QString& path);  // empty: cancelled
  // The print dialog: a real print into the PDF file pdfPath; empty: cancelled.
  ScriptedModal& answerPrint(const QString& pdfPath);

  const std::vector<Asked>& asked() const { return asked_; }
  const Asked& last() const;
  void clearAsked() { asked_.clear(); }

  int messageBox(const ModalQuestion& question) override;
  QMessageBox::StandardButton standardBox(StandardBoxKind kind, const QString& title,
                                          const QString& text, QMessageBox::StandardButtons buttons,
                                          QMessageBox::StandardButton defaultButton) override;
  QMessageBox::StandardButton standardBoxAt(const QPoint& topLeft, StandardBoxKind kind,
                                            const QString& title, const QString& text,
                                            QMessageBox::StandardButtons buttons,
                                            QMessageBox::StandardButton defaultButton) override;
  QString openFileName(QWidget* parent, const QString& title, const QString& fileName,
                       const QString& filter, const QString& defaultSuffix) override;
  QString saveFileName(QWidget* parent, const QString& title, const QString& fileName,
                       const QString& filter, const QString& defaultSuffix) override;
  bool printDialog(QWidget* parent, QPrinter& printer) override;

 private:
  struct Answer {
    Kind kind;
    int result = 0;
    QMessageBox::StandardButton button = QMessageBox::NoButton;
    QString path;
  };
  Answer take(Kind kind);
  QString fileDialog(Kind kind, const QString& title, const QString& fileName,
                     const QString& filter, const QString& defaultSuffix);

  std::deque<Answer> script_;
  std::vector<Asked> asked_;
};
