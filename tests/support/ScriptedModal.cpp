#include "support/ScriptedModal.h"

#include <QPrinter>

#include <gtest/gtest.h>

namespace {
const char* kindName(ScriptedModal::Kind k) {
  switch (k) {
    case ScriptedModal::Kind::MessageBox:
      return "message box";
    case ScriptedModal::Kind::StandardBox:
      return "standard box";
    case ScriptedModal::Kind::OpenFile:
      return "open dialog";
    case ScriptedModal::Kind::SaveFile:
      return "save dialog";
    case ScriptedModal::Kind::Print:
      return "print dialog";
  }
  return "?";
}
}  // namespace

std::vector<QString> ScriptedModal::Asked::captions() const {
  std::vector<QString> out;
  for (const ModalButton& b : question.buttons) out.push_back(b.caption);
  return out;
}

ScriptedModal::ScriptedModal() { CModal::install(this); }

ScriptedModal::~ScriptedModal() {
  CModal::install(nullptr);
  EXPECT_TRUE(script_.empty()) << script_.size() << " scripted answer(s) were never asked for";
}

ScriptedModal& ScriptedModal::answerMessageBox(int result) {
  script_.push_back({Kind::MessageBox, result, QMessageBox::NoButton, {}});
  return *this;
}
ScriptedModal& ScriptedModal::answerStandardBox(QMessageBox::StandardButton button) {
  script_.push_back({Kind::StandardBox, 0, button, {}});
  return *this;
}
ScriptedModal& ScriptedModal::answerOpenFile(const QString& path) {
  script_.push_back({Kind::OpenFile, 0, QMessageBox::NoButton, path});
  return *this;
}
ScriptedModal& ScriptedModal::answerSaveFile(const QString& path) {
  script_.push_back({Kind::SaveFile, 0, QMessageBox::NoButton, path});
  return *this;
}

ScriptedModal& ScriptedModal::answerPrint(const QString& pdfPath) {
  script_.push_back({Kind::Print, 0, QMessageBox::NoButton, pdfPath});
  return *this;
}

const ScriptedModal::Asked& ScriptedModal::last() const {
  static const Asked none{};
  if (asked_.empty()) {
    ADD_FAILURE() << "no question was asked";
    return none;
  }
  return asked_.back();
}

ScriptedModal::Answer ScriptedModal::take(Kind kind) {
  if (script_.empty()) {
    ADD_FAILURE() << "unexpected " << kindName(kind) << ": " << asked_.back().title.toStdString()
                  << " / " << asked_.back().text.toStdString();
    return {kind, 2, QMessageBox::Cancel, {}};
  }
  Answer a = script_.front();
  script_.pop_front();
  if (a.kind != kind) {
    ADD_FAILURE() << "asked a " << kindName(kind) << " (" << asked_.back().title.toStdString()
                  << " / " << asked_.back().text.toStdString() << ") where a " << kindName(a.kind)
                  << " was scripted";
    return {kind, 2, QMessageBox::Cancel, {}};
  }
  return a;
}

int ScriptedModal::messageBox(const ModalQuestion& question) {
  Asked q{};
  q.kind = Kind::MessageBox;
  q.question = question;
  q.title = question.title;
  q.text = question.text;
  asked_.push_back(q);
  return take(Kind::MessageBox).result;
}

QMessageBox::StandardButton ScriptedModal::standardBox(StandardBoxKind kind, const QString& title,
                                                       const QString& text,
                                                       QMessageBox::StandardButtons buttons,
                                                       QMessageBox::StandardButton defaultButton) {
  Asked q{};
  q.kind = Kind::StandardBox;
  q.standardKind = kind;
  q.title = title;
  q.text = text;
  q.standardButtons = buttons;
  q.defaultButton = defaultButton;
  asked_.push_back(q);
  return take(Kind::StandardBox).button;
}

QMessageBox::StandardButton ScriptedModal::standardBoxAt(
    const QPoint& topLeft, StandardBoxKind kind, const QString& title, const QString& text,
    QMessageBox::StandardButtons buttons, QMessageBox::StandardButton defaultButton) {
  const QMessageBox::StandardButton answer = standardBox(kind, title, text, buttons, defaultButton);
  asked_.back().placed = true;
  asked_.back().topLeft = topLeft;
  return answer;
}

QString ScriptedModal::fileDialog(Kind kind, const QString& title, const QString& fileName,
                                  const QString& filter, const QString& defaultSuffix) {
  Asked q{};
  q.kind = kind;
  q.title = title;
  q.fileName = fileName;
  q.filter = filter;
  q.defaultSuffix = defaultSuffix;
  asked_.push_back(q);
  return take(kind).path;
}

QString ScriptedModal::openFileName(QWidget*, const QString& title, const QString& fileName,
                                    const QString& filter, const QString& defaultSuffix) {
  return fileDialog(Kind::OpenFile, title, fileName, filter, defaultSuffix);
}

QString ScriptedModal::saveFileName(QWidget*, const QString& title, const QString& fileName,
                                    const QString& filter, const QString& defaultSuffix) {
  return fileDialog(Kind::SaveFile, title, fileName, filter, defaultSuffix);
}

bool ScriptedModal::printDialog(QWidget*, QPrinter& printer) {
  Asked q{};
  q.kind = Kind::Print;
  q.title = printer.docName();
  asked_.push_back(q);
  const QString path = take(Kind::Print).path;
  if (path.isEmpty()) return false;
  // What a user gets who picks a PDF printer in the dialog.
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(path);
  return true;
}
