#include "dialogs/TForm_MessageBox.h"

#include <algorithm>
#include <utility>

#include <QApplication>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QWindow>

#include "dialogs/Hint.h"
#include "dialogs/MessageBoxLayout.h"

using namespace tolmira;

namespace {

constexpr int kTitleBarExtras = 80;
TForm_MessageBox* g_instance = nullptr;
QPointer<QWidget> g_mainWindow;

constexpr int kEscapeResult = 2;
constexpr int kUnbounded = 1 << 20;

Qt::Alignment horizontalAlignment(int alignment) {
  switch (alignment) {
    case 0:
      return Qt::AlignLeft;
    case 1:
      return Qt::AlignRight;
    default:
      return Qt::AlignHCenter;
  }
}

// A caption may hold line breaks; the button is as wide as its longest line.
int captionWidth(const QFontMetrics& fm, const QString& caption) {
  int width = 0;
  for (const QString& line : caption.split(QLatin1Char('\n')))
    width = std::max(width, fm.horizontalAdvance(line));
  return width;
}

QScreen* screenFor(QWidget* anchor, QWidget* mainWindow) {
  if (anchor && anchor->screen()) return anchor->screen();
  if (mainWindow && mainWindow->screen()) return mainWindow->screen();
  return QGuiApplication::primaryScreen();
}
}  // namespace

TForm_MessageBox::TForm_MessageBox(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                          Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
  setObjectName(QStringLiteral("Form_MessageBox"));
  setModal(true);
  setSizeGripEnabled(false);

  PanelText = new QWidget(this);
  PanelText->setObjectName(QStringLiteral("PanelText"));
  PanelText->setAutoFillBackground(true);
  QPalette textPalette = PanelText->palette();
  textPalette.setColor(QPalette::Window, textPalette.color(QPalette::Base));
  PanelText->setPalette(textPalette);

  // The text area's colour shows through; the view never takes the focus from the
  // buttons, the mouse wheel still scrolls it.
  ScrollText = new QScrollArea(PanelText);
  ScrollText->setObjectName(QStringLiteral("ScrollText"));
  ScrollText->setFrameShape(QFrame::NoFrame);
  ScrollText->setFocusPolicy(Qt::NoFocus);
  ScrollText->setWidgetResizable(false);
  ScrollText->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollText->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  ScrollText->verticalScrollBar()->setFocusPolicy(Qt::NoFocus);
  ScrollText->setAutoFillBackground(false);
  ScrollText->viewport()->setAutoFillBackground(false);

  LabelText = new QLabel;
  LabelText->setObjectName(QStringLiteral("LabelText"));
  // Texts carry file and cable names: never let them be read as markup.
  LabelText->setTextFormat(Qt::PlainText);
  LabelText->setWordWrap(true);
  LabelText->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  LabelText->installEventFilter(this);
  ScrollText->setWidget(LabelText);
  LabelText->setAutoFillBackground(false);

  PanelButtons = new QWidget(this);
  PanelButtons->setObjectName(QStringLiteral("PanelButtons"));
  PanelButtons->setAutoFillBackground(true);
  QPalette facePalette = PanelButtons->palette();
  facePalette.setColor(QPalette::Window, facePalette.color(QPalette::Button));
  PanelButtons->setPalette(facePalette);

  resize(300, 100);
  if (!g_instance) g_instance = this;
}

TForm_MessageBox::~TForm_MessageBox() {
  if (g_instance == this) g_instance = nullptr;
}

TForm_MessageBox& TForm_MessageBox::instance() {
  // Made on first use only where no application object made it (tests); it then
  // lives, like the application's one, until the process ends.
  if (!g_instance) new TForm_MessageBox();
  return *g_instance;
}

void TForm_MessageBox::setMainWindow(QWidget* w) { g_mainWindow = w; }

TForm_MessageBox& TForm_MessageBox::AddButton(const QString& caption, const QString& hint,
                                              int result) {
  if (caption.isEmpty()) return *this;
  pending_.push_back({caption, hint, result});
  return *this;
}

