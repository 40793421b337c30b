#include "pane/CableRowPainter.h"

#include <algorithm>
#include <cstring>

#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPixmap>
#include <QStringList>
#include <QStyleOption>
#include <QWidget>

#include "model/RecordText.h"
#include "model/SCable.h"

using namespace tolmira;

int CableRowColumns::onGrid(int left, int x) const {
  const int step = std::max(1, grid);
  return left + (x - left + step - 1) / step * step;
}

CableRowColumns CableRowPainter::columns(const QFont& font) {
  const QFontMetrics fm(font);
  CableRowColumns c;
  c.pixelSize = QFontInfo(font).pixelSize();
  c.glyph = static_cast<int>(0.8 * c.pixelSize);
  c.number = fm.horizontalAdvance(QStringLiteral("00: "));
  c.widestNumber = fm.horizontalAdvance(QStringLiteral("0000: "));
  c.name = fm.horizontalAdvance(QStringLiteral("1234567890123456"));
  c.ku = fm.horizontalAdvance(QStringLiteral(" 1.500"));
  c.material = fm.horizontalAdvance(QStringLiteral(" CuM1E*(..."));
  c.value = fm.horizontalAdvance(QStringLiteral(" 0.00000"));
  c.grid = fm.horizontalAdvance(QStringLiteral("00.0000"));
  return c;
}

int CableRowPainter::rowWidth(const QFont& font, int markWidth) {
  const CableRowColumns c = columns(font);
  int x = c.widestNumber + c.glyph + c.name;
  for (int i = 0; i < 4; ++i) x += c.cell(i);
  return c.onGrid(0, x) + markWidth;
}

QColor CableRowPainter::blendColor(const QColor& a, const QColor& b, double f) {
  // Single precision, as the firmware's colour code computes it.
  float w = static_cast<float>(f);
  if (!(w >= 0.0f)) w = 0.0f;
  if (w > 1.0f) w = 1.0f;
  const QColor ra = a.toRgb();
  const QColor rb = b.toRgb();
  auto mix = [w](int x, int y) {
    const float v = static_cast<float>(x) * (1.0f - w) + static_cast<float>(y) * w;
    return std::clamp(static_cast<int>(v), 0, 255);
  };
  return QColor(mix(ra.red(), rb.red()), mix(ra.green(), rb.green()), mix(ra.blue(), rb.blue()),
                ra.alpha());
}

int CableRowPainter::drawMethodGlyph(QPainter* painter, int x0, int y0, int g, std::uint8_t flags) {
  const int c = static_cast<int>(0.8 * g);
  if (flags & 2) {  // DC
    const int y = y0 + (2 * g) / 4;
    painter->drawLine(x0, y, x0 + c / 6, y);
    painter->drawLine(x0 + 2 * c / 6, y, x0 + 3 * c / 6, y);
    painter->drawLine(x0 + 4 * c / 6, y, x0 + 5 * c / 6, y);
  }
  if (flags & 1) {  // TDR
    const int t = y0 + (3 * g) / 4;
    const int b = t + g / 4;
    const QPoint pulse[] = {{x0, b},
                            {x0 + c / 6, b},
                            {x0 + c / 6, t},
                            {x0 + 3 * c / 6, t},
                            {x0 + 3 * c / 6, b},
                            {x0 + 5 * c / 6, b}};
    painter->drawPolyline(pulse, 6);
  }
  return c;
}

void CableRowPainter::paint(QPainter* painter, const QWidget* list, const QRect& rect,
                            QStyle::State state, int row, const SCable& rec,
                            const CableRowMarks& marks, const QPixmap& mark) {
  painter->save();
  painter->setRenderHint(QPainter::Antialiasing, false);
  const QFont font = list->font();
  painter->setFont(font);
  const QFontMetrics fm(font);
  const CableRowColumns col = columns(font);
  const bool selected = state & QStyle::State_Selected;
  const QPalette& palette = list->palette();
  QColor brush =
      selected ? palette.color(QPalette::Active, QPalette::Highlight) : QColor(Qt::white);
  const QColor pen = selected ? QColor(Qt::white) : QColor(Qt::black);
  const QColor textColour = selected ? palette.color(QPalette::Active, QPalette::HighlightedText)
                                     : palette.color(QPalette::WindowText);
  const int y = rect.top();
  const int h = rect.height();
  int x = rect.left();
  painter->fillRect(rect, brush);

  // Number column: rows 1 … 99 share one edge.
  const QString number = QString::number(row + 1) + QStringLiteral(": ");
  painter->setPen(textColour);
  painter->drawText(QRect(x, y, std::max(1, rect.right() - x + 1), h),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine | Qt::TextDontClip, number);
  x += (row + 1 < 100) ? col.number : fm.horizontalAdvance(number);

  painter->setPen(pen);
  x += drawMethodGlyph(painter, x, y, col.pixelSize, rec.suitableMethods());

  if (marks.markSameCables && marks.inOtherTable)
    brush = blendColor(brush, QColor(0, 0x80, 0), 0.6);

  // Name cell.
  QColor nameColour = textColour;
  QFont nameFont = font;
  if (marks.markSameNames && marks.duplicateName) {
    nameColour = blendColor(textColour, QColor(0xFF, 0, 0), 1.0);
    nameFont.setBold(true);
  }
  const QRect nameCell(x, y, col.name, h);
  painter->fillRect(nameCell, brush);
  painter->setFont(nameFont);
  painter->setPen(nameColour);
  painter->drawText(nameCell.adjusted(2, 0, 0, 0),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine,
                    QString::fromStdString(recordName(rec)));
  painter->setFont(font);
  painter->setPen(textColour);
  x += col.name;

  // Field cells: the record's line behind its name.
  const QString line = QString::fromStdString(recordLine(rec));
  const int tab = line.indexOf(QLatin1Char('\t'));
  if (tab >= 0) {
    const QStringList fields = line.mid(tab + 1).split(QLatin1Char('\t'), Qt::KeepEmptyParts);
    const QString dots = QStringLiteral("...");
    for (int i = 0; i < fields.size(); ++i) {
      const int width = col.cell(i);
      QString field = fields[i];
      if (fm.horizontalAdvance(field) > width) {
        do {
          field.chop(1);
        } while (!field.isEmpty() && fm.horizontalAdvance(field + dots) > width);
        field += dots;
      }
      const QRect cell(x, y, width, h);
      painter->fillRect(cell, brush);
      painter->drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, field);
      x += width;
    }
  }

  x = col.onGrid(rect.left(), x);

  if (marks.inOtherTable && !mark.isNull()) {
    QPixmap shown = mark;
    if (selected) {
      QStyleOption opt;
      opt.initFrom(list);
      shown = list->style()->generatedIconPixmap(QIcon::Disabled, mark, &opt);
    }
    painter->drawPixmap(x, y + std::max(0, h - shown.height()) / 2, shown);
  }

  if (state & QStyle::State_HasFocus) {
    QPen focusPen(textColour);
    focusPen.setStyle(Qt::DotLine);
    painter->setPen(focusPen);
    painter->setBrush(Qt::NoBrush);
    painter->drawRect(rect.adjusted(0, 0, -1, -1));
  }
  painter->restore();
}
