#pragma once

#include <vector>

#include "drives/DriveSource.h"

// The drive letters of Windows and their drive and volume data.
class WindowsDriveSource : public DriveSource {
 public:
  DriveSet currentSet() override;
  std::vector<DriveInfo> drives(const DriveSet& set) override;
};
