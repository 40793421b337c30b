#include "mainwindow/TFormMain.h"

#include <algorithm>
#include <cmath>
#include <exception>
#include <memory>

#include <QAbstractSpinBox>
#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLayout>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QSplitter>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QGuiApplication>
#include <QWindow>
#include <QScreen>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QWheelEvent>

#include "dialogs/CModal.h"
#include "dialogs/Hint.h"
#include "dialogs/TForm_About.h"
#include "dialogs/TForm_Help.h"
#include "dialogs/TForm_MessageBox.h"
#include "model/FileOpenError.h"
#include "model/LoadStatus.h"
#include "model/SListCables.h"
#include "pane/CIcons.h"
#include "pane/PaneFeatures.h"
#include "pane/TFrameCableList.h"
#include "platform/FileNameBytes.h"
#include "platform/ISettingsStore.h"
#include "settings/CProgramSettings.h"

using namespace tolmira;

namespace {

constexpr int kFontMin = CProgramSettings::FontSizeMin;
constexpr int kFontMax = CProgramSettings::FontSizeMax;

bool isEditableText(const QWidget* w) {
  if (const auto* e = qobject_cast<const QLineEdit*>(w)) return !e->isReadOnly();
  if (const auto* e = qobject_cast<const QTextEdit*>(w)) return !e->isReadOnly();
  if (const auto* e = qobject_cast<const QPlainTextEdit*>(w)) return !e->isReadOnly();
  return qobject_cast<const QAbstractSpinBox*>(w) != nullptr;
}

// The splitter reports its resizes so that the window can keep the ratio of the panes
// rather than their pixel widths.
class PanelSplitter : public QSplitter {
 public:
  PanelSplitter(TFormMain* owner, QWidget* parent)
      : QSplitter(Qt::Horizontal, parent), owner_(owner) {}

 protected:
  void resizeEvent(QResizeEvent* event) override {
    QSplitter::resizeEvent(event);
    owner_->applyTableSplit();
  }

 private:
  TFormMain* owner_;
};

}  // namespace

TFormMain::TFormMain(ISettingsStore& store, QWidget* parent)
    : QMainWindow(parent), store_(store), programDir_(QCoreApplication::applicationDirPath()) {
  setObjectName(QStringLiteral("FormMain"));
  setWindowTitle(windowCaption());
  QFont f = font();
  f.setPointSize(12);
  setFont(f);
  move(267, 159);
  resize(925, 767);

  ImageList2 = {CIcons::rowMark(0), CIcons::rowMark(1)};

  // The panes ask for the copy actions while they are built.
  buildActions();
  buildLayout();
  buildMenu();
  buildBottomBar();

  SetActivePane(0);
  StepFontSize(0);

  // The bar shows each command's key.
  for (QAction* a : bottomPanel_) {
    if (a->shortcut().isEmpty()) continue;
    a->setText(a->text() + QStringLiteral(" (") +
               a->shortcut().toString(QKeySequence::PortableText) + QLatin1Char(')'));
  }

  // The window sees key presses and wheel turns before the control under them.
  qApp->installEventFilter(this);
}

TFormMain::~TFormMain() {
  qApp->removeEventFilter(this);
  // Focus that moves while a pane is being destroyed would reach the half-destroyed
  // pane's focus handling: take it out of the window while everything is whole.
  if (QWidget* focus = QApplication::focusWidget(); focus && isAncestorOf(focus))
    focus->clearFocus();
  // The panes call back into the window while they go; make them go first, each one
  // already out of the window's reach.
  for (TFrameCableList*& p : panes_) {
    TFrameCableList* dying = p;
    p = nullptr;
    delete dying;
  }
}

QString TFormMain::windowCaption() {
  return QStringLiteral("Менеджер кабелей для прибора VIRD-50");
}

const std::array<int, 7>& TFormMain::fontSizes() {
  static const std::array<int, 7> sizes{{8, 10, 12, 14, 16, 18, 20}};
  return sizes;
}

