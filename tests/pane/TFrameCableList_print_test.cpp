// The pane's table on paper: the PDF the pane writes is read back with
// pdftotext, the way a person would read the printed pages.
#include <string>

#include <QDate>
#include <QDir>
#include <QListView>
#include <QMenu>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "model/Cp1251.h"
#include "pane/PaneTestHost.h"
#include "pane/TablePrintLayout.h"
#include "support/ScriptedModal.h"

using namespace tolmira;

namespace {

QByteArray cp1251(const QString& text) {
  return QByteArray::fromStdString(utf8ToCp1251(text.toStdString()));
}

// 2023 names of all 15 characters, each one different.
QString longName(int i) { return QStringLiteral("Кабель ТПП %1").arg(i, 4, 10, QLatin1Char('0')); }

class PanePrintTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    ASSERT_TRUE(dir.isValid());
    host.window.show();
  }

  QString path(const QString& name) const { return dir.filePath(name); }

  void openTable(const QByteArray& lines, const QString& name = QStringLiteral("cables.txt")) {
    writeBytes(path(name), v04File(lines));
    ASSERT_TRUE(pane.openFile(path(name)));
  }

  // The PDF's text, pages ended by form feeds; empty when pdftotext is missing.
  static QString pdfText(const QString& pdf) {
    QProcess run;
    run.start(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    if (!run.waitForFinished(60000) || run.exitCode() != 0) return {};
    return QString::fromUtf8(run.readAllStandardOutput());
  }
  static bool havePdftotext() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
  }

  QTemporaryDir dir;
  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& pane = host.pane(0);
  const QString today = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy"));
};

}  // namespace

TEST_F(PanePrintTest, ASmallTableIsOnePageWithEveryColumnInWords) {
  if (!havePdftotext()) GTEST_SKIP() << "pdftotext is missing (apt-get install poppler-utils)";
  openTable(
      cp1251(QStringLiteral("КСПВ 1х2х0,5\t1.5\tCu\t87.4\t1.0200\r\n"
                            "Только TDR\t1.6\r\n"
                            "Без методов\t0\r\n"
                            "ШШШШШШШШШШШШШШШ\t7\r\n")));
  const QString pdf = path(QStringLiteral("out.pdf"));
  modal.answerSaveFile(pdf);
  pane.FileSavePdf->trigger();
  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(ScriptedModal::Kind::SaveFile, modal.last().kind);
  EXPECT_EQ(QStringLiteral("Сохранить таблицу 1 как PDF"), modal.last().title);
  EXPECT_EQ(path(QStringLiteral("cables.pdf")), modal.last().fileName);

  const QString text = pdfText(pdf);
  ASSERT_FALSE(text.isEmpty());
  EXPECT_EQ(1, text.count(QLatin1Char('\f')));
  for (const char* part :
       {"Таблица кабелей: cables.txt", "стр. 1 из 1", "Название", "КУ", "V, м/мкс", "VOP",
        "Материал", "R, Ом/км", "S, мм²", "К укрутки", "Методы"})
    EXPECT_TRUE(text.contains(QString::fromUtf8(part))) << part;
  EXPECT_TRUE(text.contains(today));
  EXPECT_TRUE(text.contains(path(QStringLiteral("cables.txt"))));
  // One line per record: the number, the name, the editor's texts, the methods.
  const QStringList lines = text.split(QLatin1Char('\n'));
  auto lineOf = [&lines](const QString& name) {
    for (const QString& l : lines)
      if (l.contains(name)) return l.simplified();
    return QString();
  };
  EXPECT_EQ(QStringLiteral("1 КСПВ 1х2х0,5 1.500 200.0 0.6667 Cu 87.40 0.204 1.0200 TDR и DC"),
            lineOf(QStringLiteral("КСПВ")));
  EXPECT_EQ(QStringLiteral("2 Только TDR 1.600 187.5 0.6250 — — — — TDR"),
            lineOf(QStringLiteral("Только TDR")));
  EXPECT_EQ(QStringLiteral("3 Без методов — — — — — — — нет"),
            lineOf(QStringLiteral("Без методов")));
  // The widest name the record holds, whole.
  EXPECT_EQ(QStringLiteral("4 ШШШШШШШШШШШШШШШ 7.000 42.86 0.1429 — — — — TDR"),
            lineOf(QStringLiteral("ШШШ")));
}

