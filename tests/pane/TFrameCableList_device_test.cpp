// The pane's instrument commands: saving to and loading from CABLES.TXT on the
// instrument's disk, here a real folder that a made-up mount table shows as a
// 60 KB FAT disk.
#include <cstdio>
#include <string>

#include <QLineEdit>
#include <QListView>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "devicedisk/TForm_SelectDeviceDisk.h"
#include "drives/DriveTestSystem.h"
#include "model/RecordText.h"
#include "pane/PaneTestHost.h"
#include "support/ScriptedModal.h"

using namespace tolmira;

namespace {

const QString kQ(QChar(34));

QByteArray records(int count) {
  QByteArray lines;
  for (int i = 0; i < count; ++i) lines += "K" + QByteArray::number(i) + "\t1.5\r\n";
  return lines;
}

class PaneDeviceTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    sys.mount("system", "ext4", DriveTestSystem::space(4096, 100000, 10, 10));
    sys.mount("vird", "vfat", DriveTestSystem::space(1024, 59, 57, 56));
    host.window.show();
  }

  // A table file of count records, opened in the pane.
  QString openTable(int count) {
    const QString p = QString::fromStdString(sys.dir.file("table.txt"));
    writeBytes(p, v04File(records(count)));
    EXPECT_TRUE(pane.openFile(p));
    return p;
  }

  QPoint corner(QToolButton* b) const { return b->mapToGlobal(QPoint(b->width(), 0)); }

  // The question asked at the top-right corner of the button, with OK / Cancel.
  void expectQuestion(const ScriptedModal::Asked& q, QToolButton* b, const QString& text) {
    EXPECT_EQ(ScriptedModal::Kind::StandardBox, q.kind);
    EXPECT_EQ(StandardBoxKind::Question, q.standardKind);
    EXPECT_EQ(text, q.text);
    EXPECT_EQ(QMessageBox::Ok | QMessageBox::Cancel, q.standardButtons);
    EXPECT_TRUE(q.placed);
    EXPECT_EQ(corner(b), q.topLeft);
  }
  void expectInformation(const ScriptedModal::Asked& q, QToolButton* b, const QString& text) {
    EXPECT_EQ(ScriptedModal::Kind::StandardBox, q.kind);
    EXPECT_EQ(StandardBoxKind::Information, q.standardKind);
    EXPECT_EQ(text, q.text);
    EXPECT_EQ(QMessageBox::StandardButtons(QMessageBox::Ok), q.standardButtons);
    EXPECT_TRUE(q.placed);
    EXPECT_EQ(corner(b), q.topLeft);
  }

  DriveTestSystem sys;
  TForm_SelectDeviceDisk disks{sys.source()};
  const QString cables = QString::fromStdString(sys.dir.file("vird/CABLES.TXT"));
  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& pane = host.pane(0);
};

TEST_F(PaneDeviceTest, TheCommandsAreShownOnTheirButtons) {
  ASSERT_EQ(&disks, &TForm_SelectDeviceDisk::instance());
  ASSERT_NE(nullptr, pane.ToolButton12);
  ASSERT_NE(nullptr, pane.ToolButton14);
  EXPECT_EQ(pane.FileSaveToDevice, pane.ToolButton12->defaultAction());
  EXPECT_EQ(pane.LoadFileFromDevice, pane.ToolButton14->defaultAction());
  EXPECT_TRUE(pane.ToolButton12->isVisible());
  EXPECT_TRUE(pane.ToolButton14->isVisible());
  EXPECT_FALSE(pane.FileSaveToDevice->isEnabled());
  EXPECT_TRUE(pane.LoadFileFromDevice->isEnabled());
  openTable(1);
  EXPECT_TRUE(pane.FileSaveToDevice->isEnabled());
  pane.closeTable(true);
  EXPECT_FALSE(pane.FileSaveToDevice->isEnabled());
  EXPECT_TRUE(pane.LoadFileFromDevice->isEnabled());
}

TEST_F(PaneDeviceTest, SavingWritesCablesTxtAndKeepsThePanesFileAndMark) {
  pane.FileSaveToDeviceExecute();  // no table: nothing happens
  EXPECT_TRUE(modal.asked().empty());

  struct Case {
    bool modified;
  };
  for (const Case c : {Case{false}, Case{true}}) {
    SCOPED_TRACE(c.modified);
    modal.clearAsked();
    std::remove(cables.toLocal8Bit().constData());
    const QString file = openTable(151);
    if (c.modified) {
      pane.ActionDeleteSelectedExecute();  // nothing selected: no change
      pane.setSelection({true});
      pane.ActionDeleteSelectedExecute();
      ASSERT_TRUE(pane.table().isModified());
    }
    const int count = pane.table().getCount();
    modal.answerStandardBox(QMessageBox::Ok);
    pane.FileSaveToDevice->trigger();

    ASSERT_EQ(1u, modal.asked().size()) << "151 records and no old file: no question";
    expectInformation(
        modal.last(), pane.ToolButton12,
        QStringLiteral("Файл сохранён в прибор (") + kQ + cables + kQ + QStringLiteral(")"));
    EXPECT_EQ(v04File(records(151).mid(c.modified ? 8 : 0)), readBytes(cables));
    EXPECT_EQ(count, pane.table().getCount());
    EXPECT_EQ(file, pane.fileName());
    EXPECT_EQ(file, programSettings().ListFile1);
    // The pane's own file was not written: a modified table stays modified.
    EXPECT_EQ(c.modified, pane.table().isModified());
    EXPECT_EQ(c.modified, pane.FileSave->isEnabled());
    EXPECT_EQ(c.modified ? file + QLatin1Char('*') : file, pane.EditFileName->text());
    EXPECT_EQ(c.modified ? 1 : 0, pane.history().count());
    if (c.modified) {
      modal.answerMessageBox(3);  // Забыть
      ASSERT_TRUE(pane.closeTable(false));
    }
  }
}