void TFormMain::buildActions() {
  auto make = [this](QAction*& a, const QString& caption, const QString& hint,
                     const QKeySequence& key) {
    a = new QAction(caption, this);
    if (!hint.isEmpty()) setActionHint(a, hint);
    if (!key.isEmpty()) a->setShortcut(key);
    a->setShortcutContext(Qt::WindowShortcut);
  };
  make(ActionView, QStringLiteral("Просмотр"), QStringLiteral("Просмотр"),
       QKeySequence(Qt::Key_F3));
  make(ActionEditCable, QStringLiteral("Редактировать"), QStringLiteral("Редактировать"),
       QKeySequence(Qt::Key_F4));
  make(ActionMoveDown, QStringLiteral("Переместить вниз"), QString(), QKeySequence(Qt::Key_S));
  make(ActionMoveUp, QStringLiteral("Переместить вверх"), QString(), QKeySequence(Qt::Key_W));
  make(ActionCopy, QStringLiteral("Копировать"), QString(), QKeySequence(Qt::Key_F5));
  make(ActionDelete, QStringLiteral("Удалить"), QString(), QKeySequence(Qt::Key_F8));
  make(ActionExit, QStringLiteral("Выход"), QString(), QKeySequence(Qt::ALT | Qt::Key_F4));

  make(ActionCopyLToR, QString(),
       QStringLiteral("Копировать вправо|Копировать выделенные записи  в таблицу справа"),
       QKeySequence());
  make(ActionCopyRToL, QString(),
       QStringLiteral("Копировать влево|Копировать выделенные записи  в таблицу слева"),
       QKeySequence());
  ActionCopyLToR->setIcon(CIcons::icon(CIcons::CopyRight));
  ActionCopyRToL->setIcon(CIcons::icon(CIcons::CopyLeft));
  ActionCopyLToR->setEnabled(false);
  ActionCopyRToL->setEnabled(false);

  make(Action_FontSizePlus, QStringLiteral("Увеличить"), QStringLiteral("Увеличить размер шрифта"),
       QKeySequence());
  make(Action_FontSizeMinus, QStringLiteral("Уменьшить"), QStringLiteral("Уменьшить размер шрифта"),
       QKeySequence());
  // Ctrl with the keypad's +/−, and the main keyboard's Ctrl++ / Ctrl+− (Ctrl+= for
  // layouts where + needs Shift).
  Action_FontSizePlus->setShortcuts(QList<QKeySequence>{
      QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Plus)),
      QKeySequence(Qt::CTRL | Qt::Key_Plus), QKeySequence(Qt::CTRL | Qt::Key_Equal)});
  Action_FontSizeMinus->setShortcuts(QList<QKeySequence>{
      QKeySequence(QKeyCombination(Qt::ControlModifier | Qt::KeypadModifier, Qt::Key_Minus)),
      QKeySequence(Qt::CTRL | Qt::Key_Minus)});
  addAction(Action_FontSizePlus);
  addAction(Action_FontSizeMinus);

  make(ActionSettingsAllowSameNames, QStringLiteral("Разрешать одинаковые названия кабелей"),
       QStringLiteral("Разрешает наличие в одной таблице одноимённых записей"), QKeySequence());
  make(ActionSettingsMarkSameNames, QStringLiteral("Отмечать одинаковые имена в таблице"),
       QStringLiteral("Подсветить в таблице одноимённые записи"), QKeySequence());
  make(ActionSettingsMarkSameCables, QStringLiteral("Отмечать совпадающие записи"),
       QStringLiteral("Подсветить записи одинаковые в соседних таблицах"), QKeySequence());

  make(ActionFind, QStringLiteral("Найти"), QString(), QKeySequence(Qt::CTRL | Qt::Key_F));
  addAction(ActionFind);
  connect(ActionFind, &QAction::triggered, this, [this] {
    if (TFrameCableList* p = pane(activePane_)) p->focusFind();
  });

  bottomPanel_ = {ActionView, ActionEditCable, ActionMoveDown, ActionMoveUp,
                  ActionCopy, ActionDelete,    ActionExit};

  using Command = TFrameCableList::Command;
  auto onPane = [this](Command command) {
    return [this, command] {
      if (TFrameCableList* p = pane(activePane_)) p->runCommand(command);
    };
  };
  connect(ActionView, &QAction::triggered, this, onPane(Command::View));
  connect(ActionEditCable, &QAction::triggered, this, onPane(Command::Edit));
  connect(ActionMoveDown, &QAction::triggered, this, onPane(Command::MoveDown));
  connect(ActionMoveUp, &QAction::triggered, this, onPane(Command::MoveUp));
  connect(ActionDelete, &QAction::triggered, this, onPane(Command::DeleteSelected));
  connect(ActionExit, &QAction::triggered, this, [this] { close(); });
  connect(ActionCopy, &QAction::triggered, this, [this] { CopySelected(activePane_); });
  connect(ActionCopyLToR, &QAction::triggered, this, [this] { CopySelected(0); });
  connect(ActionCopyRToL, &QAction::triggered, this, [this] { CopySelected(1); });

  connect(Action_FontSizePlus, &QAction::triggered, this, [this] { StepFontSize(+1); });
  connect(Action_FontSizeMinus, &QAction::triggered, this, [this] { StepFontSize(-1); });

  CProgramSettings& s = programSettings();
  s.bindActions(ActionSettingsAllowSameNames, ActionSettingsMarkSameNames,
                ActionSettingsMarkSameCables);
  auto repaintBoth = [this] {
    for (TFrameCableList* p : panes_)
      if (p) p->repaintList();
  };
  connect(ActionSettingsAllowSameNames, &QAction::triggered, this,
          [] { programSettings().SetAllowSameNames(!programSettings().AllowSameNames); });
  connect(ActionSettingsMarkSameNames, &QAction::triggered, this, [repaintBoth] {
    programSettings().SetMarkSameNames(!programSettings().MarkSameNames);
    repaintBoth();
  });
  connect(ActionSettingsMarkSameCables, &QAction::triggered, this, [repaintBoth] {
    programSettings().SetMarkSameCables(!programSettings().MarkSameCables);
    repaintBoth();
  });
}

