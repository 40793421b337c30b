#pragma once

#include <cstdint>
#include <string>

#include "drives/DriveInfo.h"

// The instrument's disk: ready, fixed or removable, 59000 to 61000 bytes, with the
// file system "FAT". Label and serial number play no part.
namespace tolmira {

inline constexpr std::uint64_t kInstrumentDiskMinBytes = 59000;
inline constexpr std::uint64_t kInstrumentDiskMaxBytes = 61000;
inline constexpr const char* kInstrumentTableFile = "CABLES.TXT";

bool isInstrumentDisk(const DriveInfo& drive);
// Why the drive is not the instrument's disk, in Russian words joined by ", "
// ("размер 67108864 байт, файловая система FAT32"); empty when it is.
std::string notInstrumentDiskReason(const DriveInfo& drive);
// Russian name of a drive type code.
std::string driveTypeName(std::int32_t type);

}  // namespace tolmira
