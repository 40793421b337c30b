#pragma once

#include <cstdint>
#include <string>

#include "history/SListCables_ActionPrimitive.h"
#include "model/SCable.h"

// Built after `rec` has been inserted at `index`.
class SListCables_Action_Add : public SListCables_ActionPrimitive {
 public:
  SListCables_Action_Add(int index, const SCable& rec);

  bool undo(SListCables& table) override;
  bool redo(SListCables& table) override;
  std::string shortName() const override;
  std::string description() const override;

  SCable record;
  int32_t recordIndex;
};

// Built before the record at `index` is removed.
class SListCables_Action_Delete : public SListCables_ActionPrimitive {
 public:
  SListCables_Action_Delete(const SListCables& table, int index);

  bool undo(SListCables& table) override;
  bool redo(SListCables& table) override;
  std::string shortName() const override;
  std::string description() const override;

  SCable record;
  int32_t recordIndex;
};

// Built before the table is changed: keeps the old record and the new one.
class SListCables_Action_Edit : public SListCables_ActionPrimitive {
 public:
  SListCables_Action_Edit(const SListCables& table, const SCable& newRecord, int index);

  bool undo(SListCables& table) override;
  bool redo(SListCables& table) override;
  std::string shortName() const override;
  std::string description() const override;

  SCable before;
  SCable after;
  int32_t recordIndex;
};

// Exchange of two records; its own inverse.
class SListCables_Action_Move : public SListCables_ActionPrimitive {
 public:
  SListCables_Action_Move(int from, int to);

  bool undo(SListCables& table) override;
  bool redo(SListCables& table) override;
  std::string shortName() const override;
  std::string description() const override;

  int32_t fromIndex;
  int32_t toIndex;

  // "позицию" / "позиции" / "позиций" for a distance d (d >= 0).
  static std::string positionsWord(int d);
};