void TFormMain::buildLayout() {
  PanelTables = new PanelSplitter(this, this);
  PanelTables->setObjectName(QStringLiteral("PanelTables"));
  PanelTables->setHandleWidth(3);
  PanelTables->setChildrenCollapsible(false);
  for (int i = 0; i < 2; ++i) {
    panes_[static_cast<std::size_t>(i)] = new TFrameCableList(i, this, PanelTables);
    PanelTables->addWidget(panes_[static_cast<std::size_t>(i)]);
  }
  // The right pane takes what the window gains; applyTableSplit() then fixes the ratio.
  PanelTables->setStretchFactor(0, 0);
  PanelTables->setStretchFactor(1, 1);
  Splitter1 = PanelTables->handle(1);
  Splitter1->setObjectName(QStringLiteral("Splitter1"));
  setCentralWidget(PanelTables);
  connect(PanelTables, &QSplitter::splitterMoved, this, [this] { onSplitterMoved(); });

  StatusBar1 = statusBar();
  StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
}

void TFormMain::buildMenu() {
  MenuProgram = menuBar()->addMenu(QStringLiteral("Программа"));
  MenuSettings = MenuProgram->addMenu(QStringLiteral("Настройки"));
  MenuSettings->addAction(ActionSettingsAllowSameNames);
  MenuSettings->addAction(ActionSettingsMarkSameNames);
  MenuSettings->addAction(ActionSettingsMarkSameCables);

  MenuFontSize = MenuSettings->addMenu(QStringLiteral("Размер шрифта"));
  MenuFontSize->menuAction()->setStatusTip(
      QStringLiteral("Ctrl+Num +/Ctrl+Num -/Ctrl+MouseWheelUp/Ctrl+MouseWheelDown"));
  fontSizeGroup_ = new QActionGroup(this);
  // Sizes outside the menu's list check no item.
  fontSizeGroup_->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  for (int size : fontSizes()) {
    QAction* item = MenuFontSize->addAction(QString::number(size));
    item->setCheckable(true);
    item->setData(size);
    fontSizeGroup_->addAction(item);
    FontSizeItems.push_back(item);
    connect(item, &QAction::triggered, this, [this, size] { ApplyFontSize(size, true); });
  }

  MenuMessagesStyle = MenuSettings->addMenu(QStringLiteral("Стиль обращения"));
  MenuMessagesStyle->menuAction()->setVisible(false);
  auto* styleGroup = new QActionGroup(this);
  styleGroup->setExclusionPolicy(QActionGroup::ExclusionPolicy::ExclusiveOptional);
  ActionStyleStrict = MenuMessagesStyle->addAction(QStringLiteral("Строгий"));
  ActionStylePlayful = MenuMessagesStyle->addAction(QStringLiteral(":)"));
  for (QAction* a : {ActionStyleStrict, ActionStylePlayful}) {
    a->setCheckable(true);
    styleGroup->addAction(a);
  }
  connect(ActionStyleStrict, &QAction::triggered, this, [this] {
    programSettings().MessagesStyle = 0;
    ActionStyleStrict->setChecked(true);
  });
  connect(ActionStylePlayful, &QAction::triggered, this, [this] {
    programSettings().MessagesStyle = 1;
    ActionStylePlayful->setChecked(true);
  });
  programSettings().bindMessagesStyleActions(ActionStyleStrict, ActionStylePlayful);

  MenuHelp = menuBar()->addMenu(QStringLiteral("Помощь"));
  ActionAbout = MenuHelp->addAction(QStringLiteral("О программе…"));
  ActionHelp = MenuHelp->addAction(QStringLiteral("Справка"));
  connect(ActionAbout, &QAction::triggered, this, [this] { showHelpDialog(true); });
  connect(ActionHelp, &QAction::triggered, this, [this] { showHelpDialog(false); });
}

