// Closing the main window: the unsaved-changes question, autosave and the restore at
// the next start.
#include "mainwindow/TFormMain.h"

#include <QAction>
#include <QFileInfo>
#include <QLineEdit>

#include <gtest/gtest.h>

#include "mainwindow/MainWindowFixture.h"
#include "model/TableFile.h"

using namespace tolmira;

namespace {

const QString kKeep = QStringLiteral("Потом сохраню \n(сохранить состояние и выйти)");

enum Answer { Cancelled = 2, Save = 3, Forget = 4, KeepForLater = 5, Cancel = 6 };

}  // namespace

class ClosingTest : public MainWindowTest {
 protected:
  // Two tables from files, as a user has them.
  void openBoth() {
    openTable(0, QStringLiteral("left.txt"), 3, "Left");
    openTable(1, QStringLiteral("right.txt"), 3, "Right");
  }
  QString autosave(int n) const {
    return QDir(programDir).filePath(TFormMain::autoSaveFileName(n));
  }
  bool settingsStored() { return storedString("Version").has_value(); }
  // Table 1 was kept for later in the per-user data folder, and the settings say so.
  void expectKeptInTheUserDataFolder() {
    const QString kept =
        QDir(TFormMain::autoSaveFallbackDir()).filePath(QStringLiteral("autosave1.txt"));
    EXPECT_TRUE(kept.startsWith(file(QStringLiteral("data")))) << kept.toStdString();
    EXPECT_TRUE(QFileInfo::exists(kept));
    EXPECT_EQ(storedString("AutoSave1"), kept);
  }
};

// --- the question ----------------------------------------------------------------

struct QuestionCase {
  const char* label;
  bool leftChanged, rightChanged;
  int answer;  // one that keeps the window open
  const char* suffix;
};

class CloseQuestionTest : public ClosingTest, public ::testing::WithParamInterface<QuestionCase> {};

TEST_P(CloseQuestionTest, NamesTheChangedTablesAndCancelKeepsEverything) {
  const QuestionCase& c = GetParam();
  showWindow();
  openBoth();
  if (c.leftChanged) deleteRow(0, 0);
  if (c.rightChanged) deleteRow(1, 0);
  modal.answerMessageBox(c.answer);

  EXPECT_FALSE(window->close());

  ASSERT_EQ(modal.asked().size(), 1u);
  const auto& q = modal.last();
  EXPECT_EQ(q.text,
            QStringLiteral("Имеются несохранённые изменения") + QString::fromUtf8(c.suffix));
  EXPECT_EQ(q.title, QStringLiteral("Внимание!"));
  EXPECT_EQ(q.captions(),
            (std::vector<QString>{QStringLiteral("Сохранить"), QStringLiteral("Забыть"), kKeep,
                                  QStringLiteral("Отмена")}));
  ASSERT_EQ(q.question.buttons.size(), 4u);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(q.question.buttons[i].result, 3 + i);
  EXPECT_EQ(q.question.flags, 0u);

  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(pane(0).table().isModified(), c.leftChanged);
  EXPECT_EQ(pane(1).table().isModified(), c.rightChanged);
  EXPECT_FALSE(QFileInfo::exists(autosave(1)));
  EXPECT_FALSE(QFileInfo::exists(autosave(2)));
  EXPECT_FALSE(settingsStored());
}

INSTANTIATE_TEST_SUITE_P(
    Question, CloseQuestionTest,
    ::testing::Values(QuestionCase{"LeftOnly_Cancel", true, false, Cancel, " в таблице 1"},
                      QuestionCase{"RightOnly_Escape", false, true, Cancelled, " в таблице 2"},
                      QuestionCase{"Both_Cancel", true, true, Cancel, " в обеих таблицах"}),
    [](const ::testing::TestParamInfo<QuestionCase>& info) {
      return std::string(info.param.label);
    });

TEST_F(ClosingTest, NoChangesAsksNothingAndStoresTheSettings) {
  showWindow();
  openBoth();
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_TRUE(settingsStored());
  EXPECT_EQ(storedString("AutoSave1"), QString());
  EXPECT_EQ(storedString("AutoSave2"), QString());
  EXPECT_EQ(storedString("ListFile1"), file(QStringLiteral("left.txt")));
}

// --- keep for the next run ---------------------------------------------------------

// Kept by the answer of the close question, or without a question when the system
// asks the program to end (a signal, the logout).
class KeptTablesTest : public ClosingTest, public ::testing::WithParamInterface<bool> {};

