// Row drawing, colours, row height and the artwork.
#include <cmath>
#include <cstdio>
#include <functional>
#include <limits>
#include <vector>

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QImage>
#include <QListView>
#include <QLine>
#include <QPainter>
#include <QPen>
#include <QTest>

#include <gtest/gtest.h>

#include "pane/CableRowPainter.h"
#include "pane/CIcons.h"
#include "pane/PaneTestHost.h"
#include "support/ScriptedModal.h"

namespace {

SCable cable(const char* name, float ku) {
  SCable c;
  std::snprintf(c.name, sizeof c.name, "%s", name);
  c.setKU(ku);
  return c;
}

bool isRed(QRgb p) { return qRed(p) > 180 && qGreen(p) < 90 && qBlue(p) < 90; }
bool isInk(QRgb p) { return qRed(p) < 200 || qGreen(p) < 200 || qBlue(p) < 200; }

int countPixels(const QImage& img, int x0, int x1, const std::function<bool(QRgb)>& test) {
  int n = 0;
  for (int y = 0; y < img.height(); ++y)
    for (int x = std::max(0, x0); x < std::min(img.width(), x1); ++x)
      if (test(img.pixel(x, y))) ++n;
  return n;
}

// Rows: 0 "Same" and 1 "Same" (one name twice), 2 "Shared" (also in the right
// table), 3 "Plain".
class PaneDrawTest : public ::testing::Test {
 protected:
  void SetUp() override {
    resetProgramSettings();
    left.NewExecute();
    left.appendRecord(cable("Same", 1.5f));
    left.appendRecord(cable("Same", 1.6f));
    left.appendRecord(cable("Shared", 1.7f));
    left.appendRecord(cable("Plain", 1.8f));
    host.pane(1).NewExecute();
    host.pane(1).appendRecord(cable("Shared", 1.7f));

    const CableRowColumns col = CableRowPainter::columns(left.ListBox->font());
    xName = col.number + col.glyph;
    w0 = col.name;
    // These records hold KU only: one field cell behind the name.
    xIcon = col.onGrid(0, xName + w0 + col.cell(0));
  }

  QImage render(TFrameCableList& pane, int row, bool selected = false) {
    QImage img(xIcon + 60, pane.rowHeight(), QImage::Format_ARGB32);
    img.fill(QColor(0x80, 0x80, 0x80));
    QPainter p(&img);
    QStyle::State state = QStyle::State_Enabled;
    if (selected) state |= QStyle::State_Selected;
    pane.ListBoxDrawItem(row, img.rect(), state, &p);
    p.end();
    return img;
  }

