#pragma once

#include <memory>
#include <vector>

#include "history/SListCables_Action.h"
#include "model/SCable.h"

class SListCables;

// The record commands' changes of a table, each built as one undoable action
// whose steps follow the order of the changes. Each function applies the
// change and returns the action; an action that changed nothing is empty (the
// history drops it). A selection holds one entry per row, true = selected;
// entries past the last row are ignored, missing ones count as unselected.

namespace tolmira {

// New record: inserts rec at index (clamped to 0 … count); empty when full.
std::unique_ptr<SListCables_Action> addRecord(SListCables& table, int index, const SCable& rec);

// Edit record: sets row index to rec; empty when index is out of range or rec
// equals the row in every byte.
std::unique_ptr<SListCables_Action> editRecord(SListCables& table, int index, const SCable& rec);

// Removes the selected rows, highest first.
std::unique_ptr<SListCables_Action> deleteSelected(SListCables& table,
                                                   const std::vector<bool>& sel);

// Move every selected row that has an unselected row somewhere above (below)
// it by one position. sel is resized to the row count and moved with the rows,
// so the moved rows stay selected.
std::unique_ptr<SListCables_Action> moveSelectedUp(SListCables& table, std::vector<bool>& sel);
std::unique_ptr<SListCables_Action> moveSelectedDown(SListCables& table, std::vector<bool>& sel);

// Some selected row has an unselected row somewhere above / below it.
bool canMoveUp(const std::vector<bool>& sel);
bool canMoveDown(const std::vector<bool>& sel);

}  // namespace tolmira
