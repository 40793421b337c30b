#pragma once

#include <QAbstractListModel>

class SListCables;

// The table as the list sees it: one row per record, the record's line as the
// row's text. The row count is held here and moved with explicit signals after
// each change of the table, so that the view's selection follows the rows the way
// the commands expect.
class CableListModel : public QAbstractListModel {
 public:
  CableListModel(const SListCables& table, QObject* parent);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int role) const override;

  // One row per record of the table; the selection is dropped.
  void rebuild(int count);
  void removeRowAt(int row);
  void removeRowsAt(int first, int count);  // count rows from first, one signal
  void appendRow();
  void insertRowAt(int row);
  // The texts of every row may have changed (a move, an edit).
  void textsChanged();
  // After undo or redo: surplus rows go from the end, every text is renewed,
  // missing rows are appended (unselected).
  void sync(int count);

 private:
  const SListCables& table_;
  int rows_ = 0;
};
