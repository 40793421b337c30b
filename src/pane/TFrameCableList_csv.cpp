// The pane's CSV commands: the table out to a spreadsheet, and a spreadsheet's
// CSV file in as a new table.
#include "pane/TFrameCableList.h"

#include <string>
#include <vector>

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QToolBar>
#include <QToolButton>

#include "csv/CableCsv.h"
#include "csv/CsvFile.h"
#include "dialogs/CModal.h"
#include "dialogs/Hint.h"
#include "dialogs/TForm_MessageBox.h"
#include "pane/CableListModel.h"
#include "pane/IPaneHost.h"
#include "pane/TForm_CsvExport.h"
#include "platform/FileNameBytes.h"

using namespace tolmira;

namespace {

const QChar kQ(34);
const QString kFilter = QStringLiteral("csv (*.csv)");
const QString kSuffix = QStringLiteral("csv");
// Problem lines shown at most in one box; the rest are counted.
constexpr int kShownProblems = 30;

std::string pathText(const QString& path) { return fileNameBytes(path).toStdString(); }

QString problemList(const std::vector<std::string>& problems) {
  QString text;
  const int count = static_cast<int>(problems.size());
  const int shown = count > kShownProblems ? kShownProblems - 1 : count;
  for (int i = 0; i < shown; ++i)
    text += QString::fromStdString(problems[static_cast<std::size_t>(i)]) + QStringLiteral("\r\n");
  if (shown < count) text += QStringLiteral("… и ещё строк: %1\r\n").arg(count - shown);
  return text;
}

}  // namespace

void TFrameCableList::buildCsvCommands() {
  ActionExportCsv = new QAction(QStringLiteral("Экспорт в CSV..."), this);
  setActionHint(ActionExportCsv, QStringLiteral("Экспорт в CSV|Сохранить таблицу как CSV-файл для "
                                                "электронных таблиц"));
  ActionImportCsv = new QAction(QStringLiteral("Импорт из CSV..."), this);
  setActionHint(ActionImportCsv,
                QStringLiteral("Импорт из CSV|Открыть CSV-файл электронной таблицы "
                               "как новую таблицу"));
  connect(ActionExportCsv, &QAction::triggered, this, [this] { ActionExportCsvExecute(); });
  connect(ActionImportCsv, &QAction::triggered, this, [this] { ActionImportCsvExecute(); });

  auto* menu = new QMenu(this);
  menu->setObjectName(QStringLiteral("PopupMenuCsv"));
  menu->addAction(ActionExportCsv);
  menu->addAction(ActionImportCsv);
  ToolButton_Csv = new QToolButton(ToolBar1);
  ToolButton_Csv->setObjectName(QStringLiteral("ToolButton_Csv"));
  ToolButton_Csv->setText(QStringLiteral("CSV"));
  ToolButton_Csv->setToolTip(QStringLiteral("Обмен с электронными таблицами (CSV)"));
  ToolButton_Csv->setToolButtonStyle(Qt::ToolButtonTextOnly);
  ToolButton_Csv->setAutoRaise(true);
  ToolButton_Csv->setPopupMode(QToolButton::InstantPopup);
  ToolButton_Csv->setMenu(menu);
  // Before the close button, which stays last.
  const QList<QAction*> actions = ToolBar1->actions();
  const int close = static_cast<int>(actions.indexOf(ActionFileClose));
  QAction* before = close > 0 ? actions[close - 1] : ActionFileClose;
  ToolBar1->insertSeparator(before);
  ToolBar1->insertWidget(before, ToolButton_Csv);
  ActionExportCsv->setEnabled(false);
  ActionImportCsv->setEnabled(true);
}

void TFrameCableList::ActionExportCsvExecute() {
  if (!tableOpen_) return;
  if (!Form_CsvExport) Form_CsvExport = new TForm_CsvExport(this);
  if (Form_CsvExport->exec() != QDialog::Accepted) return;
  const CsvOptions options = Form_CsvExport->options();

  QString start;
  if (!fileName_.isEmpty()) {
    const QFileInfo info(fileName_);
    start = info.dir().filePath(info.completeBaseName() + QStringLiteral(".csv"));
  }
  const QString path =
      CModal::current().saveFileName(this,
                                     QStringLiteral("Экспорт таблицы ") +
                                         QString::number(paneIndex_ + 1) + QStringLiteral(" в CSV"),
                                     start, kFilter, kSuffix);
  if (path.isEmpty()) return;
  if (QFileInfo::exists(path)) {
    const QMessageBox::StandardButton answer = CModal::current().standardBox(
        StandardBoxKind::Question, QStringLiteral("Подтверждение"),
        QStringLiteral("Файл ") + kQ + path + kQ + QStringLiteral("уже существует. Перезаписать?"),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return;
  }
  if (!writeCsvFile(pathText(path), exportCsv(table_, options))) {
    CModal::current().standardBox(
        StandardBoxKind::Critical, QStringLiteral("Ошибка!"),
        QStringLiteral("Не удалось записать файл ") + kQ + path + kQ + QStringLiteral("."),
        QMessageBox::Ok, QMessageBox::Ok);
  }
}

void TFrameCableList::ActionImportCsvExecute() {
  if (!askSaveChanges(nullptr)) return;
  const QString path = CModal::current().openFileName(this,
                                                      QStringLiteral("Импорт таблицы ") +
                                                          QString::number(paneIndex_ + 1) +
                                                          QStringLiteral(" из CSV"),
                                                      QString(), kFilter, kSuffix);
  if (path.isEmpty()) return;

  std::string bytes;
  if (!readCsvFile(pathText(path), bytes)) {
    CModal::current().standardBox(
        StandardBoxKind::Critical, QStringLiteral("Ошибка загрузки!"),
        QStringLiteral("Не удалось открыть файл ") + kQ + path + kQ + QStringLiteral("."),
        QMessageBox::Ok, QMessageBox::Ok);
    return;
  }
  const CsvImport csv = importCsv(bytes);
  TForm_MessageBox& box = TForm_MessageBox::instance();
  if (!csv.readable) {
    box.Ask(QStringLiteral("Файл ") + kQ + path + kQ + QStringLiteral(" не прочитан: ") +
                QString::fromStdString(csv.error) + QStringLiteral("."),
            QStringLiteral("Ошибка загрузки!"), true, 0);
    return;
  }
  if (csv.rejectedRows > 0) {
    // Like a file with rejected lines: the user decides whether the rest is worth having.
    box.AddButton(QStringLiteral("Импортировать без них"), 3);
    box.AddButton(QStringLiteral("Отмена"), 2);
    box.SetFocusButton(1);
    const QString text = problemList(csv.problems) +
                         QStringLiteral("\r\nНе импортировано строк: %1. Импортировать остальные?")
                             .arg(csv.rejectedRows);
    if (box.Ask(text, QStringLiteral("Импорт из CSV"), false, 0) != 3) return;
  } else if (!csv.problems.empty()) {
    box.Ask(problemList(csv.problems), QStringLiteral("Импорт из CSV"), false, 0);
  }

  // A new table holding the rows: unsaved, with no file and an empty history.
  NewExecute();
  for (const SCable& rec : csv.records) table_.add(rec);
  model_->rebuild(table_.getCount());
  refreshStatus();
  refreshCommands();
  if (host_) host_->RefreshOtherPane(paneIndex_);
}
