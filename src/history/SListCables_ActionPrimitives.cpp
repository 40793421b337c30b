#include "history/SListCables_ActionPrimitives.h"

#include <cstdlib>
#include <cstring>

#include "model/RecordText.h"
#include "model/SListCables.h"

using namespace tolmira;

namespace {

const char kQuote = '"';

bool inRange(const SListCables& table, int index) { return index >= 0 && index < table.getCount(); }

int clamped(const SListCables& table, int index) {
  if (index < 0) return 0;
  if (index > table.getCount()) return table.getCount();
  return index;
}

std::string quoted(const SCable& rec) { return kQuote + recordName(rec) + kQuote; }

// Copies the current record at `index` into `keep`, then removes it, so that a
// later insertion puts back exactly what was removed.
bool takeOut(SListCables& table, int index, SCable& keep) {
  if (!inRange(table, index)) return false;
  SCable current;
  if (!table.get(current, index)) return false;
  keep = current;
  return table.remove(index);
}

}  // namespace

// --- Add -------------------------------------------------------------------

SListCables_Action_Add::SListCables_Action_Add(int index, const SCable& rec)
    : record(rec), recordIndex(index) {}

bool SListCables_Action_Add::undo(SListCables& table) {
  return takeOut(table, recordIndex, record);
}

bool SListCables_Action_Add::redo(SListCables& table) {
  return table.insert(clamped(table, recordIndex), record);
}

std::string SListCables_Action_Add::shortName() const { return "Добавление"; }

std::string SListCables_Action_Add::description() const {
  return "Добавление записи " + std::to_string(int64_t(recordIndex) + 1) + ": " + quoted(record);
}

// --- Delete ----------------------------------------------------------------

SListCables_Action_Delete::SListCables_Action_Delete(const SListCables& table, int index)
    : recordIndex(index) {
  if (inRange(table, index)) record = table.at(index);
}

bool SListCables_Action_Delete::undo(SListCables& table) {
  return table.insert(clamped(table, recordIndex), record);
}

bool SListCables_Action_Delete::redo(SListCables& table) {
  return takeOut(table, recordIndex, record);
}

std::string SListCables_Action_Delete::shortName() const { return "Удаление"; }

std::string SListCables_Action_Delete::description() const {
  return "Удаление записи №" + std::to_string(int64_t(recordIndex) + 1) + " (" + quoted(record) +
         ")";
}

// --- Edit ------------------------------------------------------------------

SListCables_Action_Edit::SListCables_Action_Edit(const SListCables& table, const SCable& newRecord,
                                                 int index)
    : recordIndex(index) {
  if (inRange(table, index)) {
    before = table.at(index);
    after = newRecord;
  }
}

bool SListCables_Action_Edit::undo(SListCables& table) {
  if (!inRange(table, recordIndex)) return false;
  return table.replace(recordIndex, before);
}

bool SListCables_Action_Edit::redo(SListCables& table) {
  if (!inRange(table, recordIndex)) return false;
  return table.replace(recordIndex, after);
}

std::string SListCables_Action_Edit::shortName() const { return "Редактирование записи"; }

std::string SListCables_Action_Edit::description() const {
  return "Редактирование записи №" + std::to_string(int64_t(recordIndex) + 1) + "(" +
         quoted(before) + ")";
}

// --- Move ------------------------------------------------------------------

SListCables_Action_Move::SListCables_Action_Move(int from, int to) : fromIndex(from), toIndex(to) {}

bool SListCables_Action_Move::undo(SListCables& table) {
  if (!inRange(table, fromIndex) || !inRange(table, toIndex)) return false;
  return table.swap(fromIndex, toIndex);
}

bool SListCables_Action_Move::redo(SListCables& table) { return undo(table); }

std::string SListCables_Action_Move::shortName() const {
  return toIndex > fromIndex ? "Перемещение вниз" : "Перемещение вверх";
}

std::string SListCables_Action_Move::positionsWord(int d) {
  // Kept as these texts have always read: a last digit 0 outside 10..19 takes "позиции".
  const int last = d % 10;
  if ((d / 10) % 10 == 1 || last >= 5) return "позиций";
  if (last == 1) return "позицию";
  return "позиции";
}

std::string SListCables_Action_Move::description() const {
  std::string text = "Перемещение записи №" + std::to_string(int64_t(fromIndex) + 1);
  if (toIndex < fromIndex) text += " вверх";
  if (toIndex > fromIndex) text += " вниз";
  const int64_t d = std::llabs(int64_t(toIndex) - int64_t(fromIndex));
  if (d > 1) {
    text += " на " + std::to_string(d) + " " + positionsWord(int(d % 100));
  }
  return text;
}