void TFormMain::buildBottomBar() {
  ActionToolBar2 = new QToolBar(this);
  ActionToolBar2->setObjectName(QStringLiteral("ActionToolBar2"));
  ActionToolBar2->setMovable(false);
  ActionToolBar2->setFloatable(false);
  ActionToolBar2->setToolButtonStyle(Qt::ToolButtonTextOnly);
  ActionToolBar2->setContextMenuPolicy(Qt::PreventContextMenu);
  // Close-set text buttons, so that the whole bar fits the window's design width.
  ActionToolBar2->setStyleSheet(
      QStringLiteral("QToolBar { spacing: 0px; } QToolButton { padding: 1px 2px; margin: 0px; }"));
  addToolBar(Qt::BottomToolBarArea, ActionToolBar2);

  // The buttons on the bar, in bar order; the others wait for their commands.
  std::vector<QAction*> shown;
  for (QAction* a : bottomPanel_) {
    const bool editor = a == ActionView || a == ActionEditCable;
    if (editor && !kEditorCommands) continue;
    if (a == ActionCopy && !kCopyBetweenPanes) continue;
    shown.push_back(a);
  }
  for (std::size_t i = 0; i < shown.size(); ++i) {
    if (i > 0) {
      // A disabled "|" item between neighbours, as the bar's only separator.
      auto* separator = new QAction(QStringLiteral("|"), this);
      separator->setEnabled(false);
      ActionToolBar2->addAction(separator);
      if (i == 1) bottomPanel_.push_back(separator);
    }
    ActionToolBar2->addAction(shown[i]);
  }
}

// --- IPaneHost -----------------------------------------------------------------

TFrameCableList* TFormMain::pane(int index) const {
  return index == 0 || index == 1 ? panes_[static_cast<std::size_t>(index)] : nullptr;
}

const SListCables* TFormMain::otherTable(int paneIndex) const {
  const TFrameCableList* other = pane(1 - paneIndex);
  return other && other->tableOpen() ? &other->table() : nullptr;
}

QAction* TFormMain::copyAction(int paneIndex) const {
  if (!kCopyBetweenPanes) return nullptr;
  return paneIndex == 0 ? ActionCopyLToR : paneIndex == 1 ? ActionCopyRToL : nullptr;
}

void TFormMain::CopySelected(int sourcePane) {
  TFrameCableList* source = pane(sourcePane);
  TFrameCableList* destination = pane(1 - sourcePane);
  if (source && destination) source->copySelectedTo(*destination);
}

QPixmap TFormMain::markIcon(int paneIndex) const {
  return paneIndex == 0 || paneIndex == 1 ? ImageList2[static_cast<std::size_t>(paneIndex)]
                                          : QPixmap();
}

