// Which drive is the instrument's disk, and why another is not.
#include <string>

#include <gtest/gtest.h>

#include "drives/InstrumentDisk.h"

using namespace tolmira;

namespace {

DriveInfo drive(bool ready, std::int32_t type, std::uint64_t total, const char* fileSystem) {
  DriveInfo d;
  d.root = "E:\\";
  d.ready = ready;
  d.type = type;
  d.totalBytes = total;
  d.fileSystem = fileSystem;
  d.volumeLabel = "ANY";
  return d;
}

struct Case {
  DriveInfo drive;
  const char* reason;  // empty: the instrument's disk
};

TEST(InstrumentDisk, SizeTypeReadinessAndFileSystemDecide) {
  const Case cases[] = {
      {drive(true, kDriveRemovable, 60416, "FAT"), ""},
      {drive(true, kDriveFixed, 59000, "FAT"), ""},
      {drive(true, kDriveFixed, 61000, "FAT"), ""},
      {drive(true, kDriveFixed, 58999, "FAT"), "размер 58999 байт"},
      {drive(true, kDriveFixed, 61001, "FAT"), "размер 61001 байт"},
      {drive(true, kDriveRemovable, 67108864, "FAT"), "размер 67108864 байт"},
      {drive(true, kDriveRemovable, 60416, "FAT32"), "файловая система FAT32"},
      {drive(true, kDriveRemovable, 60416, "fat"), "файловая система fat"},
      {drive(true, kDriveFixed, 67108864, "FAT32"), "размер 67108864 байт, файловая система FAT32"},
      {drive(true, kDriveFixed, 0, ""), "размер 0 байт, файловая система не определена"},
      {drive(false, kDriveUnknown, 60416, "FAT"), "не готов"},
      {drive(true, kDriveCdRom, 60416, "FAT"), "тип CD-ROM"},
      {drive(true, kDriveRemote, 60416, "FAT"), "тип сетевой"},
      {drive(true, kDriveRamDisk, 60416, "FAT"), "тип RAM-диск"},
      {drive(true, 1, 60416, "FAT"), "тип неизвестный"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.drive.totalBytes) + " " + c.drive.fileSystem);
    EXPECT_EQ(c.reason, notInstrumentDiskReason(c.drive));
    EXPECT_EQ(std::string(c.reason).empty(), isInstrumentDisk(c.drive));
  }
}

}  // namespace
