// The disk selection dialog over a made-up mount table: its layout, which disks it
// lists, the choice without a window, and the list following the mount table
// while the window is shown.
#include <functional>
#include <string>

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "devicedisk/TForm_SelectDeviceDisk.h"
#include "drives/DriveTestSystem.h"

namespace {

const VolumeSpace kInstrument = DriveTestSystem::space(1024, 59, 57, 56);
const QString kNoneText = QStringLiteral(
    "Подходящие диски не найдены.\nПодключите прибор как диск к компьютеру через USB кабель");
const QString kFoundText =
    QStringLiteral("Найдены подходящие диски. Выберите диск необходимого прибора");

class SelectDiskTest : public ::testing::Test {
 protected:
  SelectDiskTest() {
    sys.mount("system", "ext4", DriveTestSystem::space(4096, 1000000, 10, 10));
    sys.mount("big", "vfat", DriveTestSystem::space(2048, 32768, 10, 10));  // 64 MB FAT
    sys.mount("notready", "vfat", kInstrument, "none", false);
    sys.mount("shm", "tmpfs", kInstrument);
    sys.mount("cd", "iso9660", kInstrument);
  }

  // SelectDisk with whileShown run once the window is up; a window still shown
  // afterwards is cancelled. shown tells whether the window came up at all.
  int select(TForm_SelectDeviceDisk& form, const std::function<void()>& whileShown = {}) {
    shown = false;
    QTimer::singleShot(0, &form, [&] {
      shown = form.isVisible();
      if (whileShown) whileShown();
      if (form.isVisible()) form.reject();
    });
    const int result = form.SelectDisk();
    EXPECT_FALSE(form.Timer1->isActive());
    return result;
  }

  QString root(const char* name) const { return QString::fromStdString(sys.dir.file(name) + "/"); }

