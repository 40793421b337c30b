#include "pane/CIcons.h"

#include <array>
#include <cmath>

#include <QColor>
#include <QLinearGradient>
#include <QCoreApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPen>
#include <QPolygonF>

namespace {

// One palette for every image.
const QColor kInk(0x2F, 0x3B, 0x45);  // outlines
const QColor kPaper(0xFF, 0xFF, 0xFF);
const QColor kPaperShade(0xDC, 0xE3, 0xE9);  // folded corner
const QColor kTextLine(0x9A, 0xA8, 0xB4);    // lines of text on a page
const QColor kBlue(0x1F, 0x6F, 0xD1);
const QColor kBlueDark(0x15, 0x4E, 0x96);
const QColor kGreen(0x2E, 0x9E, 0x4F);
const QColor kGreenDark(0x1E, 0x6E, 0x36);
const QColor kRed(0xD9, 0x30, 0x25);
const QColor kRedDark(0x9C, 0x1F, 0x17);
const QColor kAmber(0xF4, 0xB4, 0x00);
const QColor kAmberDark(0xB7, 0x7F, 0x00);
const QColor kSteel(0x4A, 0x55, 0x61);   // the instrument's case
const QColor kScreen(0x8B, 0xE0, 0x6A);  // the instrument's display
const QColor kMetal(0xC5, 0xCC, 0xD3);

QPen outline(const QColor& c, double w = 1.2) {
  QPen pen(c, w);
  pen.setJoinStyle(Qt::RoundJoin);
  pen.setCapStyle(Qt::RoundCap);
  return pen;
}

// A page with a folded top-right corner and a few lines of text.
void page(QPainter& p, const QRectF& r, bool lines = true) {
  const double f = r.width() * 0.32;
  QPolygonF body;
  body << r.topLeft() << QPointF(r.right() - f, r.top()) << QPointF(r.right(), r.top() + f)
       << r.bottomRight() << r.bottomLeft();
  p.setPen(outline(kInk));
  p.setBrush(kPaper);
  p.drawPolygon(body);
  QPolygonF fold;
  fold << QPointF(r.right() - f, r.top()) << QPointF(r.right() - f, r.top() + f)
       << QPointF(r.right(), r.top() + f);
  p.setBrush(kPaperShade);
  p.drawPolygon(fold);
  if (!lines) return;
  p.setPen(outline(kTextLine, 1.0));
  const double x0 = r.left() + r.width() * 0.2;
  const double x1 = r.right() - r.width() * 0.2;
  for (double y = r.top() + f + 2.5; y < r.bottom() - 2.0; y += 3.0)
    p.drawLine(QPointF(x0, y), QPointF(x1, y));
}

// A filled arrow from tail to head.
void blockArrow(QPainter& p, QPointF tail, QPointF head, double shaft, double headWidth,
                double headLength, const QColor& fill, const QColor& edge) {
  const double dx = head.x() - tail.x();
  const double dy = head.y() - tail.y();
  const double len = std::sqrt(dx * dx + dy * dy);
  if (len <= 0.0) return;
  const QPointF u(dx / len, dy / len);  // along the arrow
  const QPointF n(-u.y(), u.x());       // across it
  const QPointF neck = head - u * headLength;
  QPolygonF poly;
  poly << tail + n * (shaft / 2) << neck + n * (shaft / 2) << neck + n * (headWidth / 2) << head
       << neck - n * (headWidth / 2) << neck - n * (shaft / 2) << tail - n * (shaft / 2);
  p.setPen(outline(edge, 1.0));
  p.setBrush(fill);
  p.drawPolygon(poly);
}

void badge(QPainter& p, const QPointF& c, double radius, const QColor& fill, const QColor& edge) {
  p.setPen(outline(edge, 1.0));
  p.setBrush(fill);
  p.drawEllipse(c, radius, radius);
}

void cross(QPainter& p, const QPointF& c, double half, const QColor& colour, double width) {
  p.setPen(outline(colour, width));
  p.drawLine(c + QPointF(-half, -half), c + QPointF(half, half));
  p.drawLine(c + QPointF(-half, half), c + QPointF(half, -half));
}

void plus(QPainter& p, const QPointF& c, double half, const QColor& colour, double width) {
  p.setPen(outline(colour, width));
  p.drawLine(c + QPointF(-half, 0), c + QPointF(half, 0));
  p.drawLine(c + QPointF(0, -half), c + QPointF(0, half));
}

// The instrument: a handheld case with a display and two keys.
void instrument(QPainter& p, const QRectF& r) {
  p.setPen(outline(kInk));
  p.setBrush(kSteel);
  p.drawRoundedRect(r, 2.5, 2.5);
  const QRectF screen(r.left() + 2.5, r.top() + 2.5, r.width() - 5.0, r.height() * 0.45);
  p.setPen(outline(kInk, 0.8));
  p.setBrush(kScreen);
  p.drawRect(screen);
  // A trace on the display: the reflection the instrument looks for.
  p.setPen(outline(kGreenDark, 1.0));
  const double y = screen.center().y() + 1.0;
  QPolygonF trace;
  trace << QPointF(screen.left() + 1.5, y) << QPointF(screen.center().x() - 1.5, y)
        << QPointF(screen.center().x(), screen.top() + 1.5) << QPointF(screen.center().x() + 1.5, y)
        << QPointF(screen.right() - 1.5, y);
  p.drawPolyline(trace);
  p.setPen(Qt::NoPen);
  p.setBrush(kMetal);
  const double ky = screen.bottom() + (r.bottom() - screen.bottom()) / 2.0;
  p.drawEllipse(QPointF(r.left() + r.width() * 0.32, ky), 1.7, 1.7);
  p.drawEllipse(QPointF(r.left() + r.width() * 0.68, ky), 1.7, 1.7);
}

void floppy(QPainter& p, const QRectF& r) {
  QPainterPath body;
  const double c = r.width() * 0.18;
  body.moveTo(r.topLeft());
  body.lineTo(r.right() - c, r.top());
  body.lineTo(r.right(), r.top() + c);
  body.lineTo(r.bottomRight());
  body.lineTo(r.bottomLeft());
  body.closeSubpath();
  p.setPen(outline(kBlueDark));
  p.setBrush(kBlue);
  p.drawPath(body);
  // Shutter.
  const QRectF shutter(r.left() + r.width() * 0.25, r.top(), r.width() * 0.45, r.height() * 0.32);
  p.setPen(outline(kInk, 0.8));
  p.setBrush(kMetal);
  p.drawRect(shutter);
  p.setPen(Qt::NoPen);
  p.setBrush(kSteel);
  p.drawRect(QRectF(shutter.left() + shutter.width() * 0.6, shutter.top() + 1.5,
                    shutter.width() * 0.22, shutter.height() - 3.0));
  // Label.
  const QRectF label(r.left() + r.width() * 0.15, r.top() + r.height() * 0.5, r.width() * 0.7,
                     r.height() * 0.42);
  p.setPen(outline(kBlueDark, 0.8));
  p.setBrush(kPaper);
  p.drawRect(label);
  p.setPen(outline(kTextLine, 1.0));
  p.drawLine(QPointF(label.left() + 2, label.top() + label.height() * 0.4),
             QPointF(label.right() - 2, label.top() + label.height() * 0.4));
  p.drawLine(QPointF(label.left() + 2, label.top() + label.height() * 0.72),
             QPointF(label.right() - 2, label.top() + label.height() * 0.72));
}

// A pencil from the lower-left tip (tip) pointing down-left, length along the
// diagonal.
void pencil(QPainter& p, QPointF tip, double length, double width) {
  p.save();
  p.translate(tip);
  p.rotate(-45.0);
  const double w = width / 2.0;
  const double cone = width * 1.2;
  QPolygonF wood;
  wood << QPointF(0, 0) << QPointF(cone, -w) << QPointF(cone, w);
  p.setPen(outline(kInk, 1.0));
  p.setBrush(QColor(0xF3, 0xD9, 0xA4));
  p.drawPolygon(wood);
  p.setPen(Qt::NoPen);
  p.setBrush(kInk);
  p.drawPolygon(QPolygonF() << QPointF(0, 0) << QPointF(cone * 0.38, -w * 0.38)
                            << QPointF(cone * 0.38, w * 0.38));
  p.setPen(outline(kInk, 1.0));
  p.setBrush(kAmber);
  p.drawRect(QRectF(cone, -w, length - cone - width * 1.1, width));
  p.setBrush(kMetal);
  p.drawRect(QRectF(length - width * 1.1, -w, width * 0.45, width));
  p.setBrush(QColor(0xF2, 0x8B, 0x9B));
  p.drawRoundedRect(QRectF(length - width * 0.65, -w, width * 0.65, width), 1.2, 1.2);
  p.restore();
}

void folder(QPainter& p) {
  // Back of the folder with its tab.
  QPolygonF back;
  back << QPointF(3, 8) << QPointF(11, 8) << QPointF(13.5, 10.5) << QPointF(27, 10.5)
       << QPointF(27, 26) << QPointF(3, 26);
  p.setPen(outline(kAmberDark));
  p.setBrush(kAmberDark.lighter(125));
  p.drawPolygon(back);
  page(p, QRectF(8, 5, 15, 17), true);
  // Front flap, tilted open.
  QPolygonF front;
  front << QPointF(3, 26) << QPointF(7, 14) << QPointF(30, 14) << QPointF(26.5, 26);
  QLinearGradient g(QPointF(0, 14), QPointF(0, 26));
  g.setColorAt(0.0, kAmber.lighter(115));
  g.setColorAt(1.0, kAmber);
  p.setPen(outline(kAmberDark));
  p.setBrush(g);
  p.drawPolygon(front);
}

void starburst(QPainter& p, const QPointF& c, double outer, double inner) {
  QPolygonF star;
  for (int i = 0; i < 16; ++i) {
    const double a = M_PI * i / 8.0 - M_PI / 2.0;
    const double r = (i % 2 == 0) ? outer : inner;
    star << QPointF(c.x() + r * std::cos(a), c.y() + r * std::sin(a));
  }
  p.setPen(outline(kAmberDark, 0.9));
  p.setBrush(kAmber);
  p.drawPolygon(star);
}

// A bent arrow for undo: it leaves the lower right, turns over the top and
// points to the left.
void undoArrow(QPainter& p) {
  QPainterPath path;
  path.moveTo(25, 25);
  path.cubicTo(28, 14, 22, 8.5, 12, 9.5);
  QPen band(kBlueDark, 6.4);
  band.setCapStyle(Qt::FlatCap);
  p.setPen(band);
  p.setBrush(Qt::NoBrush);
  p.drawPath(path);
  QPen inner(kBlue, 4.2);
  inner.setCapStyle(Qt::FlatCap);
  p.setPen(inner);
  p.drawPath(path);
  QPolygonF head;
  head << QPointF(3, 10) << QPointF(13, 2.5) << QPointF(13, 17.5);
  p.setPen(outline(kBlueDark, 1.0));
  p.setBrush(kBlue);
  p.drawPolygon(head);
}

void twoPages(QPainter& p) {
  page(p, QRectF(3, 3, 14, 18), false);
  page(p, QRectF(8, 8, 14, 18), true);
}

void bin(QPainter& p) {
  QPolygonF body;
  body << QPointF(8, 10) << QPointF(24, 10) << QPointF(22.3, 28) << QPointF(9.7, 28);
  p.setPen(outline(kInk));
  p.setBrush(QColor(0xE6, 0xE9, 0xED));
  p.drawPolygon(body);
  p.setPen(outline(kSteel, 1.3));
  p.drawLine(QPointF(12.5, 13), QPointF(13, 25));
  p.drawLine(QPointF(16, 13), QPointF(16, 25));
  p.drawLine(QPointF(19.5, 13), QPointF(19, 25));
  p.setPen(outline(kRedDark));
  p.setBrush(kRed);
  p.drawRoundedRect(QRectF(5.5, 6.5, 21, 3.5), 1.2, 1.2);
  p.drawRoundedRect(QRectF(12.5, 3.5, 7, 3), 1.0, 1.0);
}

void drawTool(QPainter& p, CIcons::Id id) {
  switch (id) {
    case CIcons::Open:
      folder(p);
      break;
    case CIcons::New:
      page(p, QRectF(6, 3, 19, 26));
      starburst(p, QPointF(24, 8), 6.5, 3.0);
      break;
    case CIcons::Save:
      floppy(p, QRectF(4, 4, 24, 24));
      break;
    case CIcons::SaveAs:
      floppy(p, QRectF(2, 2, 22, 22));
      pencil(p, QPointF(15, 29), 19, 5.0);
      break;
    case CIcons::LoadFromDevice:
      instrument(p, QRectF(2, 12, 15, 18));
      page(p, QRectF(18, 2, 12, 15), false);
      blockArrow(p, QPointF(10, 11), QPointF(22, 19.5), 3.5, 8.5, 5.5, kGreen, kGreenDark);
      break;
    case CIcons::SaveToDevice:
      page(p, QRectF(2, 2, 12, 15), false);
      instrument(p, QRectF(15, 12, 15, 18));
      blockArrow(p, QPointF(9, 11), QPointF(21, 19.5), 3.5, 8.5, 5.5, kBlue, kBlueDark);
      break;
    case CIcons::Close:
      page(p, QRectF(4, 2, 18, 25));
      badge(p, QPointF(22.5, 22.5), 7.5, kRed, kRedDark);
      cross(p, QPointF(22.5, 22.5), 3.3, kPaper, 2.4);
      break;
    case CIcons::Up:
      blockArrow(p, QPointF(16, 29), QPointF(16, 3), 8, 22, 12, kBlue, kBlueDark);
      break;
    case CIcons::Down:
      blockArrow(p, QPointF(16, 3), QPointF(16, 29), 8, 22, 12, kBlue, kBlueDark);
      break;
    case CIcons::Add:
      badge(p, QPointF(16, 16), 12.5, kGreen, kGreenDark);
      plus(p, QPointF(16, 16), 7, kPaper, 4.0);
      break;
    case CIcons::Edit:
      pencil(p, QPointF(4, 28), 34, 7.0);
      break;
    case CIcons::Delete:
      bin(p);
      break;
    case CIcons::Undo:
      undoArrow(p);
      break;
    case CIcons::Redo:
      p.translate(32, 0);
      p.scale(-1, 1);
      undoArrow(p);
      break;
    case CIcons::CopyRight:
      twoPages(p);
      blockArrow(p, QPointF(14, 24), QPointF(31, 24), 4, 11, 7, kGreen, kGreenDark);
      break;
    case CIcons::CopyLeft:
      p.translate(32, 0);
      p.scale(-1, 1);
      twoPages(p);
      blockArrow(p, QPointF(14, 24), QPointF(31, 24), 4, 11, 7, kGreen, kGreenDark);
      break;
    case CIcons::Count:
      break;
  }
}

}  // namespace

