#pragma once

#include <QIcon>
#include <QPixmap>

// The program's artwork, drawn in code: the pane's tool buttons (32 x 32) and
// the row marks (30 x 16). One palette for all of them.
class CIcons {
 public:
  enum Id {
    Open,
    New,
    Save,
    SaveAs,
    LoadFromDevice,
    SaveToDevice,
    Close,
    Up,
    Down,
    Add,
    Edit,
    Delete,
    Undo,
    Redo,
    CopyRight,
    CopyLeft,
    Count
  };

  static constexpr int kToolSize = 32;
  static constexpr int kMarkWidth = 30;
  static constexpr int kMarkHeight = 16;

  // The image at size x size pixels (drawn for that size, not scaled).
  static QPixmap pixmap(Id id, int size = kToolSize);
  // 16, 24, 32 and 64 pixel versions of the image.
  static QIcon icon(Id id);

  // The row mark of pane paneIndex: a document with an arrow towards the other
  // pane (right for pane 0, left for pane 1), crossed out by a red X.
  static QPixmap rowMark(int paneIndex);
};
