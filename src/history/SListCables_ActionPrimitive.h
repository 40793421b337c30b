#pragma once

#include <string>

class SListCables;

// One revertible step of an undoable action. A step is not bound to a table:
// the table is passed to every undo/redo call, and the step keeps record copies,
// never pointers into the table.
class SListCables_ActionPrimitive {
 public:
  virtual ~SListCables_ActionPrimitive() = default;

  virtual bool undo(SListCables& table) = 0;
  virtual bool redo(SListCables& table) = 0;
  // Texts are UTF-8.
  virtual std::string shortName() const { return std::string(); }
  virtual std::string description() const { return shortName(); }

 protected:
  SListCables_ActionPrimitive() = default;
  SListCables_ActionPrimitive(const SListCables_ActionPrimitive&) = default;
  SListCables_ActionPrimitive& operator=(const SListCables_ActionPrimitive&) = default;
};
