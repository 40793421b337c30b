#pragma once

#include <QEvent>
#include <QObject>

// Counts the paints of the widgets it is installed on as an event filter.
class PaintCounter : public QObject {
 public:
  int paints = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::Paint) ++paints;
    return false;
  }
};
