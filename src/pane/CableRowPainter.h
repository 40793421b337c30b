#pragma once

#include <cstdint>

#include <QColor>
#include <QRect>
#include <QStyle>

class QFont;
class QPainter;
class QPixmap;
class QWidget;
struct SCable;

// Where the parts of a row go, measured in the list's font. Every user of the
// geometry (row drawing, row width, the tests) takes it from columns().
struct CableRowColumns {
  int pixelSize = 0;     // g: the font's height in pixels
  int glyph = 0;         // c = trunc(0.8 g): the method symbol
  int number = 0;        // "00: ": rows 1 … 99 share this edge
  int widestNumber = 0;  // "0000: ", the widest number of a full table
  int name = 0;          // "1234567890123456"
  int ku = 0;            // " 1.500"
  int material = 0;      // " CuM1E*(..."
  int value = 0;         // " 0.00000": the fourth and later fields
  int grid = 0;          // "00.0000": the mark starts on a multiple of it

  // Width of field cell i (0 = the first field after the name).
  int cell(int i) const { return i == 0 ? ku : (i == 1 ? material : value); }
  // x rounded up onto the grid, counted from left.
  int onGrid(int left, int x) const;
};

// What a row shows besides the record itself.
struct CableRowMarks {
  bool duplicateName = false;  // another record of the table has the same name
  bool inOtherTable = false;   // an equal record is in the other pane's table
  bool markSameNames = false;  // the settings MarkSameNames and MarkSameCables
  bool markSameCables = false;
};

// Draws the rows of a table pane's list.
class CableRowPainter {
 public:
  static CableRowColumns columns(const QFont& font);
  // Width of a full row: the widest number, the symbol, the name and four field
  // cells, rounded onto the grid, and the mark of markWidth.
  static int rowWidth(const QFont& font, int markWidth);

  // Draws one row of list: row is the 0-based index, mark the row mark shown when
  // the record is in the other table (greyed here on a selected row).
  static void paint(QPainter* painter, const QWidget* list, const QRect& rect, QStyle::State state,
                    int row, const SCable& rec, const CableRowMarks& marks, const QPixmap& mark);

  // Weighted mix of two colours per channel; f clamped to 0 … 1 (NaN: 0); the
  // alpha of a is kept.
  static QColor blendColor(const QColor& a, const QColor& b, double f);
  // The method symbol (bit 1 TDR pulse, bit 2 DC dashes) in the current pen;
  // returns its width c = trunc(0.8 g).
  static int drawMethodGlyph(QPainter* painter, int x0, int y0, int g, std::uint8_t flags);
};
