#pragma once

#include <QPixmap>

class QAction;
class SListCables;

// What a table pane needs of the window that holds the two panes. Every pane
// passes its own index (0 left, 1 right); "other" means the pane with the other
// index.
class IPaneHost {
 public:
  virtual ~IPaneHost() = default;

  // The other pane's table while it has one open, else null. Read for the
  // same-record marks and the copy command's state.
  virtual const SListCables* otherTable(int paneIndex) const = 0;

  // The pane with this index received the focus.
  virtual void SetActivePane(int paneIndex) = 0;

  // The table of pane paneIndex changed: repaint the other pane's list and run
  // its refreshCommands().
  virtual void RefreshOtherPane(int paneIndex) = 0;

  // Mirror the active pane's command states onto the bottom bar; called at the
  // end of every refreshCommands().
  virtual void UpdateBottomBar() = 0;

  // The copy action towards the other pane (left to right for pane 0, right to
  // left for pane 1), or null while the copy between the panes does not exist.
  // Asked once when the pane is built (so it must exist by then) and again by
  // every refreshCommands(), which sets its enabled state. A non-null action is
  // shown on the pane's record tool bar and in its context menu.
  virtual QAction* copyAction(int paneIndex) const = 0;

  // The 30 x 16 row mark of pane paneIndex: a document with an arrow towards
  // the other pane, crossed out (CIcons::rowMark gives the standard artwork).
  virtual QPixmap markIcon(int paneIndex) const = 0;
};