TForm_MessageBox& TForm_MessageBox::AddButton(const QString& caption, int result) {
  return AddButton(caption, QString(), result);
}

TForm_MessageBox& TForm_MessageBox::AddButton(const QString& caption) {
  return AddButton(caption, QString());
}

TForm_MessageBox& TForm_MessageBox::AddButton(const QString& caption, const QString& hint) {
  return AddButton(caption, hint, 3 + static_cast<int>(pending_.size()));
}

TForm_MessageBox& TForm_MessageBox::SetAnchor(QWidget* anchor) {
  anchor_ = anchor;
  return *this;
}

TForm_MessageBox& TForm_MessageBox::SetFocusButton(int index) {
  focusButton_ = index;
  return *this;
}

int TForm_MessageBox::Ask(const QString& text, const QString& title, bool wordWrap, int alignment) {
  ModalQuestion q;
  q.title = title;
  q.text = text;
  q.wordWrap = wordWrap;
  q.alignment = alignment;
  // Bits 8 to 11 choose the focused button, as for the standard questions.
  q.flags =
      focusButton_ >= 0 && focusButton_ < 4 ? static_cast<std::uint32_t>(focusButton_) << 8 : 0;
  q.anchor = anchor_.data();
  return askQuestion(std::move(q));
}

int TForm_MessageBox::AskStandard(const QString& text, const QString& title, std::uint32_t flags,
                                  QWidget* anchor) {
  pending_.clear();
  const QString ok = QStringLiteral("Хорошо");
  const QString cancel = QStringLiteral("Отмена");
  const QString abort = QStringLiteral("Прервать");
  const QString retry = QStringLiteral("Повторить");
  const QString yes = QStringLiteral("Да");
  const QString no = QStringLiteral("Нет");
  switch (flags & 0xF) {
    case 0:
      AddButton(ok, 1);
      break;
    case 1:
      AddButton(ok, 1).AddButton(cancel, 2);
      break;
    case 2:
      AddButton(abort, 3).AddButton(retry, 4).AddButton(cancel, 2);
      break;
    case 3:
      AddButton(yes, 6).AddButton(no, 7).AddButton(cancel, 2);
      break;
    case 4:
      AddButton(yes, 6).AddButton(no, 7);
      break;
    case 5:
      AddButton(retry, 4).AddButton(cancel, 2);
      break;
    default:
      break;  // no standard set: the question gets "Закрыть"
  }
  ModalQuestion q;
  q.title = title;
  q.text = text;
  q.wordWrap = true;
  q.alignment = 2;
  q.flags = flags;
  q.anchor = anchor;
  return askQuestion(std::move(q));
}

int TForm_MessageBox::AskFour(const QString& text, const QString& title, const QString& c1,
                              const QString& c2, const QString& c3, const QString& c4,
                              std::uint32_t flags, const QString& h1, const QString& h2,
                              const QString& h3, const QString& h4) {
  pending_.clear();
  // Results follow the position in the call, so a skipped caption leaves a hole.
  AddButton(c1, h1, 3).AddButton(c2, h2, 4).AddButton(c3, h3, 5).AddButton(c4, h4, 6);
  ModalQuestion q;
  q.title = title;
  q.text = text;
  q.wordWrap = true;
  q.alignment = 2;
  q.flags = flags;
  q.anchor = anchor_.data();
  return askQuestion(std::move(q));
}

int TForm_MessageBox::askQuestion(ModalQuestion q) {
  q.buttons = std::move(pending_);
  if (q.buttons.empty()) q.buttons.push_back({QStringLiteral("Закрыть"), QString(), 2});
  // The buttons and the anchor belong to this one question, whatever its outcome.
  pending_.clear();
  anchor_.clear();
  focusButton_ = -1;
  return CModal::current().messageBox(q);
}

QPushButton* TForm_MessageBox::button(int index) const {
  return index >= 0 && index < buttonCount() ? buttons_[index] : nullptr;
}