void TFormMain::SetActivePane(int paneIndex) {
  if (paneIndex == activePane_ || (paneIndex != 0 && paneIndex != 1)) return;
  activePane_ = paneIndex;

  const QString f5 = QStringLiteral("(F5)");
  const QString blank = QStringLiteral("    ");
  ActionCopyLToR->setText(paneIndex == 0 ? f5 : blank);
  ActionCopyRToL->setText(paneIndex == 1 ? f5 : blank);

  for (int i = 0; i < 2; ++i)
    if (TFrameCableList* p = pane(i)) p->setActiveLook(i == paneIndex);
  UpdateBottomBar();
}

void TFormMain::UpdateBottomBar() {
  TFrameCableList* p = pane(activePane_);
  if (!p) {
    for (QAction* a :
         {ActionView, ActionEditCable, ActionMoveDown, ActionMoveUp, ActionCopy, ActionDelete})
      a->setEnabled(false);
    return;
  }
  const TFrameCableList::CommandStates st = p->commandStates();
  ActionView->setEnabled(st.view);
  ActionEditCable->setEnabled(st.edit);
  ActionMoveDown->setEnabled(st.moveDown);
  ActionMoveUp->setEnabled(st.moveUp);
  ActionDelete->setEnabled(st.deleteSelected);
  ActionCopy->setEnabled(activePane_ == 0 ? ActionCopyLToR->isEnabled()
                                          : ActionCopyRToL->isEnabled());
  ActionExit->setEnabled(true);
}

void TFormMain::RefreshOtherPane(int paneIndex) {
  TFrameCableList* other = pane(1 - paneIndex);
  if (!other || (paneIndex != 0 && paneIndex != 1)) return;
  other->repaintList();
  other->refreshCommands();
}

// --- font size -----------------------------------------------------------------

int TFormMain::steppedFontSize(int s, int direction) {
  if (direction < 0) return ((s - 2) / 2) * 2;
  if (direction > 0) return ((s + 2) / 2) * 2;
  return s;
}

void TFormMain::ApplyFontSize(int size, bool remember) {
  for (TFrameCableList* p : panes_)
    if (p) p->ApplyFontSize(size);
  if (remember) programSettings().FontSize = static_cast<quint8>(std::clamp(size, 0, 255));
  for (QAction* item : FontSizeItems) item->setChecked(item->data().toInt() == size);
}

void TFormMain::StepFontSize(int direction) {
  const int s = steppedFontSize(panes_[0]->fontPointSize(), direction);
  Action_FontSizePlus->setEnabled(s < kFontMax);
  Action_FontSizeMinus->setEnabled(s > kFontMin);
  if (direction != 0 && s >= kFontMin && s <= kFontMax) ApplyFontSize(s, true);
}

// --- split between the panes ---------------------------------------------------

int TFormMain::splitLeftWidth(int w, double tableWidthK, int minLeft, int minRight) {
  // A ratio that is not a positive number (none loaded yet) splits evenly instead of
  // dividing by zero.
  const double k = std::isfinite(tableWidthK) && tableWidthK > 0.0 ? tableWidthK : 1.0;
  const double share = static_cast<double>(w) / (k + 1.0);
  int left = static_cast<int>(std::clamp(share, -2.0e9, 2.0e9));
  if (left < minLeft + 1) left = minLeft + 1;
  if (w - left < minRight + 1) left = w - (minRight + 1);
  return left;
}

void TFormMain::applyTableSplit() {
  if (!panes_[0] || !panes_[1]) return;
  const int w = PanelTables->width() - PanelTables->handleWidth();
  const int left = splitLeftWidth(w, programSettings().TableWidthK, panes_[0]->minimumWidth(),
                                  panes_[1]->minimumWidth());
  const int clamped = std::clamp(left, 0, std::max(0, w));
  PanelTables->setSizes({clamped, std::max(0, w - clamped)});
}

void TFormMain::onSplitterMoved() {
  if (!panes_[0] || !panes_[1]) return;
  const int left = panes_[0]->width();
  programSettings().TableWidthK =
      static_cast<double>(panes_[1]->width()) / static_cast<double>(left == 0 ? 1 : left);
}

