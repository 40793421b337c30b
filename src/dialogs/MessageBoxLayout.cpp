#include "dialogs/MessageBoxLayout.h"

#include <algorithm>

using namespace tolmira;

namespace {
constexpr int kEdge = 10;       // row margin at both ends, label margin each side
constexpr int kButtonGap = 25;  // natural gap between neighbouring buttons
constexpr int kMinButton = 75;
constexpr int kCaptionPad = 30;
constexpr int kTextMargin = 15;  // above and below the text
constexpr int kRowHeight = 33;   // for a standard 25-pixel button
constexpr int kStdButtonHeight = 25;
constexpr int kPanelGap = 10;
constexpr int kDesignHalfWidth = 150;  // half of the 300 x 100 design size
constexpr int kDesignHalfHeight = 50;
constexpr int kMinView = 40;  // a scrolled text shows at least this much
}  // namespace

int tolmira::messageBoxButtonWidth(int captionWidth) {
  return std::max(captionWidth + kCaptionPad, kMinButton);
}

int tolmira::messageBoxFocusIndex(std::uint32_t flags, int buttonCount) {
  const int selector = static_cast<int>((flags >> 8) & 0xF);
  return selector < 4 && selector < buttonCount ? selector : -1;
}

MessageBoxLayoutResult tolmira::layoutMessageBox(const MessageBoxLayoutInput& in) {
  MessageBoxLayoutResult r;
  const int n = static_cast<int>(in.buttonWidths.size());
  int sum = 0;
  for (int w : in.buttonWidths) sum += w;
  const int W = kButtonGap * n + sum - 5;
  r.width = W;

  const int T = in.textWidth;
  int labelWidth = T;
  bool wrap = in.wordWrap;
  if (wrap && T > 2 * W) labelWidth = 2 * W;
  // The label may be no wider than what leaves the whole window on the screen;
  // a wider text wraps there, whatever word wrap the question asked for.
  const int maxLabel =
      std::max(1, in.screen.width() - 2 * kEdge - in.frame.left() - in.frame.right());
  if (labelWidth > maxLabel) {
    wrap = true;
    labelWidth = maxLabel;
  }
  int labelHeight = in.textHeight;
  if (wrap && labelWidth < T && in.wrappedHeight) labelHeight = in.wrappedHeight(labelWidth);

  const int buttonHeight = std::max(in.buttonHeight, kStdButtonHeight);
  const int rowHeight = kRowHeight + (buttonHeight - kStdButtonHeight);

  // A text taller than the screen allows (a long load report) is shown in a view
  // that scrolls, so that the title bar and the buttons stay on the screen.
  const int fixedHeight = 2 * kTextMargin + kPanelGap + rowHeight;
  const int maxView =
      std::max(kMinView, in.screen.height() - in.frame.top() - in.frame.bottom() - fixedHeight);
  int viewHeight = labelHeight;
  int viewWidth = labelWidth;
  if (labelHeight > maxView) {
    r.scrolls = true;
    viewHeight = maxView;
    const int bar = std::max(0, in.scrollBarWidth);
    if (labelWidth + bar > maxLabel) {
      labelWidth = std::max(1, maxLabel - bar);
      if (labelWidth < T) wrap = true;
      labelHeight =
          wrap && labelWidth < T && in.wrappedHeight ? in.wrappedHeight(labelWidth) : in.textHeight;
    }
    viewWidth = labelWidth + bar;
  }
  r.wordWrap = wrap;

  const int clientWidth =
      std::max({W, viewWidth + 2 * kEdge, std::min(in.titleWidth, maxLabel + 2 * kEdge)});
  const int textPanelHeight = 2 * kTextMargin + viewHeight;
  const int rowTop = textPanelHeight + kPanelGap;

  // Right to left; each division's remainder stays in the gaps further left.
  r.buttons.resize(n);
  int x = clientWidth - kEdge;
  int rest = sum;
  for (int k = n - 1; k >= 0; --k) {
    const int bw = in.buttonWidths[k];
    x -= bw;
    r.buttons[k] = QRect(x, rowTop, bw, buttonHeight);
    rest -= bw;
    if (k > 0) x -= (x - rest - kEdge) / k;
  }

  const int viewX = viewWidth < clientWidth ? (clientWidth - viewWidth) / 2 : 0;
  r.textView = QRect(viewX, kTextMargin, viewWidth, viewHeight);
  r.label = QRect(viewX, kTextMargin, labelWidth, labelHeight);
  r.textPanel = QRect(0, 0, clientWidth, textPanelHeight);
  r.buttonPanel = QRect(0, rowTop, clientWidth, rowHeight);
  r.client = QSize(clientWidth, rowTop + rowHeight);
  r.focusIndex = messageBoxFocusIndex(in.flags, n);

  if (in.anchored) {
    r.requested = in.anchorTopLeft;
  } else {
    r.requested = QPoint(in.mainWindow.left() + in.mainWindow.width() / 2 - kDesignHalfWidth,
                         in.mainWindow.top() + in.mainWindow.height() / 2 - kDesignHalfHeight);
  }
  const QSize frameSize(r.client.width() + in.frame.left() + in.frame.right(),
                        r.client.height() + in.frame.top() + in.frame.bottom());
  r.position = messageBoxOnScreen(r.requested, frameSize, in.screen);
  return r;
}

QPoint tolmira::messageBoxOnScreen(QPoint topLeft, QSize frameSize, const QRect& s) {
  QPoint pos = topLeft;
  if (pos.x() < s.left()) pos.setX(s.left());
  if (pos.y() < s.top()) pos.setY(s.top());
  if (pos.x() + frameSize.width() > s.left() + s.width())
    pos.setX(s.left() + s.width() - frameSize.width());
  if (pos.y() + frameSize.height() > s.top() + s.height())
    pos.setY(s.top() + s.height() - frameSize.height());
  return pos;
}