int TForm_MessageBox::execQuestion(const ModalQuestion& q) {
  // A modal window cannot take a second question while it shows one.
  if (isVisible()) return kEscapeResult;
  clearQuestion();

  std::vector<ModalButton> buttons = q.buttons;
  if (buttons.empty()) buttons.push_back({QStringLiteral("Закрыть"), QString(), 2});

  // Reports end their lines with CR LF; the label breaks lines at LF alone.
  QString text = q.text;
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  setWindowTitle(q.title);
  LabelText->setText(text);
  LabelText->setAlignment(horizontalAlignment(q.alignment) | Qt::AlignTop);

  const QFontMetrics fm(font());
  layoutIn_ = MessageBoxLayoutInput();
  MessageBoxLayoutInput& in = layoutIn_;
  for (const ModalButton& b : buttons) {
    auto* button = new QPushButton(b.caption, PanelButtons);
    button->setObjectName(QStringLiteral("Button%1").arg(buttons_.size()));
    button->setToolTip(tolmira::hintToolTip(b.hint));
    button->setAutoDefault(true);
    button->installEventFilter(this);
    const int result = b.result;
    connect(button, &QPushButton::clicked, this, [this, result] { done(result); });
    buttons_.push_back(button);
    in.buttonWidths.push_back(messageBoxButtonWidth(captionWidth(fm, b.caption)));
    in.buttonHeight = std::max(in.buttonHeight, button->sizeHint().height());
  }

  const QFontMetrics labelMetrics(LabelText->font());
  const int textFlags = Qt::TextExpandTabs | horizontalAlignment(q.alignment);
  const QRect natural =
      labelMetrics.boundingRect(QRect(0, 0, kUnbounded, kUnbounded), textFlags, text);
  in.textWidth = text.isEmpty() ? 0 : natural.width();
  in.textHeight = text.isEmpty() ? 0 : natural.height();
  in.wrappedHeight = [labelMetrics, textFlags, text](int width) {
    return labelMetrics
        .boundingRect(QRect(0, 0, width, kUnbounded), textFlags | Qt::TextWordWrap, text)
        .height();
  };
  in.wordWrap = q.wordWrap;
  // The title bar's font is the window manager's: the window's own one, a tenth
  // larger, stands for it, with room for an icon and three buttons.
  in.titleWidth = fm.horizontalAdvance(q.title) * 11 / 10 + kTitleBarExtras;
  in.scrollBarWidth = ScrollText->verticalScrollBar()->sizeHint().width();
  in.flags = q.flags;

  QWidget* mainWindow = g_mainWindow.data();
  if (!mainWindow) {
    QWidget* active = QApplication::activeWindow();
    if (active != this) mainWindow = active;
  }
  QScreen* screen = screenFor(q.anchor, mainWindow);
  in.screen = screen ? screen->availableGeometry() : QRect(0, 0, 640, 480);
  // The frame as last seen on screen; before this box was ever framed, the main
  // window's (the same window manager draws both), else what the new native window
  // reports. The real one is taken once it is there.
  if (!windowHandle()) create();
  const QWindow* mainHandle = mainWindow ? mainWindow->windowHandle() : nullptr;
  if (frameKnown_)
    in.frame = frame_;
  else if (mainHandle && !mainHandle->frameMargins().isNull())
    in.frame = mainHandle->frameMargins();
  else if (const QWindow* handle = windowHandle())
    in.frame = handle->frameMargins();
  if (q.anchor && q.anchor != mainWindow) {
    in.anchored = true;
    in.anchorTopLeft = q.anchor->mapToGlobal(QPoint(0, 0));
  } else if (mainWindow) {
    in.mainWindow = mainWindow->frameGeometry();
  } else {
    in.mainWindow = in.screen;
  }

  applyLayout();
  if (!buttons_.empty()) {
    const int focus = layoutMessageBox(layoutIn_).focusIndex;
    if (focus >= 0) buttons_[static_cast<std::size_t>(focus)]->setFocus(Qt::OtherFocusReason);
  }

  placing_ = true;
  const int result = exec();
  placing_ = false;
  awaitingFrame_ = false;
  if (frameWatch_) frameWatch_->stop();
  clearQuestion();
  return result;
}

