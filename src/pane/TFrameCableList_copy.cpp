// Copying the selected records of one pane to the end of the other pane's table.
#include "pane/TFrameCableList.h"

#include <memory>
#include <vector>

#include <QListView>
#include <QString>

#include "dialogs/CModal.h"
#include "dialogs/TForm_MessageBox.h"
#include "editor/TForm_EditCable.h"
#include "history/SListCables_Action.h"
#include "history/SListCables_ActionPrimitives.h"
#include "pane/CableListModel.h"
#include "pane/IPaneHost.h"
#include "settings/CProgramSettings.h"

namespace {

enum class NameOutcome { Add, Skip, Abort };

// What one copy remembers from record to record.
struct CopyRun {
  bool several = false;  // more than one row selected: the buttons "for all" are offered
  bool ignoreAll = false;
  bool skipAll = false;
};

const QString kOk = QStringLiteral("Хорошо");
const QString kIgnore = QStringLiteral("Игнорировать");
const QString kIgnoreAll = QStringLiteral("Игнорировать для всех");
const QString kIgnoreForGood = QStringLiteral("Игнорировать и больше не спрашивать");
const QString kSkip = QStringLiteral("Пропустить");
const QString kSkipAll = QStringLiteral("Пропустить все");
const QString kAbort = QStringLiteral("Прервать");

std::vector<int> selectedRows(const std::vector<bool>& sel) {
  std::vector<int> rows;
  for (std::size_t i = 0; i < sel.size(); ++i)
    if (sel[i]) rows.push_back(static_cast<int>(i));
  return rows;
}

bool nameFree(const SListCables& table, const SCable& rec) {
  return table.indexOfName(rec.name, 0, -1) < 0;
}

// The caption of the button the user pressed; Escape and the close button count
// as "Хорошо". The answer is read by caption because the buttons for all records
// are not always there, which moves the results of the buttons after them.
QString askAboutUsedName(bool several) {
  std::vector<QString> captions{kOk, kIgnore};
  if (several) captions.push_back(kIgnoreAll);
  captions.push_back(kIgnoreForGood);
  captions.push_back(kSkip);
  if (several) captions.push_back(kSkipAll);
  captions.push_back(kAbort);

  TForm_MessageBox& box = TForm_MessageBox::instance();
  for (const QString& caption : captions) {
    if (caption == kIgnoreForGood)
      box.AddButton(caption, QStringLiteral("Изменяет соответсвующую настройку программы"));
    else
      box.AddButton(caption);
  }
  const int result =
      box.Ask(QStringLiteral("Запись с таким именем в таблице уже есть.\nВведите другое имя."),
              QStringLiteral("Внимание"), true, 2);
  const int index = result - 3;  // AddButton without a result numbers them from 3
  if (index < 0 || index >= static_cast<int>(captions.size())) return kOk;
  return captions[static_cast<std::size_t>(index)];
}

// The user renames rec in the editor until its name is free in destination, or
// decides to copy it anyway, skip it or stop the copy.
NameOutcome resolveName(SCable& rec, const SListCables& destination, CopyRun& run) {
  bool free = nameFree(destination, rec);
  for (;;) {
    if (free) return NameOutcome::Add;
    if (run.skipAll) return NameOutcome::Skip;
    TForm_EditCable* editor = TForm_EditCable::instance();
    if (!editor || !editor->ExecuteName(rec, &destination, -1)) return NameOutcome::Skip;
    free = nameFree(destination, rec);
    if (free) return NameOutcome::Add;

    const QString pressed = askAboutUsedName(run.several);
    if (pressed == kIgnore) return NameOutcome::Add;
    if (pressed == kIgnoreAll) {
      run.ignoreAll = true;
      return NameOutcome::Add;
    }
    if (pressed == kIgnoreForGood) {
      programSettings().SetAllowSameNames(true);
      return NameOutcome::Add;
    }
    if (pressed == kSkip) return NameOutcome::Skip;
    if (pressed == kSkipAll) {
      run.skipAll = true;
      return NameOutcome::Skip;
    }
    if (pressed == kAbort) return NameOutcome::Abort;
    // "Хорошо", Escape: the editor again.
  }
}

}  // namespace

void TFrameCableList::copySelectedTo(TFrameCableList& destination) {
  if (&destination == this || !tableOpen_) return;
  if (!destination.tableOpen_) destination.NewExecute();
  SListCables& target = destination.table_;

  auto action = std::make_unique<SListCables_Action>();
  const std::vector<int> rows = selectedRows(selection());
  CopyRun run;
  run.several = rows.size() > 1;
  bool full = false;

  for (int row : rows) {
    SCable rec;
    if (!table_.get(rec, row)) break;
    if (target.indexOfEqual(rec) >= 0) continue;  // already there, unchanged
    // Asking for a new name of a record the table cannot take would be for nothing.
    if (target.getCount() >= target.maxCount()) {
      full = true;
      break;
    }
    if (!programSettings().AllowSameNames && !run.ignoreAll) {
      // The rows copied so far show their marks while the user is asked.
      repaintList();
      const NameOutcome outcome = resolveName(rec, target, run);
      if (outcome == NameOutcome::Skip) continue;
      if (outcome == NameOutcome::Abort) break;
    }
    // Not through appendRecord: it refreshes this pane after every record, which
    // makes a copy of a whole table cost the cube of its size. This pane is
    // refreshed once below.
    if (!target.add(rec)) {
      full = true;
      break;
    }
    destination.model_->appendRow();
    action->append(std::make_unique<SListCables_Action_Add>(target.getCount() - 1, rec));
  }

  const int copied = action->size();
  destination.recordAction(action);
  if (copied > 0 && destination.host_) destination.host_->RefreshOtherPane(destination.paneIndex_);
  destination.refreshCommands();
  refreshCommands();
  destination.refreshUndoRedo();
  destination.refreshStatus();

  if (full) {
    CModal::current().standardBox(
        StandardBoxKind::Warning, QStringLiteral("Внимание"),
        QStringLiteral("Таблица %1 заполнена: в ней %2 записи, больше не помещается.\n"
                       "Скопировано записей: %3, остальные выделенные записи не скопированы.")
            .arg(destination.paneIndex_ + 1)
            .arg(target.maxCount())
            .arg(copied),
        QMessageBox::Ok, QMessageBox::Ok);
  }
}
