#include "drives/InstrumentDisk.h"

#include <vector>

using namespace tolmira;

bool tolmira::isInstrumentDisk(const DriveInfo& drive) {
  return drive.ready && (drive.type == kDriveFixed || drive.type == kDriveRemovable) &&
         drive.totalBytes >= kInstrumentDiskMinBytes &&
         drive.totalBytes <= kInstrumentDiskMaxBytes && drive.fileSystem == "FAT";
}

std::string tolmira::driveTypeName(std::int32_t type) {
  switch (type) {
    case kDriveRemovable:
      return "съёмный";
    case kDriveFixed:
      return "несъёмный";
    case kDriveRemote:
      return "сетевой";
    case kDriveCdRom:
      return "CD-ROM";
    case kDriveRamDisk:
      return "RAM-диск";
    default:
      return "неизвестный";
  }
}

std::string tolmira::notInstrumentDiskReason(const DriveInfo& drive) {
  if (!drive.ready) return "не готов";
  if (drive.type != kDriveFixed && drive.type != kDriveRemovable)
    return "тип " + driveTypeName(drive.type);
  std::vector<std::string> why;
  if (drive.totalBytes < kInstrumentDiskMinBytes || drive.totalBytes > kInstrumentDiskMaxBytes)
    why.push_back("размер " + std::to_string(drive.totalBytes) + " байт");
  if (drive.fileSystem != "FAT")
    why.push_back("файловая система " +
                  (drive.fileSystem.empty() ? std::string("не определена") : drive.fileSystem));
  std::string text;
  for (const std::string& w : why) text += (text.empty() ? "" : ", ") + w;
  return text;
}
