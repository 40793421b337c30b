#pragma once

#ifdef _WIN32

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// One open key below HKEY_CURRENT_USER, with the value types the settings use:
// REG_SZ, REG_DWORD and REG_BINARY. Paths are backslash separated, as the registry
// has them. Closed when destroyed.
class RegistryKey {
 public:
  ~RegistryKey();
  RegistryKey(const RegistryKey&) = delete;
  RegistryKey& operator=(const RegistryKey&) = delete;

  static bool exists(const std::wstring& path);
  // nullptr when the key does not exist (and create is false) or cannot be opened.
  // A key that may only be read opens for reading; writes to it then fail.
  static std::unique_ptr<RegistryKey> open(const std::wstring& path, bool create);
  // The key with its sub-keys and values. A key that is not there is no failure;
  // an empty path (the whole of HKEY_CURRENT_USER) is refused.
  static bool deleteTree(const std::wstring& path);

  // One level: a name with a backslash is refused.
  std::unique_ptr<RegistryKey> openSubKey(const std::wstring& name, bool create) const;

  bool hasValue(const std::wstring& name) const;
  std::vector<std::wstring> valueNames() const;

  // nullopt for a missing value and for a value of another type. A REG_EXPAND_SZ
  // reads as the text it holds, unexpanded.
  std::optional<std::wstring> readString(const std::wstring& name) const;
  std::optional<std::uint32_t> readDword(const std::wstring& name) const;
  std::optional<std::vector<std::uint8_t>> readBinary(const std::wstring& name) const;

  bool writeString(const std::wstring& name, const std::wstring& value);
  bool writeDword(const std::wstring& name, std::uint32_t value);
  bool writeBinary(const std::wstring& name, const std::vector<std::uint8_t>& value);

  // Whether any write through this key has failed.
  bool failed() const { return failed_; }

 private:
  // The HKEY, kept as void* so that this header needs no windows.h.
  explicit RegistryKey(void* key) : key_(key) {}

  bool query(const std::wstring& name, unsigned long* type, std::vector<std::uint8_t>* data) const;
  bool set(const std::wstring& name, unsigned long type, const void* data, std::size_t size);

  void* key_;
  bool failed_ = false;
};

#endif  // _WIN32
