// The pane's CSV commands: export through the options dialog and the save dialog,
// import into a new table with the question about rejected rows.
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include <QApplication>
#include <QListView>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include "csv/CableCsv.h"
#include "pane/PaneTestHost.h"
#include "pane/TForm_CsvExport.h"
#include "support/ScriptedModal.h"

using namespace tolmira;

namespace {

bool sameRecords(const SListCables& a, const SListCables& b) {
  if (a.getCount() != b.getCount()) return false;
  for (int i = 0; i < a.getCount(); ++i)
    if (std::memcmp(&a.at(i), &b.at(i), sizeof(SCable)) != 0) return false;
  return true;
}

// Answers the options dialog once it is shown: sets the choice (or not) and
// presses its button.
void answerOptionsDialog(std::function<void(TForm_CsvExport&)> choose, bool accept) {
  QTimer::singleShot(0, [choose, accept] {
    auto* form = qobject_cast<TForm_CsvExport*>(QApplication::activeModalWidget());
    ASSERT_NE(nullptr, form) << "the options dialog is not shown";
    if (choose) choose(*form);
    if (accept)
      form->accept();
    else
      form->reject();
  });
}

class PaneCsvTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    ASSERT_TRUE(dir.isValid());
    host.window.show();
  }

  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  QString openTable() {
    const QString p = path("three.txt");
    writeBytes(p, v04File("\xCA\xE0\xE1\xE5\xEB\xFC, 1\t1.48\tCu\t139\t1.0200\r\n"
                          "B\t1.6\tAl AM*(28.5\t0.0041)\t15.9\t1.0100\r\nC\t1.7\r\n"));
    EXPECT_TRUE(pane.openFile(p));
    return p;
  }

  QTemporaryDir dir;
  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& pane = host.pane(0);
};

TEST_F(PaneCsvTest, ExportWritesTheChosenFormAndTheImportGivesTheTableBack) {
  EXPECT_FALSE(pane.ActionExportCsv->isEnabled());
  EXPECT_TRUE(pane.ActionImportCsv->isEnabled());
  openTable();
  EXPECT_TRUE(pane.ActionExportCsv->isEnabled());
  const SListCables original = pane.table();

  const QString csv = path("table.csv");
  answerOptionsDialog(
      [](TForm_CsvExport& f) {
        f.RadioButton_Semicolon->setChecked(true);
        f.RadioButton_DecimalComma->setChecked(true);
      },
      true);
  modal.answerSaveFile(csv);
  pane.ActionExportCsv->trigger();

  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(ScriptedModal::Kind::SaveFile, modal.last().kind);
  EXPECT_EQ(QStringLiteral("Экспорт таблицы 1 в CSV"), modal.last().title);
  EXPECT_EQ(path("three.csv"), modal.last().fileName);
  EXPECT_EQ(QStringLiteral("csv (*.csv)"), modal.last().filter);
  const std::string written = readBytes(csv).toStdString();
  EXPECT_EQ(exportCsv(original, CsvOptions{';', true}), written);

  // The pane's own table is untouched by the export.
  EXPECT_FALSE(pane.table().isModified());
  EXPECT_EQ(path("three.txt"), pane.fileName());

  // Into the other pane and back: the same records, a new unsaved table.
  modal.clearAsked();
  TFrameCableList& other = host.pane(1);
  modal.answerOpenFile(csv);
  other.ActionImportCsv->trigger();
  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Импорт таблицы 2 из CSV"), modal.last().title);
  EXPECT_TRUE(other.tableOpen());
  EXPECT_TRUE(sameRecords(original, other.table()));
  EXPECT_TRUE(other.table().isModified());
  EXPECT_TRUE(other.fileName().isEmpty());
  EXPECT_EQ(0, other.history().count());
  EXPECT_EQ(original.getCount(), other.ListBox->model()->rowCount());
}

