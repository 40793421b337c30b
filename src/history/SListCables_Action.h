#pragma once

#include <memory>
#include <string>
#include <vector>

#include "history/SListCables_ActionPrimitive.h"

class SListCables;

// One undoable action: an ordered group of steps, in the order in which the
// command changed the table. Owns its steps and destroys them last first.
class SListCables_Action {
 public:
  SListCables_Action() = default;
  ~SListCables_Action();
  SListCables_Action(const SListCables_Action&) = delete;
  SListCables_Action& operator=(const SListCables_Action&) = delete;

  // Takes the step over; a null step is ignored.
  SListCables_Action& append(std::unique_ptr<SListCables_ActionPrimitive> primitive);
  bool isEmpty() const { return primitives.empty(); }
  int size() const { return int(primitives.size()); }
  const SListCables_ActionPrimitive* primitiveAt(int i) const;

  // undo runs the steps last first, redo first to last. All or nothing: when a
  // step fails the table is restored to its state before the call, and false.
  bool undo(SListCables& table);
  bool redo(SListCables& table);
  std::string description() const;

 private:
  std::vector<std::unique_ptr<SListCables_ActionPrimitive>> primitives;
};
