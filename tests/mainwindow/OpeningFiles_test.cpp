// Tables that reach the window from the desktop: named on the command line, dropped
// from the file manager; and the find field's key in the window.
#include <vector>

#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QMimeData>
#include <QTest>
#include <QUrl>
#include <QWindow>

#include <gtest/gtest.h>

#include "mainwindow/MainWindowFixture.h"

namespace {

constexpr int kForget = 3;  // the unsaved-changes question's "Забыть"
constexpr int kCancel = 2;
constexpr int kKeepForLater = 5;  // the close question's "Потом сохраню"

class OpeningFilesTest : public MainWindowTest {
 protected:
  // A first run that leaves left.txt and right.txt to be restored, the left one kept
  // modified in an autosave when keepLeft.
  void previousRun(bool keepLeft) {
    showWindow();
    openTable(0, QStringLiteral("left.txt"), 3, "Left");
    openTable(1, QStringLiteral("right.txt"), 2, "Right");
    if (keepLeft) {
      deleteRow(0, 0);
      modal.answerMessageBox(kKeepForLater);
    }
    ASSERT_TRUE(window->close());
    modal.clearAsked();
    restart();
  }

  QString named(const char* name, int n, const char* prefix) {
    const QString path = file(QString::fromLatin1(name));
    EXPECT_TRUE(writeTable(path, n, prefix));
    return path;
  }
};

TEST_F(OpeningFilesTest, CommandLineFilesOpenInPlaceOfTheRestoredTables) {
  previousRun(false);
  // The restored files are not even read: a missing one would raise a message.
  ASSERT_TRUE(QFile::remove(file(QStringLiteral("left.txt"))));
  const QString a = named("a.txt", 4, "A");
  const QString b = named("b.txt", 1, "B");
  window->setStartFiles({a, b});
  showWindow();
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(pane(0).fileName(), a);
  EXPECT_EQ(pane(0).table().getCount(), 4);
  EXPECT_FALSE(pane(0).table().isModified());
  EXPECT_EQ(pane(1).fileName(), b);
  EXPECT_EQ(recordName(pane(1), 0), QStringLiteral("B 1"));
  EXPECT_EQ(programSettings().ListFile1, a) << "the next start restores it";
}

TEST_F(OpeningFilesTest, OneFileOpensOnTheLeftAndTheRightPaneIsRestored) {
  previousRun(false);
  const QString a = named("a.txt", 4, "A");
  window->setStartFiles({a});
  showWindow();
  EXPECT_EQ(pane(0).fileName(), a);
  EXPECT_EQ(pane(1).fileName(), file(QStringLiteral("right.txt")));
}

// A table kept for later is the user's unsaved work: it comes back and is asked about.
struct KeptCase {
  const char* label;
  int answer;
  bool opened;
};

class KeptTableOnStartTest : public OpeningFilesTest,
                             public ::testing::WithParamInterface<KeptCase> {};

TEST_P(KeptTableOnStartTest, IsAskedAboutBeforeTheNamedFileOpens) {
  previousRun(true);
  const QString a = named("a.txt", 4, "A");
  window->setStartFiles({a});
  modal.answerMessageBox(GetParam().answer);
  showWindow();
  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().title, QStringLiteral("Внимание"));
  EXPECT_EQ(modal.last().text, QStringLiteral("Текущие изменения не сохранены."));
  if (GetParam().opened) {
    EXPECT_EQ(pane(0).fileName(), a);
    EXPECT_EQ(pane(0).table().getCount(), 4);
    EXPECT_FALSE(pane(0).table().isModified());
  } else {
    EXPECT_EQ(pane(0).fileName(), file(QStringLiteral("left.txt")));
    EXPECT_EQ(pane(0).table().getCount(), 2);
    EXPECT_TRUE(pane(0).table().isModified());
  }
}

INSTANTIATE_TEST_SUITE_P(OpeningFiles, KeptTableOnStartTest,
                         ::testing::Values(KeptCase{"Forgotten", kForget, true},
                                           KeptCase{"Cancelled", kCancel, false}),
                         [](const ::testing::TestParamInfo<KeptCase>& info) {
                           return std::string(info.param.label);
                         });

TEST_F(OpeningFilesTest, AMissingCommandLineFileGetsTheLoadMessage) {
  previousRun(false);
  window->setStartFiles({file(QStringLiteral("missing.txt"))});
  modal.answerMessageBox(1);
  showWindow();
  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().title, QStringLiteral("Ошибка загрузки!"));
  EXPECT_EQ(modal.last().text, QStringLiteral("Файл не найден"));
  EXPECT_FALSE(pane(0).tableOpen());
  EXPECT_EQ(pane(1).fileName(), file(QStringLiteral("right.txt")));
}

// --- drag and drop -----------------------------------------------------------------

