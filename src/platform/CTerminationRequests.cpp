#include "platform/CTerminationRequests.h"

#include <array>
#include <cerrno>
#include <csignal>

#ifndef _WIN32
#include <fcntl.h>
#include <unistd.h>
#endif

#include <QSocketNotifier>

namespace {

#ifndef _WIN32
constexpr std::array<int, 3> kSignals = {SIGTERM, SIGHUP, SIGINT};

// The handler may only write to a pipe; the event loop reads it.
int pipeFds[2] = {-1, -1};
std::array<struct sigaction, 3> previous;

void onSignal(int number) {
  const int savedErrno = errno;
  const unsigned char byte = static_cast<unsigned char>(number);
  static_cast<void>(::write(pipeFds[1], &byte, 1));
  errno = savedErrno;
}

bool openPipe() {
  if (::pipe(pipeFds) != 0) return false;
  for (const int fd : pipeFds) {
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);
  }
  return true;
}

void closePipe() {
  for (int& fd : pipeFds) {
    if (fd >= 0) ::close(fd);
    fd = -1;
  }
}
#endif

}  // namespace

CTerminationRequests::CTerminationRequests(QObject* parent) : QObject(parent) {
#ifndef _WIN32
  if (pipeFds[0] >= 0 || !openPipe()) return;
  struct sigaction action = {};
  action.sa_handler = onSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &action, &previous[i]);
  notifier_ = new QSocketNotifier(pipeFds[0], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, &CTerminationRequests::readRequests);
#endif
}

CTerminationRequests::~CTerminationRequests() {
#ifndef _WIN32
  if (!notifier_) return;
  for (std::size_t i = 0; i < kSignals.size(); ++i) ::sigaction(kSignals[i], &previous[i], nullptr);
  delete notifier_;
  closePipe();
#endif
}

void CTerminationRequests::readRequests() {
#ifndef _WIN32
  unsigned char byte = 0;
  while (::read(pipeFds[0], &byte, 1) == 1) emit requested(byte);
#endif
}
