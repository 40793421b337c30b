#pragma once

#include "settings/CProgramSettings.h"

// The settings are one global object: every test starts from what a fresh process has.
inline void resetProgramSettings() { programSettings() = CProgramSettings(); }