TEST_P(KeptTablesTest, ComeBackModifiedUnderTheirFileNames) {
  const bool askedByTheSystem = GetParam();
  showWindow();
  openBoth();
  deleteRow(0, 0);
  deleteRow(1, 2);
  if (askedByTheSystem) {
    ASSERT_TRUE(window->keepTablesAndClose());
    EXPECT_TRUE(modal.asked().empty()) << "a question at shutdown";
  } else {
    modal.answerMessageBox(KeepForLater);
    ASSERT_TRUE(window->close());
  }
  EXPECT_FALSE(window->isVisible());

  EXPECT_TRUE(QFileInfo::exists(autosave(1)));
  EXPECT_TRUE(QFileInfo::exists(autosave(2)));
  EXPECT_EQ(storedString("AutoSave1"), autosave(1));
  EXPECT_EQ(storedString("AutoSave2"), autosave(2));

  restart();
  showWindow();
  const QString files[2] = {file(QStringLiteral("left.txt")), file(QStringLiteral("right.txt"))};
  const QString names[2][2] = {{QStringLiteral("Left 2"), QStringLiteral("Left 3")},
                               {QStringLiteral("Right 1"), QStringLiteral("Right 2")}};
  for (int i = 0; i < 2; ++i) {
    SCOPED_TRACE(i);
    ASSERT_TRUE(pane(i).tableOpen());
    EXPECT_TRUE(pane(i).table().isModified());
    EXPECT_EQ(pane(i).fileName(), files[i]);
    EXPECT_EQ(pane(i).EditFileName->text(), files[i] + QLatin1Char('*'));
    ASSERT_EQ(pane(i).table().getCount(), 2);
    EXPECT_EQ(recordName(pane(i), 0), names[i][0]);
    EXPECT_EQ(recordName(pane(i), 1), names[i][1]);
  }
  // The user's own files were not touched.
  SListCables original;
  loadFromFile(original, QFile::encodeName(files[0]).constData());
  EXPECT_EQ(original.getCount(), 3);
}

INSTANTIATE_TEST_SUITE_P(Closing, KeptTablesTest, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& info) {
                           return info.param ? "AskedByTheSystem" : "AnsweredByTheUser";
                         });

TEST_F(ClosingTest, OnlyTheChangedTableIsKeptTheOtherReopensItsFile) {
  showWindow();
  openBoth();
  deleteRow(0, 1);
  modal.answerMessageBox(KeepForLater);
  ASSERT_TRUE(window->close());
  EXPECT_EQ(storedString("AutoSave1"), autosave(1));
  EXPECT_EQ(storedString("AutoSave2"), QString());
  EXPECT_FALSE(QFileInfo::exists(autosave(2)));

  restart();
  showWindow();
  EXPECT_TRUE(pane(0).table().isModified());
  EXPECT_EQ(pane(0).table().getCount(), 2);
  ASSERT_TRUE(pane(1).tableOpen());
  EXPECT_FALSE(pane(1).table().isModified());
  EXPECT_EQ(pane(1).table().getCount(), 3);
  EXPECT_EQ(pane(1).fileName(), file(QStringLiteral("right.txt")));
}

// Run from its build folder (as ./run.sh does), the program keeps the tables with the
// user's data: a rebuild or a deleted build folder must not take them along.
TEST_F(ClosingTest, AProgramInItsBuildFolderKeepsTheTablesInTheUserDataFolder) {
  const QString buildProgram = QCoreApplication::applicationDirPath();
  ASSERT_TRUE(TFormMain::inBuildTree(buildProgram)) << buildProgram.toStdString();
  EXPECT_FALSE(TFormMain::inBuildTree(programDir));
  window->setProgramDir(buildProgram);
  showWindow();
  pane(0).NewExecute();
  modal.answerMessageBox(KeepForLater);
  ASSERT_TRUE(window->close());
  expectKeptInTheUserDataFolder();
  EXPECT_FALSE(QFileInfo::exists(QDir(buildProgram).filePath(QStringLiteral("autosave1.txt"))));
}

TEST_F(ClosingTest, AnUnwritableProgramFolderKeepsTheTableInTheUserDataFolder) {
  // As root every folder is writable; a folder under a regular file is not.
  ASSERT_TRUE(writeTable(file(QStringLiteral("plain")), 0));
  programDir = file(QStringLiteral("plain")) + QStringLiteral("/program");
  window->setProgramDir(programDir);
  showWindow();
  pane(0).NewExecute();  // a table never saved
  modal.answerMessageBox(KeepForLater);
  ASSERT_TRUE(window->close());

  expectKeptInTheUserDataFolder();

  restart();
  window->setProgramDir(programDir);
  showWindow();
  ASSERT_TRUE(pane(0).tableOpen());
  EXPECT_TRUE(pane(0).table().isModified());
  EXPECT_TRUE(pane(0).fileName().isEmpty());
  EXPECT_EQ(pane(0).EditFileName->text(), QStringLiteral("*таблица не сохранена*"));
}

