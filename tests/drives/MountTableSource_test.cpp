// Drives of a system without drive letters, from a made-up mount table, /sys tree
// and statvfs.
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "drives/DrivesLister.h"
#include "drives/FatBootSector.h"
#include "drives/InstrumentDisk.h"
#include "drives/DriveTestSystem.h"

using namespace tolmira;

namespace {

struct TypeCase {
  const char* what;
  const char* fsType;
  VolumeSpace space;
  bool existing;
  bool ready;
  std::int32_t type;
  const char* fileSystem;
  std::uint64_t total, freeToCaller, totalFree;
  bool instrument;
};

class DriveTypeTest : public ::testing::TestWithParam<TypeCase> {};

TEST_P(DriveTypeTest, ListsTheVolumeWithTypeSizesAndFileSystem) {
  const TypeCase& c = GetParam();
  DriveTestSystem sys;
  const std::string point = sys.mount("vol", c.fsType, c.space, "none", c.existing);
  DrivesLister lister(sys.source());
  ASSERT_TRUE(lister.Rescan(DrivesLister::DriveSet()));
  ASSERT_EQ(1, lister.Count());
  const DriveInfo& d = lister.At(0);
  EXPECT_EQ(point + "/", d.root);
  EXPECT_EQ(0, d.letter);
  EXPECT_EQ(c.ready, d.ready);
  EXPECT_EQ(c.type, d.type);
  EXPECT_EQ(c.fileSystem, d.fileSystem);
  EXPECT_EQ(c.total, d.totalBytes);
  EXPECT_EQ(c.freeToCaller, d.freeToCaller);
  EXPECT_EQ(c.totalFree, d.totalFree);
  EXPECT_EQ(c.total ? 255u : 0u, d.maxComponentLength);
  EXPECT_EQ(c.instrument, isInstrumentDisk(d)) << notInstrumentDiskReason(d);
}

const VolumeSpace kInstrument = DriveTestSystem::space(1024, 59, 57, 56);
const VolumeSpace kBig = DriveTestSystem::space(2048, 32768, 100, 90);

INSTANTIATE_TEST_SUITE_P(
    Drives, DriveTypeTest,
    ::testing::Values(
        TypeCase{"instrument", "vfat", kInstrument, true, true, 3, "FAT", 60416, 57344, 58368,
                 true},
        TypeCase{"fusefat_image", "fuse.fusefat", kInstrument, true, true, 3, "FAT", 60416, 57344,
                 58368, true},
        TypeCase{"msdos", "msdos", kInstrument, true, true, 3, "FAT", 60416, 57344, 58368, true},
        TypeCase{"fat_64MB", "vfat", kBig, true, true, 3, "FAT", 67108864, 184320, 204800, false},
        TypeCase{"most_fat16_clusters", "vfat", DriveTestSystem::space(512, 65524, 0, 0), true,
                 true, 3, "FAT", 512u * 65524, 0, 0, false},
        TypeCase{"fewest_fat32_clusters", "vfat", DriveTestSystem::space(512, 65525, 0, 0), true,
                 true, 3, "FAT32", 512u * 65525, 0, 0, false},
        TypeCase{"ext4_keeps_kernel_name", "ext4", DriveTestSystem::space(4096, 15, 15, 15), true,
                 true, 3, "ext4", 61440, 61440, 61440, false},
        TypeCase{"not_ready", "vfat", kInstrument, false, false, 0, "", 0, 0, 0, false},
        TypeCase{"cdrom", "iso9660", kInstrument, true, true, 5, "", 0, 0, 0, false},
        TypeCase{"dvd_udf", "udf", kInstrument, true, true, 5, "", 0, 0, 0, false},
        TypeCase{"tmpfs", "tmpfs", kInstrument, true, true, 6, "", 0, 0, 0, false},
        TypeCase{"ramfs", "ramfs", kInstrument, true, true, 6, "", 0, 0, 0, false},
        TypeCase{"nfs", "nfs4", kInstrument, true, true, 4, "", 0, 0, 0, false},
        TypeCase{"cifs", "cifs", kInstrument, true, true, 4, "", 0, 0, 0, false},
        TypeCase{"sshfs", "fuse.sshfs", kInstrument, true, true, 4, "", 0, 0, 0, false},
        // statvfs refused: no sizes and no volume data, as a failed volume query.
        TypeCase{"statvfs_fails", "vfat", VolumeSpace(), true, true, 3, "", 0, 0, 0, false}),
    [](const ::testing::TestParamInfo<TypeCase>& info) { return std::string(info.param.what); });

TEST(MountTable, LeavesOutPseudoFileSystemsAndKeepsTheLastMountOfAPoint) {
  DriveTestSystem sys;
  sys.mount("proc", "proc");
  sys.mount("sys", "sysfs");
  sys.mount("pts", "devpts");
  sys.mount("cg", "cgroup2");
  sys.mount("b", "ext4", DriveTestSystem::space(4096, 1000, 10, 10));
  sys.mount("a", "tmpfs");
  sys.mount("b", "vfat", kInstrument);  // hides the ext4 mounted there before
  DrivesLister lister(sys.source());
  ASSERT_TRUE(lister.Rescan(DrivesLister::DriveSet()));
  ASSERT_EQ(2, lister.Count());
  EXPECT_EQ(sys.dir.file("a/"), lister.At(0).root);  // sorted by mount point
  EXPECT_EQ(sys.dir.file("b/"), lister.At(1).root);
  EXPECT_EQ("FAT", lister.At(1).fileSystem);
}

TEST(MountTable, DecodesEscapedBlanksAndEndsTheRootWithASlash) {
  const std::vector<MountEntry> e = MountTableSource::parseMountTable(
      "/dev/sdb1 /media/my\\040disk vfat rw 0 0\n"
      "tab\\011name /x\\134y ext4 rw 0 0\n"
      "/dev/vda / ext4 rw 0 0\n"
      "broken\n");
  ASSERT_EQ(3u, e.size());
  EXPECT_EQ("/media/my disk", e[0].mountPoint);
  EXPECT_EQ("tab\tname", e[1].source);
  EXPECT_EQ("/x\\y", e[1].mountPoint);

  DriveTestSystem sys;
  sys.mount("with blank", "vfat", kInstrument);
  DrivesLister lister(sys.source());
  lister.Rescan(DrivesLister::DriveSet());
  ASSERT_EQ(1, lister.Count());
  EXPECT_EQ(sys.dir.file("with blank/"), lister.At(0).root);
  EXPECT_TRUE(lister.At(0).ready);
}

struct SysCase {
  const char* what;
  const char* source;
  const char* disk;
  const char* partition;
  const char* devicePath;
  bool removableFlag;
  std::int32_t type;
};

class RemovableTest : public ::testing::TestWithParam<SysCase> {};

TEST_P(RemovableTest, TypeFollowsTheBlockDevice) {
  const SysCase& c = GetParam();
  DriveTestSystem sys;
  if (*c.disk) sys.blockDevice(c.disk, c.partition, c.devicePath, c.removableFlag);
  sys.mount("vol", "vfat", kInstrument, c.source);
  DrivesLister lister(sys.source());
  lister.Rescan(DrivesLister::DriveSet());
  ASSERT_EQ(1, lister.Count());
  EXPECT_EQ(c.type, lister.At(0).type);
  EXPECT_EQ(60416u, lister.At(0).totalBytes);  // sizes for removable drives too
}

INSTANTIATE_TEST_SUITE_P(
    Drives, RemovableTest,
    ::testing::Values(SysCase{"usb_partition", "/dev/sdz1", "sdz", "sdz1",
                              "pci0/usb1/1-1/1-1:1.0/host6", false, 2},
                      SysCase{"removable_flag", "/dev/sdy", "sdy", "", "pci0/ata2/host1", true, 2},
                      SysCase{"removable_flag_of_the_disk", "/dev/mmcblk9p1", "mmcblk9",
                              "mmcblk9p1", "platform/mmc0", true, 2},
                      SysCase{"sata_partition", "/dev/sdx1", "sdx", "sdx1", "pci0/ata1/host0",
                              false, 3},
                      SysCase{"unknown_device", "/dev/nothing-here", "", "", "", false, 3},
                      SysCase{"not_a_device", "fusefat", "", "", "", false, 3}),
    [](const ::testing::TestParamInfo<SysCase>& info) { return std::string(info.param.what); });

// A FAT12 boot sector with an extended signature.
std::string bootSector(const char* label11, std::uint32_t serial) {
  std::string s(512, '\0');
  s[11] = 0x00;
  s[12] = 0x02;  // 512 bytes per sector
  s[22] = 1;     // one sector per FAT: not FAT32
  s[38] = 0x29;
  for (int i = 0; i < 4; ++i) s[39 + i] = static_cast<char>(serial >> (8 * i));
  std::memcpy(&s[43], label11, 11);
  s[510] = static_cast<char>(0x55);
  s[511] = static_cast<char>(0xAA);
  return s;
}

TEST(MountTable, LabelAndSerialComeFromTheBootSectorWhenItCanBeRead) {
  DriveTestSystem sys;
  const std::string labelled = sys.dir.file("labelled.img");
  writeBytes(labelled, bootSector("VIRD50     ", 0x12345678));
  const std::string unnamed = sys.dir.file("unnamed.img");
  writeBytes(unnamed, bootSector("NO NAME    ", 7));
  sys.mount("a", "vfat", kInstrument, labelled);
  sys.mount("b", "vfat", kInstrument, unnamed);
  sys.mount("c", "vfat", kInstrument, sys.dir.file("missing.img"));
  DrivesLister lister(sys.source());
  lister.Rescan(DrivesLister::DriveSet());
  ASSERT_EQ(3, lister.Count());
  EXPECT_EQ("VIRD50", lister.At(0).volumeLabel);
  EXPECT_EQ(0x12345678u, lister.At(0).serialNumber);
  EXPECT_EQ("", lister.At(1).volumeLabel);
  EXPECT_EQ(7u, lister.At(1).serialNumber);
  EXPECT_EQ("", lister.At(2).volumeLabel);
  EXPECT_EQ(0u, lister.At(2).serialNumber);
  EXPECT_TRUE(isInstrumentDisk(lister.At(2)));  // the label plays no part
}

TEST(MountTable, LabelOfADeviceTheUserMayNotReadComesFromTheLabelLinks) {
  DriveTestSystem sys;
  const std::string device = sys.dir.file("device");
  writeBytes(device, "not a boot sector");
  std::filesystem::create_directories(sys.dir.file("by-label"));
  std::filesystem::create_symlink(device, sys.dir.file("by-label/MY\\x20DISK"));
  sys.mount("a", "ext4", DriveTestSystem::space(4096, 10, 1, 1), device);
  DrivesLister lister(sys.source());
  lister.Rescan(DrivesLister::DriveSet());
  ASSERT_EQ(1, lister.Count());
  EXPECT_EQ("MY DISK", lister.At(0).volumeLabel);
}

TEST(FatBootSector, RejectsSectorsWithoutSignatures) {
  std::string s = bootSector("LABEL      ", 1);
  FatBootSector out;
  EXPECT_TRUE(parseFatBootSector(reinterpret_cast<const unsigned char*>(s.data()), out));
  EXPECT_EQ("LABEL", out.label);
  s[510] = 0;
  EXPECT_FALSE(parseFatBootSector(reinterpret_cast<const unsigned char*>(s.data()), out));
  s = bootSector("LABEL      ", 1);
  s[38] = 0;
  EXPECT_FALSE(parseFatBootSector(reinterpret_cast<const unsigned char*>(s.data()), out));
}

}  // namespace
