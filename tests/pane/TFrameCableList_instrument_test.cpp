// Saving a pane's table to a real FAT12 volume of the instrument's size, mounted
// through FUSE, and loading it back.
#include <string>

#include <QListView>

#include <gtest/gtest.h>

#include "devicedisk/TForm_SelectDeviceDisk.h"
#include "drives/DrivesLister.h"
#include "drives/InstrumentDisk.h"
#include "pane/PaneTestHost.h"
#include "support/FatImage.h"
#include "support/FileTestSupport.h"
#include "support/ScriptedModal.h"

using namespace tolmira;

namespace {

class PaneInstrumentTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    const std::string why = FatImage::unavailable();
    if (!why.empty()) GTEST_SKIP() << "no FAT image can be mounted here: " << why;
    // Another instrument disk would bring up the selection window.
    DrivesLister lister;
    lister.Rescan(DrivesLister::DriveSet());
    for (int i = 0; i < lister.Count(); ++i)
      if (isInstrumentDisk(lister.At(i)))
        GTEST_SKIP() << "an instrument disk is attached already: " << lister.At(i).root;
  }
  TempDir work;
};

TEST_F(PaneInstrumentTest, SavesToTheInstrumentAndLoadsBack) {
  FatImage disk(work.path(), "vird");
  ASSERT_TRUE(disk.ok()) << disk.error();
  TForm_SelectDeviceDisk disks;
  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& left = host.pane(0);
  TFrameCableList& right = host.pane(1);

  // A Cyrillic name and own material values: the bytes must arrive unchanged.
  const QByteArray table = v04File(
      "\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200\r\n"
      "K2\t1.5\tAl AM*(28.5\t0.0041)\t100\t1.0100\r\nK3\t1.6\r\n");
  const QString file = QString::fromStdString(work.file("table.txt"));
  writeBytes(file, table);
  ASSERT_TRUE(left.openFile(file));
  const QString cables = QString::fromStdString(disk.root() + "CABLES.TXT");

  modal.answerStandardBox(QMessageBox::Ok);
  left.FileSaveToDeviceExecute();
  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Файл сохранён в прибор (\"") + cables + QStringLiteral("\")"),
            modal.last().text);
  EXPECT_EQ(table, readBytes(cables));

  // A second save replaces the file on the FAT volume.
  modal.clearAsked();
  modal.answerStandardBox(QMessageBox::Ok).answerStandardBox(QMessageBox::Ok);
  left.FileSaveToDeviceExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_TRUE(modal.asked()[0].text.startsWith(QStringLiteral("Перезаписать")));
  EXPECT_EQ(table, readBytes(cables));
  EXPECT_EQ(std::vector<std::string>{"CABLES.TXT"}, folderEntries(disk.mountPoint()))
      << "no scratch file stays on the instrument";

  modal.clearAsked();
  modal.answerStandardBox(QMessageBox::Ok);
  right.LoadFileFromDeviceExecute();
  ASSERT_EQ(1u, modal.asked().size());
  ASSERT_EQ(3, right.table().getCount());
  expectRowsMatchTable(right);
  for (int i = 0; i < 3; ++i)
    EXPECT_TRUE(right.table().at(i).equals(left.table().at(i))) << "record " << i;
  EXPECT_TRUE(right.table().isModified());

  ASSERT_TRUE(disk.unmount());
  if (FatImage::mtoolsInstalled()) {
    EXPECT_EQ(table.toStdString(), disk.readWithMtools("CABLES.TXT"));
  }
}

}  // namespace
