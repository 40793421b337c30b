#include "pane/CableRowDelegate.h"

#include "pane/TFrameCableList.h"

CableRowDelegate::CableRowDelegate(TFrameCableList* pane, QObject* parent)
    : QStyledItemDelegate(parent), pane_(pane) {}

void CableRowDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
  pane_->ListBoxDrawItem(index.row(), option.rect, option.state, painter);
}

QSize CableRowDelegate::sizeHint(const QStyleOptionViewItem&, const QModelIndex&) const {
  return QSize(pane_->rowWidth(), pane_->rowHeight());
}

void CableRowDelegate::notifySizeChanged() { emit sizeHintChanged(QModelIndex()); }
