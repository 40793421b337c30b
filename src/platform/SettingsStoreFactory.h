#pragma once

#include <memory>

#include "platform/ISettingsStore.h"

namespace tolmira {

// The current user's settings store: the registry on Windows, INI files elsewhere.
std::unique_ptr<ISettingsStore> createUserSettingsStore();

}  // namespace tolmira
