// The drive lister on Windows' drive letters, against the drives Wine gives every
// prefix: C: (its own folder) and Z: (the root of the host's file system).
#include "drives/WindowsDriveSource.h"

#include <string>

#include <windows.h>

#include <gtest/gtest.h>

#include "drives/DrivesLister.h"

using namespace tolmira;

namespace {

TEST(WindowsDriveSource, TheSetIsTheLetterMask) {
  WindowsDriveSource source;
  const DriveSource::DriveSet set = source.currentSet();
  EXPECT_EQ(::GetLogicalDrives(), set.mask);
  EXPECT_TRUE(set.roots.empty());
  EXPECT_TRUE(set.mask & (1ul << ('C' - 'A')));
  EXPECT_TRUE(set.mask & (1ul << ('Z' - 'A')));
  // One entry per letter, in letter order.
  const auto drives = source.drives(set);
  int letters = 0;
  for (unsigned long m = set.mask; m; m >>= 1) letters += m & 1;
  ASSERT_EQ(static_cast<std::size_t>(letters), drives.size());
  for (std::size_t i = 1; i < drives.size(); ++i) EXPECT_LT(drives[i - 1].letter, drives[i].letter);
}

TEST(WindowsDriveSource, FixedDrivesComeWithTheirVolumeData) {
  DrivesLister lister(systemDriveSource());
  ASSERT_TRUE(lister.Rescan(DrivesLister::DriveSet()));
  for (const char* root : {"C:\\", "Z:\\"}) {
    SCOPED_TRACE(root);
    const DriveInfo* d = lister.FindByRoot(root);
    ASSERT_NE(nullptr, d);
    EXPECT_EQ(root[0], d->letter);
    EXPECT_TRUE(d->ready);
    EXPECT_EQ(static_cast<std::int32_t>(::GetDriveTypeA(root)), d->type);
    EXPECT_EQ(kDriveFixed, d->type);
    EXPECT_GT(d->totalBytes, 0u);
    EXPECT_LE(d->totalFree, d->totalBytes);
    EXPECT_LE(d->freeToCaller, d->totalFree);
    EXPECT_FALSE(d->fileSystem.empty());
    EXPECT_GT(d->maxComponentLength, 0u);
  }
  EXPECT_FALSE(lister.RescanIfChanged());
}

TEST(WindowsDriveSource, ALetterWithoutADriveIsListedAsNotReady) {
  WindowsDriveSource source;
  // The highest free letter, asked for as though it were there.
  DriveSource::DriveSet set;
  for (int i = 25; i >= 0 && !set.mask; --i)
    if (!(::GetLogicalDrives() & (1ul << i))) set.mask = 1ul << i;
  ASSERT_NE(0ul, set.mask);
  const auto drives = source.drives(set);
  ASSERT_EQ(1u, drives.size());
  EXPECT_FALSE(drives[0].ready);
  EXPECT_EQ(kDriveUnknown, drives[0].type);
  EXPECT_EQ(0u, drives[0].totalBytes);
  EXPECT_EQ(std::string(1, drives[0].letter) + ":\\", drives[0].root);
}

}  // namespace
