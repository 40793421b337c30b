// The pane's file commands: open, new, save, save as, close, restore.
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <sys/stat.h>

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QToolBar>
#include <QToolButton>

#include <gtest/gtest.h>

#include "model/Cp1251.h"
#include "model/LoadStatus.h"
#include "model/TableFile.h"
#include "model/RecordText.h"
#include "pane/PaneTestHost.h"
#include "support/ScriptedModal.h"

using namespace tolmira;

namespace {

const QString kQ(QChar(34));

std::string nameOf(const SCable& c) { return recordName(c); }

class PaneFileTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    TFrameCableList::loadReport().clear();
    ASSERT_TRUE(dir.isValid());
  }

  QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }

  // A file of three records, opened in pane 0 (no question asked).
  QString openThree() {
    const QString p = path("three.txt");
    writeBytes(p, v04File("A\t1.5\r\nB\t1.6\tCu\t87.4\t1.0200\r\nC\t1.7\r\n"));
    EXPECT_TRUE(pane.openFile(p));
    return p;
  }

  QTemporaryDir dir;
  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& pane = host.pane(0);
};

// --- opening every version ---------------------------------------------------

struct VersionCase {
  const char* label;
  QByteArray bytes;
  std::vector<std::string> names;
};

class PaneOpenVersionTest : public PaneFileTest,
                            public ::testing::WithParamInterface<VersionCase> {};

