#pragma once

#include <cstdint>
#include <string>

// Drive type codes, the values Windows gives them.
namespace tolmira {

inline constexpr std::int32_t kDriveUnknown = 0;
inline constexpr std::int32_t kDriveRemovable = 2;
inline constexpr std::int32_t kDriveFixed = 3;
inline constexpr std::int32_t kDriveRemote = 4;
inline constexpr std::int32_t kDriveCdRom = 5;
inline constexpr std::int32_t kDriveRamDisk = 6;

}  // namespace tolmira

// One drive (one mounted volume where there are no drive letters). Texts are UTF-8.
struct DriveInfo {
  char letter = 0;   // 'A' ... 'Z'; 0 where there are no drive letters
  std::string root;  // "E:\", or the mount point with a trailing "/"
  bool ready = false;
  std::int32_t type = tolmira::kDriveUnknown;  // set only when ready
  // Set only for ready fixed and removable drives.
  std::uint64_t freeToCaller = 0;
  std::uint64_t totalBytes = 0;
  std::uint64_t totalFree = 0;
  std::string volumeLabel;
  std::string fileSystem;
  std::uint32_t serialNumber = 0;
  std::uint32_t maxComponentLength = 0;
};