void TForm_MessageBox::applyLayout() {
  const MessageBoxLayoutResult r = layoutMessageBox(layoutIn_);
  LabelText->setWordWrap(r.wordWrap);
  ScrollText->setVerticalScrollBarPolicy(r.scrolls ? Qt::ScrollBarAlwaysOn
                                                   : Qt::ScrollBarAlwaysOff);
  ScrollText->setGeometry(r.textView);
  LabelText->setGeometry(r.label.translated(-r.textView.topLeft()));
  ScrollText->verticalScrollBar()->setValue(0);
  PanelText->setGeometry(r.textPanel);
  PanelButtons->setGeometry(r.buttonPanel);
  for (int k = 0; k < buttonCount(); ++k)
    buttons_[k]->setGeometry(r.buttons[k].translated(0, -r.buttonPanel.top()));
  setFixedSize(r.client);
  // Placed by its client area; a window manager may still put a window shown again
  // elsewhere, which the moves it reports correct.
  const QMargins& f = layoutIn_.frame;
  wantFrame_ = r.position;
  corrections_ = 0;
  setGeometry(QRect(r.position + QPoint(f.left(), f.top()), r.client));
}

void TForm_MessageBox::setVisible(bool visible) {
  QDialog::setVisible(visible);
  if (!visible || !placing_) return;
  // A window manager frames a window after it is mapped and may put it elsewhere
  // than asked: watch it for a moment, lay it out again for the real frame and put
  // the frame where it belongs.
  awaitingFrame_ = true;
  frameChecks_ = 0;
  settledChecks_ = 0;
  if (!frameWatch_) {
    frameWatch_ = new QTimer(this);
    frameWatch_->setInterval(20);
    connect(frameWatch_, &QTimer::timeout, this, [this] { takeRealFrame(); });
  }
  takeRealFrame();
  if (awaitingFrame_) frameWatch_->start();
}

void TForm_MessageBox::takeRealFrame() {
  if (!awaitingFrame_) return;
  const QWindow* handle = windowHandle();
  const QMargins margins = handle ? handle->frameMargins() : QMargins();
  // Without a window manager no frame ever comes (and the layout needs none); with
  // one, the window counts as placed once it stayed where it belongs for a while.
  const auto finish = [this] {
    awaitingFrame_ = false;
    if (frameWatch_) frameWatch_->stop();
  };
  if (!isVisible() || ++frameChecks_ > 250) return finish();
  if (margins.isNull()) return;
  frame_ = margins;
  frameKnown_ = true;
  if (layoutIn_.frame != margins) {
    layoutIn_.frame = margins;
    applyLayout();
    settledChecks_ = 0;
    return;
  }
  const QPoint off = wantFrame_ - frameGeometry().topLeft();
  if (!off.isNull()) {
    if (corrections_++ < 5) setGeometry(geometry().translated(off));
    settledChecks_ = 0;
    return;
  }
  if (++settledChecks_ >= 5) finish();
}

bool TForm_MessageBox::event(QEvent* event) {
  const bool handled = QDialog::event(event);
  // Framing and placing by the window manager show as moves.
  if (event->type() == QEvent::Move && placing_) takeRealFrame();
  return handled;
}

void TForm_MessageBox::clearQuestion() {
  for (QPushButton* b : buttons_) delete b;
  buttons_.clear();
  LabelText->setWordWrap(true);
  LabelText->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
}

void TForm_MessageBox::reject() { done(kEscapeResult); }

bool TForm_MessageBox::eventFilter(QObject* watched, QEvent* event) {
  // Escape closes the question from anywhere, before the focused control sees it.
  if (event->type() == QEvent::KeyPress &&
      static_cast<QKeyEvent*>(event)->key() == Qt::Key_Escape && isVisible()) {
    done(kEscapeResult);
    return true;
  }
  return QDialog::eventFilter(watched, event);
}

void TForm_MessageBox::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    done(kEscapeResult);
    return;
  }
  QDialog::keyPressEvent(event);
}
