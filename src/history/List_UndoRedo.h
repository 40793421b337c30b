#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "history/SListCables_Action.h"

class SListCables;

// The linear undo/redo history of one table. Actions 0 … position-1 are
// applied (undone last first); actions position … count-1 were undone and can
// be redone (the one at position first). No save point and no size limit.
class List_UndoRedo {
 public:
  List_UndoRedo() = default;
  ~List_UndoRedo();
  List_UndoRedo(const List_UndoRedo&) = delete;
  List_UndoRedo& operator=(const List_UndoRedo&) = delete;

  // Takes the action over and clears the handle. An empty action is destroyed
  // without being recorded; otherwise the redo entries are dropped first.
  void push(std::unique_ptr<SListCables_Action>& action);

  bool canUndo() const;
  bool canRedo() const;
  // False, with the position unchanged, when nothing can be undone/redone or
  // the action failed on this table.
  bool undo(SListCables& table);
  bool redo(SListCables& table);

  std::string descriptionAt(int index) const;  // empty outside 0 … count-1
  std::string undoText() const;                // UTF-8, empty when !canUndo
  std::string redoText() const;                // UTF-8, empty when !canRedo
  void clear();

  int count() const { return int(actions.size()); }
  int position() const { return position_; }

 private:
  std::vector<std::unique_ptr<SListCables_Action>> actions;
  int32_t position_ = 0;

  void dropFrom(int index);  // destroys actions index … count-1, last first
};
