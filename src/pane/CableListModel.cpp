#include "pane/CableListModel.h"

#include <QStringList>

#include "model/RecordText.h"
#include "model/SListCables.h"
#include "platform/QtCp1251.h"

CableListModel::CableListModel(const SListCables& table, QObject* parent)
    : QAbstractListModel(parent), table_(table) {}

int CableListModel::rowCount(const QModelIndex& parent) const {
  return parent.isValid() ? 0 : rows_;
}

namespace {

// The whole record, for a row whose columns are cut: the name, then each field named.
QString rowToolTip(const SCable& rec) {
  static const char* const kLabels[] = {"КУ", "Материал", "R, Ом/км", "Коэффициент скрутки"};
  const QStringList fields =
      QString::fromStdString(tolmira::recordLine(rec)).split(QLatin1Char('\t'));
  QString text = fields.value(0);
  for (int i = 1; i < fields.size() && i <= 4; ++i) {
    if (fields[i].isEmpty()) continue;
    text +=
        QLatin1Char('\n') + QString::fromUtf8(kLabels[i - 1]) + QStringLiteral(": ") + fields[i];
  }
  return text;
}

}  // namespace

QVariant CableListModel::data(const QModelIndex& index, int role) const {
  if ((role != Qt::DisplayRole && role != Qt::ToolTipRole) || !index.isValid() ||
      index.row() >= rows_ || index.row() >= table_.getCount())
    return QVariant();
  const SCable& rec = table_.at(index.row());
  if (role == Qt::ToolTipRole) return rowToolTip(rec);
  return QString::fromStdString(tolmira::recordLine(rec));
}

void CableListModel::rebuild(int count) {
  beginResetModel();
  rows_ = count;
  endResetModel();
}

void CableListModel::removeRowAt(int row) { removeRowsAt(row, 1); }

void CableListModel::removeRowsAt(int first, int count) {
  if (count <= 0) return;
  beginRemoveRows(QModelIndex(), first, first + count - 1);
  rows_ -= count;
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
