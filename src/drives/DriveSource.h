#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drives/DriveInfo.h"

// The system's side of the drive lister: the cheap set whose change means a drive
// came or went, and the full data of each drive.
class DriveSource {
 public:
  // Windows: the drive-letter mask; elsewhere the sorted mount points.
  struct DriveSet {
    unsigned long mask = 0;
    std::vector<std::string> roots;
    bool operator==(const DriveSet& o) const { return mask == o.mask && roots == o.roots; }
    bool operator!=(const DriveSet& o) const { return !(*this == o); }
    bool empty() const { return mask == 0 && roots.empty(); }
  };

  virtual ~DriveSource() = default;
  virtual DriveSet currentSet() = 0;
  // One entry per member of set, in its order.
  virtual std::vector<DriveInfo> drives(const DriveSet& set) = 0;
};

namespace tolmira {

// The running system's drives.
std::unique_ptr<DriveSource> systemDriveSource();

}  // namespace tolmira
