#pragma once

#include <QCoreApplication>
#include <QDialog>
#include <QString>
#include <QStringList>

class QPushButton;
class QTextEdit;
class QWidget;

// "Справка": the built-in help text, or "help.rtf" from the program's directory
// when that file is there.
class TForm_Help : public QDialog {
  Q_OBJECT

 public:
  // hiddenTopics: the help file's topics of commands the program does not offer; a
  // line of the file marked {\*\tlmtopic NAME} is left out when NAME is among them.
  explicit TForm_Help(const QString& programDir = QCoreApplication::applicationDirPath(),
                      QWidget* parent = nullptr, const QStringList& hiddenTopics = {});

  // The help file without the lines of the hidden topics.
  static QByteArray withoutTopics(const QByteArray& rtf, const QStringList& hiddenTopics);

  static QStringList builtInLines();
  static QString helpFileName() { return QStringLiteral("help.rtf"); }

  // True when the text came from the help file.
  bool loadedFromFile() const { return fromFile_; }

  QTextEdit* RichEdit1 = nullptr;
  QWidget* Panel1 = nullptr;
  QPushButton* ButtonOk = nullptr;

 public slots:
  void reject() override;  // Escape and the close button: result 2

 private:
  bool fromFile_ = false;
};