// --- showing -------------------------------------------------------------------

void TFormMain::showEvent(QShowEvent* event) {
  QMainWindow::showEvent(event);
  if (shownOnce_) return;
  shownOnce_ = true;
  firstShow();
}

void TFormMain::firstShow() {
  CProgramSettings& s = programSettings();
  s.Load(store_, this);
  ApplyFontSize(s.FontSize != 0 ? s.FontSize : font().pointSize(), false);
  StepFontSize(0);
  if (!s.geometryStored()) widenForFullRows();
  applyTableSplit();
  watchForFrame();
  // The tables come once the window is on the screen, so that a load error is
  // reported over the window rather than before it appears.
  QTimer::singleShot(0, this, [this] { restoreTables(); });
}

void TFormMain::widenForFullRows() {
  // At the first start the window is made wide enough for a full row in both panes
  // (name, KU, material, R, twisting factor and the mark of shared records), where
  // the screen has room; it never gets narrower than its design width.
  int panes = 0;
  for (const TFrameCableList* p : panes_) panes += p->width();
  const int around = width() - panes;  // splitter handle, window margins
  const TFrameCableList& pane = *panes_[0];
  const QMargins m = pane.layout() ? pane.layout()->contentsMargins() : QMargins();
  const int paneWidth = pane.rowWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                        2 * pane.ListBox->frameWidth() + m.left() + m.right() + 4;
  const int needed = around + 2 * paneWidth;
  const QScreen* scr = screen();
  const int room = scr ? scr->availableGeometry().width() : needed;
  const int w = std::max(width(), std::min(needed, room));
  if (w != width()) resize(w, height());
}

void TFormMain::watchForFrame() {
  // Platforms without window frames have nothing to fit.
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("offscreen") || platform == QLatin1String("minimal")) return;
  // The window manager frames the window some time after it is shown; until then the
  // size of the frame is not known.
  // A resize asked for before that may also land after it: the window counts as
  // placed once its frame stayed on the screen for a while.
  auto* watch = new QTimer(this);
  watch->setInterval(20);
  frameChecks_ = 0;
  auto settled = std::make_shared<int>(0);
  connect(watch, &QTimer::timeout, this, [this, watch, settled] {
    const QWindow* handle = windowHandle();
    const bool framed = handle && !handle->frameMargins().isNull();
    if (framed) {
      const QScreen* scr = screen();
      const bool inside =
          !scr || isMaximized() || scr->availableGeometry().contains(frameGeometry());
      *settled = inside ? *settled + 1 : 0;
      if (!inside) fitFrameOnScreen();
    }
    if (++frameChecks_ < 250 && *settled < 10) return;
    watch->stop();
    watch->deleteLater();
  });
  watch->start();
}

void TFormMain::fitFrameOnScreen() {
  // The design size (or a stored one) may be larger than a laptop's screen: the
  // whole frame, bars at the bottom included, is brought onto the screen.
  if (isMaximized() || isFullScreen()) return;
  const QScreen* scr = screen();
  if (!scr) return;
  const QRect a = scr->availableGeometry();
  const QRect outer = frameGeometry();
  const QSize frame = outer.size() - size();
  const QSize client = size().boundedTo(a.size() - frame).expandedTo(minimumSize());
  if (client != size()) resize(client);
  const QSize outerSize = client + frame;
  const int x =
      std::clamp(outer.left(), a.left(), std::max(a.left(), a.right() + 1 - outerSize.width()));
  const int y =
      std::clamp(outer.top(), a.top(), std::max(a.top(), a.bottom() + 1 - outerSize.height()));
  if (QPoint(x, y) != outer.topLeft()) move(x, y);
}

void TFormMain::restoreTables() {
  if (restored_) return;
  restored_ = true;
  for (int i = 0; i < 2; ++i) {
    TFrameCableList* p = panes_[static_cast<std::size_t>(i)];
    if (i < startFiles_.size())
      p->openInsteadOfRestored(startFiles_[i]);
    else
      p->restoreTable();
  }
}

