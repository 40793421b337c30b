// Change detection and look-up of the drive lister.
#include <string>

#include <gtest/gtest.h>

#include "drives/DrivesLister.h"
#include "drives/DriveTestSystem.h"

namespace {

const VolumeSpace kInstrument = DriveTestSystem::space(1024, 59, 57, 56);

TEST(DrivesLister, RescanWithTheLastSetChangesNothing) {
  DriveTestSystem sys;
  sys.mount("a", "vfat", kInstrument);
  DrivesLister lister(sys.source());
  EXPECT_EQ(0, lister.Count());
  ASSERT_TRUE(lister.Rescan(DrivesLister::DriveSet()));
  const DrivesLister::DriveSet first = lister.lastSet();
  // Free space changes, the set does not: no rescan, the old figures stay.
  sys.spaces[sys.dir.file("a")] = DriveTestSystem::space(1024, 59, 1, 1);
  EXPECT_FALSE(lister.Rescan(first));
  EXPECT_FALSE(lister.RescanIfChanged());
  ASSERT_EQ(1, lister.Count());
  EXPECT_EQ(56u * 1024, lister.At(0).freeToCaller);
}

TEST(DrivesLister, AMountComingOrGoingIsAChange) {
  DriveTestSystem sys;
  sys.mount("a", "ext4", DriveTestSystem::space(4096, 100, 10, 10));
  DrivesLister lister(sys.source());
  lister.Rescan(DrivesLister::DriveSet());
  ASSERT_EQ(1, lister.Count());

  sys.mount("instrument", "vfat", kInstrument);
  EXPECT_TRUE(lister.RescanIfChanged());
  ASSERT_EQ(2, lister.Count());
  EXPECT_EQ(sys.dir.file("instrument/"), lister.At(1).root);
  EXPECT_FALSE(lister.RescanIfChanged());

  sys.unmountAll();
  sys.mount("a", "ext4", DriveTestSystem::space(4096, 100, 10, 10));
  EXPECT_TRUE(lister.RescanIfChanged());
  EXPECT_EQ(1, lister.Count());
  EXPECT_EQ(nullptr, lister.FindByRoot(sys.dir.file("instrument/")));
}

TEST(DrivesLister, ResetThenRescanAlwaysListsAfresh) {
  DriveTestSystem sys;
  sys.mount("a", "vfat", kInstrument);
  DrivesLister lister(sys.source());
  lister.Rescan(DrivesLister::DriveSet());
  sys.spaces[sys.dir.file("a")] = DriveTestSystem::space(1024, 59, 1, 1);
  lister.Reset();
  EXPECT_EQ(0, lister.Count());
  EXPECT_TRUE(lister.lastSet().empty());
  EXPECT_TRUE(lister.Rescan(DrivesLister::DriveSet()));
  ASSERT_EQ(1, lister.Count());
  EXPECT_EQ(1024u, lister.At(0).freeToCaller);
}

TEST(DrivesLister, FindByRootComparesExactly) {
  DriveTestSystem sys;
  const std::string point = sys.mount("Inst", "vfat", kInstrument);
  DrivesLister lister(sys.source());
  lister.Rescan(DrivesLister::DriveSet());
  ASSERT_NE(nullptr, lister.FindByRoot(point + "/"));
  EXPECT_EQ(&lister.At(0), lister.FindByRoot(point + "/"));
  EXPECT_EQ(nullptr, lister.FindByRoot(point));
  EXPECT_EQ(nullptr, lister.FindByRoot(sys.dir.file("inst/")));
}

TEST(DrivesLister, TheSystemListIncludesTheRootFileSystem) {
  DrivesLister lister;
  ASSERT_TRUE(lister.Rescan(DrivesLister::DriveSet()));
  ASSERT_NE(nullptr, lister.FindByRoot("/"));
  EXPECT_TRUE(lister.FindByRoot("/")->ready);
  EXPECT_EQ(nullptr, lister.FindByRoot("/proc/"));  // a pseudo file system
}

}  // namespace
