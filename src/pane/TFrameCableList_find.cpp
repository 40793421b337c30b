// The pane's find field: typing narrows the list to the records whose names
// contain the text. The model keeps one row per record and the view hides the
// others, so every row index stays the table's own index.
#include "pane/TFrameCableList.h"

#include <algorithm>
#include <functional>
#include <string>

#include <QAction>
#include <QEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QVBoxLayout>

#include "model/NameFilter.h"
#include "pane/CableListModel.h"
#include "platform/QtCp1251.h"

using namespace tolmira;

namespace {

// Key presses of one widget, offered to a handler first.
class KeyHook : public QObject {
 public:
  KeyHook(QObject* parent, std::function<bool(QKeyEvent*)> handler)
      : QObject(parent), handler_(std::move(handler)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    if (event->type() == QEvent::KeyPress && handler_(static_cast<QKeyEvent*>(event))) return true;
    return QObject::eventFilter(watched, event);
  }

 private:
  std::function<bool(QKeyEvent*)> handler_;
};

}  // namespace

void TFrameCableList::buildFind(QVBoxLayout* layout) {
  PanelFind = new QWidget(this);
  PanelFind->setObjectName(QStringLiteral("PanelFind"));
  auto* row = new QHBoxLayout(PanelFind);
  row->setContentsMargins(2, 1, 2, 1);
  row->setSpacing(4);
  EditFind = new QLineEdit(PanelFind);
  EditFind->setObjectName(QStringLiteral("EditFind"));
  EditFind->setPlaceholderText(QStringLiteral("Найти (Ctrl+F)"));
  EditFind->setToolTip(
      QStringLiteral("Показать только записи, в названии которых есть этот текст"));
  EditFind->setClearButtonEnabled(true);
  // A table file dropped onto the field opens in the pane, as anywhere else on it,
  // rather than becoming the text to find.
  EditFind->setAcceptDrops(false);
  // Narrow enough for the pane's smallest width together with the count.
  EditFind->setMinimumWidth(60);
  row->addWidget(EditFind, 1);
  LabelFindCount = new QLabel(PanelFind);
  LabelFindCount->setObjectName(QStringLiteral("LabelFindCount"));
  LabelFindCount->setVisible(false);
  row->addWidget(LabelFindCount, 0);
  layout->insertWidget(layout->indexOf(ListBox), PanelFind);
  PanelFind->setVisible(false);

  EditFind->installEventFilter(new KeyHook(EditFind, [this](QKeyEvent* key) {
    if (key->key() == Qt::Key_Escape && !EditFind->text().isEmpty()) {
      EditFind->clear();
      return true;
    }
    // Down or Enter go on to the list, onto a row the find left visible.
    if (key->key() == Qt::Key_Down || key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
      if (currentRow() < 0) {
        for (int r = 0; r < model_->rowCount(); ++r) {
          if (rowHiddenByFind(r)) continue;
          ListBox->selectionModel()->setCurrentIndex(model_->index(r),
                                                     QItemSelectionModel::ClearAndSelect);
          break;
        }
      }
      ListBox->setFocus(Qt::OtherFocusReason);
      return true;
    }
    return false;
  }));

  connect(EditFind, &QLineEdit::textChanged, this, [this] {
    applyFind();
    refreshCommands();
  });
  // Every change of the rows (add, delete, undo, redo, load, new, close) takes the
  // filter again. The view forgets its hidden rows on a reset, so this must run after it.
  connect(model_, &QAbstractItemModel::modelReset, this, [this] { applyFind(); });
  connect(model_, &QAbstractItemModel::dataChanged, this, [this] { applyFind(); });
  connect(model_, &QAbstractItemModel::rowsInserted, this,
          [this](const QModelIndex&, int first, int last) { findRowsInserted(first, last); });
  connect(model_, &QAbstractItemModel::rowsRemoved, this,
          [this](const QModelIndex&, int first, int last) { findRowsRemoved(first, last); });
}