TEST_F(PaneDeviceTest, MoreThan151RecordsAreWarnedAbout) {
  openTable(152);
  const QString warning = QStringLiteral(
      "Таблица содержит 152 записей. Прибор ВИРД-50 поддерживает максимум 151 запись. Все "
      "записи свыше будут прибором не загружены. И будут утеряны после изменения таблицы "
      "прибором.");
  modal.answerStandardBox(QMessageBox::Cancel);
  pane.FileSaveToDeviceExecute();
  ASSERT_EQ(1u, modal.asked().size());
  expectQuestion(modal.last(), pane.ToolButton12, warning);
  EXPECT_FALSE(fileExists(cables.toStdString()));

  modal.clearAsked();
  modal.answerStandardBox(QMessageBox::Ok).answerStandardBox(QMessageBox::Ok);
  pane.FileSaveToDeviceExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(v04File(records(152)), readBytes(cables));
}

TEST_F(PaneDeviceTest, TheOtherFindingsComeInTheSameOneQuestion) {
  struct Case {
    const char* what;
    QByteArray lines;
    QString text;
  };
  const QString dup =
      QStringLiteral("Одинаковые имена: прибор не различит эти записи: \"A\" (записи 1, 3).");
  const QString none = QStringLiteral(
      "Записи без метода измерения (ни TDR, ни DC), прибор не сможет по ним мерить: 2 \"N\".");
  const QString ask = QStringLiteral("\n\nЗаписать таблицу в прибор?");
  const Case cases[] = {
      {"names", "A\t1.5\r\nB\t1.5\r\nA\t1.6\r\n", dup + ask},
      {"names and no method", "A\t1.5\r\nN\t\r\nA\t1.6\r\n", dup + "\n\n" + none + ask},
      {"past the limit too", "A\t1.5\r\nN\t\r\nA\t1.6\r\n" + records(150),
       QStringLiteral("Таблица содержит 153 записей. Прибор ВИРД-50 поддерживает максимум 151 "
                      "запись. Все записи свыше будут прибором не загружены. И будут утеряны "
                      "после изменения таблицы прибором.\n\n") +
           dup + "\n\n" + none + ask},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    modal.clearAsked();
    std::remove(cables.toLocal8Bit().constData());
    const QString p = QString::fromStdString(sys.dir.file("table.txt"));
    writeBytes(p, v04File(c.lines));
    ASSERT_TRUE(pane.openFile(p));

    modal.answerStandardBox(QMessageBox::Cancel);
    pane.FileSaveToDeviceExecute();
    ASSERT_EQ(1u, modal.asked().size());
    expectQuestion(modal.last(), pane.ToolButton12, c.text);
    EXPECT_FALSE(fileExists(cables.toStdString())) << "Cancel comes before the disk choice";

    modal.clearAsked();
    modal.answerStandardBox(QMessageBox::Ok).answerStandardBox(QMessageBox::Ok);
    pane.FileSaveToDeviceExecute();
    ASSERT_EQ(2u, modal.asked().size());
    EXPECT_EQ(StandardBoxKind::Information, modal.last().standardKind);
    EXPECT_TRUE(fileExists(cables.toStdString()));
  }
}

TEST_F(PaneDeviceTest, AnOldTableOnTheInstrumentIsOverwrittenOnlyOnOk) {
  openTable(2);
  writeBytes(cables, QByteArray("old"));
  const QString question = QStringLiteral("Перезаписать файл таблицы кабелей прибора (") + kQ +
                           cables + kQ + QStringLiteral(")?");
  modal.answerStandardBox(QMessageBox::Cancel);
  pane.FileSaveToDeviceExecute();
  ASSERT_EQ(1u, modal.asked().size());
  expectQuestion(modal.last(), pane.ToolButton12, question);
  EXPECT_EQ(QByteArray("old"), readBytes(cables));

  modal.clearAsked();
  modal.answerStandardBox(QMessageBox::Ok).answerStandardBox(QMessageBox::Ok);
  pane.FileSaveToDeviceExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(v04File(records(2)), readBytes(cables));
}