  ScriptedModal modal;
  PaneTestHost host;
  TFrameCableList& left = host.pane(0);
  int xName = 0, w0 = 0, xIcon = 0;
};

TEST_F(PaneDrawTest, SharedRecordsGetGreenCellsOnlyWithMarkSameCables) {
  const QColor green(0x65, 0xB2, 0x65);
  const QImage shared = render(left, 2);
  const int y = shared.height() - 1;
  EXPECT_EQ(QColor(shared.pixel(xName + w0 - 2, y)), green);  // the name cell
  EXPECT_EQ(QColor(shared.pixel(1, y)), QColor(Qt::white));   // the number is not a cell
  EXPECT_EQ(QColor(render(left, 3).pixel(xName + w0 - 2, y)), QColor(Qt::white));

  programSettings().MarkSameCables = false;
  EXPECT_EQ(QColor(render(left, 2).pixel(xName + w0 - 2, y)), QColor(Qt::white));
}

TEST_F(PaneDrawTest, DuplicateNamesAreRedAndBoldOnlyWithMarkSameNames) {
  const QImage same0 = render(left, 0);
  const QImage same1 = render(left, 1);
  EXPECT_GT(countPixels(same0, xName, xName + w0, isRed), 0);
  EXPECT_GT(countPixels(same1, xName, xName + w0, isRed), 0);
  EXPECT_EQ(countPixels(same0, 0, xName, isRed), 0);            // the number keeps its colour
  EXPECT_EQ(countPixels(same0, xName + w0, xIcon, isRed), 0);   // and so do the fields
  EXPECT_EQ(countPixels(render(left, 3), 0, xIcon, isRed), 0);  // a unique name

  programSettings().MarkSameNames = false;
  const QImage plain0 = render(left, 0);
  EXPECT_EQ(countPixels(plain0, xName, xName + w0, isRed), 0);
  // Bold: the marked name covers more pixels than the same name drawn plain.
  EXPECT_GT(countPixels(same0, xName, xName + w0, isInk),
            countPixels(plain0, xName, xName + w0, isInk));
}

TEST_F(PaneDrawTest, RecordsOfTheOtherTableGetTheMarkWhateverTheSettings) {
  const int width = CIcons::kMarkWidth;
  EXPECT_GT(countPixels(render(left, 2), xIcon, xIcon + width, isRed), 0);
  EXPECT_EQ(countPixels(render(left, 3), xIcon, xIcon + width, isInk), 0);

  programSettings().MarkSameCables = false;
  EXPECT_GT(countPixels(render(left, 2), xIcon, xIcon + width, isRed), 0);

  // Greyed on a selected row: drawn, but without its red.
  const QImage selected = render(left, 2, true);
  const QColor background(selected.pixel(selected.width() - 1, 0));
  EXPECT_EQ(countPixels(selected, xIcon, xIcon + width, isRed), 0);
  EXPECT_GT(
      countPixels(selected, xIcon, xIcon + width, [&](QRgb p) { return QColor(p) != background; }),
      0);

  // No mark without the other table.
  host.pane(1).closeTable(true);
  EXPECT_EQ(countPixels(render(left, 2), xIcon, xIcon + width, isRed), 0);
}

// A row's tooltip holds the whole record, for columns the pane cuts.
TEST_F(PaneDrawTest, TheTooltipOfARowShowsTheWholeRecord) {
  SCable dc = cable("DC", 1.5f);
  dc.material.reset(0);
  dc.setR(0.0874f);
  dc.setTwist(1.02f);
  left.appendRecord(dc);
  const QAbstractItemModel& model = *left.ListBox->model();
  EXPECT_EQ(model.data(model.index(3, 0), Qt::ToolTipRole).toString(),
            QStringLiteral("Plain\nКУ: 1.8"));
  EXPECT_EQ(
      model.data(model.index(4, 0), Qt::ToolTipRole).toString(),
      QStringLiteral("DC\nКУ: 1.5\nМатериал: Cu\nR, Ом/км: 87.4\nКоэффициент скрутки: 1.0200"));
}

// The tool icons are drawn once: the panes share them, at every size.
TEST_F(PaneDrawTest, ToolIconsAreDrawnOnce) {
  const QIcon first = CIcons::icon(CIcons::Open);
  EXPECT_FALSE(first.isNull());
  EXPECT_EQ(first.cacheKey(), CIcons::icon(CIcons::Open).cacheKey());
  EXPECT_NE(first.cacheKey(), CIcons::icon(CIcons::Save).cacheKey());
  EXPECT_EQ(first.availableSizes().size(), 4);
  EXPECT_TRUE(CIcons::icon(CIcons::Count).isNull());
}

TEST_F(PaneDrawTest, RowsOutsideTheTableDrawNothing) {
  for (int row : {-1, 4}) {
    const QImage img = render(left, row);
    EXPECT_EQ(countPixels(img, 0, img.width(), [](QRgb p) { return p != qRgb(0x80, 0x80, 0x80); }),
              0)
        << row;
  }
}

TEST_F(PaneDrawTest, RowHundredIsShiftedByOneDigit) {
  programSettings().MarkSameNames = false;
  TFrameCableList& right = host.pane(1);
  right.closeTable(true);
  right.NewExecute();
  for (int i = 0; i < 100; ++i) right.appendRecord(cable("X", 1.5f));
  auto rightmostInk = [&](int row) {
    const QImage img = render(right, row);
    for (int x = img.width() - 1; x >= 0; --x)
      for (int y = 0; y < img.height(); ++y)
        if (isInk(img.pixel(x, y)) && img.pixel(x, y) != qRgb(0x80, 0x80, 0x80)) return x;
    return -1;
  };
  const QFontMetrics fm(right.ListBox->font());
  const int digit =
      fm.horizontalAdvance(QStringLiteral("100: ")) - fm.horizontalAdvance(QStringLiteral("00: "));
  ASSERT_GT(digit, 0);
  EXPECT_EQ(rightmostInk(98), rightmostInk(0));  // rows 1 … 99 share one edge
  EXPECT_EQ(rightmostInk(99) - rightmostInk(98), digit);
}

// The geometry once against literal widths of a known font, so that a change of
// the measured texts or of the symbol's width is seen.
TEST(PaneRowColumns, MatchLiteralWidthsOfDejaVuSans) {
  QFont font(QStringLiteral("DejaVu Sans"));
  font.setPixelSize(13);
  ASSERT_EQ(QFontInfo(font).family(), QStringLiteral("DejaVu Sans"));
  const CableRowColumns c = CableRowPainter::columns(font);
  EXPECT_EQ(c.pixelSize, 13);
  EXPECT_EQ(c.glyph, 10);  // trunc(0.8 * 13)
  EXPECT_EQ(c.number, 25);
  EXPECT_EQ(c.widestNumber, 42);
  EXPECT_EQ(c.name, 132);
  EXPECT_EQ(c.ku, 41);
  EXPECT_EQ(c.material, 73);
  EXPECT_EQ(c.value, 58);
  EXPECT_EQ(c.grid, 54);
  EXPECT_EQ(c.cell(0), 41);
  EXPECT_EQ(c.cell(1), 73);
  EXPECT_EQ(c.cell(5), 58);
  EXPECT_EQ(c.onGrid(10, 10), 10);
  EXPECT_EQ(c.onGrid(10, 11), 64);
  // 42 + 10 + 132 + 41 + 73 + 58 + 58 = 414, onto the grid of 54: 432, then the mark.
  EXPECT_EQ(CableRowPainter::rowWidth(font, 30), 462);
}

struct BlendCase {
  QColor a, b;
  double f;
  QColor expected;
};

TEST(PaneBlendColor, MixesPerChannelWithAClampedWeight) {
  const QColor white(Qt::white), black(Qt::black), green(0, 0x80, 0), red(0xFF, 0, 0);
  const std::vector<BlendCase> cases = {
      {white, green, 0.6, QColor(0x65, 0xB2, 0x65)},  // a shared record's cells
      {black, red, 1.0, red},                         // a duplicate name
      {white, green, 0.0, white},
      {white, green, -0.5, white},
      {white, green, std::numeric_limits<double>::quiet_NaN(), white},
      {white, green, 7.0, green},
      {QColor(10, 20, 30, 77), QColor(110, 220, 130), 0.5, QColor(60, 120, 80, 77)},
  };
  for (const BlendCase& c : cases)
    EXPECT_EQ(CableRowPainter::blendColor(c.a, c.b, c.f), c.expected)
        << c.f << " " << CableRowPainter::blendColor(c.a, c.b, c.f).name().toStdString();
}

// The method symbol's lines, worked out by hand for two font heights.
struct GlyphCase {
  int g;
  std::uint8_t flags;
  int c;
  std::vector<QLine> lines;  // relative to the symbol's top left corner
};

TEST(PaneMethodGlyph, DrawsDashesAndPulseAtTheirPlaces) {
  // g 16: c 12, sixths 2 4 6 8 10, dashes at 8, pulse top 12, base 16.
  const std::vector<QLine> dc16 = {{0, 8, 2, 8}, {4, 8, 6, 8}, {8, 8, 10, 8}};
  const std::vector<QLine> tdr16 = {
      {0, 16, 2, 16}, {2, 12, 2, 16}, {2, 12, 6, 12}, {6, 12, 6, 16}, {6, 16, 10, 16}};
  // g 13: c 10, sixths 1 3 5 6 8, dashes at 6, pulse top 9, base 12.
  const std::vector<QLine> dc13 = {{0, 6, 1, 6}, {3, 6, 5, 6}, {6, 6, 8, 6}};
  const std::vector<QLine> tdr13 = {
      {0, 12, 1, 12}, {1, 9, 1, 12}, {1, 9, 5, 9}, {5, 9, 5, 12}, {5, 12, 8, 12}};
  std::vector<QLine> both16 = dc16;
  both16.insert(both16.end(), tdr16.begin(), tdr16.end());
  const std::vector<GlyphCase> cases = {
      {16, 0, 12, {}},     {16, 2, 12, dc16}, {16, 1, 12, tdr16},
      {16, 3, 12, both16}, {13, 2, 10, dc13}, {13, 1, 10, tdr13},
  };
  const QPoint origin(5, 3);
  for (const GlyphCase& c : cases) {
    QImage drawn(40, 30, QImage::Format_RGB32);
    drawn.fill(Qt::white);
    QPainter p(&drawn);
    p.setPen(QPen(Qt::black, 1));
    EXPECT_EQ(CableRowPainter::drawMethodGlyph(&p, origin.x(), origin.y(), c.g, c.flags), c.c);
    p.end();
    QImage expected(drawn.size(), QImage::Format_RGB32);
    expected.fill(Qt::white);
    for (const QLine& l : c.lines)
      for (int y = std::min(l.y1(), l.y2()); y <= std::max(l.y1(), l.y2()); ++y)
        for (int x = std::min(l.x1(), l.x2()); x <= std::max(l.x1(), l.x2()); ++x)
          expected.setPixel(origin.x() + x, origin.y() + y, qRgb(0, 0, 0));
    EXPECT_EQ(drawn, expected) << "g " << c.g << " flags " << int(c.flags);
  }
}

TEST_F(PaneDrawTest, RowHeightFollowsTheFontButNotBelowTheMark) {
  host.window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.window));
  // A record with every field, in both tables (so it gets the mark): row 4.
  SCable full = cable("Full", 1.5f);
  full.setDefaultResistance();
  full.setR(0.0874f);
  full.setTwist(1.02f);
  ASSERT_TRUE(left.appendRecord(full));
  ASSERT_TRUE(host.pane(1).appendRecord(full));
  // 8, 9 and 10 points may all get the mark's height: the width must follow anyway.
  for (int size : {8, 9, 10, 12, 20}) {
    left.ApplyFontSize(size);
    QApplication::processEvents();
    EXPECT_EQ(left.ListBox->font().pointSize(), size);
    const int expected = std::max(QFontMetrics(left.ListBox->font()).height(), 16);
    EXPECT_EQ(left.rowHeight(), expected) << size;
    EXPECT_EQ(left.ListBox->visualRect(left.ListBox->model()->index(1, 0)).height(), expected)
        << size;

    // The row's extent holds everything the row draws, the mark included.
    QImage img(3 * left.rowWidth(), left.rowHeight(), QImage::Format_ARGB32);
    const QRgb background = qRgb(0x80, 0x80, 0x80);
    img.fill(background);
    QPainter p(&img);
    left.ListBoxDrawItem(4, QRect(0, 0, left.rowWidth(), left.rowHeight()), QStyle::State_Enabled,
                         &p);
    p.end();
    int rightmost = -1;
    for (int x = 0; x < img.width(); ++x)
      for (int y = 0; y < img.height(); ++y)
        if (img.pixel(x, y) != background && img.pixel(x, y) != qRgb(255, 255, 255)) rightmost = x;
    EXPECT_GT(rightmost, left.rowWidth() - 2 * CIcons::kMarkWidth) << size;  // the mark
    EXPECT_LT(rightmost, left.rowWidth()) << size;
  }
}

