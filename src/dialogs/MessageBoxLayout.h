#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>

// The message box's geometry, computed from measured text extents so that the
// arithmetic runs (and is tested) without a screen. All rectangles except the
// window position and the input screen/main-window rectangles are in client
// coordinates.

namespace tolmira {

// Width of a message-box button for a caption of the given measured width.
int messageBoxButtonWidth(int captionWidth);

// Index of the button that gets the focus for flags bits 8..11, or -1 for none.
int messageBoxFocusIndex(std::uint32_t flags, int buttonCount);

struct MessageBoxLayoutInput {
  std::vector<int> buttonWidths;  // from messageBoxButtonWidth, left to right
  int buttonHeight = 25;          // taller buttons (multi-line captions) heighten the row

  int textWidth = 0;   // T: width of the longest line of the text, no wrapping
  int textHeight = 0;  // height of the text on its own lines, no wrapping
  // Height of the text when wrapped within the given width.
  std::function<int(int width)> wrappedHeight;
  bool wordWrap = true;
  int scrollBarWidth = 0;  // room a vertical scroll bar takes beside the text

  std::uint32_t flags = 0;

  // Room the title bar needs for the whole title beside the window manager's own
  // buttons: a short or empty text must not leave the title cut.
  int titleWidth = 0;

  QRect screen;    // usable screen area, global coordinates
  QMargins frame;  // window frame around the client area
  bool anchored = false;
  QPoint anchorTopLeft;  // global; used when anchored
  QRect mainWindow;      // frame rectangle to centre over when not anchored
};

struct MessageBoxLayoutResult {
  int width = 0;  // W: the button row's natural width
  std::vector<QRect> buttons;
  QRect label;           // the whole text, as if scrolled to its top
  bool wordWrap = true;  // the label's effective word wrap
  // The visible part of the text: the label itself, or, for a text too tall for the
  // screen, a shorter view with a scroll bar beside it (scrolls).
  QRect textView;
  bool scrolls = false;
  QRect textPanel;
  QRect buttonPanel;
  QSize client;
  QPoint requested;  // where the frame's top-left corner is asked to go, global
  QPoint position;   // the same moved onto the screen
  int focusIndex = -1;
};

MessageBoxLayoutResult layoutMessageBox(const MessageBoxLayoutInput& in);

// Moves a window frame of the given size, asked for at topLeft, onto the screen. A
// window larger than the screen keeps its right and bottom edges, and so its
// buttons, on the screen.
QPoint messageBoxOnScreen(QPoint topLeft, QSize frameSize, const QRect& screen);

}  // namespace tolmira
