#pragma once

#include <QListView>

// The list of records. Typing a letter does not jump to a row whose line starts
// with it: the letters W and S are the main window's move keys, and while a move
// is not possible the press would reach the list and silently move the selection
// to some other record (which the next press then moves).
class CableListView : public QListView {
 public:
  using QListView::QListView;
  void keyboardSearch(const QString& search) override;
};
