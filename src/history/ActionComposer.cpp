#include "history/ActionComposer.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#include "history/SListCables_ActionPrimitives.h"
#include "model/SListCables.h"

std::unique_ptr<SListCables_Action> tolmira::addRecord(SListCables& table, int index,
                                                       const SCable& rec) {
  auto action = std::make_unique<SListCables_Action>();
  const int at = std::clamp(index, 0, table.getCount());
  if (table.insert(at, rec)) action->append(std::make_unique<SListCables_Action_Add>(at, rec));
  return action;
}

std::unique_ptr<SListCables_Action> tolmira::editRecord(SListCables& table, int index,
                                                        const SCable& rec) {
  auto action = std::make_unique<SListCables_Action>();
  if (index < 0 || index >= table.getCount()) return action;
  if (std::memcmp(&table.at(index), &rec, sizeof(SCable)) == 0) return action;
  auto edit = std::make_unique<SListCables_Action_Edit>(table, rec, index);
  if (table.set(index, rec)) action->append(std::move(edit));
  return action;
}

std::unique_ptr<SListCables_Action> tolmira::deleteSelected(SListCables& table,
                                                            const std::vector<bool>& sel) {
  auto action = std::make_unique<SListCables_Action>();
  const int rows = std::min(table.getCount(), int(sel.size()));
  for (int i = rows - 1; i >= 0; --i) {
    if (!sel[std::size_t(i)]) continue;
    auto del = std::make_unique<SListCables_Action_Delete>(table, i);
    // Recorded only once the removal happened, so undo never inserts a record
    // that is still there.
    if (table.remove(i)) action->append(std::move(del));
  }
  return action;
}

std::unique_ptr<SListCables_Action> tolmira::moveSelectedUp(SListCables& table,
                                                            std::vector<bool>& sel) {
  auto action = std::make_unique<SListCables_Action>();
  sel.resize(std::size_t(table.getCount()), false);
  bool unselectedAbove = false;
  for (int i = 0; i < table.getCount(); ++i) {
    if (!sel[std::size_t(i)]) {
      unselectedAbove = true;
      continue;
    }
    if (!unselectedAbove) continue;
    // Rows above i were only exchanged among themselves, so row i-1 is now
    // an unselected one.
    if (table.swap(i, i - 1)) {
      action->append(std::make_unique<SListCables_Action_Move>(i, i - 1));
      sel[std::size_t(i)] = false;
      sel[std::size_t(i - 1)] = true;
    }
  }
  return action;
}

std::unique_ptr<SListCables_Action> tolmira::moveSelectedDown(SListCables& table,
                                                              std::vector<bool>& sel) {
  auto action = std::make_unique<SListCables_Action>();
  sel.resize(std::size_t(table.getCount()), false);
  bool unselectedBelow = false;
  for (int i = table.getCount() - 1; i >= 0; --i) {
    if (!sel[std::size_t(i)]) {
      unselectedBelow = true;
      continue;
    }
    if (!unselectedBelow) continue;
    if (table.swap(i, i + 1)) {
      action->append(std::make_unique<SListCables_Action_Move>(i, i + 1));
      sel[std::size_t(i)] = false;
      sel[std::size_t(i + 1)] = true;
    }
  }
  return action;
}

bool tolmira::canMoveUp(const std::vector<bool>& sel) {
  bool unselectedAbove = false;
  for (std::size_t i = 0; i < sel.size(); ++i) {
    if (!sel[i])
      unselectedAbove = true;
    else if (unselectedAbove)
      return true;
  }
  return false;
}

bool tolmira::canMoveDown(const std::vector<bool>& sel) {
  bool unselectedBelow = false;
  for (std::size_t i = sel.size(); i-- > 0;) {
    if (!sel[i])
      unselectedBelow = true;
    else if (unselectedBelow)
      return true;
  }
  return false;
}
