#include "model/NativePath.h"

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#endif

using namespace tolmira;

std::filesystem::path tolmira::fsPath(const std::string& utf8) {
#ifdef _WIN32
  return std::filesystem::path(widePath(utf8));
#else
  return std::filesystem::path(utf8);
#endif
}

std::string tolmira::utf8Path(const std::filesystem::path& path) { return path.u8string(); }

#ifdef _WIN32
std::wstring tolmira::widePath(const std::string& utf8) {
  if (utf8.empty()) return std::wstring();
  const int size = ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(),
                                         static_cast<int>(utf8.size()), nullptr, 0);
  if (size <= 0) return std::wstring();
  std::wstring out(static_cast<std::size_t>(size), L'\0');
  ::MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8.data(), static_cast<int>(utf8.size()),
                        &out[0], size);
  return out;
}
#endif
