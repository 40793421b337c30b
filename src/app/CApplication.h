#pragma once

#include <QApplication>

// The program's application object. A command never lets an exception cross the
// event loop: whatever escapes an event handler is shown in a critical message box
// and the program goes on.
class CApplication : public QApplication {
  Q_OBJECT
 public:
  CApplication(int& argc, char** argv);

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows an error that escaped a handler; the text is the exception's message.
  static void showEscapedError(const QString& message);
};