TEST_F(ClosingTest, AnAutosaveThatCannotBeWrittenIsReportedAndTheWindowStays) {
  ASSERT_TRUE(writeTable(file(QStringLiteral("plain")), 0));
  window->setProgramDir(file(QStringLiteral("plain")) + QStringLiteral("/program"));
  qputenv("XDG_DATA_HOME", (file(QStringLiteral("plain")) + QStringLiteral("/data")).toLocal8Bit());
  showWindow();
  openBoth();
  deleteRow(1, 0);
  modal.answerMessageBox(KeepForLater).answerStandardBox(QMessageBox::Ok);

  EXPECT_FALSE(window->close());

  ASSERT_EQ(modal.asked().size(), 2u);
  const auto& box = modal.last();
  EXPECT_EQ(box.kind, ScriptedModal::Kind::StandardBox);
  EXPECT_EQ(box.standardKind, StandardBoxKind::Critical);
  EXPECT_TRUE(box.text.contains(QStringLiteral("таблицу 2"))) << box.text.toStdString();
  EXPECT_TRUE(box.text.contains(QStringLiteral("autosave2.txt"))) << box.text.toStdString();
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(pane(1).table().isModified());
  EXPECT_FALSE(settingsStored());
  EXPECT_TRUE(programSettings().AutoSave2.isEmpty());
}

TEST_F(ClosingTest, SettingsThatCannotBeStoredAreReportedWithTheKeptFiles) {
  showWindow();
  openBoth();
  deleteRow(0, 0);
  store.setFailWrite(true);
  modal.answerMessageBox(KeepForLater).answerStandardBox(QMessageBox::Ok);

  // The tables are safe in their files, so the program still ends.
  EXPECT_TRUE(window->close());

  ASSERT_EQ(modal.asked().size(), 2u);
  const auto& box = modal.last();
  EXPECT_EQ(box.kind, ScriptedModal::Kind::StandardBox);
  EXPECT_EQ(box.standardKind, StandardBoxKind::Warning);
  EXPECT_TRUE(box.text.contains(QDir::toNativeSeparators(autosave(1)))) << box.text.toStdString();
  EXPECT_FALSE(box.text.contains(QStringLiteral("autosave2.txt"))) << box.text.toStdString();
  EXPECT_TRUE(QFileInfo::exists(autosave(1)));
}

TEST_F(ClosingTest, SettingsThatCannotBeStoredWithNothingKeptAskNothing) {
  showWindow();
  openBoth();
  store.setFailWrite(true);
  EXPECT_TRUE(window->close());
  EXPECT_TRUE(modal.asked().empty());
}

// --- forget and save ---------------------------------------------------------------

TEST_F(ClosingTest, ForgetClosesBothTablesAndTheNextStartIsEmpty) {
  showWindow();
  openBoth();
  deleteRow(1, 0);
  modal.answerMessageBox(Forget);
  ASSERT_TRUE(window->close());
  EXPECT_FALSE(pane(0).tableOpen());
  EXPECT_FALSE(pane(1).tableOpen());
  EXPECT_EQ(storedString("ListFile1"), QString());
  EXPECT_EQ(storedString("ListFile2"), QString());
  EXPECT_EQ(storedString("AutoSave2"), QString());
  EXPECT_FALSE(QFileInfo::exists(autosave(2)));

  restart();
  showWindow();
  EXPECT_FALSE(pane(0).tableOpen());
  EXPECT_FALSE(pane(1).tableOpen());
  EXPECT_EQ(modal.asked().size(), 1u) << "the restore asked something";
}

TEST_F(ClosingTest, SaveWritesTheTableToItsFileAndCloses) {
  showWindow();
  openBoth();
  deleteRow(0, 0);
  modal.answerMessageBox(Save);
  window->ActionExit->trigger();
  EXPECT_FALSE(window->isVisible());
  EXPECT_EQ(modal.asked().size(), 1u) << "no save dialog for a table with a file";
  SListCables saved;
  loadFromFile(saved, QFile::encodeName(file(QStringLiteral("left.txt"))).constData());
  EXPECT_EQ(saved.getCount(), 2);
  EXPECT_EQ(storedString("AutoSave1"), QString());
  EXPECT_TRUE(settingsStored());
}

TEST_F(ClosingTest, SaveOfANeverSavedTableAsksForANameAndCancellingKeepsTheWindow) {
  showWindow();
  openTable(0, QStringLiteral("left.txt"), 3, "Left");
  deleteRow(0, 0);
  pane(1).NewExecute();
  modal.answerMessageBox(Save).answerSaveFile(QString());
  EXPECT_FALSE(window->close());
  ASSERT_EQ(modal.asked().size(), 2u);
  EXPECT_EQ(modal.last().kind, ScriptedModal::Kind::SaveFile);
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(pane(1).table().isModified());
  EXPECT_FALSE(settingsStored());
  // The left table, saved before the right one's dialog was cancelled, stays saved.
  EXPECT_FALSE(pane(0).table().isModified());
  SListCables saved;
  loadFromFile(saved, QFile::encodeName(file(QStringLiteral("left.txt"))).constData());
  EXPECT_EQ(saved.getCount(), 2);

  // Given a name the second time, the table is saved and the window closes.
  const QString target = file(QStringLiteral("new.txt"));
  modal.answerMessageBox(Save).answerSaveFile(target);
  EXPECT_TRUE(window->close());
  EXPECT_EQ(modal.asked()[2].text, QStringLiteral("Имеются несохранённые изменения в таблице 2"));
  EXPECT_TRUE(QFileInfo::exists(target));
  EXPECT_EQ(storedString("ListFile2"), target);
  EXPECT_EQ(storedString("AutoSave2"), QString());
}
