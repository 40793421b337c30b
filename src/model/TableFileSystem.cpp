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
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "model/FileOpenError.h"
#include "model/NativePath.h"

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
  // As many hops as the system itself follows; more is a loop.
  constexpr int kMaxHops = 40;
  for (int hops = 0;; ++hops) {
    std::error_code ec;
    if (!fs::is_symlink(fs::symlink_status(path, ec))) break;
    if (hops == kMaxHops) throw FileOpenError(fileName, std::strerror(ELOOP));
    const fs::path target = fs::read_symlink(path, ec);
    if (ec || target.empty()) break;
    path = target.is_absolute() ? target.string() : folderOf(path) + target.string();
  }
#endif
  return path;
}

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); }

bool writable(const std::string& path) {
#ifdef _WIN32
  return ::_waccess(tolmira::widePath(path).c_str(), 2) == 0;
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
  const fs::file_status st = fs::status(fsPath(t.path), ec);
  if (ec == std::errc::too_many_symbolic_link_levels)
    throw FileOpenError(fileName, std::strerror(ELOOP));
  t.exists = !ec && fs::exists(st);
  if (!t.exists) return t;
  if (fs::is_directory(st)) throw FileOpenError(fileName, std::strerror(EISDIR));
  // As root, renaming over a device node would silently swap it for a plain file.
  if (!fs::is_regular_file(st)) throw FileOpenError(fileName, std::strerror(EINVAL));
  if (!writable(t.path)) throw FileOpenError(fileName, std::strerror(errno));
  t.permissions = static_cast<unsigned>(st.permissions()) & 07777u;
#ifndef _WIN32
  struct stat info;
  if (::stat(t.path.c_str(), &info) == 0) {
    t.owner = info.st_uid;
    t.group = info.st_gid;
    t.otherLinks = info.st_nlink > 1;
  }
#endif
  return t;
}

bool tolmira::isScratchName(const std::string& name) {
  // ~TLMxxxx.TMP with four upper-case hex digits, as openScratch makes them.
  if (name.size() != 12 || name.compare(0, 4, "~TLM") != 0 || name.compare(8, 4, ".TMP") != 0)
    return false;
  for (int i = 4; i < 8; ++i)
    if (!isHexDigit(name[static_cast<std::size_t>(i)])) return false;
  return true;
}

void tolmira::removeStaleScratchFiles(const std::string& folder) {
  std::error_code ec;
  fs::directory_iterator it(folder.empty() ? fs::path(".") : fsPath(folder), ec);
  if (ec) return;
  const auto now = fs::file_time_type::clock::now();
  for (; it != fs::directory_iterator(); it.increment(ec)) {
    if (ec) return;
    if (!isScratchName(utf8Path(it->path().filename()))) continue;
    std::error_code fileEc;
    if (!it->is_regular_file(fileEc) || fileEc) continue;
    const auto written = it->last_write_time(fileEc);
    if (fileEc || now - written < std::chrono::minutes(1)) continue;
    fs::remove(it->path(), fileEc);
  }
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

void tolmira::copyOwnerAndPermissions(const std::string& path, const SaveTarget& target) {
#ifndef _WIN32
  // Owner first: a change of owner may clear set-id bits that the permissions restore.
  // Refused for a user who does not own the old file, which then just becomes theirs.
  if (::chown(path.c_str(), static_cast<uid_t>(target.owner), static_cast<gid_t>(target.group)) !=
      0) {
    // Keep at least the group where the user belongs to it.
    static_cast<void>(
        ::chown(path.c_str(), static_cast<uid_t>(-1), static_cast<gid_t>(target.group)));
  }
  std::error_code ec;
  fs::permissions(path, static_cast<fs::perms>(target.permissions), fs::perm_options::replace, ec);
#else
  (void)path;
  (void)target;
#endif
}

bool tolmira::replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  // Written through, so that the replace is on the disk when the call returns.
  return ::MoveFileExW(widePath(from).c_str(), widePath(to).c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  std::error_code ec;
  fs::rename(fsPath(from), fsPath(to), ec);
  return !ec;
#endif
}

void tolmira::removeFile(const std::string& path) {
  std::error_code ec;
  fs::remove(fsPath(path), ec);
}
