#include "dialogs/TForm_Help.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QTest>
#include <QTextEdit>

#include <gtest/gtest.h>

void PrintTo(const QString& s, std::ostream* os) { *os << '"' << s.toStdString() << '"'; }

namespace {

class HelpTest : public testing::Test {
 protected:
  void writeHelp(const QByteArray& content) {
    QFile f(dir.filePath(QStringLiteral("help.rtf")));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    ASSERT_EQ(f.write(content), content.size());
  }
  QString builtIn() const { return TForm_Help::builtInLines().join(QLatin1Char('\n')); }

  QTemporaryDir dir;
};

TEST_F(HelpTest, BuiltInTextWithoutFile) {
  TForm_Help form(dir.path());
  EXPECT_FALSE(form.loadedFromFile());
  const QStringList lines = form.RichEdit1->toPlainText().split(QLatin1Char('\n'));
  ASSERT_EQ(lines.size(), 17);
  EXPECT_EQ(lines[0], QStringLiteral(
                          "Программа позволяет работать с таблицами кабелей для прибора ВИРД-50."));
  EXPECT_TRUE(lines[2].isEmpty());
  EXPECT_EQ(lines[15], QStringLiteral("Для записи таблицы кабелей в прибор ВИРД-50 сохраните её в "
                                      "файл \"CABLES.TXT\" в корень диска прибора."));
  EXPECT_EQ(lines[16], QStringLiteral("Также имеется соответствующая кнопка на панели "
                                      "инструментов каждой таблицы."));
}

TEST_F(HelpTest, FileReplacesBuiltInText) {
  writeHelp(
      "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Tahoma;}}\\f0 \\'d1\\'ef\\'f0\\'e0\\'e2"
      "\\'ea\\'e0\\par {\\b F3}\\tab \\u1087?\\par }");
  TForm_Help form(dir.path());
  EXPECT_TRUE(form.loadedFromFile());
  EXPECT_EQ(form.RichEdit1->toPlainText(), QStringLiteral("Справка\nF3\tп"));
}

// The lines of a hidden command's topic are left out; the rest stays as it was.
TEST_F(HelpTest, LinesOfHiddenTopicsAreLeftOut) {
  writeHelp(
      "{\\rtf1\\ansi\\ansicpg1251{\\fonttbl{\\f0 Tahoma;}}\\f0\n"
      "\\pard Open\\par\n"
      "{\\*\\tlmtopic copy}\\pard Copy F5\\par\n"
      "{\\*\\tlmtopic device}\\pard Device\\par\n"
      "\\pard Keys\\par\n"
      "}");
  const struct {
    QStringList hidden;
    QString text;
  } cases[] = {
      {{}, QStringLiteral("Open\nCopy F5\nDevice\nKeys")},
      {{QStringLiteral("copy")}, QStringLiteral("Open\nDevice\nKeys")},
      {{QStringLiteral("copy"), QStringLiteral("device")}, QStringLiteral("Open\nKeys")},
      {{QStringLiteral("cop")}, QStringLiteral("Open\nCopy F5\nDevice\nKeys")},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.hidden.join(QLatin1Char(',')).toStdString());
    TForm_Help form(dir.path(), nullptr, c.hidden);
    EXPECT_TRUE(form.loadedFromFile());
    EXPECT_EQ(form.RichEdit1->toPlainText(), c.text);
  }
}

TEST_F(HelpTest, BrokenFileShowsWhatCouldBeRead) {
  writeHelp("{\\rtf1\\ansi \\'cf\\'f0\\'e8\\par \\'e2\\'e5\\'f2\\'e");
  TForm_Help form(dir.path());
  EXPECT_TRUE(form.loadedFromFile());
  EXPECT_EQ(form.RichEdit1->toPlainText(), QStringLiteral("При\nвет"));
}

TEST_F(HelpTest, DirectoryNamedLikeTheFileIsNoFile) {
  ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("help.rtf")));
  TForm_Help form(dir.path());
  EXPECT_FALSE(form.loadedFromFile());
  EXPECT_EQ(form.RichEdit1->toPlainText(), builtIn());
}

TEST_F(HelpTest, WindowShape) {
  TForm_Help form(dir.path());
  EXPECT_EQ(form.windowTitle(), QStringLiteral("Справка"));
  EXPECT_TRUE(form.windowFlags() & Qt::WindowMaximizeButtonHint);
  EXPECT_FALSE(form.windowFlags() & Qt::WindowMinimizeButtonHint);
  EXPECT_TRUE(form.RichEdit1->isReadOnly());
  EXPECT_EQ(form.RichEdit1->lineWrapMode(), QTextEdit::NoWrap);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.size(), QSize(644, 331));
  // Resizable; the bottom panel keeps its height and its button stays at the right edge.
  form.resize(900, 500);
  EXPECT_TRUE(
      QTest::qWaitFor([&] { return form.Panel1->geometry().bottom() == form.height() - 1; }, 1000));
  EXPECT_EQ(form.size(), QSize(900, 500));
  EXPECT_EQ(form.Panel1->height(), 38);
  EXPECT_EQ(form.Panel1->geometry().bottom(), form.height() - 1);
  EXPECT_EQ(form.ButtonOk->size(), QSize(75, 25));
  EXPECT_GE(form.ButtonOk->x(), form.Panel1->width() - 75 - 12);
  EXPECT_EQ(form.RichEdit1->geometry().bottom() + 1, form.Panel1->y());
}

TEST_F(HelpTest, ClosingResults) {
  TForm_Help form(dir.path());
  form.show();
  QTest::mouseClick(form.ButtonOk, Qt::LeftButton);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), 1);
  form.show();
  QTest::keyClick(form.RichEdit1, Qt::Key_Escape);
  EXPECT_FALSE(form.isVisible());
  EXPECT_EQ(form.result(), 2);
}

TEST(Help, ShippedHelpFileIsShownWhole) {
  const QString appDir =
      QFileInfo(QStringLiteral(__FILE__)).absoluteDir().filePath(QStringLiteral("../../src/app"));
  TForm_Help form(appDir);
  ASSERT_TRUE(form.loadedFromFile());
  const QString text = form.RichEdit1->toPlainText();
  EXPECT_TRUE(text.startsWith(QStringLiteral("Редактор кабелей для ВИРД-50\n")));
  EXPECT_TRUE(text.endsWith(QStringLiteral("выход из программы.")));
  EXPECT_FALSE(text.contains(QStringLiteral("разрелено")));  // none of the built-in text
  // Shown from its start, not scrolled to where the reading ended.
  EXPECT_EQ(form.RichEdit1->textCursor().position(), 0);
  form.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
  EXPECT_EQ(form.RichEdit1->verticalScrollBar()->value(), 0);
}

}  // namespace
