#pragma once

#ifdef _WIN32

#include <memory>

#include <QString>

#include "platform/ISettingsStore.h"

// The settings store of Windows: keys below HKEY_CURRENT_USER. Strings are REG_SZ,
// integers REG_DWORD, binary values REG_BINARY.
class CRegistrySettingsStore : public ISettingsStore {
 public:
  bool keyExists(const QString& path) const override;
  std::unique_ptr<ISettingsKey> openKey(const QString& path, bool create) override;
  bool deleteKey(const QString& path) override;
};

#endif  // _WIN32