TEST_F(PaneDeviceTest, AFailedSaveShowsTheSaveFailureAndNoSuccess) {
  openTable(2);
  pane.NewExecute();
  ASSERT_TRUE(pane.table().isModified());
  // A folder where the file should be: the writer cannot replace it.
  std::filesystem::create_directory(cables.toStdString());
  modal.answerStandardBox(QMessageBox::Ok).answerStandardBox(QMessageBox::Abort);
  pane.FileSaveToDeviceExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(StandardBoxKind::Critical, modal.last().standardKind);
  EXPECT_EQ(QStringLiteral("Сохранение файла прошло не успешно."), modal.last().text);
  EXPECT_TRUE(pane.table().isModified()) << "the table is not on the instrument";
}

TEST_F(PaneDeviceTest, NoDiskChosenChangesNothing) {
  sys.unmountAll();
  openTable(2);
  for (int command = 0; command < 2; ++command) {
    QTimer::singleShot(0, &disks, [this] {
      EXPECT_TRUE(disks.isVisible());
      disks.reject();
    });
    if (command == 0)
      pane.FileSaveToDeviceExecute();
    else
      pane.LoadFileFromDeviceExecute();
    EXPECT_TRUE(modal.asked().empty());
    EXPECT_EQ(2, pane.table().getCount());
  }
}

TEST_F(PaneDeviceTest, LoadingReplacesASavedTableAfterTheQuestion) {
  writeBytes(cables, v04File("A\t1.5\r\nB\t1.6\tCu\t87.4\t1.0200\r\n"));
  const QString file = openTable(3);
  const QString question = QStringLiteral("Текущая таблица будет закрыта. Продолжить?");
  modal.answerStandardBox(QMessageBox::Cancel);
  pane.LoadFileFromDevice->trigger();
  ASSERT_EQ(1u, modal.asked().size());
  expectQuestion(modal.last(), pane.ToolButton14, question);
  EXPECT_EQ(3, pane.table().getCount());
  EXPECT_EQ(file, pane.fileName());

  modal.clearAsked();
  modal.answerStandardBox(QMessageBox::Ok).answerStandardBox(QMessageBox::Ok);
  pane.LoadFileFromDevice->trigger();
  ASSERT_EQ(2u, modal.asked().size());
  expectQuestion(modal.asked()[0], pane.ToolButton14, question);
  expectInformation(modal.last(), pane.ToolButton14,
                    QStringLiteral("Файл таблицы кабеля загружен из прибора (") + kQ + cables + kQ +
                        QStringLiteral(")"));
  ASSERT_EQ(2, pane.table().getCount());
  expectRowsMatchTable(pane);
  EXPECT_TRUE(pane.tableOpen());
  EXPECT_TRUE(pane.table().isModified());
  EXPECT_TRUE(pane.fileName().isEmpty());
  EXPECT_TRUE(programSettings().ListFile1.isEmpty());
  EXPECT_EQ(QStringLiteral("*таблица не сохранена*"), pane.EditFileName->text());
  EXPECT_FALSE(pane.FileSave->isEnabled());
  EXPECT_EQ(pane.FileSaveAs, pane.ToolButton_FileAction->defaultAction());
  EXPECT_EQ(0, pane.history().count());

  // Closing now asks about the unsaved changes.
  modal.clearAsked();
  modal.answerMessageBox(2);
  EXPECT_FALSE(pane.closeTable(false));
  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Текущие изменения не сохранены."), modal.last().text);
}

TEST_F(PaneDeviceTest, AModifiedTableGetsOnlyTheUnsavedChangesQuestion) {
  writeBytes(cables, v04File("A\t1.5\r\n"));
  pane.NewExecute();
  modal.answerMessageBox(2);  // Отмена
  pane.LoadFileFromDeviceExecute();
  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(ScriptedModal::Kind::MessageBox, modal.last().kind);
  EXPECT_EQ(QStringLiteral("Текущие изменения не сохранены."), modal.last().text);
  EXPECT_TRUE(pane.tableOpen());
  EXPECT_EQ(0, pane.table().getCount());

  modal.clearAsked();
  modal.answerMessageBox(3).answerStandardBox(QMessageBox::Ok);  // Забыть
  pane.LoadFileFromDeviceExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(StandardBoxKind::Information, modal.last().standardKind);
  EXPECT_EQ(1, pane.table().getCount());
}

TEST_F(PaneDeviceTest, AMissingTableOnTheInstrumentLeavesThePaneClosed) {
  openTable(2);
  modal.answerStandardBox(QMessageBox::Ok).answerMessageBox(1);
  pane.LoadFileFromDeviceExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Файл не найден"), modal.last().text);
  EXPECT_FALSE(pane.tableOpen());
  EXPECT_TRUE(pane.fileName().isEmpty());
}

TEST_F(PaneDeviceTest, LinesWithErrorsAreReportedAndTheRestLoaded) {
  writeBytes(cables, v04File("A\t1.5\r\nB\tx\r\n"));
  modal.answerMessageBox(2).answerStandardBox(QMessageBox::Ok);
  pane.LoadFileFromDeviceExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Ошибка загрузки!"), modal.asked()[0].title);
  EXPECT_EQ(1, pane.table().getCount());
  EXPECT_TRUE(pane.table().isModified());
}

}  // namespace
