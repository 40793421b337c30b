#pragma once

#include <cstdint>
#include <string>

// What the boot sector of a FAT volume tells about it.
struct FatBootSector {
  std::string label;  // trailing blanks removed; empty for "NO NAME"
  std::uint32_t serialNumber = 0;
};

namespace tolmira {

// Reads the boot sector of the volume in file or device path. False when it cannot
// be read or is not a FAT boot sector.
bool readFatBootSector(const std::string& path, FatBootSector& out);
// The same from the sector's first 512 bytes.
bool parseFatBootSector(const unsigned char* sector, FatBootSector& out);

}  // namespace tolmira