void TFrameCableList::applyFind() {
  const int rows = std::min(model_->rowCount(), table_.getCount());
  const NameFilter filter(cp1251FromQString(EditFind->text()));
  if (filter.empty()) {
    if (!findHidden_.empty()) {
      findHidden_.clear();
      for (int r = 0; r < model_->rowCount(); ++r)
        if (ListBox->isRowHidden(r)) ListBox->setRowHidden(r, false);
    }
    findShown_ = rows;
    LabelFindCount->setVisible(false);
    return;
  }

  findHidden_.assign(static_cast<std::size_t>(rows), false);
  for (int r = 0; r < rows; ++r) {
    const bool hide = !filter.matches(table_.at(r).name, SCable::kNameSize);
    findHidden_[static_cast<std::size_t>(r)] = hide;
    if (ListBox->isRowHidden(r) != hide) ListBox->setRowHidden(r, hide);
  }
  finishFind();
}

void TFrameCableList::findRowsInserted(int first, int last) {
  if (!findActive()) return;
  const int count = last - first + 1;
  // The view's hidden rows moved with the rows; so do these. Anything else is
  // taken whole.
  if (first < 0 || count <= 0 || static_cast<std::size_t>(first) > findHidden_.size() ||
      static_cast<int>(findHidden_.size()) + count != model_->rowCount() ||
      model_->rowCount() != table_.getCount()) {
    applyFind();
    return;
  }
  const NameFilter filter(cp1251FromQString(EditFind->text()));
  findHidden_.insert(findHidden_.begin() + first, static_cast<std::size_t>(count), false);
  for (int r = first; r <= last; ++r) {
    const bool hide = !filter.matches(table_.at(r).name, SCable::kNameSize);
    findHidden_[static_cast<std::size_t>(r)] = hide;
    if (hide) ListBox->setRowHidden(r, true);
  }
  finishFind();
}

void TFrameCableList::findRowsRemoved(int first, int last) {
  if (!findActive()) return;
  const int count = last - first + 1;
  if (first < 0 || count <= 0 || static_cast<std::size_t>(last) >= findHidden_.size() ||
      static_cast<int>(findHidden_.size()) - count != model_->rowCount()) {
    applyFind();
    return;
  }
  findHidden_.erase(findHidden_.begin() + first, findHidden_.begin() + last + 1);
  finishFind();
}

void TFrameCableList::finishFind() {
  const int rows = static_cast<int>(findHidden_.size());
  findShown_ = static_cast<int>(std::count(findHidden_.begin(), findHidden_.end(), false));
  // The focus frame never stays on a hidden row: the commands that work on the
  // current row (edit, view, add after it) must see a row the user can see.
  const QModelIndex current = ListBox->selectionModel()->currentIndex();
  if (current.isValid() && rowHiddenByFind(current.row())) {
    // Between the runs of a delete the table is ahead of the rows: no longer than both.
    const std::vector<bool> sel = selection();
    int target = -1;
    for (std::size_t r = 0; r < sel.size() && target < 0; ++r)
      if (sel[r]) target = static_cast<int>(r);
    for (int r = 0; r < rows && target < 0; ++r)
      if (!findHidden_[static_cast<std::size_t>(r)]) target = r;
    ListBox->selectionModel()->setCurrentIndex(target >= 0 ? model_->index(target) : QModelIndex(),
                                               QItemSelectionModel::NoUpdate);
  }

  LabelFindCount->setText(QStringLiteral("%1 из %2").arg(findShown_).arg(table_.getCount()));
  LabelFindCount->setToolTip(
      QStringLiteral("Показано записей: %1 из %2").arg(findShown_).arg(table_.getCount()));
  LabelFindCount->setVisible(true);
}

bool TFrameCableList::findActive() const { return EditFind && !EditFind->text().isEmpty(); }

int TFrameCableList::shownCount() const {
  return findActive() ? findShown_ : std::min(model_->rowCount(), table_.getCount());
}

bool TFrameCableList::rowHiddenByFind(int row) const {
  return row >= 0 && static_cast<std::size_t>(row) < findHidden_.size() &&
         findHidden_[static_cast<std::size_t>(row)];
}

void TFrameCableList::maskFindHidden(std::vector<bool>& sel) const {
  if (findHidden_.empty()) return;
  const std::size_t n = std::min(sel.size(), findHidden_.size());
  for (std::size_t i = 0; i < n; ++i)
    if (findHidden_[i]) sel[i] = false;
}

void TFrameCableList::disableMovesWhileFiltered() {
  if (!findActive()) return;
  ActionMoveUp->setEnabled(false);
  ActionMoveDown->setEnabled(false);
}

void TFrameCableList::focusFind() {
  if (!tableOpen_ || PanelFind->isHidden()) return;
  EditFind->setFocus(Qt::ShortcutFocusReason);
  EditFind->selectAll();
}
