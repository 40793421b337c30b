#pragma once

#include <csignal>
#include <string>
#include <vector>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "support/FileTestSupport.h"

// One finished run of the real tolmira-table.
struct ToolRun {
  int exitCode = -1;  // 128 + signal when it was killed
  std::string out;
  std::string err;
  long peakKiB = -1;  // the child's peak resident memory, where the system tells it
};

struct ToolRunOptions {
  long fileSizeLimit = -1;  // RLIMIT_FSIZE for the child, -1 = unchanged
  bool discardOut = false;  // stdout to the null device instead of a file
};

#ifdef _WIN32
inline std::wstring toolWide(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int n =
      ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring out(static_cast<std::size_t>(n), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &out[0], n);
  return out;
}

// One argument as CommandLineToArgvW reads it back.
inline std::wstring quotedArgument(const std::wstring& arg) {
  if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
  std::wstring out = L"\"";
  std::size_t slashes = 0;
  for (wchar_t c : arg) {
    if (c == L'\\') {
      ++slashes;
      continue;
    }
    out.append(c == L'"' ? slashes * 2 + 1 : slashes, L'\\');
    slashes = 0;
    out += c;
  }
  out.append(slashes * 2, L'\\');
  return out + L"\"";
}

// The tool is built beside the tests that run it.
inline std::wstring toolPath() {
  wchar_t self[MAX_PATH] = {};
  const DWORD n = ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  std::wstring path(self, n);
  return path.substr(0, path.find_last_of(L"\\/") + 1) + toolWide(TOLMIRA_TABLE_EXE);
}

inline HANDLE inheritableFile(const std::string& path) {
  SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
  return ::CreateFileW(toolWide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ, &sa, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

// Runs the tool with args; stdout and stderr are captured through files in work.
inline ToolRun runTool(const TempDir& work, const std::vector<std::string>& args,
                       const ToolRunOptions& options = ToolRunOptions()) {
  const std::string outPath = work.file(".tool-stdout");
  const std::string errPath = work.file(".tool-stderr");
#ifdef _WIN32
  ToolRun run;
  if (options.fileSizeLimit >= 0) return run;  // Windows has no file size limit per process
  const std::wstring exe = toolPath();
  std::wstring commandLine = quotedArgument(exe);
  for (const std::string& a : args) commandLine += L" " + quotedArgument(toolWide(a));
  HANDLE out = inheritableFile(outPath);
  HANDLE err = inheritableFile(errPath);
  STARTUPINFOW si{};
  si.cb = sizeof si;
  si.dwFlags = STARTF_USESTDHANDLES;
  si.hStdInput = ::GetStdHandle(STD_INPUT_HANDLE);
  si.hStdOutput = out;
  si.hStdError = err;
  PROCESS_INFORMATION pi{};
  const bool started = out != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE &&
                       ::CreateProcessW(exe.c_str(), &commandLine[0], nullptr, nullptr, TRUE, 0,
                                        nullptr, nullptr, &si, &pi);
  if (out != INVALID_HANDLE_VALUE) ::CloseHandle(out);
  if (err != INVALID_HANDLE_VALUE) ::CloseHandle(err);
  if (!started) return run;
  ::WaitForSingleObject(pi.hProcess, INFINITE);
  DWORD code = 0;
  if (::GetExitCodeProcess(pi.hProcess, &code)) run.exitCode = static_cast<int>(code);
  ::CloseHandle(pi.hThread);
  ::CloseHandle(pi.hProcess);
#else
  std::vector<std::string> argvText{TOLMIRA_TABLE_EXE};
  argvText.insert(argvText.end(), args.begin(), args.end());
  std::vector<char*> argv;
  for (std::string& a : argvText) argv.push_back(&a[0]);
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    const int outFd = options.discardOut
                          ? ::open("/dev/null", O_WRONLY)
                          : ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
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
  struct rusage usage {};
  if (pid < 0 || ::wait4(pid, &status, 0, &usage) != pid) return run;
  run.peakKiB = usage.ru_maxrss;
  if (WIFEXITED(status)) run.exitCode = WEXITSTATUS(status);
  if (WIFSIGNALED(status)) run.exitCode = 128 + WTERMSIG(status);
#endif
  run.out = readBytes(outPath);
  run.err = readBytes(errPath);
  std::remove(outPath.c_str());
  std::remove(errPath.c_str());
  return run;
}
