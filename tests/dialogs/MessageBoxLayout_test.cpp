#include "dialogs/MessageBoxLayout.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

using namespace tolmira;

namespace {

constexpr int kLine = 13;  // line height of the text in these cases

// A text of one line T pixels wide, wrapped anywhere: ceil(T / width) lines.
MessageBoxLayoutInput input(std::vector<int> buttonWidths, int textWidth, bool wordWrap) {
  MessageBoxLayoutInput in;
  in.buttonWidths = std::move(buttonWidths);
  in.textWidth = textWidth;
  in.textHeight = kLine;
  in.wrappedHeight = [textWidth](int width) { return (textWidth + width - 1) / width * kLine; };
  in.wordWrap = wordWrap;
  in.screen = QRect(0, 0, 1024, 768);
  in.mainWindow = QRect(0, 0, 1024, 768);
  return in;
}

std::vector<int> xs(const MessageBoxLayoutResult& r) {
  std::vector<int> out;
  for (const QRect& b : r.buttons) out.push_back(b.x());
  return out;
}

TEST(MessageBoxLayout, ButtonWidthIsCaptionPlus30AtLeast75) {
  EXPECT_EQ(messageBoxButtonWidth(0), 75);
  EXPECT_EQ(messageBoxButtonWidth(45), 75);
  EXPECT_EQ(messageBoxButtonWidth(46), 76);
  EXPECT_EQ(messageBoxButtonWidth(200), 230);
}

struct RowCase {
  std::string name;
  std::vector<int> widths;
  int textWidth;
  int clientWidth;
  std::vector<int> xs;
};

class ButtonRow : public testing::TestWithParam<RowCase> {};

TEST_P(ButtonRow, PlacesButtonsRightToLeftWithRemaindersLeft) {
  const RowCase& c = GetParam();
  const MessageBoxLayoutResult r = layoutMessageBox(input(c.widths, c.textWidth, true));
  EXPECT_EQ(r.client.width(), c.clientWidth);
  EXPECT_EQ(xs(r), c.xs);
  ASSERT_FALSE(r.buttons.empty());
  if (r.buttons.size() > 1) {
    EXPECT_EQ(r.buttons.front().x(), 10);
  }
  EXPECT_EQ(r.buttons.back().right() + 1, r.client.width() - 10);
  for (size_t k = 0; k < r.buttons.size(); ++k) EXPECT_EQ(r.buttons[k].width(), c.widths[k]);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ButtonRow,
    testing::Values(
        // W = 25 + 75 - 5
        RowCase{"OneShortButton", {75}, 10, 95, {10}},
        // The text widens the window: one button goes to the right end.
        RowCase{"OneButtonWideText", {75}, 180, 200, {115}},
        // No slack: the natural 25-pixel gaps.
        RowCase{"NaturalGaps", {75, 80, 90}, 10, 315, {10, 110, 215}},
        // Slack 105 over two gaps: 77 on the right, the remainder (78) on the left.
        RowCase{"SlackSharedRemainderLeft", {75, 80, 90}, 400, 420, {10, 163, 320}},
        // Slack 175 over three gaps: 58, 58 from the right, 59 on the left.
        RowCase{"ThreeGaps", {75, 75, 75, 75}, 475, 495, {10, 144, 277, 410}}),
    [](const testing::TestParamInfo<RowCase>& i) { return i.param.name; });

struct TextCase {
  std::string name;
  std::vector<int> widths;
  int textWidth;
  bool wordWrap;
  QMargins frame;
  int labelWidth;
  bool wrapped;  // the label's effective word wrap
  int labelHeight;
  int clientWidth;
};

class TextWidth : public testing::TestWithParam<TextCase> {};

TEST_P(TextWidth, SizesLabelAndWindow) {
  const TextCase& c = GetParam();
  MessageBoxLayoutInput in = input(c.widths, c.textWidth, c.wordWrap);
  in.frame = c.frame;
  const MessageBoxLayoutResult r = layoutMessageBox(in);
  EXPECT_EQ(r.label.width(), c.labelWidth);
  EXPECT_EQ(r.wordWrap, c.wrapped);
  EXPECT_EQ(r.label.height(), c.labelHeight);
  EXPECT_EQ(r.client.width(), c.clientWidth);
  // Text 15 below the top, 15 above the gap; gap 10; row 33.
  EXPECT_EQ(r.label.y(), 15);
  EXPECT_EQ(r.textPanel.height(), c.labelHeight + 30);
  EXPECT_EQ(r.buttonPanel.y(), r.textPanel.height() + 10);
  EXPECT_EQ(r.buttonPanel.height(), 33);
  EXPECT_EQ(r.client.height(), c.labelHeight + 30 + 10 + 33);
  // Centred when narrower than the window.
  EXPECT_EQ(r.label.x(), (c.clientWidth - c.labelWidth) / 2);
  // The text always fits on the screen, margins and frame included.
  EXPECT_LE(r.label.width() + 20 + c.frame.left() + c.frame.right(), in.screen.width());
  EXPECT_FALSE(r.scrolls);
  EXPECT_EQ(r.textView, r.label);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, TextWidth,
    testing::Values(
        TextCase{"ShortTextOneButton", {75}, 40, true, {}, 40, true, kLine, 95},
        TextCase{"WrapOnWithinTwiceW", {75}, 190, true, {}, 190, true, kLine, 210},
        // T = 400 > 2 * 95: wraps at 190 on three lines.
        TextCase{"WrapOnBeyondTwiceW", {75}, 400, true, {}, 190, true, 3 * kLine, 210},
        TextCase{"WrapOffStaysOneLine", {75}, 400, false, {}, 400, false, kLine, 420},
        // Wider than the screen with word wrap off: wrapped so that the window fits.
        TextCase{"WrapOffWiderThanScreen", {75}, 3000, false, {}, 1004, true, 3 * kLine, 1024},
        TextCase{"WrapOffWiderThanScreenFramed",
                 {75},
                 3000,
                 false,
                 {4, 24, 4, 4},
                 996,
                 true,
                 4 * kLine,
                 1016},
        // Fits the screen alone but not with the margins: still wrapped.
        TextCase{"WrapOffJustTooWide", {75}, 1010, false, {}, 1004, true, 2 * kLine, 1024},
        // Seven wide buttons: 2 * W passes the screen, the label stops at the screen.
        TextCase{"TwiceWPastScreen",
                 {150, 150, 150, 150, 150, 150, 150},
                 2000,
                 true,
                 {},
                 1004,
                 true,
                 2 * kLine,
                 1220}),
    [](const testing::TestParamInfo<TextCase>& i) { return i.param.name; });

struct PositionCase {
  std::string name;
  QRect screen;
  QMargins frame;
  bool anchored;
  QPoint anchor;
  QRect mainWindow;
  QPoint expected;
};

class Position : public testing::TestWithParam<PositionCase> {};

TEST_P(Position, PutsWindowOnScreen) {
  const PositionCase& c = GetParam();
  MessageBoxLayoutInput in = input({75}, 40, true);  // client 95 x 86
  in.screen = c.screen;
  in.frame = c.frame;
  in.anchored = c.anchored;
  in.anchorTopLeft = c.anchor;
  in.mainWindow = c.mainWindow;
  const MessageBoxLayoutResult r = layoutMessageBox(in);
  ASSERT_EQ(r.client, QSize(95, 86));
  EXPECT_EQ(r.position, c.expected);
}

const QRect kScreen(0, 0, 1024, 768);
INSTANTIATE_TEST_SUITE_P(
    Cases, Position,
    testing::Values(
        PositionCase{
            "CentredOverMainWindow", kScreen, {}, false, {}, {100, 50, 600, 400}, {250, 200}},
        // Halves truncated: 301 / 2 = 150, 201 / 2 = 100.
        PositionCase{"OddMainWindowSize", kScreen, {}, false, {}, {100, 50, 301, 201}, {100, 100}},
        PositionCase{"AtAnchor", kScreen, {}, true, {300, 200}, {100, 50, 600, 400}, {300, 200}},
        // Window 103 x 114 with its frame: pushed back to stay whole.
        PositionCase{
            "AnchorNearLowerRight", kScreen, {4, 24, 4, 4}, true, {1000, 750}, {}, {921, 654}},
        PositionCase{
            "MainWindowOffTopLeft", kScreen, {}, false, {}, {-500, -300, 301, 201}, {0, 0}},
        // A second screen to the right of the first.
        PositionCase{"SecondScreen", {1024, 0, 800, 600}, {}, true, {1000, 590}, {}, {1024, 514}}),
    [](const testing::TestParamInfo<PositionCase>& i) { return i.param.name; });

TEST(MessageBoxLayout, FocusFollowsFlagBits8To11WhenThatButtonExists) {
  struct Case {
    std::uint32_t flags;
    int buttons;
    int focus;
  };
  const std::vector<Case> cases = {
      {0x000, 1, 0},
      {0x000, 0, -1},
      {0x100, 1, -1},
      {0x104, 2, 1},
      {0x200, 3, 2},
      {0x200, 2, -1},
      {0x300, 4, 3},
      {0x300, 7, 3},
      {0x400, 7, -1},
      {0xF00, 7, -1},
      // Bits above 11 do not count.
      {0x1000, 2, 0},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(messageBoxFocusIndex(c.flags, c.buttons), c.focus)
        << "flags " << std::hex << c.flags << " buttons " << c.buttons;
    MessageBoxLayoutInput in = input(std::vector<int>(c.buttons, 75), 10, true);
    in.flags = c.flags;
    EXPECT_EQ(layoutMessageBox(in).focusIndex, c.focus);
  }
}

// A load report of many lines: the window stays within the screen's height, the
// text scrolls in a view with a scroll bar beside it.
TEST(MessageBoxLayout, TextTallerThanTheScreenScrolls) {
  struct Case {
    std::string name;
    int lines;
    int lineWidth;  // every line equally wide
    bool wordWrap;
    bool scrolls;
    int labelWidth;
    bool wrapped;
    int labelHeight;
  };
  const QMargins frame(4, 24, 4, 4);
  // The screen leaves 768 - 28 for the client, 740 - 30 - 10 - 33 = 667 for the text.
  const std::vector<Case> cases = {
      {"FitsExactly", 51, 300, false, false, 300, false, 51 * kLine},
      {"OneLineTooMany", 52, 300, false, true, 300, false, 52 * kLine},
      {"ManyNarrowLines", 500, 300, false, true, 300, false, 500 * kLine},
      // As wide as the screen allows: the scroll bar takes its room from the text.
      {"WideLines", 100, 1008, false, true, 996 - 16, true, 200 * kLine},
      // Word wrap on: wrapped at 2 * W as ever, the view scrolls.
      {"WrapOnAtTwiceW", 100, 3000, true, true, 190, true, 1600 * kLine},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    MessageBoxLayoutInput in = input({75}, c.lineWidth, c.wordWrap);
    in.frame = frame;
    in.scrollBarWidth = 16;
    in.textHeight = c.lines * kLine;
    const int lines = c.lines, lineWidth = c.lineWidth;
    in.wrappedHeight = [lines, lineWidth](int width) {
      return lines * ((lineWidth + width - 1) / width) * kLine;
    };
    const MessageBoxLayoutResult r = layoutMessageBox(in);
    EXPECT_EQ(r.scrolls, c.scrolls);
    EXPECT_EQ(r.wordWrap, c.wrapped);
    EXPECT_EQ(r.label.width(), c.labelWidth);
    EXPECT_EQ(r.label.height(), c.labelHeight);
    const int view = c.scrolls ? 667 : c.labelHeight;
    EXPECT_EQ(r.textView.height(), view);
    EXPECT_EQ(r.textView.width(), c.labelWidth + (c.scrolls ? 16 : 0));
    EXPECT_EQ(r.textView.topLeft(), r.label.topLeft());
    EXPECT_EQ(r.textPanel.height(), view + 30);
    EXPECT_EQ(r.client.height(), view + 30 + 10 + 33);
    EXPECT_EQ(r.client.width(), std::max(95, r.textView.width() + 20));
    EXPECT_LE(r.client.width() + 8, 1024);
    // Whole on the screen: title bar and buttons reachable.
    EXPECT_EQ(r.position.y() >= 0, true);
    EXPECT_LE(r.position.y() + r.client.height() + 28, 768);
  }
}

TEST(MessageBoxLayout, TallButtonsHeightenTheRow) {
  MessageBoxLayoutInput in = input({75, 200}, 10, true);
  in.buttonHeight = 40;  // a caption on two lines
  const MessageBoxLayoutResult r = layoutMessageBox(in);
  EXPECT_EQ(r.buttonPanel.height(), 48);
  for (const QRect& b : r.buttons) {
    EXPECT_EQ(b.top(), r.buttonPanel.top());
    EXPECT_EQ(b.height(), 40);
  }
  EXPECT_EQ(r.client.height(), r.buttonPanel.bottom() + 1);
}

// A short or empty text: the window is at least as wide as its title needs, but
// never wider than the screen.
TEST(MessageBoxLayout, AShortTextLeavesRoomForTheTitle) {
  const struct {
    int textWidth, titleWidth, client;
  } cases[] = {
      {0, 0, 25 + 75 - 5},   // nothing to fit: the button row
      {0, 230, 230},         // empty text, the title decides
      {40, 230, 230},        // short text
      {400, 230, 400 + 20},  // a wider text decides
      {0, 5000, 1024},       // never beyond the screen
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.textWidth << " " << c.titleWidth);
    MessageBoxLayoutInput in = input({75}, c.textWidth, false);
    in.titleWidth = c.titleWidth;
    EXPECT_EQ(layoutMessageBox(in).client.width(), c.client);
  }
}

}  // namespace
