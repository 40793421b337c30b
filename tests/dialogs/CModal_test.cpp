#include "dialogs/CModal.h"

#include <functional>

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "support/ScriptedModal.h"

namespace {

// Closes every modal window above expected, failing the test for each.
void closeModalsAbove(QWidget* expected) {
  QWidget* top = nullptr;
  while ((top = QApplication::activeModalWidget()) && top != expected) {
    ADD_FAILURE() << "an unexpected modal window opened: " << top->metaObject()->className() << " "
                  << top->windowTitle().toStdString();
    if (auto* d = qobject_cast<QDialog*>(top))
      d->reject();
    else
      top->close();
    if (!QTest::qWaitFor([top] { return QApplication::activeModalWidget() != top; }, 1000)) {
      ADD_FAILURE() << "the unexpected window does not close";
      return;
    }
  }
}

// Runs act on the modal window of type T once it is open. A modal window that opens
// on top of it (a question the dialog asks of its own) fails the test and is closed,
// and so is the window itself when act leaves it open.
template <typename T>
void whenModal(std::function<void(T*)> act) {
  QTimer::singleShot(0, [act] {
    T* w = nullptr;
    if (!QTest::qWaitFor([&] { return (w = qobject_cast<T*>(QApplication::activeModalWidget())); },
                         3000)) {
      ADD_FAILURE() << "no modal window of the expected type";
      return;
    }
    QPointer<QWidget> self(w);
    QTimer::singleShot(300, [self] { closeModalsAbove(self); });
    act(w);
    // act may leave the window open; it is closed below then.
    static_cast<void>(
        QTest::qWaitFor([self] { return QApplication::activeModalWidget() != self.data(); }, 500));
    closeModalsAbove(nullptr);
  });
}

TEST(CModalSeam, InstallReplacesAndRestoresTheRealSeam) {
  CModal* real = &CModal::current();
  {
    ScriptedModal scripted;
    EXPECT_EQ(&CModal::current(), &scripted);
  }
  EXPECT_EQ(&CModal::current(), real);
}

TEST(CModalSeam, StandardBoxShowsKindTextButtonsAndDefault) {
  whenModal<QMessageBox>([](QMessageBox* box) {
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Внимание"));
    EXPECT_EQ(box->text(), QStringLiteral("Файл <b>a.txt</b> уже существует. Заменить?"));
    EXPECT_EQ(box->textFormat(), Qt::PlainText);
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    EXPECT_EQ(box->standardButtons(), QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
    EXPECT_EQ(static_cast<QAbstractButton*>(box->defaultButton()), box->button(QMessageBox::No));
    QTest::mouseClick(box->button(QMessageBox::Yes), Qt::LeftButton);
  });
  EXPECT_EQ(CModal::current().standardBox(
                StandardBoxKind::Question, QStringLiteral("Внимание"),
                QStringLiteral("Файл <b>a.txt</b> уже существует. Заменить?"),
                QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel, QMessageBox::No),
            QMessageBox::Yes);

  whenModal<QMessageBox>([](QMessageBox* box) {
    EXPECT_EQ(box->icon(), QMessageBox::Critical);
    QTest::keyClick(box, Qt::Key_Escape);
  });
  EXPECT_EQ(CModal::current().standardBox(StandardBoxKind::Critical, QStringLiteral("Ошибка"),
                                          QStringLiteral("x"),
                                          QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Ok),
            QMessageBox::Cancel);
}

TEST(CModalSeam, StandardBoxAtPutsItsCornerThereAndStaysOnTheScreen) {
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  struct Case {
    QPoint asked;
    bool exact;
  };
  for (const Case c : {Case{screen.topLeft() + QPoint(100, 120), true},
                       Case{screen.bottomRight() - QPoint(5, 5), false}}) {
    QRect shownAt;
    whenModal<QMessageBox>([&shownAt](QMessageBox* box) {
      shownAt = box->frameGeometry();
      EXPECT_EQ(box->icon(), QMessageBox::Information);
      EXPECT_EQ(box->text(), QStringLiteral("Файл сохранён"));
      QTest::mouseClick(box->button(QMessageBox::Ok), Qt::LeftButton);
    });
    EXPECT_EQ(CModal::current().standardBoxAt(
                  c.asked, StandardBoxKind::Information, QStringLiteral("Информация"),
                  QStringLiteral("Файл сохранён"), QMessageBox::Ok, QMessageBox::Ok),
              QMessageBox::Ok);
    if (c.exact) {
      EXPECT_EQ(shownAt.topLeft(), c.asked);
    }
    EXPECT_TRUE(screen.contains(shownAt))
        << shownAt.x() << "," << shownAt.y() << " " << shownAt.width() << "x" << shownAt.height();
  }
}

class FileDialogs : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir.isValid());
    QFile f(dir.filePath(QStringLiteral("a.txt")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
  }
  QTemporaryDir dir;
  const QString filter = QStringLiteral("txt (*.txt)");
};

TEST_F(FileDialogs, SaveOverAnExistingFileAsksNothingOfItsOwn) {
  const QString existing = dir.filePath(QStringLiteral("a.txt"));
  whenModal<QFileDialog>([&](QFileDialog* d) {
    EXPECT_EQ(d->windowTitle(), QStringLiteral("Сохранить таблицу"));
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptSave);
    EXPECT_TRUE(d->testOption(QFileDialog::DontConfirmOverwrite));
    EXPECT_EQ(d->nameFilters(), QStringList{filter});
    EXPECT_EQ(d->defaultSuffix(), QStringLiteral("txt"));
    EXPECT_EQ(QDir(d->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
    static_cast<QDialog*>(d)->accept();
  });
  const QString got = CModal::current().saveFileName(nullptr, QStringLiteral("Сохранить таблицу"),
                                                     existing, filter, QStringLiteral("txt"));
  EXPECT_EQ(QFileInfo(got).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());
}

TEST_F(FileDialogs, SaveAppliesTheDefaultSuffix) {
  whenModal<QFileDialog>([&](QFileDialog* d) { static_cast<QDialog*>(d)->accept(); });
  const QString got = CModal::current().saveFileName(nullptr, QStringLiteral("s"),
                                                     dir.filePath(QStringLiteral("новая")), filter,
                                                     QStringLiteral("txt"));
  EXPECT_EQ(QFileInfo(got).fileName(), QStringLiteral("новая.txt"));
  EXPECT_EQ(QFileInfo(got).absoluteDir().canonicalPath(), QDir(dir.path()).canonicalPath());
}

TEST_F(FileDialogs, OpenReturnsTheChosenFileOrNothingWhenCancelled) {
  const QString existing = dir.filePath(QStringLiteral("a.txt"));
  whenModal<QFileDialog>([&](QFileDialog* d) {
    EXPECT_EQ(d->acceptMode(), QFileDialog::AcceptOpen);
    EXPECT_EQ(d->fileMode(), QFileDialog::ExistingFile);
    static_cast<QDialog*>(d)->accept();
  });
  const QString got = CModal::current().openFileName(nullptr, QStringLiteral("Открыть"), existing,
                                                     filter, QStringLiteral("txt"));
  EXPECT_EQ(QFileInfo(got).canonicalFilePath(), QFileInfo(existing).canonicalFilePath());

  whenModal<QFileDialog>([](QFileDialog* d) { d->reject(); });
  EXPECT_TRUE(
      CModal::current()
          .openFileName(nullptr, QStringLiteral("Открыть"), existing, filter, QStringLiteral("txt"))
          .isEmpty());
}

}  // namespace