TEST_P(PaneOpenVersionTest, OpensSilentlyAndShowsTheFile) {
  const VersionCase& c = GetParam();
  const QString p = path("table.txt");
  writeBytes(p, c.bytes);

  ASSERT_TRUE(pane.openFile(p));
  EXPECT_TRUE(modal.asked().empty());

  ASSERT_EQ(pane.table().getCount(), static_cast<int>(c.names.size()));
  for (std::size_t i = 0; i < c.names.size(); ++i)
    EXPECT_EQ(nameOf(pane.table().at(static_cast<int>(i))), c.names[i]);
  expectRowsMatchTable(pane);

  EXPECT_TRUE(pane.tableOpen());
  EXPECT_FALSE(pane.table().isModified());
  EXPECT_EQ(pane.fileName(), p);
  EXPECT_EQ(pane.EditFileName->text(), p);
  EXPECT_EQ(pane.ToolButton_FileAction->defaultAction(), pane.FileSave);
  EXPECT_FALSE(pane.FileSave->isEnabled());
  EXPECT_FALSE(pane.New->isEnabled());
  EXPECT_TRUE(pane.FileSaveAs->isEnabled());
  EXPECT_TRUE(pane.ActionFileClose->isEnabled());
  EXPECT_TRUE(pane.ListBox->isVisibleTo(&host.window));
  EXPECT_TRUE(pane.ToolBar_CableActions->isVisibleTo(&host.window));
  EXPECT_EQ(pane.history().count(), 0);
  EXPECT_EQ(programSettings().ListFile1, p);
  EXPECT_EQ(programSettings().LastOpenedFile1, p);
  EXPECT_TRUE(programSettings().ListFile2.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(
    Versions, PaneOpenVersionTest,
    ::testing::Values(
        VersionCase{"V01",
                    QByteArray("VIRD-50 Table Of Cables V01\r\n\r\nName\tMaterial\tOhm/km\tKU\r\n"
                               "A1\tCu\t87.4\t1.5\r\nA2\tAl\t120\t1.6\r\n"),
                    {"A1", "A2"}},
        VersionCase{"V02",
                    QByteArray("VIRD-50 Table Of Cables V02\r\n\r\nName\tMaterial\tOhm/km\tOhm x "
                               "mm^2/km\tKU\r\nB1\tCu\t87.4\t17.48\t1.5\r\n"),
                    {"B1"}},
        VersionCase{"V03",
                    QByteArray("VIRD Table Of Cables V03\r\n\r\nName\tMaterial\tOhm/km\tOhm x "
                               "mm^2/km\tKU\tTwist\r\nC1\tAl AM\t50\t28\t1.7\t1.02\r\n\r\n"
                               "C2\tCu\t10\t17.48\t1.5\t1\r\n"),
                    {"C1", "C2"}},
        // The name КСПВ in Windows-1251; a warning-only line (name cut to 15).
        VersionCase{"V04",
                    v04File("\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200\r\n"
                            "D2\t2\r\nABCDEFGHIJKLMNOPQRST\t1.5\r\n"),
                    {"\xD0\x9A\xD0\xA1\xD0\x9F\xD0\x92", "D2", "ABCDEFGHIJKLMNO"}},
        VersionCase{"empty V04", v04File(""), {}}),
    [](const ::testing::TestParamInfo<VersionCase>& info) {
      std::string n = info.param.label;
      for (char& ch : n)
        if (ch == ' ') ch = '_';
      return n;
    });

TEST_F(PaneFileTest, WarningLinesAreReportedButNotShown) {
  const QString p = path("warn.txt");
  writeBytes(p, v04File("ABCDEFGHIJKLMNOPQRST\t1.5\r\n"));
  ASSERT_TRUE(pane.openFile(p));
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(TFrameCableList::loadReport().size(), 1);
}

// --- the load report -----------------------------------------------------------

struct ReportLineCase {
  std::uint32_t status;
  int line;
  const char* expected;
};

TEST(PaneReportLine, PositionOnlyWithFlagBitsAndNonZeroByte) {
  const std::vector<ReportLineCase> cases = {
      {LSF_CABLE_Ku_ERROR | 12, 5, "Стр. 5 (поз. 12): \"X\tab\""},
      {LSF_CABLE_WARNING_NAME_IS_SO_BIGGER | 7, 4, "Стр. 4 (поз. 7): \"X\tab\""},
      {LSF_MEASUREMENT_WARNING_NAME_IS_SO_BIGGER | 1, 9, "Стр. 9 (поз. 1): \"X\tab\""},
      {LSF_ERROR | 255, 6, "Стр. 6 (поз. 255): \"X\tab\""},
      // No position byte, or only bits outside 0x200 … 0x40000000.
      {LSF_NOT_TAB, 5, "Стр. 5 (поз. ): \"X\tab\""},
      {0x80000000u | 7, 5, "Стр. 5 (поз. ): \"X\tab\""},
      {LSF_ERROR_VERSION | 7, 5, "Стр. 5 (поз. ): \"X\tab\""},
  };
  for (const ReportLineCase& c : cases)
    EXPECT_EQ(TFrameCableList::reportLine("X\tab", c.status, c.line), QString::fromUtf8(c.expected))
        << std::hex << c.status;
  // The line's text comes from Windows-1251.
  EXPECT_EQ(TFrameCableList::reportLine("\xCA\xE0\xE1\xE5\xEB\xFC", LSF_NOT_TAB | 6, 4),
            QStringLiteral("Стр. 4 (поз. 6): \"Кабель\""));
}

TEST_F(PaneFileTest, ErrorLinesShowTheReportAndKeepTheGoodRecords) {
  const QByteArray bad5("\xCA\xE0\xE1\xE5\xEB\xFC\tx");  // Кабель, KU not a number
  const QByteArray bad6("M\t1.5\tcu\t1\t1");             // unknown material
  const QString p = path("errors.txt");
  writeBytes(p, v04File("Good\t1.5\r\n" + bad5 + "\r\n" + bad6 + "\r\nLast\t1.6\r\n"));
  modal.answerMessageBox(2);

  ASSERT_TRUE(pane.openFile(p));

  SCable scratch;
  const std::uint32_t s5 = parseLine(scratch, bad5.constData(), 4);
  const std::uint32_t s6 = parseLine(scratch, bad6.constData(), 4);
  ASSERT_NE(s5 & LSF_POSITION_MASK, 0u);
  ASSERT_NE(s6 & LSF_POSITION_MASK, 0u);
  const QString expected = QStringLiteral("Стр. 5 (поз. ") + QString::number(s5 & 0xFF) +
                           QStringLiteral("): \"Кабель\tx\"\r\n") +
                           QStringLiteral("Стр. 6 (поз. ") + QString::number(s6 & 0xFF) +
                           QStringLiteral("): \"M\t1.5\tcu\t1\t1\"\r\n");

  ASSERT_EQ(modal.asked().size(), 1u);
  const ScriptedModal::Asked& q = modal.last();
  EXPECT_EQ(q.title, QStringLiteral("Ошибка загрузки!"));
  EXPECT_EQ(q.text, expected);
  EXPECT_FALSE(q.question.wordWrap);
  EXPECT_EQ(q.question.alignment, 0);
  EXPECT_EQ(q.captions(), std::vector<QString>{QStringLiteral("Закрыть")});

  ASSERT_EQ(pane.table().getCount(), 2);
  EXPECT_EQ(nameOf(pane.table().at(0)), "Good");
  EXPECT_EQ(nameOf(pane.table().at(1)), "Last");
  expectRowsMatchTable(pane);
  EXPECT_EQ(pane.fileName(), p);
}

// Records beyond the table's size raise no error: the load says how many were left out.
TEST_F(PaneFileTest, RecordsBeyondTheTableSizeAreCounted) {
  QByteArray records;
  for (int i = 0; i < 2030; ++i) records += "N" + QByteArray::number(i) + "\t1.5\r\n";
  const QString p = path("big.txt");
  writeBytes(p, v04File(records));
  modal.answerStandardBox(QMessageBox::Ok);
  ASSERT_TRUE(pane.openFile(p));
  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().title, QStringLiteral("Внимание!"));
  EXPECT_EQ(modal.last().text,
            QStringLiteral("В таблице помещается не более 2023 записей. Записей файла, не "
                           "вошедших в таблицу: 7."));
  EXPECT_EQ(pane.table().getCount(), 2023);
}

// Saving over the file a table came from, when lines of it did not come along, asks
// first; once the file holds the table, or for another file, nothing extra is asked.
TEST_F(PaneFileTest, SavingOverAFileWithLostLinesAsksFirst) {
  const QString p = path("errors.txt");
  const QByteArray bytes = v04File("Good\t1.5\r\nBad\tx\r\nLast\t1.6\r\n");
  writeBytes(p, bytes);
  modal.answerMessageBox(2);  // the load report
  ASSERT_TRUE(pane.openFile(p));
  pane.appendRecord(SCable());

  modal.answerStandardBox(QMessageBox::Cancel);
  pane.FileSaveExecute();
  const ScriptedModal::Asked& q = modal.last();
  EXPECT_EQ(q.title, QStringLiteral("Подтверждение"));
  EXPECT_TRUE(q.text.contains(QStringLiteral("не вошло строк: 1"))) << q.text.toStdString();
  EXPECT_EQ(readBytes(p), bytes);
  EXPECT_TRUE(pane.table().isModified());

  // Another file: only the usual questions.
  const std::size_t asked = modal.asked().size();
  pane.FileSaveAsAccept(path("copy.txt"));
  EXPECT_EQ(modal.asked().size(), asked);
  EXPECT_FALSE(pane.table().isModified());

  // Back to the first file: the save-as asks to overwrite it, and no loss is left to name.
  modal.answerStandardBox(QMessageBox::Ok);
  pane.FileSaveAsAccept(p);
  ASSERT_EQ(modal.asked().size(), asked + 1);
  EXPECT_TRUE(modal.last().text.endsWith(QStringLiteral("уже существует. Перезаписать?")));
  pane.appendRecord(SCable());
  pane.FileSaveExecute();
  EXPECT_EQ(modal.asked().size(), asked + 1);
}

// A report longer than a screen shows its first lines and how many more there are;
// the pane still gets every good record.
TEST_F(PaneFileTest, ALongReportShowsWhatFitsAndCountsTheRest) {
  QByteArray records = "Good\t1.5\r\n";
  for (int i = 0; i < 3000; ++i) records += "Bad" + QByteArray::number(i) + "\tx\r\n";
  const QString p = path("bad.txt");
  writeBytes(p, v04File(records));
  modal.answerMessageBox(2);
  ASSERT_TRUE(pane.openFile(p));
  ASSERT_EQ(modal.asked().size(), 1u);
  const QStringList lines = modal.last().text.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
  ASSERT_GE(lines.size(), 10);
  EXPECT_LT(lines.size(), 200);
  EXPECT_TRUE(lines[0].startsWith(QStringLiteral("Стр. 5 (поз. "))) << lines[0].toStdString();
  EXPECT_EQ(lines.last(), QStringLiteral("… и ещё строк: %1").arg(3000 - (lines.size() - 1)));
  EXPECT_EQ(TFrameCableList::loadReport().size(), 3000);
  EXPECT_EQ(pane.table().getCount(), 1);
}

TEST_F(PaneFileTest, WrongHeaderShowsAnEmptyReport) {
  const QString p = path("header.txt");
  writeBytes(p, "VIRD Table Of Cables V04\r\n\r\nName\tKU\r\nA\t1.5\r\n");
  modal.answerMessageBox(2);
  ASSERT_TRUE(pane.openFile(p));
  EXPECT_EQ(modal.last().title, QStringLiteral("Ошибка загрузки!"));
  EXPECT_TRUE(modal.last().text.isEmpty());
  EXPECT_TRUE(pane.tableOpen());
  EXPECT_EQ(pane.table().getCount(), 0);
  EXPECT_EQ(pane.fileName(), p);
}

// --- failed loads leave the pane as it was ------------------------------------

TEST_F(PaneFileTest, FailedLoadKeepsTablesRowsFileAndHistory) {
  const QString good = openThree();
  pane.setSelection({false, true, false});
  pane.ActionDeleteSelectedExecute();  // one action, table modified
  ASSERT_EQ(pane.history().count(), 1);
  const QString statusText = pane.EditFileName->text();
  QDir(dir.path()).mkdir(QStringLiteral("folder"));

  struct Case {
    QString path;
    bool missing;
  };
  for (const Case& c : {Case{path("missing.txt"), true}, Case{path("folder"), false}}) {
    modal.clearAsked();
    if (c.missing)
      modal.answerMessageBox(1);
    else
      modal.answerStandardBox(QMessageBox::Ok);

    EXPECT_FALSE(pane.openFile(c.path)) << c.path.toStdString();

    ASSERT_EQ(modal.asked().size(), 1u);
    EXPECT_EQ(modal.last().title, QStringLiteral("Ошибка загрузки!"));
    if (c.missing) {
      EXPECT_EQ(modal.last().text, QStringLiteral("Файл не найден"));
      EXPECT_EQ(modal.last().captions(), std::vector<QString>{QStringLiteral("Хорошо")});
    } else {
      EXPECT_EQ(modal.last().kind, ScriptedModal::Kind::StandardBox);
      EXPECT_EQ(modal.last().standardKind, StandardBoxKind::Critical);
      EXPECT_TRUE(modal.last().text.contains(c.path));
    }
    ASSERT_EQ(pane.table().getCount(), 2);
    EXPECT_EQ(nameOf(pane.table().at(0)), "A");
    EXPECT_EQ(nameOf(pane.table().at(1)), "C");
    expectRowsMatchTable(pane);
    EXPECT_TRUE(pane.table().isModified());
    EXPECT_EQ(pane.fileName(), good);
    EXPECT_EQ(pane.EditFileName->text(), statusText);
    EXPECT_EQ(pane.history().count(), 1);
    EXPECT_TRUE(pane.Action_Undo->isEnabled());
    EXPECT_EQ(programSettings().ListFile1, good);
    EXPECT_EQ(programSettings().LastOpenedFile1, good);
  }
}

// --- status line and file button -------------------------------------------------

TEST_F(PaneFileTest, StatusLineAndFileButtonFollowTheState) {
  // The file button carries exactly its current action: stale ones would turn it
  // into a drop-down menu of internal captions.
  auto onlyAction = [this](QAction* action) {
    EXPECT_EQ(pane.ToolButton_FileAction->defaultAction(), action);
    EXPECT_EQ(pane.ToolButton_FileAction->actions(), QList<QAction*>{action});
  };
  EXPECT_TRUE(pane.EditFileName->text().isEmpty());
  onlyAction(pane.FileOpen);
  EXPECT_TRUE(pane.New->isEnabled());
  EXPECT_TRUE(pane.FileOpen->isEnabled());
  EXPECT_FALSE(pane.FileSaveAs->isEnabled());
  EXPECT_FALSE(pane.ActionFileClose->isEnabled());
  EXPECT_FALSE(pane.ListBox->isVisibleTo(&host.window));
  EXPECT_FALSE(pane.ToolBar_CableActions->isVisibleTo(&host.window));

  pane.NewExecute();
  EXPECT_EQ(pane.EditFileName->text(), QStringLiteral("*таблица не сохранена*"));
  onlyAction(pane.FileSaveAs);
  EXPECT_TRUE(pane.table().isModified());
  EXPECT_FALSE(pane.FileSave->isEnabled());  // no file name
  EXPECT_FALSE(pane.New->isEnabled());
  EXPECT_TRUE(pane.ListBox->isVisibleTo(&host.window));
  EXPECT_EQ(pane.ListBox->model()->rowCount(), 0);

  const QString p = path("saved.txt");
  ASSERT_TRUE(pane.saveFile(p, false));
  EXPECT_EQ(pane.EditFileName->text(), p);
  onlyAction(pane.FileSave);
  EXPECT_FALSE(pane.FileSave->isEnabled());
  EXPECT_EQ(programSettings().ListFile1, p);

  ASSERT_TRUE(pane.appendRecord(SCable()));
  EXPECT_EQ(pane.EditFileName->text(), p + QLatin1Char('*'));
  EXPECT_TRUE(pane.FileSave->isEnabled());
  EXPECT_TRUE(pane.ToolButton_FileAction->isEnabled());

  pane.FileSaveExecute();
  EXPECT_EQ(pane.EditFileName->text(), p);
  EXPECT_FALSE(pane.FileSave->isEnabled());

  ASSERT_TRUE(pane.closeTable(false));  // unmodified: no question
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_FALSE(pane.tableOpen());
  EXPECT_TRUE(pane.EditFileName->text().isEmpty());
  onlyAction(pane.FileOpen);
  EXPECT_TRUE(pane.New->isEnabled());
  EXPECT_FALSE(pane.ActionFileClose->isEnabled());
  EXPECT_FALSE(pane.ListBox->isVisibleTo(&host.window));
  EXPECT_EQ(pane.ListBox->model()->rowCount(), 0);
  EXPECT_TRUE(programSettings().ListFile1.isEmpty());
}

TEST_F(PaneFileTest, SaveAsDialogStartsWithTheFileAndPaneTitle) {
  const QString p = openThree();
  modal.answerSaveFile(QString());
  host.pane(0).FileSaveAsExecute();
  EXPECT_EQ(modal.last().title, QStringLiteral("Сохранить таблицу 1 как"));
  EXPECT_EQ(modal.last().fileName, p);
  EXPECT_EQ(modal.last().defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(modal.last().filter, QStringLiteral("txt (*.txt)"));

  TFrameCableList& right = host.pane(1);
  right.NewExecute();
  modal.answerSaveFile(QString());
  right.FileSaveAsExecute();
  EXPECT_EQ(modal.last().title, QStringLiteral("Сохранить таблицу 2 как"));
  EXPECT_TRUE(modal.last().fileName.isEmpty());

  // A table without a file: the dialog keeps the name it was last left with.
  const QString saved = path("right.txt");
  modal.answerSaveFile(saved);
  right.FileSaveAsExecute();
  ASSERT_EQ(right.fileName(), saved);
  ASSERT_TRUE(right.closeTable(false));
  right.NewExecute();
  modal.answerSaveFile(QString());
  right.FileSaveAsExecute();
  EXPECT_EQ(modal.last().fileName, saved);
  EXPECT_TRUE(right.fileName().isEmpty());
}

TEST_F(PaneFileTest, OpenDialogStartsWithTheLastOpenedFile) {
  const QString p = openThree();
  modal.answerOpenFile(QString());
  pane.FileOpenExecute();
  EXPECT_EQ(modal.last().kind, ScriptedModal::Kind::OpenFile);
  EXPECT_EQ(modal.last().fileName, p);
  EXPECT_TRUE(modal.last().title.isEmpty());  // the toolkit's own title
  EXPECT_EQ(modal.last().filter, QStringLiteral("txt (*.txt)"));
  EXPECT_EQ(modal.last().defaultSuffix, QStringLiteral("txt"));
  EXPECT_EQ(pane.fileName(), p);
}

// --- the unsaved-changes question ----------------------------------------------

struct QuestionCase {
  const char* label;
  bool withFile;
  int messagesStyle;
  std::vector<QString> captions;
  QString text;
};

class PaneQuestionTest : public PaneFileTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(PaneQuestionTest, OffersSaveOnlyWithAFileAndCancelStopsTheClose) {
  const QuestionCase& c = GetParam();
  programSettings().MessagesStyle = static_cast<quint8>(c.messagesStyle);
  if (c.withFile)
    openThree();
  else
    pane.NewExecute();
  pane.appendRecord(SCable());
  modal.answerMessageBox(2);

  EXPECT_FALSE(pane.closeTable(false));

  const ScriptedModal::Asked& q = modal.last();
  EXPECT_EQ(q.title, QStringLiteral("Внимание"));
  EXPECT_EQ(q.text, c.text);
  EXPECT_EQ(q.captions(), c.captions);
  EXPECT_TRUE(q.question.wordWrap);
  EXPECT_EQ(q.question.alignment, 2);
  EXPECT_EQ(q.question.anchor, pane.ToolButtonFileClose);
  // Enter must not forget the changes: the focus is on the first way to save them.
  const std::size_t focused = (q.question.flags >> 8) & 0xF;
  ASSERT_LT(focused, c.captions.size());
  EXPECT_EQ(c.captions[focused],
            c.withFile ? QStringLiteral("Сохранить") : QStringLiteral("Сохранить как..."));
  EXPECT_TRUE(pane.tableOpen());
  EXPECT_TRUE(pane.table().isModified());
}

const QString kForget = QStringLiteral("Забыть");
const QString kSave = QStringLiteral("Сохранить");
const QString kSaveAs = QStringLiteral("Сохранить как...");
const QString kCancel = QStringLiteral("Отмена");
const QString kStrict = QStringLiteral("Текущие изменения не сохранены.");

INSTANTIATE_TEST_SUITE_P(
    Cases, PaneQuestionTest,
    ::testing::Values(
        QuestionCase{"NoFile", false, 0, {kForget, kSaveAs, kCancel}, kStrict},
        QuestionCase{"WithFile", true, 0, {kForget, kSave, kSaveAs, kCancel}, kStrict},
        QuestionCase{
            "Playful",
            true,
            1,
            {kForget, kSave, kSaveAs, kCancel},
            kStrict + QStringLiteral("\nЧто с ними прикажете делать, милостивый Государь?")}),
    [](const ::testing::TestParamInfo<QuestionCase>& info) { return info.param.label; });

TEST_F(PaneFileTest, UnmodifiedOrClosedTableAsksNothing) {
  EXPECT_TRUE(pane.askSaveChanges(nullptr));
  openThree();
  EXPECT_TRUE(pane.askSaveChanges(nullptr));
  EXPECT_TRUE(modal.asked().empty());
}

TEST_F(PaneFileTest, ForgetClosesWithoutWriting) {
  const QString p = openThree();
  const QByteArray before = readBytes(p);
  pane.appendRecord(SCable());
  modal.answerMessageBox(3);
  EXPECT_TRUE(pane.closeTable(false));
  EXPECT_FALSE(pane.tableOpen());
  EXPECT_EQ(readBytes(p), before);
}

TEST_F(PaneFileTest, SaveAnswerWritesTheFileAndGoesOn) {
  const QString p = openThree();
  pane.setSelection({true, false, false});
  pane.ActionDeleteSelectedExecute();
  modal.answerMessageBox(4);
  EXPECT_TRUE(pane.askSaveChanges(nullptr));
  EXPECT_FALSE(pane.table().isModified());
  SListCables reread;
  loadFromFile(reread, QFile::encodeName(p).constData());
  EXPECT_EQ(reread.getCount(), 2);
}

TEST_F(PaneFileTest, SaveAsAnswerThenCancelledDialogChangesNothing) {
  pane.NewExecute();
  pane.appendRecord(SCable());
  modal.answerMessageBox(5).answerSaveFile(QString());
  EXPECT_FALSE(pane.askSaveChanges(nullptr));
  EXPECT_TRUE(pane.tableOpen());
  EXPECT_TRUE(pane.table().isModified());
  EXPECT_TRUE(pane.fileName().isEmpty());
  EXPECT_EQ(pane.table().getCount(), 1);
  EXPECT_EQ(pane.EditFileName->text(), QStringLiteral("*таблица не сохранена*"));
}

TEST_F(PaneFileTest, SaveAsAnswerWithANameSavesAndGoesOn) {
  pane.NewExecute();
  pane.appendRecord(SCable());
  const QString p = path("new.txt");
  modal.answerMessageBox(5).answerSaveFile(p);
  EXPECT_TRUE(pane.askSaveChanges(nullptr));
  EXPECT_EQ(pane.fileName(), p);
  EXPECT_TRUE(QFileInfo::exists(p));
}

TEST_F(PaneFileTest, OpenCancelledByTheQuestionKeepsTheTable) {
  const QString p = openThree();
  pane.appendRecord(SCable());
  modal.answerMessageBox(2);
  pane.FileOpenExecute();  // no open dialog follows
  EXPECT_EQ(pane.fileName(), p);
  EXPECT_EQ(pane.table().getCount(), 4);
}

// --- overwrite question -----------------------------------------------------------

TEST_F(PaneFileTest, OverwriteIsAskedOnlyForAnotherExistingFile) {
  const QString own = openThree();
  const QString other = path("other.txt");
  writeBytes(other, "keep me");
  pane.appendRecord(SCable());

  modal.answerStandardBox(QMessageBox::Cancel);
  EXPECT_FALSE(pane.saveFile(other, false));
  const ScriptedModal::Asked& q = modal.last();
  EXPECT_EQ(q.text, QStringLiteral("Файл ") + kQ + other + kQ +
                        QStringLiteral("уже существует. Перезаписать?"));
  EXPECT_EQ(q.standardButtons, QMessageBox::Ok | QMessageBox::Cancel);
  EXPECT_EQ(readBytes(other), QByteArray("keep me"));
  EXPECT_EQ(pane.fileName(), own);
  EXPECT_TRUE(pane.table().isModified());

  // Under its own name: no question.
  modal.clearAsked();
  EXPECT_TRUE(pane.saveFile(own, false));
  EXPECT_TRUE(modal.asked().empty());

  modal.answerStandardBox(QMessageBox::Ok);
  EXPECT_TRUE(pane.saveFile(other, false));
  EXPECT_EQ(pane.fileName(), other);
  EXPECT_EQ(programSettings().ListFile1, other);
  EXPECT_TRUE(readBytes(other).startsWith("VIRD Table Of Cables V04\r\n"));
}

// --- save failures ----------------------------------------------------------------

// A table too big for a file size limit of 200 bytes: writing it fails after the
// file was opened.
void fillPastSizeLimit(TFrameCableList& pane) {
  SCable c;
  for (int i = 0; i < 20; ++i) {
    std::snprintf(c.name, sizeof c.name, "Cable %d", i);
    c.setKU(1.5f);
    pane.appendRecord(c);
  }
}

// For a death test's child: files may not grow past 200 bytes; the exit code
// tells whether body held.
[[noreturn]] void runWithFileSizeLimit(const std::function<bool()>& body) {
  std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit limit = {200, 200};
  setrlimit(RLIMIT_FSIZE, &limit);
  std::_Exit(body() ? 0 : 1);
}

struct SaveFailureCase {
  const char* label;
  bool sizeLimit;  // else a path under a regular file
  QMessageBox::StandardButton button;
};

class PaneSaveFailureTest : public PaneFileTest,
                            public ::testing::WithParamInterface<SaveFailureCase> {
 protected:
  // The box was shown and the pane kept its name, settings and changes.
  bool failsAsExpected(const QString& own, const QString& target) {
    const bool result = pane.saveFile(target, false);
    const ScriptedModal::Asked& q = modal.last();
    return !result && q.title == QStringLiteral("Ошибка!") &&
           q.text == QStringLiteral("Сохранение файла прошло не успешно.") &&
           q.standardButtons == (QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore) &&
           pane.fileName() == own && programSettings().ListFile1 == own &&
           pane.table().isModified() && pane.EditFileName->text() == own + QLatin1Char('*');
  }
};

TEST_P(PaneSaveFailureTest, ShowsTheBoxAndKeepsNameSettingsAndChanges) {
  ::testing::FLAGS_gtest_death_test_style = "fast";
  const SaveFailureCase& c = GetParam();
  const QString own = openThree();
  pane.appendRecord(SCable());
  if (c.sizeLimit) {
    fillPastSizeLimit(pane);
    // The child answers from its own copy of the script.
    EXPECT_EXIT(runWithFileSizeLimit([&] {
                  modal.answerStandardBox(c.button);
                  return failsAsExpected(own, path("limited.txt"));
                }),
                ::testing::ExitedWithCode(0), "");
    return;
  }
  modal.answerStandardBox(c.button);
  EXPECT_TRUE(failsAsExpected(own, own + QStringLiteral("/sub.txt")));
  EXPECT_EQ(modal.asked().size(), 1u);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PaneSaveFailureTest,
    ::testing::Values(SaveFailureCase{"UnderFileAbort", false, QMessageBox::Abort},
                      SaveFailureCase{"UnderFileIgnore", false, QMessageBox::Ignore},
                      SaveFailureCase{"SizeLimitRetry", true, QMessageBox::Retry}),
    [](const ::testing::TestParamInfo<SaveFailureCase>& info) { return info.param.label; });

TEST_F(PaneFileTest, FailedSaveFromTheQuestionDoesNotCloseTheTable) {
  ::testing::FLAGS_gtest_death_test_style = "fast";
  pane.NewExecute();
  fillPastSizeLimit(pane);
  const QString target = path("limited.txt");
  EXPECT_EXIT(
      runWithFileSizeLimit([&] {
        modal.answerMessageBox(5).answerSaveFile(target).answerStandardBox(QMessageBox::Abort);
        return !pane.closeTable(false) && pane.tableOpen() && pane.table().getCount() == 20 &&
               pane.table().isModified() && pane.fileName().isEmpty();
      }),
      ::testing::ExitedWithCode(0), "");
  // Without the limit the same answers save and close.
  modal.answerMessageBox(5).answerSaveFile(target);
  EXPECT_TRUE(pane.closeTable(false));
  EXPECT_TRUE(QFileInfo::exists(target));
}

// --- restore at start ---------------------------------------------------------------

TEST_F(PaneFileTest, RestoreFromAutoSaveBelongsToTheListFileAndIsModified) {
  const QString listFile = path("list.txt");
  writeBytes(listFile, v04File("FromList\t1.5\r\n"));
  const QString autoSave = path("autosave1.txt");
  writeBytes(autoSave, v04File("FromAuto\t1.5\r\nSecond\t1.6\r\n"));
  programSettings().ListFile1 = listFile;
  programSettings().AutoSave1 = autoSave;

  ASSERT_TRUE(pane.restoreTable());
  ASSERT_EQ(pane.table().getCount(), 2);
  EXPECT_EQ(nameOf(pane.table().at(0)), "FromAuto");
  expectRowsMatchTable(pane);
  EXPECT_TRUE(pane.table().isModified());
  EXPECT_EQ(pane.fileName(), listFile);
  EXPECT_EQ(pane.EditFileName->text(), listFile + QLatin1Char('*'));
  EXPECT_TRUE(pane.FileSave->isEnabled());
}

TEST_F(PaneFileTest, RestoreFromAutoSaveWithoutListFileIsUnsaved) {
  const QString autoSave = path("autosave1.txt");
  writeBytes(autoSave, v04File("FromAuto\t1.5\r\n"));
  programSettings().AutoSave1 = autoSave;
  ASSERT_TRUE(pane.restoreTable());
  EXPECT_TRUE(pane.fileName().isEmpty());
  EXPECT_EQ(pane.EditFileName->text(), QStringLiteral("*таблица не сохранена*"));
  EXPECT_TRUE(pane.table().isModified());
}

TEST_F(PaneFileTest, RestoreFromListFileIsUnmodified) {
  const QString listFile = path("list.txt");
  writeBytes(listFile, v04File("FromList\t1.5\r\n"));
  programSettings().ListFile2 = listFile;
  TFrameCableList& right = host.pane(1);
  ASSERT_TRUE(right.restoreTable());
  EXPECT_EQ(right.fileName(), listFile);
  EXPECT_FALSE(right.table().isModified());
  EXPECT_FALSE(pane.tableOpen());  // the left pane has nothing to restore
  EXPECT_FALSE(pane.restoreTable());
  EXPECT_TRUE(modal.asked().empty());
}

TEST_F(PaneFileTest, RestoreWithMissingAutoSaveLeavesThePaneEmpty) {
  const QString listFile = path("list.txt");
  writeBytes(listFile, v04File("FromList\t1.5\r\n"));
  programSettings().ListFile1 = listFile;
  programSettings().AutoSave1 = path("gone.txt");
  modal.answerMessageBox(1);
  EXPECT_FALSE(pane.restoreTable());
  EXPECT_EQ(modal.last().text, QStringLiteral("Файл не найден"));
  EXPECT_FALSE(pane.tableOpen());
  EXPECT_FALSE(pane.ListBox->isVisibleTo(&host.window));
}

// A pipe kept in the settings (by hand or by another program) must not freeze the
// start: it is refused like a file that cannot be opened, and the pane stays empty.
TEST_F(PaneFileTest, RestoreFromAPipeIsRefusedAndLeavesThePaneEmpty) {
  const QString fifo = path("fifo");
  ASSERT_EQ(0, ::mkfifo(fifo.toLocal8Bit().constData(), 0600));
  for (const bool asAutoSave : {false, true}) {
    SCOPED_TRACE(asAutoSave ? "autosave" : "list file");
    resetProgramSettings();
    (asAutoSave ? programSettings().AutoSave1 : programSettings().ListFile1) = fifo;
    modal.answerStandardBox(QMessageBox::Ok);
    EXPECT_FALSE(pane.restoreTable());
    EXPECT_EQ(modal.last().title, QStringLiteral("Ошибка загрузки!"));
    EXPECT_TRUE(modal.last().text.startsWith(QStringLiteral("Не удалось открыть файл ")))
        << modal.last().text.toStdString();
    EXPECT_FALSE(pane.tableOpen());
  }
}

TEST_F(PaneFileTest, LoadAndCloseRefreshTheOtherPane) {
  openThree();
  EXPECT_EQ(host.refreshedFrom, std::vector<int>{0});
  ASSERT_TRUE(pane.closeTable(true));
  EXPECT_EQ(host.refreshedFrom, (std::vector<int>{0, 0}));
}

}  // namespace
