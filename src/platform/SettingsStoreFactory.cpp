#include "platform/SettingsStoreFactory.h"

#ifdef _WIN32
#include "platform/CRegistrySettingsStore.h"
#else
#include "platform/CIniSettingsStore.h"
#endif

std::unique_ptr<ISettingsStore> tolmira::createUserSettingsStore() {
#ifdef _WIN32
  return std::make_unique<CRegistrySettingsStore>();
#else
  return std::make_unique<CIniSettingsStore>();
#endif
}
