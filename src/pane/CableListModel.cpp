#include "pane/CableListModel.h"

#include "model/RecordText.h"
#include "model/SListCables.h"
#include "platform/QtCp1251.h"

CableListModel::CableListModel(const SListCables& table, QObject* parent)
    : QAbstractListModel(parent), table_(table) {}

int CableListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

QVariant CableListModel::data(const QModelIndex& index, int role) const {
  if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rows_ ||
      index.row() >= table_.getCount())
    return QVariant();
  return QString::fromStdString(tolmira::recordLine(table_.at(index.row())));
}

void CableListModel::rebuild(int count) {
  beginResetModel();
  rows_ = count;
  endResetModel();
}

void CableListModel::removeRowAt(int row) {
  beginRemoveRows(QModelIndex(), row, row);
  --rows_;
  endRemoveRows();
}

void CableListModel::appendRow() { insertRowAt(rows_); }

void CableListModel::insertRowAt(int row) {
  beginInsertRows(QModelIndex(), row, row);
  ++rows_;
  endInsertRows();
}

void CableListModel::textsChanged() {
  if (rows_ > 0) emit dataChanged(index(0), index(rows_ - 1));
}

void CableListModel::sync(int count) {
  if (rows_ > count) {
    beginRemoveRows(QModelIndex(), count, rows_ - 1);
    rows_ = count;
    endRemoveRows();
  }
  textsChanged();
  if (rows_ < count) {
    beginInsertRows(QModelIndex(), rows_, count - 1);
    rows_ = count;
    endInsertRows();
  }
}