void TFormMain::showHelpDialog(bool about) {
  QPointer<QDialog>& dialog = about ? about_ : help_;
  if (!dialog) {
    if (about)
      dialog = new TForm_About(programInfo(), this);
    else
      dialog = new TForm_Help(programDir_, this);
  }
  dialog->exec();
}

// --- keys and wheel --------------------------------------------------------------

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type != QEvent::KeyPress && type != QEvent::Wheel)
    return QMainWindow::eventFilter(watched, event);
  auto* widget = qobject_cast<QWidget*>(watched);
  if (!widget || widget->window() != this) return QMainWindow::eventFilter(watched, event);

  if (type == QEvent::Wheel) {
    auto* wheel = static_cast<QWheelEvent*>(event);
    const int dy = wheel->angleDelta().y();
    if ((wheel->modifiers() & Qt::ControlModifier) && dy != 0) {
      StepFontSize(dy > 0 ? +1 : -1);
      return true;
    }
    return QMainWindow::eventFilter(watched, event);
  }
  if (handleKeyPreview(event)) return true;
  return QMainWindow::eventFilter(watched, event);
}

bool TFormMain::handleKeyPreview(QEvent* event) {
  auto* key = static_cast<QKeyEvent*>(event);
  const Qt::KeyboardModifiers mods = key->modifiers() & ~Qt::KeypadModifier;
  if (mods != Qt::ControlModifier) return false;
  if (key->key() != Qt::Key_Z && key->key() != Qt::Key_Y) return false;
  // A text field keeps its own undo.
  if (isEditableText(QApplication::focusWidget())) return false;
  TFrameCableList* p = pane(activePane_);
  if (!p) return false;
  if (key->key() == Qt::Key_Z)
    p->Action_UndoExecute();
  else
    p->Action_RedoExecute();
  return true;
}

QMenu* TFormMain::createPopupMenu() {
  // No menu for hiding the bottom bar.
  return nullptr;
}

// --- closing -------------------------------------------------------------------

QString TFormMain::unsavedChangesText(bool changed1, bool changed2) {
  QString text = QStringLiteral("Имеются несохранённые изменения");
  if (changed1 && changed2)
    text += QStringLiteral(" в обеих таблицах");
  else if (changed1)
    text += QStringLiteral(" в таблице 1");
  else if (changed2)
    text += QStringLiteral(" в таблице 2");
  return text;
}

QString TFormMain::autoSaveFileName(int paneNumber) {
  return QString::asprintf("autosave%d.txt", paneNumber);
}

bool TFormMain::inBuildTree(const QString& dir) {
#ifdef TOLMIRA_BUILD_DIR
  const QString build = QDir::cleanPath(QStringLiteral(TOLMIRA_BUILD_DIR));
  const QString path = QDir::cleanPath(QDir(dir).absolutePath());
  return path == build || path.startsWith(build + QLatin1Char('/'));
#else
  (void)dir;
  return false;
#endif
}

