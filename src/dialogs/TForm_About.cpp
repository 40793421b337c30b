#include "dialogs/TForm_About.h"

#include <QDesktopServices>
#include <QEvent>
#include <QFont>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPushButton>
#include <QUrl>

namespace {

// The maker's contacts. Placeholders until the maker puts in its own.
const char* const kTelephone = "+7 (000) 000-00-00, +7 (000) 000-00-01";
const char* const kPostalAddress = "000000, Россия, г. Примерск, ул. Образцовая, д. 1";
const char* const kMail = "info@example.com";
const char* const kMail2 = "support@example.com";
const char* const kSite = "www.example.com";

const QColor kLinkColor(0, 0, 255);
const QColor kFollowedLinkColor(0, 0, 128);  // navy

constexpr int kFieldHeight = 21;

QLabel* label(QWidget* parent, const QString& text, int left, int top) {
  auto* l = new QLabel(text, parent);
  l->move(left, top);
  l->adjustSize();
  return l;
}

QLineEdit* field(QWidget* parent, const char* text, int left, int top, int width) {
  auto* e = new QLineEdit(QString::fromUtf8(text), parent);
  e->setReadOnly(true);
  e->setFrame(false);
  e->setGeometry(left, top, width, kFieldHeight);
  e->setCursorPosition(0);
  return e;
}

void fitWidth(QLineEdit* e) {
  // A frameless line edit keeps a few pixels of margin on each side.
  const int needed = e->fontMetrics().horizontalAdvance(e->text()) + 8;
  if (needed > e->width()) e->resize(needed, e->height());
}

void setTextColor(QLineEdit* e, const QColor& color) {
  QPalette p = e->palette();
  p.setColor(QPalette::Text, color);
  e->setPalette(p);
}

}  // namespace

TForm_About::TForm_About(const CProgramInfo& info, QWidget* parent)
    : TForm_About(info.Version(), info.BuildDate(), info.BuildYear(), parent) {}

TForm_About::TForm_About(const QString& version, const QDate& buildDate, int buildYear,
                         QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  build();
  Label_Version->setText(QStringLiteral("Версия: ") + version);
  Label_Version->adjustSize();
  Label_Date->setText(QStringLiteral("Дата: ") +
                      QLocale::system().toString(buildDate, QLocale::ShortFormat));
  Label_Date->adjustSize();
  Label_Copyright->setText(copyrightPrefix() + QString::number(buildYear));
  Label_Copyright->adjustSize();
}

QString TForm_About::copyrightPrefix() { return QStringLiteral("© ООО «Пример», "); }

void TForm_About::build() {
  setWindowTitle(QStringLiteral("О программе"));
  setFont(QFont(QStringLiteral("Tahoma"), 8));
  setFixedSize(435, 297);

  Image_Logo = new QLabel(this);
  Image_Logo->setGeometry(8, 8, 128, 34);
  Image_Logo->setPixmap(drawLogo());

  Panel1 = new QWidget(this);
  Panel1->setObjectName(QStringLiteral("Panel1"));
  Panel1->setGeometry(0, 48, 435, 214);
  Panel1->setMouseTracking(true);

  Label_Name = label(Panel1, QStringLiteral("Редактор кабелей для ВИРД-50."), 8, 0);
  Label_Version = label(Panel1, QString(), 8, 24);
  Label_Date = label(Panel1, QString(), 8, 48);
  Label_Copyright = label(Panel1, QString(), 8, 72);
  Label6 = label(Panel1, QStringLiteral("С нами можно связаться:"), 8, 96);

  const struct {
    const char* caption;
    int top;
  } captions[] = {{"Телефон:", 117}, {"Почта:", 141}, {"E-mail:", 165}, {"Сайт:", 189}};
  for (const auto& c : captions) {
    auto* l = new QLabel(QString::fromUtf8(c.caption), Panel1);
    l->setGeometry(24, c.top, 62, kFieldHeight);
    l->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  }

  Edit2 = field(Panel1, kTelephone, 88, 117, 337);
  Edit3 = field(Panel1, kPostalAddress, 88, 141, 337);
  Edit_Mail = field(Panel1, kMail, 88, 165, 73);
  Edit1 = field(Panel1, kMail2, 168, 165, 73);
  Edit4 = field(Panel1, kSite, 88, 189, 73);

  const QColor panelColor = Panel1->palette().color(QPalette::Window);
  for (QLineEdit* e : {Edit2, Edit3, Edit_Mail, Edit1, Edit4}) {
    QPalette p = e->palette();
    p.setColor(QPalette::Base, panelColor);
    e->setPalette(p);
  }
  for (QLineEdit* e : {Edit_Mail, Edit1, Edit4}) {
    setTextColor(e, kLinkColor);
    e->setMouseTracking(true);
  }
  // The link fields are designed 73 wide; an address that does not fit widens its field
  // (and moves the second address along) rather than being cut off.
  fitWidth(Edit_Mail);
  fitWidth(Edit1);
  fitWidth(Edit4);
  const int afterFirstMail = Edit_Mail->geometry().right() + 8;
  if (Edit1->x() < afterFirstMail) Edit1->move(afterFirstMail, Edit1->y());
  linkCursor_ = Edit_Mail->cursor();
  // Out of the Tab order, still reachable by the mouse.
  Edit_Mail->setFocusPolicy(Qt::ClickFocus);
  Edit4->setFocusPolicy(Qt::ClickFocus);

  Button_Close = new QPushButton(QStringLiteral("Закрыть"), this);
  Button_Close->setGeometry(347, 265, 75, 25);
  connect(Button_Close, &QPushButton::clicked, this, [this] { done(1); });

  // Tab order is the order of creation: Edit2, Edit3, Edit1, Button_Close.

  // The window sees key presses before its controls.
  // It also takes the panel's and the fields' mouse events.
  for (QWidget* w : findChildren<QWidget*>()) w->installEventFilter(this);
}