  DriveTestSystem sys;
  bool shown = false;
};

TEST_F(SelectDiskTest, LayoutIsFixed) {
  TForm_SelectDeviceDisk form(sys.source());
  EXPECT_EQ(QSize(351, 257), form.size());
  EXPECT_EQ(QSize(351, 257), form.minimumSize());
  EXPECT_EQ(QSize(351, 257), form.maximumSize());
  EXPECT_EQ(QRect(8, 8, 337, 41), form.Label1->geometry());
  EXPECT_TRUE(form.Label1->wordWrap());
  EXPECT_EQ(QRect(8, 56, 336, 163), form.ListBox->geometry());
  EXPECT_EQ(QAbstractItemView::SingleSelection, form.ListBox->selectionMode());
  EXPECT_EQ(QRect(166, 225, 88, 25), form.Button1->geometry());
  EXPECT_EQ(QRect(269, 225, 75, 25), form.Button2->geometry());
  EXPECT_EQ(QStringLiteral("Выбрать"), form.Button1->text());
  EXPECT_EQ(QStringLiteral("Отмена"), form.Button2->text());
  EXPECT_TRUE(form.Button1->isHidden());
  EXPECT_EQ(500, form.Timer1->interval());
  EXPECT_FALSE(form.Timer1->isActive());
}

TEST_F(SelectDiskTest, TheOnlyInstrumentDiskIsChosenWithoutAWindow) {
  sys.mount("vird", "vfat", kInstrument);
  TForm_SelectDeviceDisk form(sys.source());
  EXPECT_EQ(1, select(form));
  EXPECT_FALSE(shown);
  EXPECT_EQ(root("vird"), form.SelectedRoot());
  EXPECT_EQ(QStringLiteral("Выбор прибора"), form.windowTitle());
  ASSERT_EQ(1, form.ListBox->count());
  EXPECT_EQ(root("vird") + QStringLiteral(" (57344 bytes/60416 bytes)"), form.rowText(0));
}

TEST_F(SelectDiskTest, WithoutInstrumentDisksTheWindowWaitsForOne) {
  TForm_SelectDeviceDisk form(sys.source());
  const int result = select(form, [&] {
    EXPECT_EQ(0, form.ListBox->count());
    EXPECT_EQ(kNoneText, form.Label1->text());
    EXPECT_FALSE(form.Button1->isVisible());
    EXPECT_TRUE(form.Timer1->isActive());

    sys.mount("vird", "vfat", kInstrument);
    QTest::qWait(700);
    ASSERT_EQ(1, form.ListBox->count());
    EXPECT_EQ(kFoundText, form.Label1->text());
    EXPECT_TRUE(form.Button1->isVisible());
    EXPECT_TRUE(form.ListBox->selectedItems().isEmpty()) << "a tick does not choose by itself";
    EXPECT_TRUE(form.isVisible());

    form.ListBox->setCurrentRow(0);
    QTest::mouseClick(form.Button1, Qt::LeftButton);
  });
  EXPECT_TRUE(shown);
  EXPECT_EQ(1, result);
  EXPECT_EQ(root("vird"), form.SelectedRoot());
}

TEST_F(SelectDiskTest, TwoDisksAreListedInOrderAndFollowTheMountTable) {
  sys.mount("b-vird", "vfat", kInstrument);
  sys.mount("a-vird", "fuse.fusefat", DriveTestSystem::space(1024, 59, 59, 59));
  TForm_SelectDeviceDisk form(sys.source());
  form.setWindowTitle(QStringLiteral("old"));
  const int result = select(form, [&] {
    ASSERT_EQ(2, form.ListBox->count());
    EXPECT_EQ(root("a-vird"), form.ListBox->item(0)->text());
    EXPECT_EQ(root("b-vird"), form.ListBox->item(1)->text());
    EXPECT_EQ(root("a-vird") + QStringLiteral(" (60416 bytes/60416 bytes)"), form.rowText(0));
    EXPECT_TRUE(form.ListBox->selectedItems().isEmpty());
    EXPECT_EQ(kFoundText, form.Label1->text());

    // "Выбрать" without a selection does nothing.
    QTest::mouseClick(form.Button1, Qt::LeftButton);
    EXPECT_TRUE(form.isVisible());

    // A change of free space alone is no change of the set.
    sys.spaces[sys.dir.file("b-vird")] = DriveTestSystem::space(1024, 59, 1, 1);
    QTest::qWait(700);
    EXPECT_EQ(root("b-vird") + QStringLiteral(" (57344 bytes/60416 bytes)"), form.rowText(1));

    // Unmounting one removes its row at the next tick.
    sys.unmountAll();
    sys.mount("b-vird", "vfat", kInstrument);
    QTest::qWait(700);
    ASSERT_EQ(1, form.ListBox->count());
    EXPECT_EQ(root("b-vird"), form.ListBox->item(0)->text());
    EXPECT_TRUE(form.isVisible()) << "one disk left is not chosen at a tick";

    QTest::mouseClick(form.Button2, Qt::LeftButton);
  });
  EXPECT_TRUE(shown);
  EXPECT_EQ(2, result);
  EXPECT_EQ(QStringLiteral("Выбор прибора"), form.windowTitle());
  EXPECT_EQ(QString(), form.SelectedRoot());
}

TEST_F(SelectDiskTest, CancelAndEscapeKeepTheLastChoice) {
  sys.mount("vird", "vfat", kInstrument);
  TForm_SelectDeviceDisk form(sys.source());
  ASSERT_EQ(1, select(form));
  sys.mount("second", "vfat", kInstrument);
  EXPECT_EQ(2, select(form, [&] {
              form.ListBox->setCurrentRow(1);
              QTest::mouseClick(form.Button2, Qt::LeftButton);
            }));
  EXPECT_EQ(2, select(form, [&] {
              form.ListBox->setCurrentRow(1);
              QTest::keyClick(&form, Qt::Key_Escape);
            }));
  EXPECT_EQ(root("vird"), form.SelectedRoot());

  // Each call scans afresh: the second disk is there at once (sorted before the first).
  EXPECT_EQ(1, select(form, [&] {
              form.ListBox->setCurrentRow(0);
              QTest::mouseClick(form.Button1, Qt::LeftButton);
            }));
  EXPECT_EQ(root("second"), form.SelectedRoot());
}

TEST_F(SelectDiskTest, ARowWhoseDiskIsGoneStaysBlank) {
  sys.mount("vird", "vfat", kInstrument);
  TForm_SelectDeviceDisk form(sys.source());
  ASSERT_EQ(1, select(form));
  sys.unmountAll();
  form.lister().Reset();
  form.lister().Rescan(DrivesLister::DriveSet());
  EXPECT_EQ(1, form.ListBox->count());
  EXPECT_EQ(QString(), form.rowText(0));
}

TEST_F(SelectDiskTest, TheFirstFormIsTheInstance) {
  TForm_SelectDeviceDisk first(sys.source());
  TForm_SelectDeviceDisk second(sys.source());
  EXPECT_EQ(&first, &TForm_SelectDeviceDisk::instance());
}

}  // namespace