QString TFormMain::autoSaveFallbackDir() {
  return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

void TFormMain::closeEvent(QCloseEvent* event) {
  // A close event arrives accepted: should the handler fail half-way, the window
  // must stay open rather than end the program without the autosave.
  event->ignore();
  if (FormCloseQuery()) event->accept();
}

namespace {

bool changed(const TFrameCableList* p) { return p && p->tableOpen() && p->table().isModified(); }

}  // namespace

bool TFormMain::FormCloseQuery() {
  // A window that never showed loaded no settings: storing them would wipe the
  // stored ones.
  if (!shownOnce_) return true;
  // A close before the tables came back must not store settings that forget them.
  restoreTables();

  TFrameCableList* left = panes_[0];
  TFrameCableList* right = panes_[1];
  const bool changed1 = changed(left);
  const bool changed2 = changed(right);

  if ((changed1 || changed2) && !keepWithoutQuestion_) {
    const int answer = TForm_MessageBox::instance().AskFour(
        unsavedChangesText(changed1, changed2), QStringLiteral("Внимание!"),
        QStringLiteral("Сохранить"), QStringLiteral("Забыть"),
        QStringLiteral("Потом сохраню \n(сохранить состояние и выйти)"), QStringLiteral("Отмена"),
        0);
    switch (answer) {
      case 3:  // Сохранить
        for (TFrameCableList* p : panes_) {
          if (changed(p)) p->saveOrSaveAs();
        }
        if (changed(left) || changed(right)) return false;
        break;
      case 4:  // Забыть
        for (TFrameCableList* p : panes_)
          if (!p->closeTable(true)) return false;
        break;
      case 5:  // Потом сохраню
        break;
      default:  // Отмена, Escape, the box's close button
        return false;
    }
  }

  if (!writeAutoSaves()) return false;
  if (!programSettings().Save(store_, this)) reportUnstoredAutoSaves();
  return true;
}

bool TFormMain::keepTablesAndClose() {
  keepWithoutQuestion_ = true;
  const bool closed = close();
  keepWithoutQuestion_ = false;
  return closed;
}

void TFormMain::reportUnstoredAutoSaves() {
  // Without the stored settings the next start would not reopen the kept tables:
  // tell the user where they are, so that they can be opened by hand.
  const CProgramSettings& s = programSettings();
  QStringList files;
  for (const QString& path : {s.AutoSave1, s.AutoSave2})
    if (!path.isEmpty()) files << QStringLiteral("\"%1\"").arg(QDir::toNativeSeparators(path));
  if (files.isEmpty()) return;
  CModal::current().standardBox(
      StandardBoxKind::Warning, QStringLiteral("Внимание!"),
      QStringLiteral("Не удалось сохранить настройки программы, поэтому при следующем запуске "
                     "несохранённые таблицы не откроются сами.\nОни записаны в файлы:\n%1")
          .arg(files.join(QLatin1Char('\n'))),
      QMessageBox::Ok, QMessageBox::Ok);
}

bool TFormMain::writeAutoSaves() {
  std::array<QString, 2> paths;
  for (int i = 0; i < 2; ++i) {
    if (!changed(panes_[static_cast<std::size_t>(i)])) continue;
    QString error;
    if (!writeAutoSave(i, &paths[static_cast<std::size_t>(i)], &error)) {
      // Closing now would throw the changes away: say so and stay open.
      CModal::current().standardBox(
          StandardBoxKind::Critical, QStringLiteral("Ошибка!"),
          QStringLiteral("Не удалось сохранить таблицу %1 для следующего запуска в файл\n"
                         "\"%2\"\n%3\n\nПрограмма не закрыта, чтобы изменения не пропали.")
              .arg(i + 1)
              .arg(QDir::toNativeSeparators(paths[static_cast<std::size_t>(i)]), error),
          QMessageBox::Ok, QMessageBox::Ok);
      return false;
    }
  }
  CProgramSettings& s = programSettings();
  s.AutoSave1 = paths[0];
  s.AutoSave2 = paths[1];
  return true;
}

bool TFormMain::writeAutoSave(int paneIndex, QString* path, QString* error) {
  const QString name = autoSaveFileName(paneIndex + 1);
  const QString fallback = autoSaveFallbackDir();
  QStringList dirs;
  if (!programDir_.isEmpty() && !inBuildTree(programDir_)) dirs << programDir_;
  if (!fallback.isEmpty() && QDir(fallback) != QDir(programDir_)) dirs << fallback;

  for (const QString& dir : dirs) {
    // The program's own folder is never made here; the per-user folder may be new.
    if (dir == fallback && !QDir().mkpath(dir)) {
      *path = QDir(dir).filePath(name);
      *error = QStringLiteral("Папку нельзя создать.");
      continue;
    }
    *path = QDir(dir).filePath(name);
    // The writer clears the modified mark of what it writes: write a copy, so that
    // the pane's table stays marked until the window really closes.
    SListCables copy = panes_[static_cast<std::size_t>(paneIndex)]->table();
    try {
      const std::uint32_t status = copy.saveToFile(fileNameBytes(*path).constData());
      if (status == 0) return true;
      *error = QString::fromLatin1(statusName(status));
    } catch (const FileOpenError& e) {
      *error = QString::fromLocal8Bit(e.osMessage().c_str());
    } catch (const std::exception& e) {
      *error = QString::fromLocal8Bit(e.what());
    }
  }
  return false;
}
