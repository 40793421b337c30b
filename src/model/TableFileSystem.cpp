#include "model/TableFileSystem.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <system_error>

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "model/FileOpenError.h"

namespace fs = std::filesystem;

namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "/\\:";
#else
constexpr const char* kSeparators = "/";
#endif

std::string folderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of(kSeparators);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

std::string followLinks(const char* fileName) {
  std::string path = fileName;
#ifndef _WIN32
  for (int hops = 0; hops < 40; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) break;
    const fs::path target = fs::read_symlink(path, ec);
    if (ec || target.empty()) break;
    path = target.is_absolute() ? target.string() : folderOf(path) + target.string();
  }
#endif
  return path;
}

bool writable(const std::string& path) {
#ifdef _WIN32
  return ::_access(path.c_str(), 2) == 0;
#else
  return ::access(path.c_str(), W_OK) == 0;
#endif
}

}  // namespace

tolmira::SaveTarget tolmira::resolveSaveTarget(const char* fileName) {
  if (!fileName) throw FileOpenError(std::string(), std::strerror(EINVAL));
  SaveTarget t;
  t.path = followLinks(fileName);
  t.folder = folderOf(t.path);
  std::error_code ec;
  const fs::file_status st = fs::status(t.path, ec);
  t.exists = !ec && fs::exists(st);
  if (!t.exists) return t;
  if (fs::is_directory(st)) throw FileOpenError(fileName, std::strerror(EISDIR));
  // As root, renaming over a device node would silently swap it for a plain file.
  if (!fs::is_regular_file(st)) throw FileOpenError(fileName, std::strerror(EINVAL));
  if (!writable(t.path)) throw FileOpenError(fileName, std::strerror(errno));
  t.permissions = static_cast<unsigned>(st.permissions()) & 07777u;
  return t;
}

unsigned tolmira::scratchSeed() {
#ifdef _WIN32
  const unsigned pid = static_cast<unsigned>(::_getpid());
#else
  const unsigned pid = static_cast<unsigned>(::getpid());
#endif
  return pid * 2654435761u ^
         static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
}

void tolmira::copyPermissions(const std::string& path, unsigned permissions) {
#ifndef _WIN32
  std::error_code ec;
  fs::permissions(path, static_cast<fs::perms>(permissions), fs::perm_options::replace, ec);
#else
  (void)path;
  (void)permissions;
#endif
}

bool tolmira::replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  // Written through, so that the replace is on the disk when the call returns.
  return ::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  std::error_code ec;
  fs::rename(from, to, ec);
  return !ec;
#endif
}

void tolmira::removeFile(const std::string& path) {
  std::error_code ec;
  fs::remove(path, ec);
}