QPixmap CIcons::pixmap(Id id, int size) {
  QPixmap pm(size, size);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  p.scale(size / 32.0, size / 32.0);
  drawTool(p, id);
  p.end();
  return pm;
}

namespace {

// Drawn once per run: both panes and every tool button share them. Emptied when the
// application ends, as pixmaps must not outlive it.
std::array<QIcon, CIcons::Count>& iconCache() {
  static std::array<QIcon, CIcons::Count> cache;
  static const bool cleared = [] {
    qAddPostRoutine([] { iconCache().fill(QIcon()); });
    return true;
  }();
  static_cast<void>(cleared);
  return cache;
}

}  // namespace

QIcon CIcons::icon(Id id) {
  if (id < 0 || id >= Count) return QIcon();
  QIcon& cached = iconCache()[static_cast<std::size_t>(id)];
  if (cached.isNull()) {
    for (int size : {16, 24, 32, 64}) cached.addPixmap(pixmap(id, size));
  }
  return cached;
}

QPixmap CIcons::rowMark(int paneIndex) {
  QPixmap pm(kMarkWidth, kMarkHeight);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);
  if (paneIndex != 0) {
    // Pane 2 points to the left: the same picture, mirrored.
    p.translate(kMarkWidth, 0);
    p.scale(-1, 1);
  }
  page(p, QRectF(2.5, 1.5, 10, 13), false);
  p.setPen(outline(kTextLine, 1.0));
  p.drawLine(QPointF(4.5, 8), QPointF(10.5, 8));
  p.drawLine(QPointF(4.5, 11), QPointF(10.5, 11));
  blockArrow(p, QPointF(13.5, 8), QPointF(28, 8), 3, 9, 5.5, kBlue, kBlueDark);
  // The X spans the whole mark: document and arrow are both crossed out.
  p.setPen(outline(kRed, 2.2));
  p.drawLine(QPointF(4, 2), QPointF(26, 14));
  p.drawLine(QPointF(4, 14), QPointF(26, 2));
  p.end();
  return pm;
}
