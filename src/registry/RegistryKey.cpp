#include "registry/RegistryKey.h"

#ifdef _WIN32

#include <cstring>

// RegDeleteTreeW needs Windows 7 or later.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

namespace {

bool validName(const std::wstring& name) {
  return !name.empty() && name.find(L'\\') == std::wstring::npos;
}

HKEY openRaw(HKEY parent, const std::wstring& path, bool create) {
  HKEY key = nullptr;
  LONG rc;
  if (create)
    rc = RegCreateKeyExW(parent, path.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  else
    rc = RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ | KEY_WRITE, &key);
  if (rc == ERROR_ACCESS_DENIED && !create)
    rc = RegOpenKeyExW(parent, path.c_str(), 0, KEY_READ, &key);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

HKEY raw(void* key) { return static_cast<HKEY>(key); }

}  // namespace

RegistryKey::~RegistryKey() { RegCloseKey(raw(key_)); }

bool RegistryKey::exists(const std::wstring& path) {
  HKEY key = nullptr;
  if (path.empty() ||
      RegOpenKeyExW(HKEY_CURRENT_USER, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::unique_ptr<RegistryKey> RegistryKey::open(const std::wstring& path, bool create) {
  if (path.empty()) return nullptr;
  HKEY key = openRaw(HKEY_CURRENT_USER, path, create);
  return key ? std::unique_ptr<RegistryKey>(new RegistryKey(key)) : nullptr;
}

bool RegistryKey::deleteTree(const std::wstring& path) {
  if (path.empty()) return false;
  const LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, path.c_str());
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

std::unique_ptr<RegistryKey> RegistryKey::openSubKey(const std::wstring& name, bool create) const {
  if (!validName(name)) return nullptr;
  HKEY key = openRaw(raw(key_), name, create);
  return key ? std::unique_ptr<RegistryKey>(new RegistryKey(key)) : nullptr;
}

bool RegistryKey::hasValue(const std::wstring& name) const {
  return validName(name) && RegQueryValueExW(raw(key_), name.c_str(), nullptr, nullptr, nullptr,
                                             nullptr) == ERROR_SUCCESS;
}

std::vector<std::wstring> RegistryKey::valueNames() const {
  std::vector<std::wstring> names;
  DWORD count = 0, longest = 0;
  if (RegQueryInfoKeyW(raw(key_), nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                       &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
    return names;
  std::vector<wchar_t> buffer(longest + 1);
  for (DWORD i = 0; i < count; ++i) {
    DWORD length = static_cast<DWORD>(buffer.size());
    if (RegEnumValueW(raw(key_), i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
        ERROR_SUCCESS)
      names.emplace_back(buffer.data(), length);
  }
  return names;
}

std::optional<std::wstring> RegistryKey::readString(const std::wstring& name) const {
  DWORD type = 0;
  std::vector<std::uint8_t> data;
  if (!query(name, &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ)) return std::nullopt;
  // The stored text need not end with a NUL, and an odd byte count is cut short.
  std::wstring text(data.size() / sizeof(wchar_t), L'\0');
  if (!text.empty()) std::memcpy(&text[0], data.data(), text.size() * sizeof(wchar_t));
  const std::size_t nul = text.find(L'\0');
  if (nul != std::wstring::npos) text.resize(nul);
  return text;
}

std::optional<std::uint32_t> RegistryKey::readDword(const std::wstring& name) const {
  DWORD type = 0;
  std::vector<std::uint8_t> data;
  if (!query(name, &type, &data) || type != REG_DWORD || data.size() != sizeof(DWORD))
    return std::nullopt;
  std::uint32_t value = 0;
  std::memcpy(&value, data.data(), sizeof value);
  return value;
}

std::optional<std::vector<std::uint8_t>> RegistryKey::readBinary(const std::wstring& name) const {
  DWORD type = 0;
  std::vector<std::uint8_t> data;
  if (!query(name, &type, &data) || type != REG_BINARY) return std::nullopt;
  return data;
}

bool RegistryKey::writeString(const std::wstring& name, const std::wstring& value) {
  return set(name, REG_SZ, value.c_str(), (value.size() + 1) * sizeof(wchar_t));
}

bool RegistryKey::writeDword(const std::wstring& name, std::uint32_t value) {
  const DWORD data = value;
  return set(name, REG_DWORD, &data, sizeof data);
}

bool RegistryKey::writeBinary(const std::wstring& name, const std::vector<std::uint8_t>& value) {
  return set(name, REG_BINARY, value.data(), value.size());
}

bool RegistryKey::query(const std::wstring& name, unsigned long* type,
                        std::vector<std::uint8_t>* data) const {
  if (!validName(name)) return false;
  // The value may grow between the two calls: try again with the new size.
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = 0;
    if (RegQueryValueExW(raw(key_), name.c_str(), nullptr, type, nullptr, &size) != ERROR_SUCCESS)
      return false;
    data->assign(size, 0);
    const LONG rc = RegQueryValueExW(raw(key_), name.c_str(), nullptr, type, data->data(), &size);
    if (rc == ERROR_SUCCESS) {
      data->resize(size);
      return true;
    }
    if (rc != ERROR_MORE_DATA) return false;
  }
  return false;
}

bool RegistryKey::set(const std::wstring& name, unsigned long type, const void* data,
                      std::size_t size) {
  const bool ok = validName(name) && size <= 0xFFFFFFFFu &&
                  RegSetValueExW(raw(key_), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                                 static_cast<DWORD>(size)) == ERROR_SUCCESS;
  if (!ok) failed_ = true;
  return ok;
}

#endif  // _WIN32