TEST_F(PanePrintTest, AFullTableHasEveryNameAndTheHeaderOnEveryPage) {
  if (!havePdftotext()) GTEST_SKIP() << "pdftotext is missing (apt-get install poppler-utils)";
  QByteArray lines;
  for (int i = 0; i < SListCablesBase::kMaxCount; ++i)
    lines += cp1251(longName(i)) + "\t1.5\tCu\t87.4\t1.0200\r\n";
  openTable(lines);
  ASSERT_EQ(SListCablesBase::kMaxCount, pane.table().getCount());
  const QString pdf = path(QStringLiteral("full.pdf"));
  modal.answerSaveFile(pdf);
  pane.FileSavePdfExecute();

  const QString text = pdfText(pdf);
  const QStringList pages = text.split(QLatin1Char('\f'), Qt::SkipEmptyParts);
  const int count = static_cast<int>(pages.size());
  // 2023 rows of about 5 mm on A4 take tens of pages, not one and not hundreds.
  EXPECT_GT(count, 20);
  EXPECT_LT(count, 60);
  EXPECT_EQ(count, text.count(QLatin1Char('\f')));
  int names = 0;
  for (int p = 0; p < count; ++p) {
    SCOPED_TRACE(p + 1);
    const QString& page = pages[p];
    EXPECT_TRUE(page.contains(QStringLiteral("стр. %1 из %2").arg(p + 1).arg(count)));
    EXPECT_TRUE(page.contains(QStringLiteral("Таблица кабелей: cables.txt")));
    EXPECT_TRUE(page.contains(QStringLiteral("Название")));
    EXPECT_TRUE(page.contains(today));
    names += static_cast<int>(page.count(QStringLiteral("Кабель ТПП ")));
  }
  EXPECT_EQ(SListCablesBase::kMaxCount, names);
  // Whole names, in order: none cut, none lost between pages.
  int from = 0;
  for (int i = 0; i < SListCablesBase::kMaxCount; ++i) {
    const int at = static_cast<int>(text.indexOf(longName(i), from));
    ASSERT_GE(at, 0) << longName(i).toStdString();
    from = at;
  }
}

TEST_F(PanePrintTest, PrintingGoesThroughThePrintDialog) {
  if (!havePdftotext()) GTEST_SKIP() << "pdftotext is missing (apt-get install poppler-utils)";
  EXPECT_FALSE(pane.FilePrint->isEnabled());
  EXPECT_FALSE(pane.FileSavePdf->isEnabled());
  pane.NewExecute();
  EXPECT_TRUE(pane.FilePrint->isEnabled());
  EXPECT_TRUE(pane.PopupMenuList->actions().contains(pane.FilePrint));
  EXPECT_TRUE(pane.PopupMenuList->actions().contains(pane.FileSavePdf));
  openTable("A\t1.5\r\nB\t1.6\r\n", QStringLiteral("two.txt"));

  modal.answerPrint(QString());  // cancelled: nothing printed
  pane.FilePrint->trigger();
  ASSERT_EQ(1u, modal.asked().size());
  EXPECT_EQ(ScriptedModal::Kind::Print, modal.last().kind);
  EXPECT_EQ(QStringLiteral("Таблица 1 — two.txt"), modal.last().title);

  const QString pdf = path(QStringLiteral("printed.pdf"));
  modal.answerPrint(pdf);
  pane.FilePrintExecute();
  const QString text = pdfText(pdf);
  EXPECT_EQ(1, text.count(QLatin1Char('\f')));
  EXPECT_TRUE(text.contains(QStringLiteral("стр. 1 из 1")));
  EXPECT_TRUE(text.contains(QStringLiteral("Таблица кабелей: two.txt")));
  EXPECT_TRUE(QRegularExpression(QStringLiteral("\\n\\s*2\\s+B\\s")).match(text).hasMatch());
}

TEST_F(PanePrintTest, APdfThatCannotBeWrittenIsReported) {
  openTable("A\t1.5\r\n");
  const QString pdf = path(QStringLiteral("missing/out.pdf"));
  modal.answerSaveFile(pdf).answerStandardBox(QMessageBox::Ok);
  pane.FileSavePdfExecute();
  ASSERT_EQ(2u, modal.asked().size());
  EXPECT_EQ(StandardBoxKind::Critical, modal.last().standardKind);
  EXPECT_EQ(QStringLiteral("Не удалось записать файл \"") + pdf + QStringLiteral("\"."),
            modal.last().text);

  modal.clearAsked();
  modal.answerSaveFile(QString());  // cancelled
  pane.FileSavePdfExecute();
  EXPECT_EQ(1u, modal.asked().size());
}

TEST(TablePrintLayout, MethodsAreWords) {
  EXPECT_EQ(QStringLiteral("нет"), TablePrintLayout::methodsText(0));
  EXPECT_EQ(QStringLiteral("TDR"), TablePrintLayout::methodsText(1));
  EXPECT_EQ(QStringLiteral("DC"), TablePrintLayout::methodsText(2));
  EXPECT_EQ(QStringLiteral("TDR и DC"), TablePrintLayout::methodsText(3));
}
