#include "history/SListCables_Action.h"

#include <cstddef>

#include "model/SListCables.h"

SListCables_Action::~SListCables_Action() {
  while (!primitives.empty()) primitives.pop_back();
}

SListCables_Action& SListCables_Action::append(
    std::unique_ptr<SListCables_ActionPrimitive> primitive) {
  if (primitive) primitives.push_back(std::move(primitive));
  return *this;
}

const SListCables_ActionPrimitive* SListCables_Action::primitiveAt(int i) const {
  if (i < 0 || i >= size()) return nullptr;
  return primitives[std::size_t(i)].get();
}

// A partly undone action would leave the table in a state that no history
// position describes, and a repeated undo would then apply the good steps a
// second time (a record inserted twice). So a failing step puts the whole table
// back as it was before the call.
bool SListCables_Action::undo(SListCables& table) {
  const SListCables saved = table;
  for (std::size_t k = primitives.size(); k-- > 0;) {
    if (!primitives[k]->undo(table)) {
      table = saved;
      return false;
    }
  }
  return true;
}

bool SListCables_Action::redo(SListCables& table) {
  const SListCables saved = table;
  for (const auto& primitive : primitives) {
    if (!primitive->redo(table)) {
      table = saved;
      return false;
    }
  }
  return true;
}

std::string SListCables_Action::description() const {
  if (primitives.empty()) return std::string();
  if (primitives.size() == 1) return primitives.front()->description();
  return primitives.front()->shortName() + " " + std::to_string(primitives.size()) + " записей";
}
