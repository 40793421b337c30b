#include "pane/CableListView.h"

void CableListView::keyboardSearch(const QString&) {}
