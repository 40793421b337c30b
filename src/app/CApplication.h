#pragma once

#include <memory>

#include <QApplication>

class CTerminationRequests;
class ISettingsStore;
class TForm_About;
class TForm_EditCable;
class TForm_Help;
class TForm_MessageBox;
class TForm_SelectDeviceDisk;
class TFormMain;

// The program's application object. A command never lets an exception cross the
// event loop: whatever escapes an event handler is shown in a critical message box
// and the program goes on. It also makes the program's windows, once, and keeps them
// until the end.
class CApplication : public QApplication {
  Q_OBJECT
 public:
  // Sets the process-wide number conventions: the C locale's numbers for the C
  // library and for Qt, whatever the user's locale says; loads Qt's own
  // translation for the user's language.
  CApplication(int& argc, char** argv);
  ~CApplication() override;

  bool notify(QObject* receiver, QEvent* event) override;

  // Shows an error that escaped a handler; the text is the exception's message.
  static void showEscapedError(const QString& message);

  // Makes the settings and the program information, then the windows in start-up
  // order: main window, cable editor, message box, About window, help window, disk selection
  // dialog. store: the settings store (not owned, must outlive the windows); none: the current
  // user's store, kept by the application. A second call does nothing.
  void createWindows(ISettingsStore* store = nullptr);

  // Shows the main window and runs the message loop until it closes.
  int run();

  // The system asks the program to end (a signal, the session's logout): the tables
  // are kept as for "Потом сохраню", without a question, and the loop ends. When a
  // table cannot be kept the program stays, with the window and its message.
  void endOnRequest();

  TFormMain* mainWindow() const { return mainWindow_.get(); }
  TForm_EditCable* cableEditor() const { return editor_.get(); }
  TForm_MessageBox* messageBox() const { return messageBox_.get(); }
  TForm_About* aboutWindow() const { return about_.get(); }
  TForm_Help* helpWindow() const { return help_.get(); }
  TForm_SelectDeviceDisk* selectDiskWindow() const { return selectDisk_.get(); }

 private:
  std::unique_ptr<ISettingsStore> ownStore_;
  // Declared in creation order; destroyed the other way round.
  std::unique_ptr<TFormMain> mainWindow_;
  std::unique_ptr<TForm_EditCable> editor_;
  std::unique_ptr<TForm_MessageBox> messageBox_;
  std::unique_ptr<TForm_About> about_;
  std::unique_ptr<TForm_Help> help_;
  std::unique_ptr<TForm_SelectDeviceDisk> selectDisk_;
  std::unique_ptr<CTerminationRequests> terminationRequests_;
  bool ending_ = false;
};