TEST_F(PaneCsvTest, TheOptionsDialogKeepsTheChoiceAndCancelWritesNothing) {
  openTable();
  answerOptionsDialog([](TForm_CsvExport& f) { f.RadioButton_Semicolon->setChecked(true); }, true);
  modal.answerSaveFile(QString());  // the save dialog cancelled
  pane.ActionExportCsvExecute();
  EXPECT_EQ(1u, modal.asked().size());

  bool semicolonKept = false;
  answerOptionsDialog(
      [&semicolonKept](TForm_CsvExport& f) {
        semicolonKept = f.RadioButton_Semicolon->isChecked();
      },
      false);
  pane.ActionExportCsvExecute();
  EXPECT_TRUE(semicolonKept);
  EXPECT_EQ(1u, modal.asked().size());  // no save dialog after a cancelled choice
}

TEST_F(PaneCsvTest, RejectedRowsAreListedAndTheUserDecides) {
  const QString csv = path("in.csv");
  const std::string header = exportCsv(std::vector<SCable>());
  writeBytes(csv, QByteArray::fromStdString(header + "good,1.5,200.0,0.6667,Cu,,,,,R,1\r\n" +
                                            "bad,x,,,Cu,,,,,R,1\r\n"));
  openTable();
  const SListCables before = pane.table();

  modal.answerOpenFile(csv).answerMessageBox(2);
  pane.ActionImportCsvExecute();
  ASSERT_EQ(2u, modal.asked().size());
  const ScriptedModal::Asked& q = modal.last();
  EXPECT_EQ(QStringLiteral("Импорт из CSV"), q.title);
  EXPECT_EQ(QStringLiteral("Строка 3, столбец 2 (КУ): не число: «x»\r\n\r\n"
                           "Не импортировано строк: 1. Импортировать остальные?"),
            q.text);
  EXPECT_EQ(
      (std::vector<QString>{QStringLiteral("Импортировать без них"), QStringLiteral("Отмена")}),
      q.captions());
  // Cancelled: the pane keeps its table and its file.
  EXPECT_TRUE(sameRecords(before, pane.table()));
  EXPECT_EQ(path("three.txt"), pane.fileName());

  modal.clearAsked();
  modal.answerOpenFile(csv).answerMessageBox(3);
  pane.ActionImportCsvExecute();
  ASSERT_EQ(1, pane.table().getCount());
  EXPECT_STREQ("good", pane.table().at(0).name);
  EXPECT_TRUE(pane.fileName().isEmpty());
}

TEST_F(PaneCsvTest, ValuesBroughtIntoRangeAreReportedAndImported) {
  const QString csv = path("in.csv");
  writeBytes(csv, QByteArray::fromStdString(exportCsv(std::vector<SCable>()) +
                                            "big,9,33.33,0.1111,Cu,,,,,R,1\r\n"));
  modal.answerOpenFile(csv).answerMessageBox(2);
  pane.ActionImportCsvExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Импорт из CSV"), modal.last().title);
  EXPECT_EQ(QStringLiteral("Строка 2, столбец 2 (КУ): 9 вне пределов прибора, взято 7\r\n"),
            modal.last().text);
  EXPECT_EQ(std::vector<QString>{QStringLiteral("Закрыть")}, modal.last().captions());
  ASSERT_EQ(1, pane.table().getCount());
  EXPECT_EQ(7.0f, pane.table().at(0).ku);
}

TEST_F(PaneCsvTest, ImportAsksAboutUnsavedChangesFirstAndReportsWhatIsNoTable) {
  pane.NewExecute();  // a new table counts as unsaved
  modal.answerMessageBox(2);
  pane.ActionImportCsvExecute();
  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Внимание"), modal.last().title);  // and no open dialog after Cancel

  const QString notCsv = path("table.txt");
  writeBytes(notCsv, v04File("A\t1.5\r\n"));
  modal.clearAsked();
  modal.answerMessageBox(3).answerOpenFile(notCsv).answerMessageBox(2);
  pane.ActionImportCsvExecute();
  ASSERT_EQ(3u, modal.asked().size());
  EXPECT_EQ(QStringLiteral("Ошибка загрузки!"), modal.last().title);
  EXPECT_TRUE(modal.last().text.contains(QStringLiteral("первая строка не заголовок")))
      << modal.last().text.toStdString();
  EXPECT_EQ(0, pane.table().getCount());
}

}  // namespace
