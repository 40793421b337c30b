#include "history/List_UndoRedo.h"

#include <cstddef>

List_UndoRedo::~List_UndoRedo() { clear(); }

void List_UndoRedo::dropFrom(int index) {
  while (count() > index) actions.pop_back();
}

void List_UndoRedo::push(std::unique_ptr<SListCables_Action>& action) {
  if (!action) return;
  if (action->isEmpty()) {
    action.reset();
    return;
  }
  dropFrom(position_);
  actions.push_back(std::move(action));
  action.reset();
  ++position_;
}

bool List_UndoRedo::canUndo() const { return position_ > 0 && position_ <= count(); }

bool List_UndoRedo::canRedo() const { return position_ >= 0 && position_ < count(); }

bool List_UndoRedo::undo(SListCables& table) {
  if (!canUndo()) return false;
  const bool ok = actions[std::size_t(position_ - 1)]->undo(table);
  if (ok) --position_;
  return ok;
}

bool List_UndoRedo::redo(SListCables& table) {
  if (!canRedo()) return false;
  const bool ok = actions[std::size_t(position_)]->redo(table);
  if (ok) ++position_;
  return ok;
}

std::string List_UndoRedo::descriptionAt(int index) const {
  if (index < 0 || index >= count()) return std::string();
  return actions[std::size_t(index)]->description();
}

std::string List_UndoRedo::undoText() const {
  if (!canUndo()) return std::string();
  return "Отмена действия: \"" + descriptionAt(position_ - 1) + "\"";
}

std::string List_UndoRedo::redoText() const {
  if (!canRedo()) return std::string();
  return "Повтор действия: \"" + descriptionAt(position_) + "\"";
}

void List_UndoRedo::clear() {
  dropFrom(0);
  position_ = 0;
}
