#include "support/RealDisplay.h"

#include <chrono>
#include <csignal>
#include <cstdlib>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

pid_t serverPid = -1;
pid_t managerPid = -1;
bool isRunning = false;
std::string reason = "not started";

bool onPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t from = 0;
  while (from <= dirs.size()) {
    const std::size_t to = dirs.find(':', from);
    const std::string dir =
        dirs.substr(from, to == std::string::npos ? std::string::npos : to - from);
    if (!dir.empty() && ::access((dir + "/" + program).c_str(), X_OK) == 0) return true;
    if (to == std::string::npos) break;
    from = to + 1;
  }
  return false;
}

void stopAll() {
  for (pid_t* pid : {&managerPid, &serverPid}) {
    if (*pid > 0) {
      ::kill(*pid, SIGTERM);
      ::waitpid(*pid, nullptr, 0);
    }
    *pid = -1;
  }
}

pid_t spawn(const std::string& program, const std::vector<std::string>& args) {
  const pid_t pid = ::fork();
  if (pid != 0) return pid;
  const int devnull = ::open("/dev/null", O_RDWR);
  if (devnull >= 0) {
    ::dup2(devnull, 0);
    ::dup2(devnull, 1);
    ::dup2(devnull, 2);
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(program.c_str()));
  for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  ::execvp(program.c_str(), argv.data());
  ::_exit(127);
}

// The server writes its display number to fd when it is ready for clients.
std::string readDisplayNumber(int fd) {
  std::string number;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 100) <= 0) continue;
    char c;
    const ssize_t n = ::read(fd, &c, 1);
    if (n <= 0) break;
    if (c == '\n') return number;
    number += c;
  }
  return std::string();
}

// A window manager announces itself on the root window; windows shown before that
// would be framed late.
bool managerReady() {
  if (!onPath("xprop")) return false;
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (std::chrono::steady_clock::now() < deadline) {
    if (::waitpid(managerPid, nullptr, WNOHANG) != 0) {
      managerPid = -1;
      return false;
    }
    if (std::system("xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'") == 0)
      return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return false;
}

}  // namespace

bool RealDisplay::start(int width, int height) {
  if (isRunning) return true;
  if (!onPath("Xvfb") || !onPath("openbox") || !onPath("xprop")) {
    reason = "Xvfb, openbox or xprop is not installed (apt-get install xvfb openbox x11-utils)";
    return false;
  }
  int fds[2];
  if (::pipe(fds) != 0) {
    reason = "no pipe";
    return false;
  }
  serverPid = spawn(
      "Xvfb", {"-displayfd", std::to_string(fds[1]), "-screen", "0",
               std::to_string(width) + "x" + std::to_string(height) + "x24", "-nolisten", "tcp"});
  ::close(fds[1]);
  const std::string number = readDisplayNumber(fds[0]);
  ::close(fds[0]);
  if (number.empty()) {
    stopAll();
    reason = "Xvfb did not start";
    return false;
  }
  const std::string display = ":" + number;
  ::setenv("DISPLAY", display.c_str(), 1);
  managerPid = spawn("openbox", {"--sm-disable"});
  if (!managerReady()) {
    stopAll();
    reason = "openbox did not take the screen";
    return false;
  }
  ::setenv("QT_QPA_PLATFORM", "xcb", 1);
  std::atexit(stopAll);
  isRunning = true;
  return true;
}

bool RealDisplay::running() { return isRunning; }

const std::string& RealDisplay::why() { return reason; }
