#include "pane/TablePrintLayout.h"

#include <algorithm>
#include <cmath>

#include <QFileInfo>
#include <QFont>
#include <QFontMetricsF>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QPen>

#include "fields/EditorFields.h"
#include "model/SListCables.h"

namespace {

const QString kOff = QStringLiteral("—");  // a quantity of a method the record does not have

// Columns whose text is a number: right-aligned so that the digits line up.
bool isNumberColumn(int column) { return column != 1 && column != 5 && column != 9; }

QFont printFont(double points, bool bold) {
  QFont f(QStringLiteral("Arial"));
  f.setFamilies(
      {QStringLiteral("Arial"), QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans")});
  f.setStyleHint(QFont::SansSerif);
  f.setPointSizeF(points);
  f.setBold(bold);
  return f;
}

QString text(const std::string& utf8) { return QString::fromStdString(utf8); }

}  // namespace

QString TablePrintLayout::methodsText(unsigned methods) {
  const bool tdr = (methods & 1u) != 0;
  const bool dc = (methods & 2u) != 0;
  if (tdr && dc) return QStringLiteral("TDR и DC");
  if (tdr) return QStringLiteral("TDR");
  if (dc) return QStringLiteral("DC");
  return QStringLiteral("нет");
}

TablePrintLayout::TablePrintLayout(const SListCables& table, const QString& fileName,
                                   const QDate& date)
    : fileName_(fileName), date_(date) {
  headers_ = {QStringLiteral("№"),        QStringLiteral("Название"), QStringLiteral("КУ"),
              QStringLiteral("V, м/мкс"), QStringLiteral("VOP"),      QStringLiteral("Материал"),
              QStringLiteral("R, Ом/км"), QStringLiteral("S, мм²"),   QStringLiteral("К укрутки"),
              QStringLiteral("Методы")};
  EditorFields fields;
  rows_.reserve(static_cast<std::size_t>(table.getCount()));
  for (int i = 0; i < table.getCount(); ++i) {
    // The editor's own texts, so that paper and screen agree.
    fields.work() = table.at(i);
    const bool tdr = fields.isOn(EditorField::TDR);
    const bool dc = fields.isOn(EditorField::DC);
    auto field = [&fields](EditorField f, bool on) {
      return on ? text(fields.FieldText(f)).trimmed() : kOff;
    };
    rows_.push_back({QString::number(i + 1), text(fields.FieldText(EditorField::CableName)),
                     field(EditorField::KU, tdr), field(EditorField::V, tdr),
                     field(EditorField::VOP, tdr), field(EditorField::Material, dc),
                     field(EditorField::Rr_20degreeC_, dc), field(EditorField::S, dc),
                     field(EditorField::K_TWISTING, dc),
                     methodsText(table.at(i).suitableMethods())});
  }
}

bool TablePrintLayout::paint(QPagedPaintDevice& device, int fromPage, int toPage) {
  QPainter p;
  if (!p.begin(&device)) return false;
  const QRectF area(0, 0, device.width(), device.height());
  const int columns = static_cast<int>(headers_.size());

  // The widest text of each column decides its width; a table wider than the
  // page gets a smaller font, never a cut name.
  double points = 9.0;
  std::vector<double> widths;
  double pad = 0;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const QFontMetricsF body(printFont(points, false), &device);
    const QFontMetricsF bold(printFont(points, true), &device);
    pad = body.averageCharWidth() * 0.8;
    widths.assign(static_cast<std::size_t>(columns), 0.0);
    for (int c = 0; c < columns; ++c) {
      double w = bold.horizontalAdvance(headers_[c]);
      for (const QStringList& row : rows_) w = std::max(w, body.horizontalAdvance(row[c]));
      widths[static_cast<std::size_t>(c)] = std::ceil(w + 2 * pad);
    }
    double total = 0;
    for (double w : widths) total += w;
    if (total <= area.width() || points <= 5.0) {
      // The room left over goes to all columns alike.
      const double extra = std::max(0.0, area.width() - total) / columns;
      for (double& w : widths) w += extra;
      break;
    }
    points = std::max(5.0, points * area.width() / total - 0.1);
  }

  const QFont body = printFont(points, false);
  const QFont bold = printFont(points, true);
  const QFont titleFont = printFont(points + 2, true);
  const QFont small = printFont(std::max(5.0, points - 1), false);
  const double rowHeight = std::ceil(QFontMetricsF(body, &device).height() * 1.4);
  const double titleHeight = QFontMetricsF(titleFont, &device).height() * 1.3;
  const double smallHeight = QFontMetricsF(small, &device).height() * 1.3;
  const double top = titleHeight + smallHeight + rowHeight * 0.5;
  const double footer = smallHeight * 1.5;
  const int perPage =
      std::max(1, static_cast<int>((area.height() - top - rowHeight - footer) / rowHeight));
  const int rows = static_cast<int>(rows_.size());
  pages_ = std::max(1, (rows + perPage - 1) / perPage);

  const int first = fromPage > 0 ? std::min(fromPage, pages_) : 1;
  const int last = toPage > 0 ? std::clamp(toPage, first, pages_) : pages_;
  const double line = std::max(1.0, device.logicalDpiY() / 150.0);  // about 0.17 mm
  const QString title = QStringLiteral("Таблица кабелей: ") +
                        (fileName_.isEmpty() ? QStringLiteral("таблица не сохранена")
                                             : QFileInfo(fileName_).fileName());
  const QString date = date_.toString(QStringLiteral("dd.MM.yyyy"));

  for (int page = first; page <= last; ++page) {
    if (page > first) device.newPage();
    // The file, the date, the page.
    p.setPen(QPen(Qt::black, line));
    p.setFont(titleFont);
    p.drawText(QRectF(area.left(), 0, area.width(), titleHeight), Qt::AlignLeft | Qt::AlignVCenter,
               title);
    p.setFont(small);
    p.drawText(QRectF(area.left(), 0, area.width(), titleHeight), Qt::AlignRight | Qt::AlignVCenter,
               date);
    if (!fileName_.isEmpty()) {
      const QFontMetricsF fm(small, &device);
      p.drawText(QRectF(area.left(), titleHeight, area.width(), smallHeight),
                 Qt::AlignLeft | Qt::AlignVCenter,
                 fm.elidedText(fileName_, Qt::ElideMiddle, area.width()));
    }
    p.drawText(QRectF(area.left(), area.bottom() - footer, area.width(), footer),
               Qt::AlignRight | Qt::AlignBottom,
               QStringLiteral("стр. %1 из %2").arg(page).arg(pages_));

    // The column header, then this page's rows.
    double y = top;
    // A header cell stands over its column's texts, aligned as they are.
    auto drawRow = [&](const QStringList& cells, bool header, bool shaded) {
      const QRectF rowRect(area.left(), y, area.width(), rowHeight);
      if (header || shaded)
        p.fillRect(rowRect, header ? QColor(220, 220, 220) : QColor(244, 244, 244));
      p.setFont(header ? bold : body);
      double x = area.left();
      for (int c = 0; c < columns; ++c) {
        const double w = widths[static_cast<std::size_t>(c)];
        const Qt::Alignment align =
            (isNumberColumn(c) ? Qt::AlignRight : Qt::AlignLeft) | Qt::AlignVCenter;
        p.drawText(QRectF(x + pad, y, w - 2 * pad, rowHeight), align, cells[c]);
        x += w;
      }
      y += rowHeight;
      p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    };
    p.drawLine(QPointF(area.left(), y), QPointF(area.right(), y));
    drawRow(headers_, true, false);
    const int begin = (page - 1) * perPage;
    const int end = std::min(rows, begin + perPage);
    for (int r = begin; r < end; ++r)
      drawRow(rows_[static_cast<std::size_t>(r)], false, r % 2 == 1);
  }
  return p.end();
}
