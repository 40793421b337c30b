#include "drives/FatBootSector.h"

#include <cstdio>

using namespace tolmira;

namespace {

std::uint16_t le16(const unsigned char* p) { return static_cast<std::uint16_t>(p[0] | p[1] << 8); }

std::uint32_t le32(const unsigned char* p) {
  return static_cast<std::uint32_t>(p[0]) | static_cast<std::uint32_t>(p[1]) << 8 |
         static_cast<std::uint32_t>(p[2]) << 16 | static_cast<std::uint32_t>(p[3]) << 24;
}

}  // namespace

bool tolmira::parseFatBootSector(const unsigned char* s, FatBootSector& out) {
  if (s[510] != 0x55 || s[511] != 0xAA) return false;
  const std::uint16_t bytesPerSector = le16(s + 11);
  if (bytesPerSector < 512 || (bytesPerSector & (bytesPerSector - 1)) != 0) return false;
  // A FAT32 volume has no 16-bit FAT size; its extended fields sit 28 bytes further on.
  const bool fat32 = le16(s + 22) == 0;
  const unsigned ext = fat32 ? 64 : 36;
  if (s[ext + 2] != 0x29) return false;  // no extended boot signature: no serial, no label
  out.serialNumber = le32(s + ext + 3);
  std::string label(reinterpret_cast<const char*>(s + ext + 7), 11);
  while (!label.empty() && (label.back() == ' ' || label.back() == '\0')) label.pop_back();
  if (label == "NO NAME") label.clear();
  // The label is in an OEM code page nobody records: only ASCII is kept as it is.
  for (char& c : label)
    if (static_cast<unsigned char>(c) >= 0x80 || static_cast<unsigned char>(c) < 0x20) c = '?';
  out.label = label;
  return true;
}

bool tolmira::readFatBootSector(const std::string& path, FatBootSector& out) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  unsigned char sector[512];
  const bool read = std::fread(sector, 1, sizeof sector, f) == sizeof sector;
  std::fclose(f);
  return read && parseFatBootSector(sector, out);
}
