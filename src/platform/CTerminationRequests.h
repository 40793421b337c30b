#pragma once

#include <QObject>

class QSocketNotifier;

// Turns the requests of the system to end the program (SIGTERM at shutdown or from
// kill, SIGHUP from a closed terminal, SIGINT from Ctrl+C) into a Qt signal that the
// event loop delivers, so that the program can keep its tables before it ends.
// One instance at a time; it puts the earlier handlers back when destroyed. On
// Windows a windowed program gets no such signals (a logout reaches it through
// the session manager) and this does nothing.
class CTerminationRequests : public QObject {
  Q_OBJECT
 public:
  explicit CTerminationRequests(QObject* parent = nullptr);
  ~CTerminationRequests() override;

  // False when the handlers could not be installed.
  bool active() const { return notifier_ != nullptr; }

 signals:
  void requested(int signalNumber);

 private:
  void readRequests();

  QSocketNotifier* notifier_ = nullptr;
};
