#pragma once

#include <QStyledItemDelegate>

class TFrameCableList;

// Every row is drawn by the pane itself (its ListBoxDrawItem), at the pane's row
// size.
class CableRowDelegate : public QStyledItemDelegate {
 public:
  CableRowDelegate(TFrameCableList* pane, QObject* parent);

  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override;
  QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override;

  // The row size changed (a new font): the view lays its rows out again.
  void notifySizeChanged();

 private:
  TFrameCableList* pane_;
};