// Drags urls over `over` (the pane's list by default) and drops them there, through
// the window as the system's drag does, so that the widget under the mouse passes it
// on as it would; true when the drop was taken.
bool dropOn(TFrameCableList& pane, const QList<QUrl>& urls, QWidget* over = nullptr) {
  QMimeData mime;
  mime.setUrls(urls);
  // File managers offer the names as plain text too.
  QStringList names;
  for (const QUrl& url : urls) names << url.toString();
  mime.setText(names.join(QLatin1Char('\n')));
  if (!over) over = pane.ListBox->isVisible() ? pane.ListBox->viewport() : &pane;
  QWindow* window = over->window()->windowHandle();
  if (!window) return false;
  const QPoint at = over->mapTo(over->window(), over->rect().center());
  QDragEnterEvent enter(at, Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &enter);
  if (!enter.isAccepted()) {
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(window, &leave);
    return false;
  }
  QDropEvent drop(QPointF(at), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
  QCoreApplication::sendEvent(window, &drop);
  // The file opens once the drop has returned to the file manager.
  QCoreApplication::processEvents();
  return drop.isAccepted();
}

TEST_F(OpeningFilesTest, ADroppedFileOpensInThePaneAfterTheOpenCommandsQuestion) {
  showWindow();
  openTable(0, QStringLiteral("left.txt"), 3, "Left");
  const QString a = named("a.txt", 4, "A");

  // Unchanged: no question.
  ASSERT_TRUE(dropOn(pane(1), {QUrl::fromLocalFile(a)}));
  EXPECT_TRUE(modal.asked().empty());
  EXPECT_EQ(pane(1).fileName(), a);

  // Changed: the question first; cancelled keeps the table.
  deleteRow(0, 0);
  modal.answerMessageBox(kCancel);
  ASSERT_TRUE(dropOn(pane(0), {QUrl::fromLocalFile(a)}));
  ASSERT_EQ(modal.asked().size(), 1u);
  EXPECT_EQ(modal.last().text, QStringLiteral("Текущие изменения не сохранены."));
  EXPECT_EQ(pane(0).fileName(), file(QStringLiteral("left.txt")));
  EXPECT_EQ(pane(0).table().getCount(), 2);

  modal.answerMessageBox(kForget);
  ASSERT_TRUE(dropOn(pane(0), {QUrl::fromLocalFile(a)}));
  EXPECT_EQ(pane(0).fileName(), a);
  EXPECT_EQ(pane(0).table().getCount(), 4);

  // Over the find field too: the file opens rather than becoming the text to find.
  const QString b = named("b.txt", 2, "B");
  ASSERT_TRUE(dropOn(pane(0), {QUrl::fromLocalFile(b)}, pane(0).EditFind));
  EXPECT_EQ(pane(0).fileName(), b);
  EXPECT_TRUE(pane(0).EditFind->text().isEmpty());
}

TEST_F(OpeningFilesTest, DropsWithoutALocalFileAreRefused) {
  showWindow();
  const std::vector<QList<QUrl>> refused = {
      {QUrl(QStringLiteral("https://example.org/cables.txt"))},
      {QUrl::fromLocalFile(temp.path())},  // a folder
      {}};
  for (const QList<QUrl>& urls : refused) EXPECT_FALSE(dropOn(pane(0), urls));
  EXPECT_FALSE(pane(0).tableOpen());
  EXPECT_TRUE(modal.asked().empty());

  // A web address first and a file after it: the file is taken.
  const QString a = named("a.txt", 1, "A");
  EXPECT_TRUE(
      dropOn(pane(0), {QUrl(QStringLiteral("https://example.org/x.txt")), QUrl::fromLocalFile(a)}));
  EXPECT_EQ(pane(0).fileName(), a);
}

// --- the find field in the window -------------------------------------------------

TEST_F(OpeningFilesTest, CtrlFFocusesTheActivePanesFindAndItsLettersAreNoMoveKeys) {
  showActive();
  openTable(0, QStringLiteral("left.txt"), 3, "Left");
  openTable(1, QStringLiteral("right.txt"), 3, "Right");
  pane(1).ListBox->setFocus();
  ASSERT_EQ(window->activePane(), 1);
  std::vector<bool> sel{false, false, true};
  pane(1).setSelection(sel);
  ASSERT_TRUE(pane(1).ActionMoveUp->isEnabled());

  QTest::keyClick(window.get(), Qt::Key_F, Qt::ControlModifier);
  ASSERT_EQ(QApplication::focusWidget(), pane(1).EditFind);
  // W and S are the window's move keys; typed into the field they are text.
  QTest::keyClicks(pane(1).EditFind, QStringLiteral("w"));
  QTest::keyClicks(pane(1).EditFind, QStringLiteral("s"));
  EXPECT_EQ(pane(1).EditFind->text(), QStringLiteral("ws"));
  EXPECT_EQ(pane(1).history().count(), 0);
  EXPECT_EQ(recordName(pane(1), 2), QStringLiteral("Right 3"));
  EXPECT_FALSE(window->ActionMoveUp->isEnabled()) << "the bottom bar follows the filter";

  QTest::keyClick(pane(1).EditFind, Qt::Key_Escape);
  EXPECT_TRUE(window->ActionMoveUp->isEnabled());
}

}  // namespace
