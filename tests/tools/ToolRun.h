#pragma once

#include <csignal>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "support/FileTestSupport.h"

// One finished run of the real tolmira-table.
struct ToolRun {
  int exitCode = -1;  // 128 + signal when it was killed
  std::string out;
  std::string err;
};

struct ToolRunOptions {
  long fileSizeLimit = -1;  // RLIMIT_FSIZE for the child, -1 = unchanged
};

// Runs the tool with args; stdout and stderr are captured through files in work.
inline ToolRun runTool(const TempDir& work, const std::vector<std::string>& args,
                       const ToolRunOptions& options = ToolRunOptions()) {
  const std::string outPath = work.file(".tool-stdout");
  const std::string errPath = work.file(".tool-stderr");
  std::vector<std::string> argvText{TOLMIRA_TABLE_EXE};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int outFd = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int errFd = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (outFd < 0 || errFd < 0) ::_exit(126);
    ::dup2(outFd, 1);
    ::dup2(errFd, 2);
    if (options.fileSizeLimit >= 0) {
      // A write past the limit then fails with EFBIG instead of killing the tool.
      std::signal(SIGXFSZ, SIG_IGN);
      struct rlimit lim;
      lim.rlim_cur = lim.rlim_max = static_cast<rlim_t>(options.fileSizeLimit);
      ::setrlimit(RLIMIT_FSIZE, &lim);
    }
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ToolRun run;
  int status = 0;
  if (pid < 0 || ::waitpid(pid, &status, 0) != pid) return run;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.exitCode = 128 + WTERMSIG(status);
  run.out = readBytes(outPath);
  run.err = readBytes(errPath);
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return run;
}
