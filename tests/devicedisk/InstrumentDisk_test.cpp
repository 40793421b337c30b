// The drive lister and the disk selection dialog against real FAT12 volumes of the
// instrument's size, mounted through FUSE.
#include <string>

#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "devicedisk/TForm_SelectDeviceDisk.h"
#include "drives/DrivesLister.h"
#include "drives/InstrumentDisk.h"
#include "support/FatImage.h"
#include "support/FileTestSupport.h"

using namespace tolmira;

namespace {

int instrumentDisks(const DrivesLister& lister) {
  int n = 0;
  for (int i = 0; i < lister.Count(); ++i) n += isInstrumentDisk(lister.At(i)) ? 1 : 0;
  return n;
}

class InstrumentDiskTest : public ::testing::Test {
 protected:
  void SetUp() override {
    const std::string why = FatImage::unavailable();
    if (!why.empty()) GTEST_SKIP() << "no FAT image can be mounted here: " << why;
    DrivesLister lister;
    lister.Rescan(DrivesLister::DriveSet());
    if (instrumentDisks(lister) != 0) GTEST_SKIP() << "an instrument disk is attached already";
  }
  TempDir work;
};

TEST_F(InstrumentDiskTest, TheListerFindsExactlyTheMountedImage) {
  FatImage disk(work.path(), "vird");
  ASSERT_TRUE(disk.ok()) << disk.error();
  DrivesLister lister;
  ASSERT_TRUE(lister.Rescan(DrivesLister::DriveSet()));
  EXPECT_EQ(1, instrumentDisks(lister));
  const DriveInfo* d = lister.FindByRoot(disk.root());
  ASSERT_NE(nullptr, d);
  EXPECT_TRUE(d->ready);
  EXPECT_EQ(kDriveFixed, d->type);
  EXPECT_EQ("FAT", d->fileSystem);
  EXPECT_EQ(60416u, d->totalBytes);
  EXPECT_EQ(60416u, d->freeToCaller);
  EXPECT_TRUE(isInstrumentDisk(*d));

  ASSERT_TRUE(disk.unmount());
  EXPECT_TRUE(lister.RescanIfChanged());
  EXPECT_EQ(nullptr, lister.FindByRoot(disk.root()));
}

TEST_F(InstrumentDiskTest, TheDialogFollowsImagesMountedWhileItIsOpen) {
  FatImage first(work.path(), "first");
  ASSERT_TRUE(first.ok()) << first.error();
  FatImage second(work.path(), "second");
  ASSERT_TRUE(second.unmount());

  TForm_SelectDeviceDisk form;
  // The only disk: chosen without the window.
  ASSERT_EQ(1, form.SelectDisk());
  EXPECT_EQ(QString::fromStdString(first.root()), form.SelectedRoot());

  ASSERT_TRUE(first.unmount());
  bool shown = false;
  QTimer::singleShot(0, &form, [&] {
    shown = form.isVisible();
    EXPECT_EQ(0, form.ListBox->count());
    EXPECT_TRUE(first.mount());
    EXPECT_TRUE(second.mount());
    QTest::qWait(700);
    EXPECT_EQ(2, form.ListBox->count());
    EXPECT_TRUE(form.Button1->isVisible());
    EXPECT_EQ(QString::fromStdString(second.root()) + QStringLiteral(" (60416 bytes/60416 bytes)"),
              form.rowText(1));

    EXPECT_TRUE(first.unmount());
    QTest::qWait(700);
    ASSERT_EQ(1, form.ListBox->count());
    EXPECT_EQ(QString::fromStdString(second.root()), form.ListBox->item(0)->text());
    form.ListBox->setCurrentRow(0);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    if (form.isVisible()) form.reject();
  });
  EXPECT_EQ(1, form.SelectDisk());
  EXPECT_TRUE(shown);
  EXPECT_EQ(QString::fromStdString(second.root()), form.SelectedRoot());
}

}  // namespace