QPixmap TForm_About::drawLogo() {
  QPixmap pm(128, 34);
  pm.fill(Qt::transparent);
  QPainter p(&pm);
  p.setRenderHint(QPainter::Antialiasing);

  // A cable lead: dark sheath, copper core at its cut end.
  QPainterPath cable;
  cable.moveTo(2, 27);
  cable.cubicTo(12, 27, 14, 8, 26, 8);
  cable.lineTo(34, 8);
  p.setPen(QPen(QColor(40, 40, 48), 6, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(cable);
  p.setPen(QPen(QColor(196, 110, 40), 2.5, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(34, 8), QPointF(40, 8));

  // A probing pulse and its echo from a fault.
  p.setPen(QPen(QColor(200, 30, 30), 1.6));
  const QPointF trace[] = {{6, 31},  {14, 31}, {16, 22}, {18, 31},
                           {30, 31}, {32, 27}, {34, 31}, {40, 31}};
  p.drawPolyline(trace, int(sizeof trace / sizeof trace[0]));

  QFont f(QStringLiteral("Arial"));
  f.setBold(true);
  f.setPixelSize(20);
  const QString name = QStringLiteral("ВИРД-50");
  while (f.pixelSize() > 8 && QFontMetrics(f).horizontalAdvance(name) > 84)
    f.setPixelSize(f.pixelSize() - 1);
  p.setFont(f);
  p.setPen(QColor(0, 0, 128));
  p.drawText(QRect(44, 0, 84, 34), Qt::AlignLeft | Qt::AlignVCenter, name);
  p.end();
  return pm;
}

void TForm_About::reject() { done(2); }

void TForm_About::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  Button_Close->setFocus(Qt::OtherFocusReason);
}

bool TForm_About::isLink(const QObject* o) const {
  return o != nullptr && (o == Edit_Mail || o == Edit1 || o == Edit4);
}

bool TForm_About::eventFilter(QObject* watched, QEvent* event) {
  switch (event->type()) {
    case QEvent::KeyPress:
      if (FormKeyDown(static_cast<QKeyEvent*>(event))) return true;
      break;
    case QEvent::MouseMove:
      if (watched == Panel1)
        Panel1MouseMove();
      else if (isLink(watched))
        LinkMouseMove(static_cast<QLineEdit*>(watched));
      break;
    case QEvent::MouseButtonRelease: {
      auto* mouse = static_cast<QMouseEvent*>(event);
      auto* w = qobject_cast<QLineEdit*>(watched);
      if (w == nullptr || mouse->button() != Qt::LeftButton ||
          !w->rect().contains(mouse->position().toPoint()))
        break;
      if (isLink(w))
        LinkClick(w);
      else if (w == Edit2 || w == Edit3)
        EditSelectAll(w);
      break;
    }
    case QEvent::FocusIn:
      // The field's own focus handling keeps a selection; a click's press then moves
      // the cursor, which the release above undoes.
      if (watched == Edit2 || watched == Edit3) EditSelectAll(static_cast<QLineEdit*>(watched));
      break;
    default:
      break;
  }
  return QDialog::eventFilter(watched, event);
}

bool TForm_About::FormKeyDown(QKeyEvent* event) {
  if (event->key() != Qt::Key_Escape || event->modifiers() != Qt::NoModifier) return false;
  event->accept();
  done(2);
  return true;
}

void TForm_About::EditSelectAll(QLineEdit* field) { field->selectAll(); }

void TForm_About::LinkClick(QLineEdit* field) {
  QString target = field->text();
  setTextColor(field, kFollowedLinkColor);
  if (target.contains(QLatin1Char('@'))) target.prepend(QStringLiteral("mailto:"));
  const QUrl url =
      target.startsWith(QStringLiteral("mailto:")) ? QUrl(target) : QUrl::fromUserInput(target);
  QDesktopServices::openUrl(url);
}

void TForm_About::LinkMouseMove(QLineEdit* field) {
  if (highlighted_ != nullptr) return;
  setLinkHighlighted(field, true);
  highlighted_ = field;
}

void TForm_About::Panel1MouseMove() {
  if (highlighted_ == nullptr) return;
  setLinkHighlighted(highlighted_, false);
  highlighted_ = nullptr;
}

void TForm_About::setLinkHighlighted(QLineEdit* field, bool on) {
  QFont f = field->font();
  f.setUnderline(on);
  field->setFont(f);
  if (on)
    field->setCursor(Qt::PointingHandCursor);
  else
    field->setCursor(linkCursor_);
}
