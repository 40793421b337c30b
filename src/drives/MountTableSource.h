#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "drives/DriveSource.h"

// Sizes of a mounted file system as statvfs gives them.
struct VolumeSpace {
  std::uint64_t fragmentSize = 0;     // f_frsize
  std::uint64_t blocks = 0;           // f_blocks
  std::uint64_t blocksFree = 0;       // f_bfree
  std::uint64_t blocksAvailable = 0;  // f_bavail
  std::uint32_t nameMax = 0;          // f_namemax
};

// One line of the mount table, its octal escapes decoded.
struct MountEntry {
  std::string source;
  std::string mountPoint;
  std::string fsType;
};

// Drives of a system without drive letters: the mounted file systems of the mount
// table, pseudo file systems left out. The set of mount points is the cheap change
// test.
class MountTableSource : public DriveSource {
 public:
  using StatFs = std::function<bool(const std::string& mountPoint, VolumeSpace& out)>;

  struct Options {
    std::string mountsPath = "/proc/self/mounts";
    std::string sysRoot = "/sys";                  // removable and USB flags of block devices
    std::string labelsDir = "/dev/disk/by-label";  // labels of devices the user may not read
    StatFs statFs;                                 // none: the system's statvfs
  };

  MountTableSource();
  explicit MountTableSource(Options options);

  DriveSet currentSet() override;
  std::vector<DriveInfo> drives(const DriveSet& set) override;

  static std::vector<MountEntry> parseMountTable(const std::string& text);
  static bool isPseudoFileSystem(const std::string& fsType);

 private:
  DriveInfo describe(const MountEntry& entry, const std::string& root) const;
  std::int32_t driveType(const MountEntry& entry) const;
  bool removableDevice(const std::string& source) const;
  std::string labelOf(const std::string& source) const;

  Options options_;
  std::map<std::string, MountEntry> byRoot_;  // of the last currentSet()
};
