#include "platform/CRegistrySettingsStore.h"

#ifdef _WIN32

#include <cstring>
#include <vector>

// RegDeleteTreeW needs Vista or later.
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0601
#endif
#include <windows.h>

namespace {

const wchar_t* wide(const QString& text) { return reinterpret_cast<const wchar_t*>(text.utf16()); }

bool validName(const QString& name) { return !name.isEmpty() && !name.contains(QLatin1Char('\\')); }

HKEY openRaw(HKEY parent, const QString& path, bool create) {
  HKEY key = nullptr;
  LONG rc;
  if (create)
    rc = RegCreateKeyExW(parent, wide(path), 0, nullptr, REG_OPTION_NON_VOLATILE,
                         KEY_READ | KEY_WRITE, nullptr, &key, nullptr);
  else
    rc = RegOpenKeyExW(parent, wide(path), 0, KEY_READ | KEY_WRITE, &key);
  // A key we may only read still gives its values; writes then fail one by one.
  if (rc == ERROR_ACCESS_DENIED && !create)
    rc = RegOpenKeyExW(parent, wide(path), 0, KEY_READ, &key);
  return rc == ERROR_SUCCESS ? key : nullptr;
}

class CRegistrySettingsKey : public ISettingsKey {
 public:
  explicit CRegistrySettingsKey(HKEY key) : key_(key) {}
  ~CRegistrySettingsKey() override { RegCloseKey(key_); }
  CRegistrySettingsKey(const CRegistrySettingsKey&) = delete;
  CRegistrySettingsKey& operator=(const CRegistrySettingsKey&) = delete;

  bool hasValue(const QString& name) const override {
    return validName(name) &&
           RegQueryValueExW(key_, wide(name), nullptr, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
  }

  QStringList valueNames() const override {
    QStringList names;
    DWORD count = 0, longest = 0;
    if (RegQueryInfoKeyW(key_, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &count,
                         &longest, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
      return names;
    std::vector<wchar_t> buffer(longest + 1);
    for (DWORD i = 0; i < count; ++i) {
      DWORD length = static_cast<DWORD>(buffer.size());
      if (RegEnumValueW(key_, i, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr) ==
          ERROR_SUCCESS)
        names << QString::fromWCharArray(buffer.data(), static_cast<int>(length));
    }
    return names;
  }

  std::optional<QString> readString(const QString& name) const override {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!query(name, &type, &data) || (type != REG_SZ && type != REG_EXPAND_SZ))
      return std::nullopt;
    // The stored text need not end with a NUL; stop at the first one.
    const auto* chars = reinterpret_cast<const wchar_t*>(data.data());
    int length = 0;
    const int most = static_cast<int>(data.size() / sizeof(wchar_t));
    while (length < most && chars[length] != L'\0') ++length;
    return QString::fromWCharArray(chars, length);
  }

  std::optional<qint32> readInt(const QString& name) const override {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!query(name, &type, &data) || type != REG_DWORD || data.size() != sizeof(DWORD))
      return std::nullopt;
    DWORD value = 0;
    std::memcpy(&value, data.data(), sizeof value);
    return static_cast<qint32>(value);
  }

  std::optional<QByteArray> readBinary(const QString& name) const override {
    DWORD type = 0;
    std::vector<BYTE> data;
    if (!query(name, &type, &data) || type != REG_BINARY) return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(data.data()), static_cast<int>(data.size()));
  }

  bool writeString(const QString& name, const QString& value) override {
    const DWORD bytes = static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t));
    return set(name, REG_SZ, reinterpret_cast<const BYTE*>(value.utf16()), bytes);
  }

  bool writeInt(const QString& name, qint32 value) override {
    const DWORD data = static_cast<DWORD>(value);
    return set(name, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof data);
  }

  bool writeBinary(const QString& name, const QByteArray& value) override {
    return set(name, REG_BINARY, reinterpret_cast<const BYTE*>(value.constData()),
               static_cast<DWORD>(value.size()));
  }

  std::unique_ptr<ISettingsKey> openSubKey(const QString& name, bool create) override {
    if (!validName(name)) return nullptr;
    HKEY key = openRaw(key_, name, create);
    return key ? std::make_unique<CRegistrySettingsKey>(key) : nullptr;
  }

  bool flush() override { return !failed_; }

 private:
  bool query(const QString& name, DWORD* type, std::vector<BYTE>* data) const {
    if (!validName(name)) return false;
    // The value may grow between the two calls: try again with the new size.
    for (int attempt = 0; attempt < 4; ++attempt) {
      DWORD size = 0;
      if (RegQueryValueExW(key_, wide(name), nullptr, type, nullptr, &size) != ERROR_SUCCESS)
        return false;
      data->assign(size, 0);
      LONG rc = RegQueryValueExW(key_, wide(name), nullptr, type, data->data(), &size);
      if (rc == ERROR_SUCCESS) {
        data->resize(size);
        return true;
      }
      if (rc != ERROR_MORE_DATA) return false;
    }
    return false;
  }

  bool set(const QString& name, DWORD type, const BYTE* data, DWORD size) {
    const bool ok =
        validName(name) && RegSetValueExW(key_, wide(name), 0, type, data, size) == ERROR_SUCCESS;
    if (!ok) failed_ = true;
    return ok;
  }

  HKEY key_;
  bool failed_ = false;
};

}  // namespace

bool CRegistrySettingsStore::keyExists(const QString& path) const {
  HKEY key = nullptr;
  if (path.isEmpty() ||
      RegOpenKeyExW(HKEY_CURRENT_USER, wide(path), 0, KEY_READ, &key) != ERROR_SUCCESS)
    return false;
  RegCloseKey(key);
  return true;
}

std::unique_ptr<ISettingsKey> CRegistrySettingsStore::openKey(const QString& path, bool create) {
  if (path.isEmpty()) return nullptr;
  HKEY key = openRaw(HKEY_CURRENT_USER, path, create);
  return key ? std::make_unique<CRegistrySettingsKey>(key) : nullptr;
}

bool CRegistrySettingsStore::deleteKey(const QString& path) {
  if (path.isEmpty()) return false;  // never the whole hive
  const LONG rc = RegDeleteTreeW(HKEY_CURRENT_USER, wide(path));
  return rc == ERROR_SUCCESS || rc == ERROR_FILE_NOT_FOUND;
}

#endif  // _WIN32