TEST(PaneIcons, EveryImageIsDrawnAndDistinct) {
  std::vector<QImage> images;
  for (int id = 0; id < CIcons::Count; ++id) {
    const QImage img = CIcons::pixmap(static_cast<CIcons::Id>(id)).toImage();
    ASSERT_EQ(img.size(), QSize(32, 32));
    int opaque = 0;
    for (int y = 0; y < 32; ++y)
      for (int x = 0; x < 32; ++x)
        if (qAlpha(img.pixel(x, y)) > 128) ++opaque;
    EXPECT_GT(opaque, 60) << id;
    for (std::size_t j = 0; j < images.size(); ++j) EXPECT_NE(img, images[j]) << id << " " << j;
    images.push_back(img);
  }
}

TEST(PaneIcons, RowMarksPointTowardsTheOtherPane) {
  const QImage right = CIcons::rowMark(0).toImage().convertToFormat(QImage::Format_ARGB32);
  const QImage left = CIcons::rowMark(1).toImage().convertToFormat(QImage::Format_ARGB32);
  ASSERT_EQ(right.size(), QSize(30, 16));
  EXPECT_NE(right, left);
  // Mirror images of each other (up to antialiasing).
  const QImage mirrored = right.mirrored(true, false);
  int differing = 0;
  for (int y = 0; y < 16; ++y)
    for (int x = 0; x < 30; ++x) {
      const QRgb a = mirrored.pixel(x, y), b = left.pixel(x, y);
      if (std::abs(qAlpha(a) - qAlpha(b)) > 60 || std::abs(qRed(a) - qRed(b)) > 60) ++differing;
    }
  EXPECT_LT(differing, 10);
  // Red marks on both.
  EXPECT_GT(countPixels(right, 0, 30, [](QRgb p) { return qAlpha(p) > 200 && isRed(p); }), 5);
}

}  // namespace
