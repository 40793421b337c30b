// The pane's table on paper: printing and saving as PDF.
#include "pane/TFrameCableList.h"

#include <QAction>
#include <QDate>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QPageLayout>
#include <QPageSize>
#include <QPdfWriter>
#include <QPrinter>

#include "dialogs/CModal.h"
#include "dialogs/Hint.h"
#include "pane/TablePrintLayout.h"

using namespace tolmira;

namespace {

const QChar kQ(34);

// A4 portrait with 12 mm margins: room for the table's columns at 9 points.
QPageLayout pageLayout() {
  return QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(12, 12, 12, 12),
                     QPageLayout::Millimeter);
}

}  // namespace

void TFrameCableList::buildPrintActions() {
  FilePrint = new QAction(QStringLiteral("Печать…"), this);
  setActionHint(FilePrint, QStringLiteral("Печать…|Напечатать таблицу"));
  FilePrint->setShortcut(QKeySequence::Print);
  // The shortcut prints the pane that holds the focus.
  FilePrint->setShortcutContext(Qt::WidgetWithChildrenShortcut);
  addAction(FilePrint);
  FileSavePdf = new QAction(QStringLiteral("Сохранить как PDF…"), this);
  setActionHint(FileSavePdf,
                QStringLiteral("Сохранить как PDF…|Сохранить таблицу для печати в файл PDF"));
  connect(FilePrint, &QAction::triggered, this, [this] { FilePrintExecute(); });
  connect(FileSavePdf, &QAction::triggered, this, [this] { FileSavePdfExecute(); });
  PopupMenuList->addSeparator();
  PopupMenuList->addAction(FilePrint);
  PopupMenuList->addAction(FileSavePdf);
}

QString TFrameCableList::printTitle() const {
  const QString table = QStringLiteral("Таблица ") + QString::number(paneIndex_ + 1);
  return fileName_.isEmpty() ? table
                             : table + QStringLiteral(" — ") + QFileInfo(fileName_).fileName();
}

void TFrameCableList::FilePrintExecute() {
  if (!tableOpen_) return;
  QPrinter printer(QPrinter::HighResolution);
  printer.setDocName(printTitle());
  printer.setPageLayout(pageLayout());
  if (!CModal::current().printDialog(this, printer)) return;
  TablePrintLayout layout(table_, fileName_, QDate::currentDate());
  if (!layout.paint(printer, printer.fromPage(), printer.toPage()))
    CModal::current().standardBox(StandardBoxKind::Critical, QStringLiteral("Ошибка!"),
                                  QStringLiteral("Не удалось напечатать таблицу."), QMessageBox::Ok,
                                  QMessageBox::Ok);
}

void TFrameCableList::FileSavePdfExecute() {
  if (!tableOpen_) return;
  // Beside the table's file, with its name; a table without one is named after its pane.
  QString start;
  if (!fileName_.isEmpty()) {
    const QFileInfo file(fileName_);
    start = file.dir().filePath(file.completeBaseName() + QStringLiteral(".pdf"));
  } else {
    start = QStringLiteral("Таблица ") + QString::number(paneIndex_ + 1) + QStringLiteral(".pdf");
  }
  const QString path = CModal::current().saveFileName(
      this,
      QStringLiteral("Сохранить таблицу ") + QString::number(paneIndex_ + 1) +
          QStringLiteral(" как PDF"),
      start, QStringLiteral("PDF (*.pdf)"), QStringLiteral("pdf"));
  if (path.isEmpty()) return;
  bool written = false;
  {
    QPdfWriter pdf(path);
    pdf.setTitle(printTitle());
    pdf.setCreator(QStringLiteral("Tolmira"));
    pdf.setResolution(600);
    pdf.setPageLayout(pageLayout());
    TablePrintLayout layout(table_, fileName_, QDate::currentDate());
    written = layout.paint(pdf);
  }
  if (!written)
    CModal::current().standardBox(
        StandardBoxKind::Critical, QStringLiteral("Ошибка!"),
        QStringLiteral("Не удалось записать файл ") + kQ + path + kQ + QStringLiteral("."),
        QMessageBox::Ok, QMessageBox::Ok);
}
