// The pane's record commands that go through the cable editor: add, edit, view.
#include "pane/TFrameCableList.h"

#include <algorithm>
#include <memory>
#include <string>

#include <QAction>
#include <QListView>
#include <QString>

#include "dialogs/CModal.h"
#include "editor/TForm_EditCable.h"
#include "history/ActionComposer.h"
#include "history/SListCables_Action.h"
#include "model/Cp1251.h"
#include "pane/CableListModel.h"
#include "pane/IPaneHost.h"

using namespace tolmira;

namespace {
void tell(const QString& text) {
  CModal::current().standardBox(StandardBoxKind::Information, QStringLiteral("Сообщение"), text,
                                QMessageBox::Ok, QMessageBox::Ok);
}

QString tableFullText(int maxCount) {
  return QStringLiteral("В таблице уже %1 записи — это предел. Новую запись добавить нельзя.")
      .arg(maxCount);
}
}  // namespace

void TFrameCableList::ActionAddNewExecute() {
  TForm_EditCable* editor = TForm_EditCable::instance();
  if (!tableOpen_ || !editor) return;
  // A full table would refuse the record after the user filled it in.
  if (table_.getCount() >= table_.maxCount()) {
    tell(tableFullText(table_.maxCount()));
    refreshCommands();
    return;
  }
  const int current = currentRow();
  const int count = table_.getCount();
  const int index = std::clamp(current < 0 ? count : current + 1, 0, count);

  SCable rec;
  SCable::sanitizeName(rec.name, utf8ToCp1251("Кабель").c_str());
  if (!table_.makeUniqueName(rec)) {
    tell(QStringLiteral("Не осталось свободных имён в рамках шаблона"));
    return;
  }
  if (!editor->ExecuteNew(rec, &table_, -1)) return;

  std::unique_ptr<SListCables_Action> action = addRecord(table_, index, rec);
  if (action->isEmpty()) {
    tell(tableFullText(table_.maxCount()));
    refreshCommands();
    return;
  }
  model_->insertRowAt(index);
  std::vector<bool> sel(static_cast<std::size_t>(table_.getCount()), false);
  sel[static_cast<std::size_t>(index)] = true;
  setSelection(sel);
  setCurrentRow(index);
  recordAction(action);
  refreshStatus();
  if (host_) host_->RefreshOtherPane(paneIndex_);
  refreshCommands();
}

void TFrameCableList::ActionEditCableExecute() {
  TForm_EditCable* editor = TForm_EditCable::instance();
  const int index = currentRow();
  SCable rec;
  if (editor && table_.get(rec, index) && editor->ExecuteEdit(rec, &table_, index)) {
    std::unique_ptr<SListCables_Action> action = editRecord(table_, index, rec);
    model_->textsChanged();
    recordAction(action);
    refreshStatus();
    std::vector<bool> sel = selection();
    if (index < static_cast<int>(sel.size())) sel[static_cast<std::size_t>(index)] = true;
    setSelection(sel);
    if (host_) host_->RefreshOtherPane(paneIndex_);
  }
  refreshCommands();
}

void TFrameCableList::ActionViewExecute() {
  TForm_EditCable* editor = TForm_EditCable::instance();
  const int index = currentRow();
  SCable rec;
  if (editor && table_.get(rec, index)) editor->ExecuteView(rec, &table_, index);
}
