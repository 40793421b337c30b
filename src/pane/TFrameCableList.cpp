#include "pane/TFrameCableList.h"

#include <algorithm>
#include <cstring>
#include <string>

#include <QScreen>
#include <QAction>
#include <QApplication>
#include <QEvent>
#include <QFile>
#include <QFileInfo>
#include <QFontMetrics>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>
#include <QListView>
#include <QMenu>
#include <QScopedValueRollback>
#include <QPainter>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>

#include "devicedisk/TForm_SelectDeviceDisk.h"
#include "dialogs/CModal.h"
#include "dialogs/Hint.h"
#include "dialogs/TForm_MessageBox.h"
#include "drives/InstrumentDisk.h"
#include "history/ActionComposer.h"
#include "history/SListCables_Action.h"
#include "model/Cp1251.h"
#include "model/FileOpenError.h"
#include "model/InstrumentCheck.h"
#include "model/LoadReportLine.h"
#include "model/LoadStatus.h"
#include "model/RecordSet.h"
#include "model/TableFile.h"
#include "pane/CIcons.h"
#include "pane/CableListModel.h"
#include "pane/CableListView.h"
#include "pane/CableRowDelegate.h"
#include "pane/CableRowPainter.h"
#include "pane/IPaneHost.h"
#include "pane/PaneFeatures.h"
#include "platform/FileNameBytes.h"
#include "settings/CProgramSettings.h"

using namespace tolmira;

namespace {

const QChar kQ(34);

QByteArray pathBytes(const QString& path) { return fileNameBytes(path); }

int selectedCount(const std::vector<bool>& sel) {
  return static_cast<int>(std::count(sel.begin(), sel.end(), true));
}

}  // namespace

TFrameCableList::TFrameCableList(int paneIndex, IPaneHost* host, QWidget* parent)
    : QFrame(parent), paneIndex_(paneIndex), host_(host) {
  setMinimumSize(200, 160);
  // A click into a pane without a table still makes it the active one.
  setFocusPolicy(Qt::ClickFocus);
  setAcceptDrops(true);  // a table file dropped from the file manager opens here
  saveAsTitle_ = QStringLiteral("Сохранить таблицу ") + QString::number(paneIndex_ + 1) +
                 QStringLiteral(" как");
  buildActions();
  buildLayout();
  buildPrintActions();

  New->setEnabled(true);
  FileOpen->setEnabled(true);
  setFileActionsForOpenTable(false);
  ActionAddNew->setEnabled(false);
  ActionEditCable->setEnabled(false);
  ActionView->setEnabled(false);
  ActionDeleteSelected->setEnabled(false);
  ActionMoveUp->setEnabled(false);
  ActionMoveDown->setEnabled(false);
  refreshUndoRedo();
  refreshStatus();
  showTableControls(false);

  connect(qApp, &QApplication::focusChanged, this, &TFrameCableList::onFocusChanged);
}

TFrameCableList::~TFrameCableList() {
  // The widget's own destruction moves the focus; that must not reach this half-destroyed pane.
  disconnect(qApp, &QApplication::focusChanged, this, nullptr);
}

void TFrameCableList::buildActions() {
  auto make = [this](QAction*& a, const QString& caption, const QString& hint, CIcons::Id icon) {
    a = new QAction(CIcons::icon(icon), caption, this);
    setActionHint(a, hint);
  };
  make(New, QStringLiteral("Новый"), QStringLiteral("Создать таблицу"), CIcons::New);
  make(FileOpen, QStringLiteral("FileOpen"), QString(), CIcons::Open);
  make(FileSave, QStringLiteral("FileSave"), QStringLiteral("Сохранить|Сохранить изменения в файл"),
       CIcons::Save);
  make(FileSaveAs, QStringLiteral("Save &As..."),
       QStringLiteral("Сохранить как…|Сохранить таблицу файл с новым именем"), CIcons::SaveAs);
  make(ActionFileClose, QStringLiteral("FileClose"), QStringLiteral("Закрыть|Закрыть таблицу"),
       CIcons::Close);
  make(LoadFileFromDevice, QStringLiteral("LoadFileFromDevice"),
       QStringLiteral("Открыть из прибора|Открыть таблицу с диска прибора"),
       CIcons::LoadFromDevice);
  make(FileSaveToDevice, QStringLiteral("FileSaveToDevice"),
       QStringLiteral("Экспорт в прибор|Сохранить таблицу в прибор"), CIcons::SaveToDevice);
  make(ActionAddNew, QStringLiteral("Добавить"), QStringLiteral("Создать новую запись"),
       CIcons::Add);
  make(ActionEditCable, QStringLiteral("Изменить"), QStringLiteral("Редактировать"), CIcons::Edit);
  make(ActionView, QStringLiteral("ActionView"), QString(), CIcons::Edit);
  make(ActionDeleteSelected, QStringLiteral("Удалить выделенные"),
       QStringLiteral("Удалить|Удалить выбранные записи"), CIcons::Delete);
  make(ActionMoveUp, QStringLiteral("ActionMoveUp"),
       QStringLiteral("Переместить вверх|Переместить выделенные записи на одну позицию вверх в "
                      "таблице"),
       CIcons::Up);
  make(ActionMoveDown, QStringLiteral("ActionMoveDown"),
       QStringLiteral("Переместить вниз|Переместить выделенные записи на одну позицию вниз в "
                      "таблице"),
       CIcons::Down);
  make(Action_Undo, QStringLiteral("Action_Undo"), QString(), CIcons::Undo);
  make(Action_Redo, QStringLiteral("Action_Redo"), QStringLiteral("Повторить"), CIcons::Redo);

  for (QAction* a : {ActionAddNew, ActionEditCable, ActionView}) a->setVisible(kEditorCommands);
  for (QAction* a : {LoadFileFromDevice, FileSaveToDevice}) a->setVisible(kDeviceCommands);

  connect(New, &QAction::triggered, this, [this] { NewExecute(); });
  connect(FileOpen, &QAction::triggered, this, [this] { FileOpenExecute(); });
  connect(FileSave, &QAction::triggered, this, [this] { FileSaveExecute(); });
  connect(FileSaveAs, &QAction::triggered, this, [this] { FileSaveAsExecute(); });
  connect(ActionFileClose, &QAction::triggered, this, [this] { ActionFileCloseExecute(); });
  connect(FileSaveToDevice, &QAction::triggered, this, [this] { FileSaveToDeviceExecute(); });
  connect(LoadFileFromDevice, &QAction::triggered, this, [this] { LoadFileFromDeviceExecute(); });
  connect(ActionAddNew, &QAction::triggered, this, [this] { ActionAddNewExecute(); });
  connect(ActionEditCable, &QAction::triggered, this, [this] { ActionEditCableExecute(); });
  connect(ActionView, &QAction::triggered, this, [this] { ActionViewExecute(); });
  connect(ActionDeleteSelected, &QAction::triggered, this,
          [this] { ActionDeleteSelectedExecute(); });
  connect(ActionMoveUp, &QAction::triggered, this, [this] { ActionMoveUpExecute(); });
  connect(ActionMoveDown, &QAction::triggered, this, [this] { ActionMoveDownExecute(); });
  connect(Action_Undo, &QAction::triggered, this, [this] { Action_UndoExecute(); });
  connect(Action_Redo, &QAction::triggered, this, [this] { Action_RedoExecute(); });

  // The shortcuts given by FrameEnter need a visible widget carrying the actions,
  // whatever the record tool bar does.
  addAction(Action_Undo);
  addAction(Action_Redo);
}

void TFrameCableList::buildLayout() {
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);

  auto makeBar = [this](const char* name) {
    auto* bar = new QToolBar(this);
    bar->setObjectName(QLatin1String(name));
    bar->setIconSize(QSize(CIcons::kToolSize, CIcons::kToolSize));
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    bar->setMovable(false);
    bar->setFloatable(false);
    return bar;
  };
  auto button = [this](QToolBar* bar, QAction* action) {
    auto* b = qobject_cast<QToolButton*>(bar->widgetForAction(action));
    if (b) b->installEventFilter(this);
    return b;
  };

  ToolBar1 = makeBar("ToolBar1");
  ToolBar1->addAction(FileOpen);
  ToolBar1->addAction(New);
  ToolBar1->addSeparator();
  ToolBar1->addAction(FileSave);
  ToolBar1->addAction(FileSaveAs);
  QAction* deviceSeparator = ToolBar1->addSeparator();
  deviceSeparator->setVisible(kDeviceCommands);
  ToolBar1->addAction(LoadFileFromDevice);
  ToolBar1->addAction(FileSaveToDevice);
  ToolBar1->addSeparator();
  ToolBar1->addAction(ActionFileClose);
  for (QAction* a : {FileOpen, New, FileSave, FileSaveAs}) button(ToolBar1, a);
  ToolButton14 = button(ToolBar1, LoadFileFromDevice);
  ToolButton12 = button(ToolBar1, FileSaveToDevice);
  if (ToolButton14) ToolButton14->setObjectName(QStringLiteral("ToolButton14"));
  if (ToolButton12) ToolButton12->setObjectName(QStringLiteral("ToolButton12"));
  ToolButtonFileClose = button(ToolBar1, ActionFileClose);
  buildCsvCommands();
  layout->addWidget(ToolBar1);

  PanelStatus = new QWidget(this);
  PanelStatus->setObjectName(QStringLiteral("PanelStatus"));
  auto* status = new QHBoxLayout(PanelStatus);
  status->setContentsMargins(2, 0, 0, 0);
  status->setSpacing(2);
  EditFileName = new QLineEdit(PanelStatus);
  EditFileName->setObjectName(QStringLiteral("EditFileName"));
  EditFileName->setReadOnly(true);
  EditFileName->setEnabled(false);
  status->addWidget(EditFileName, 1);
  ToolBar3 = makeBar("ToolBar3");
  ToolButton_FileAction = new QToolButton(ToolBar3);
  ToolButton_FileAction->setObjectName(QStringLiteral("ToolButton_FileAction"));
  ToolButton_FileAction->setIconSize(QSize(CIcons::kToolSize, CIcons::kToolSize));
  ToolButton_FileAction->setToolButtonStyle(Qt::ToolButtonIconOnly);
  ToolButton_FileAction->setAutoRaise(true);
  ToolButton_FileAction->installEventFilter(this);
  ToolBar3->addWidget(ToolButton_FileAction);
  status->addWidget(ToolBar3, 0);
  layout->addWidget(PanelStatus);

  ToolBar_CableActions = makeBar("ToolBar_CableActions");
  for (QAction* a : {ActionMoveUp, ActionMoveDown, ActionAddNew, ActionEditCable,
                     ActionDeleteSelected, Action_Undo, Action_Redo}) {
    ToolBar_CableActions->addAction(a);
    button(ToolBar_CableActions, a);
  }
  if (QAction* copy = host_ ? host_->copyAction(paneIndex_) : nullptr) {
    ToolBar_CableActions->addSeparator();
    ToolBar_CableActions->addAction(copy);
    // The one button with words: "(F5)" beside its arrow while F5 copies this way.
    if (QToolButton* b = button(ToolBar_CableActions, copy)) {
      b->setObjectName(QStringLiteral("ToolButton9"));
      b->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    }
  }
  layout->addWidget(ToolBar_CableActions);

  model_ = new CableListModel(table_, this);
  ListBox = new CableListView(this);
  ListBox->setObjectName(QStringLiteral("ListBox"));
  ListBox->setModel(model_);
  ListBox->setItemDelegate(new CableRowDelegate(this, ListBox));
  ListBox->setUniformItemSizes(true);
  ListBox->setSelectionMode(QAbstractItemView::ExtendedSelection);
  ListBox->setEditTriggers(QAbstractItemView::NoEditTriggers);
  ListBox->setContextMenuPolicy(Qt::CustomContextMenu);
  ListBox->installEventFilter(this);
  layout->addWidget(ListBox, 1);
  buildFind(layout);
  // Holds the tool bars and the status strip at the top while no table is shown.
  layout->addStretch(0);
  updateRowHeight();

  PopupMenuList = new QMenu(this);
  PopupMenuList->setObjectName(QStringLiteral("PopupMenuList"));
  PopupMenuList->addAction(ActionEditCable);       // CableEdit
  PopupMenuList->addAction(ActionAddNew);          // CableAdd
  PopupMenuList->addAction(ActionDeleteSelected);  // SelectedCablesDelete
  // Each pane offers only its own direction of the copy.
  if (QAction* copy = host_ ? host_->copyAction(paneIndex_) : nullptr)
    PopupMenuList->addAction(copy);

  connect(ListBox, &QWidget::customContextMenuRequested, this, [this](const QPoint& pos) {
    PopupMenuList->popup(ListBox->viewport()->mapToGlobal(pos));
  });
  connect(ListBox, &QAbstractItemView::doubleClicked, this, [this] { ListBoxDblClick(); });
  connect(ListBox->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!commandRunning_) refreshCommands();
  });
  connect(ListBox->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] {
    if (!commandRunning_) refreshCommands();
  });
}

// --- selection ---------------------------------------------------------------

std::vector<bool> TFrameCableList::selection() const {
  std::vector<bool> sel = viewSelection();
  maskFindHidden(sel);
  return sel;
}

std::vector<bool> TFrameCableList::viewSelection() const {
  const int rows = std::min(model_->rowCount(), table_.getCount());
  std::vector<bool> sel(static_cast<std::size_t>(rows), false);
  // From the ranges, not row by row: asking each row walks every range.
  for (const QItemSelectionRange& range : ListBox->selectionModel()->selection()) {
    const int last = std::min(range.bottom(), rows - 1);
    for (int i = std::max(range.top(), 0); i <= last; ++i) sel[static_cast<std::size_t>(i)] = true;
  }
  return sel;
}

void TFrameCableList::setSelection(const std::vector<bool>& selected) {
  // One range per run of selected rows, so that later questions about the
  // selection cost the runs, not the rows.
  QItemSelection items;
  const int rows = std::min(model_->rowCount(), static_cast<int>(selected.size()));
  for (int i = 0; i < rows;) {
    if (!selected[static_cast<std::size_t>(i)]) {
      ++i;
      continue;
    }
    int end = i;
    while (end + 1 < rows && selected[static_cast<std::size_t>(end + 1)]) ++end;
    items.select(model_->index(i), model_->index(end));
    i = end + 1;
  }
  ListBox->selectionModel()->select(items, QItemSelectionModel::ClearAndSelect);
}

int TFrameCableList::currentRow() const {
  const QModelIndex current = ListBox->selectionModel()->currentIndex();
  return current.isValid() && !rowHiddenByFind(current.row()) ? current.row() : -1;
}

void TFrameCableList::setCurrentRow(int row) {
  ListBox->selectionModel()->setCurrentIndex(row >= 0 ? model_->index(row) : QModelIndex(),
                                             QItemSelectionModel::NoUpdate);
}

// --- state -------------------------------------------------------------------

void TFrameCableList::showTableControls(bool shown) {
  ToolBar_CableActions->setVisible(shown);
  ListBox->setVisible(shown);
  PanelFind->setVisible(shown);
}

void TFrameCableList::setFileActionsForOpenTable(bool open) {
  New->setEnabled(!open);
  FileOpen->setEnabled(true);
  FileSaveAs->setEnabled(open);
  FileSaveToDevice->setEnabled(kDeviceCommands && open);
  ActionFileClose->setEnabled(open);
  LoadFileFromDevice->setEnabled(kDeviceCommands);
  FilePrint->setEnabled(open);
  FileSavePdf->setEnabled(open);
  ActionExportCsv->setEnabled(open);
}

void TFrameCableList::setFileAction(QAction* action) {
  // Set again, the same action would still lay out and repaint the whole window.
  if (ToolButton_FileAction->defaultAction() == action) return;
  // setDefaultAction also adds the action to the button and never removes the
  // previous one; a button holding several actions grows a drop-down menu of them.
  for (QAction* old : ToolButton_FileAction->actions())
    if (old != action) ToolButton_FileAction->removeAction(old);
  ToolButton_FileAction->setDefaultAction(action);
}

void TFrameCableList::refreshStatus() {
  const bool modified = tableOpen_ && table_.isModified();
  FileSave->setEnabled(modified && !fileName_.isEmpty());
  if (fileName_.isEmpty()) {
    if (tableOpen_) {
      EditFileName->setText(QStringLiteral("*таблица не сохранена*"));
      setFileAction(FileSaveAs);
    } else {
      EditFileName->clear();
      setFileAction(FileOpen);
    }
  } else {
    EditFileName->setText(modified ? fileName_ + QLatin1Char('*') : fileName_);
    setFileAction(FileSave);
  }
}

void TFrameCableList::refreshCommands() {
  const std::vector<bool> sel = selection();
  const int selected = selectedCount(sel);
  ActionMoveUp->setEnabled(canMoveUp(sel));
  ActionMoveDown->setEnabled(canMoveDown(sel));
  disableMovesWhileFiltered();

  if (QAction* copy = host_ ? host_->copyAction(paneIndex_) : nullptr) {
    const SListCables* other = host_->otherTable(paneIndex_);
    bool anyMissing = false;
    if (!other) {
      anyMissing = selected > 0;
    } else if (selected > 0) {
      const RecordSet otherRecords(*other);
      for (int i = 0; i < static_cast<int>(sel.size()) && !anyMissing; ++i)
        anyMissing = sel[static_cast<std::size_t>(i)] && !otherRecords.contains(table_.at(i));
    }
    copy->setEnabled(anyMissing);
  }

  ActionDeleteSelected->setEnabled(selected >= 1);
  ActionAddNew->setEnabled(kEditorCommands && tableOpen_);
  ActionEditCable->setEnabled(kEditorCommands && selected == 1);
  const int current = currentRow();
  const bool currentValid = current >= 0 && current < table_.getCount();
  ActionView->setEnabled(kEditorCommands && selected <= 1 && currentValid &&
                         (selected == 0 || sel[static_cast<std::size_t>(current)]));
  if (host_) host_->UpdateBottomBar();
}

void TFrameCableList::refreshUndoRedo() {
  Action_Undo->setEnabled(history_.canUndo());
  Action_Redo->setEnabled(history_.canRedo());
  const QString undo = QString::fromStdString(history_.undoText());
  const QString redo = QString::fromStdString(history_.redoText());
  setActionHint(Action_Undo,
                undo.isEmpty() ? QStringLiteral("Отмена") : QStringLiteral("Отмена|") + undo);
  setActionHint(Action_Redo,
                redo.isEmpty() ? QStringLiteral("Повтор") : QStringLiteral("Повтор|") + redo);
}

void TFrameCableList::recordAction(std::unique_ptr<SListCables_Action>& action) {
  history_.push(action);
  refreshUndoRedo();
}

void TFrameCableList::resetHistory() {
  history_.clear();
  refreshUndoRedo();
}

// --- main window ---------------------------------------------------------------

TFrameCableList::CommandStates TFrameCableList::commandStates() const {
  CommandStates st;
  st.view = ActionView->isEnabled();
  st.edit = ActionEditCable->isEnabled();
  st.moveUp = ActionMoveUp->isEnabled();
  st.moveDown = ActionMoveDown->isEnabled();
  st.deleteSelected = ActionDeleteSelected->isEnabled();
  return st;
}

void TFrameCableList::runCommand(Command command) {
  switch (command) {
    case Command::View:
      ActionView->trigger();
      break;
    case Command::Edit:
      ActionEditCable->trigger();
      break;
    case Command::MoveUp:
      ActionMoveUp->trigger();
      break;
    case Command::MoveDown:
      ActionMoveDown->trigger();
      break;
    case Command::DeleteSelected:
      ActionDeleteSelected->trigger();
      break;
  }
}

void TFrameCableList::setActiveLook(bool active) {
  // The field is disabled, so every colour group is set.
  const QPalette base = palette();
  QPalette pal = EditFileName->palette();
  if (active) {
    pal.setColor(QPalette::Base, base.color(QPalette::Active, QPalette::Highlight));
    pal.setColor(QPalette::Text, base.color(QPalette::Active, QPalette::HighlightedText));
  } else {
    const QColor window = base.color(QPalette::Active, QPalette::Window);
    const QColor mid = base.color(QPalette::Active, QPalette::Mid);
    pal.setColor(QPalette::Base, CableRowPainter::blendColor(window, mid, 0.5));
    pal.setColor(QPalette::Text, base.color(QPalette::Active, QPalette::WindowText));
  }
  EditFileName->setPalette(pal);
}

void TFrameCableList::saveOrSaveAs() {
  if (FileSave->isEnabled())
    FileSaveExecute();
  else
    FileSaveAsExecute();
}

int TFrameCableList::fontPointSize() const { return ListBox->font().pointSize(); }

// --- focus -------------------------------------------------------------------

void TFrameCableList::onFocusChanged(QWidget*, QWidget* now) {
  const bool inside = now && (now == this || isAncestorOf(now));
  if (inside == focusInside_) return;
  focusInside_ = inside;
  if (inside)
    FrameEnter();
  else
    FrameExit();
}

void TFrameCableList::FrameEnter() {
  if (host_) host_->SetActivePane(paneIndex_);
  // Ctrl+V, not Ctrl+Y: the main window answers Ctrl+Y itself.
  Action_Undo->setShortcut(QKeySequence(QStringLiteral("Ctrl+Z")));
  Action_Redo->setShortcut(QKeySequence(QStringLiteral("Ctrl+V")));
}

void TFrameCableList::FrameExit() {
  Action_Undo->setShortcut(QKeySequence());
  Action_Redo->setShortcut(QKeySequence());
}

bool TFrameCableList::eventFilter(QObject* watched, QEvent* event) {
  if (watched == ListBox) {
    if (event->type() == QEvent::KeyPress) {
      auto* key = static_cast<QKeyEvent*>(event);
      // Any Delete key, the keypad's included, whatever the modifiers.
      if (key->key() == Qt::Key_Delete) {
        ActionDeleteSelectedExecute();
        return true;
      }
    } else if (event->type() == QEvent::FontChange) {
      updateRowHeight();
    }
  } else if (event->type() == QEvent::ToolTip) {
    // An action without a hint shows no tool tip (the toolkit would show its
    // caption, which is an internal name).
    if (auto* b = qobject_cast<QToolButton*>(watched)) {
      if (actionHasNoHint(b->defaultAction())) return true;
    }
  }
  return QFrame::eventFilter(watched, event);
}

// --- file commands -----------------------------------------------------------

QStringList& TFrameCableList::loadReport() {
  static QStringList report;
  return report;
}

QString TFrameCableList::reportLine(const char* text, std::uint32_t status, int line) {
  return QString::fromStdString(loadReportLine(cp1251ToUtf8(text ? text : ""), status, line));
}

void TFrameCableList::NewExecute() {
  table_.clear();
  tableOpen_ = true;
  fileName_.clear();
  programSettings().ListFile(paneIndex_).clear();
  resetHistory();
  table_.setModified();  // a new table counts as unsaved
  model_->rebuild(table_.getCount());
  showTableControls(true);
  setFileActionsForOpenTable(true);
  refreshStatus();
  refreshCommands();
}

void TFrameCableList::FileOpenExecute() {
  if (!askSaveChanges(nullptr)) return;
  const QString path =
      CModal::current().openFileName(this, QString(), programSettings().LastOpenedFile(paneIndex_),
                                     QStringLiteral("txt (*.txt)"), QStringLiteral("txt"));
  if (!path.isEmpty()) openFile(path);
}

bool TFrameCableList::openFile(const QString& path) {
  if (!loadFile(path)) return false;
  fileName_ = path;
  linesLostAtLoad_ = lastLoadLost_;
  CProgramSettings& s = programSettings();
  s.LastOpenedFile(paneIndex_) = path;
  s.ListFile(paneIndex_) = path;
  refreshStatus();
  refreshCommands();
  return true;
}

bool TFrameCableList::loadFile(const QString& path) {
  loadReport().clear();
  if (!QFileInfo::exists(path)) {
    TForm_MessageBox::instance().AskStandard(QStringLiteral("Файл не найден"),
                                             QStringLiteral("Ошибка загрузки!"), 0, nullptr);
    return false;
  }

  // Read into a table of its own: the pane keeps showing its own table until the
  // reader has run, and keeps it when the system refuses the file.
  SListCables loaded;
  LoadResult result;
  try {
    result = loadFromFile(loaded, pathBytes(path).constData(),
                          [](const char* text, std::uint32_t status, int line) {
                            loadReport().append(reportLine(text, status, line));
                            return true;
                          });
  } catch (const FileOpenError& e) {
    CModal::current().standardBox(StandardBoxKind::Critical, QStringLiteral("Ошибка загрузки!"),
                                  QStringLiteral("Не удалось открыть файл ") + kQ + path + kQ +
                                      QStringLiteral(".\n") +
                                      QString::fromLocal8Bit(e.osMessage().c_str()),
                                  QMessageBox::Ok, QMessageBox::Ok);
    return false;
  }

  if (hasErrorBit(result.status)) {
    // As many lines as a screen shows; laying out tens of thousands would hold the
    // program for seconds and show nothing more.
    const QScreen* scr = screen();
    const int screenHeight = scr ? scr->availableGeometry().height() : 768;
    const int fit = std::max(10, screenHeight / QFontMetrics(font()).lineSpacing() - 8);
    const QStringList& report = loadReport();
    QString text;
    const int shown = report.size() > fit ? fit - 1 : static_cast<int>(report.size());
    for (int i = 0; i < shown; ++i) text += report[i] + QStringLiteral("\r\n");
    if (shown < report.size())
      text += QStringLiteral("… и ещё строк: %1\r\n").arg(report.size() - shown);
    TForm_MessageBox::instance().Ask(text, QStringLiteral("Ошибка загрузки!"), false, 0);
  }
  // Records beyond the table's size raise no error bit, but are not in the table.
  const long long beyond = result.loadedLineCount - result.addedRecords;
  if (beyond > 0) {
    CModal::current().standardBox(
        StandardBoxKind::Warning, QStringLiteral("Внимание!"),
        QStringLiteral("В таблице помещается не более %1 записей. Записей файла, не вошедших "
                       "в таблицу: %2.")
            .arg(SListCablesBase::kMaxCount)
            .arg(beyond),
        QMessageBox::Ok, QMessageBox::Ok);
  }
  lastLoadLost_ = result.errorLineCount + std::max(0LL, beyond);

  table_ = loaded;
  tableOpen_ = true;
  resetHistory();
  model_->rebuild(table_.getCount());
  showTableControls(true);
  setFileActionsForOpenTable(true);
  refreshStatus();
  // The other pane's marks of shared records depend on this table.
  if (host_) host_->RefreshOtherPane(paneIndex_);
  return true;
}

void TFrameCableList::FileSaveExecute() {
  if (saveTable()) refreshStatus();
}

void TFrameCableList::FileSaveAsExecute() {
  FileSaveAsBeforeExecute();
  const QString path = CModal::current().saveFileName(
      this, saveAsTitle_, saveAsName_, QStringLiteral("txt (*.txt)"), QStringLiteral("txt"));
  if (path.isEmpty()) return;  // cancelled: the dialog keeps its name
  saveAsName_ = path;
  FileSaveAsAccept(path);
}

void TFrameCableList::FileSaveAsBeforeExecute() {
  // A table without a file gets the name the dialog was last left with.
  if (!fileName_.isEmpty()) saveAsName_ = fileName_;
}

void TFrameCableList::FileSaveAsAccept(const QString& path) { saveFile(path, false); }

bool TFrameCableList::saveTable() {
  return saveFile(programSettings().ListFile(paneIndex_), false);
}

bool TFrameCableList::saveFile(const QString& path, bool instrumentCopy) {
  if (!instrumentCopy && path == fileName_ && linesLostAtLoad_ > 0 && QFileInfo::exists(path)) {
    const QMessageBox::StandardButton answer = CModal::current().standardBox(
        StandardBoxKind::Question, QStringLiteral("Подтверждение"),
        QStringLiteral("При загрузке файла ") + kQ + path + kQ +
            QStringLiteral(" в таблицу не вошло строк: %1. Если записать таблицу в этот "
                           "файл, они пропадут. Перезаписать?")
                .arg(linesLostAtLoad_),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return false;
  }
  if (!instrumentCopy && QFileInfo::exists(path) && path != fileName_) {
    const QMessageBox::StandardButton answer = CModal::current().standardBox(
        StandardBoxKind::Question, QStringLiteral("Подтверждение"),
        QStringLiteral("Файл ") + kQ + path + kQ + QStringLiteral("уже существует. Перезаписать?"),
        QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
    if (answer != QMessageBox::Ok) return false;
  }

  const bool wasModified = table_.isModified();
  std::uint32_t status = 0;
  try {
    status = table_.saveToFile(pathBytes(path).constData());
  } catch (const FileOpenError&) {
    status = LSF_CAN_NOT_OPEN;
  }
  if (status != 0) {
    // The writer marks the table unchanged once the file was opened, even when
    // the writing then failed; the file does not hold the table, so its unsaved
    // changes must still count as unsaved.
    if (wasModified) table_.setModified();
    CModal::current().standardBox(StandardBoxKind::Critical, QStringLiteral("Ошибка!"),
                                  QStringLiteral("Сохранение файла прошло не успешно."),
                                  QMessageBox::Abort | QMessageBox::Retry | QMessageBox::Ignore,
                                  QMessageBox::Abort);
    refreshStatus();
    return false;
  }
  if (!instrumentCopy) {
    fileName_ = path;
    linesLostAtLoad_ = 0;  // the file holds the table now
    programSettings().ListFile(paneIndex_) = path;
  }
  refreshStatus();
  return true;
}

bool TFrameCableList::askSaveChanges(QWidget* anchor) {
  if (!tableOpen_ || !table_.isModified()) return true;
  const bool canSave = !fileName_.isEmpty();  // FileSave is enabled
  TForm_MessageBox& box = TForm_MessageBox::instance();
  box.AddButton(QStringLiteral("Забыть"), 3);
  if (canSave) box.AddButton(QStringLiteral("Сохранить"), 4);
  box.AddButton(QStringLiteral("Сохранить как..."), 5);
  box.AddButton(QStringLiteral("Отмена"), 2);
  QString text = QStringLiteral("Текущие изменения не сохранены.");
  if (programSettings().MessagesStyle == 1)
    text += QStringLiteral("\nЧто с ними прикажете делать, милостивый Государь?");
  box.SetAnchor(anchor);
  // Enter saves: "Сохранить" where offered, else "Сохранить как...", never "Забыть".
  box.SetFocusButton(1);
  switch (box.Ask(text, QStringLiteral("Внимание"), true, 2)) {
    case 3:
      return true;
    case 4:
      FileSaveExecute();
      return !table_.isModified();
    case 5:
      FileSaveAsExecute();
      return !table_.isModified();
    default:
      return false;
  }
}

void TFrameCableList::ActionFileCloseExecute() { closeTable(false); }

bool TFrameCableList::closeTable(bool silent) {
  if (!silent && !askSaveChanges(ToolButtonFileClose)) return false;
  table_.clear();
  table_.clearModified();
  tableOpen_ = false;
  resetHistory();
  model_->rebuild(0);
  showTableControls(false);
  fileName_.clear();
  programSettings().ListFile(paneIndex_).clear();
  setFileActionsForOpenTable(false);
  refreshStatus();
  // The selection went with the rows: the record commands are off now.
  refreshCommands();
  if (host_) host_->RefreshOtherPane(paneIndex_);
  return true;
}

// --- instrument disk commands ------------------------------------------------

QMessageBox::StandardButton TFrameCableList::askAtButton(QToolButton* button, StandardBoxKind kind,
                                                         const QString& text,
                                                         QMessageBox::StandardButtons buttons) {
  const QPoint corner = button ? button->mapToGlobal(QPoint(button->width(), 0)) : QPoint();
  const QString title = kind == StandardBoxKind::Question ? QStringLiteral("Подтверждение")
                                                          : QStringLiteral("Информация");
  const QMessageBox::StandardButton defaultButton =
      buttons & QMessageBox::Cancel ? QMessageBox::Cancel : QMessageBox::Ok;
  return CModal::current().standardBoxAt(corner, kind, title, text, buttons, defaultButton);
}

void TFrameCableList::FileSaveToDeviceExecute() {
  if (!tableOpen_) return;
  // What the instrument will do with the table, in one question; the record
  // limit alone keeps its own text.
  const std::vector<InstrumentFinding> findings = checkForInstrument(table_);
  if (!findings.empty()) {
    QString text;
    for (const InstrumentFinding& f : findings) {
      if (!text.isEmpty()) text += QStringLiteral("\n\n");
      text += QString::fromStdString(f.text);
    }
    if (findings.size() > 1 || findings[0].kind != InstrumentFinding::Kind::TooManyRecords)
      text += QStringLiteral("\n\nЗаписать таблицу в прибор?");
    if (askAtButton(ToolButton12, StandardBoxKind::Question, text,
                    QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
      return;
  }
  TForm_SelectDeviceDisk& disks = TForm_SelectDeviceDisk::instance();
  if (disks.SelectDisk() != 1) return;
  const QString path = disks.SelectedRoot() + QLatin1String(kInstrumentTableFile);
  if (QFileInfo::exists(path) &&
      askAtButton(ToolButton12, StandardBoxKind::Question,
                  QStringLiteral("Перезаписать файл таблицы кабелей прибора (") + kQ + path + kQ +
                      QStringLiteral(")?"),
                  QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  const bool wasModified = table_.isModified();
  const bool saved = saveFile(path, true);
  // The pane's own file was not written: its unsaved changes must still be asked about.
  if (saved && wasModified) table_.setModified();
  refreshStatus();
  refreshCommands();
  if (!saved) return;
  askAtButton(ToolButton12, StandardBoxKind::Information,
              QStringLiteral("Файл сохранён в прибор (") + kQ + path + kQ + QStringLiteral(")"),
              QMessageBox::Ok);
}

void TFrameCableList::LoadFileFromDeviceExecute() {
  TForm_SelectDeviceDisk& disks = TForm_SelectDeviceDisk::instance();
  if (disks.SelectDisk() != 1) return;
  const QString path = disks.SelectedRoot() + QLatin1String(kInstrumentTableFile);
  // A modified table gets the unsaved-changes question of closeTable instead.
  if (tableOpen_ && !table_.isModified() &&
      askAtButton(ToolButton14, StandardBoxKind::Question,
                  QStringLiteral("Текущая таблица будет закрыта. Продолжить?"),
                  QMessageBox::Ok | QMessageBox::Cancel) != QMessageBox::Ok)
    return;
  if (!closeTable(false)) return;
  if (!loadFile(path)) return;
  // The table has no file of its own: it counts as unsaved.
  table_.setModified();
  refreshStatus();
  refreshCommands();
  askAtButton(ToolButton14, StandardBoxKind::Information,
              QStringLiteral("Файл таблицы кабеля загружен из прибора (") + kQ + path + kQ +
                  QStringLiteral(")"),
              QMessageBox::Ok);
}

bool TFrameCableList::restoreTable() {
  CProgramSettings& s = programSettings();
  const QString autoSave = s.AutoSave(paneIndex_);
  const QString listFile = s.ListFile(paneIndex_);
  if (!autoSave.isEmpty()) {
    if (!loadFile(autoSave)) return false;
    table_.setModified();  // kept for this run, never saved to its file
  } else if (!listFile.isEmpty()) {
    if (!loadFile(listFile)) return false;
  } else {
    return false;
  }
  tableOpen_ = true;
  fileName_ = listFile;
  // A table kept for later holds what the user had; only a table read from its own
  // file may have left lines of that file out.
  linesLostAtLoad_ = autoSave.isEmpty() ? lastLoadLost_ : 0;
  refreshStatus();
  refreshCommands();
  return true;
}

// --- record commands ---------------------------------------------------------

void TFrameCableList::ActionDeleteSelectedExecute() {
  const QScopedValueRollback<bool> running(commandRunning_, true);
  const std::vector<bool> sel = selection();
  if (selectedCount(sel) > 0) {
    // Rows the find hides keep their selection, in their new places. The selection
    // is dropped before the rows go and set again after: each removal would renew
    // every selection range (runs times runs).
    std::vector<bool> kept;
    bool keepAny = false;
    const std::vector<bool> before = viewSelection();
    for (std::size_t i = 0; i < before.size(); ++i) {
      if (i < sel.size() && sel[i]) continue;
      kept.push_back(before[i]);
      keepAny = keepAny || before[i];
    }
    std::unique_ptr<SListCables_Action> action = deleteSelected(table_, sel);
    ListBox->selectionModel()->clearSelection();
    // Each run of rows goes with one model call, the last run first.
    for (int end = static_cast<int>(sel.size()) - 1; end >= 0; --end) {
      if (!sel[static_cast<std::size_t>(end)]) continue;
      int first = end;
      while (first > 0 && sel[static_cast<std::size_t>(first - 1)]) --first;
      model_->removeRowsAt(first, end - first + 1);
      end = first;
    }
    if (keepAny) setSelection(kept);
    recordAction(action);
  }
  refreshStatus();
  if (host_) host_->RefreshOtherPane(paneIndex_);
  refreshCommands();
}

namespace {

// Whether the record at row moves when the selection moves by step (-1 up, +1 down):
// it is selected and not in the block of selected rows against that end of the list.
bool movesWithSelection(const std::vector<bool>& sel, int row, int step) {
  const int n = static_cast<int>(sel.size());
  if (row < 0 || row >= n || !sel[static_cast<std::size_t>(row)]) return false;
  for (int r = row + step; r >= 0 && r < n; r += step)
    if (!sel[static_cast<std::size_t>(r)]) return true;
  return false;
}

}  // namespace

void TFrameCableList::ActionMoveUpExecute() {
  const QScopedValueRollback<bool> running(commandRunning_, true);
  std::vector<bool> sel = selection();
  const int current = currentRow();
  const bool currentMoves = movesWithSelection(sel, current, -1);
  std::unique_ptr<SListCables_Action> action = moveSelectedUp(table_, sel);
  model_->textsChanged();
  setSelection(sel);
  // The focus frame goes with the record it was on.
  if (action && currentMoves) setCurrentRow(current - 1);
  recordAction(action);
  refreshStatus();
  refreshCommands();
}

void TFrameCableList::ActionMoveDownExecute() {
  const QScopedValueRollback<bool> running(commandRunning_, true);
  std::vector<bool> sel = selection();
  const int current = currentRow();
  const bool currentMoves = movesWithSelection(sel, current, +1);
  std::unique_ptr<SListCables_Action> action = moveSelectedDown(table_, sel);
  model_->textsChanged();
  setSelection(sel);
  if (action && currentMoves) setCurrentRow(current + 1);
  recordAction(action);
  refreshStatus();
  refreshCommands();
}

void TFrameCableList::Action_UndoExecute() {
  const QScopedValueRollback<bool> running(commandRunning_, true);
  if (!history_.undo(table_)) return;
  afterUndoRedo();
}

void TFrameCableList::Action_RedoExecute() {
  const QScopedValueRollback<bool> running(commandRunning_, true);
  history_.redo(table_);
  afterUndoRedo();
}

void TFrameCableList::afterUndoRedo() {
  model_->sync(table_.getCount());
  refreshStatus();
  refreshCommands();
  if (host_) host_->RefreshOtherPane(paneIndex_);
  refreshUndoRedo();
}

void TFrameCableList::ListBoxDblClick() {
  if (currentRow() >= 0 && selectedCount(selection()) == 1) ActionEditCable->trigger();
}

bool TFrameCableList::appendRecord(const SCable& rec) {
  if (!table_.add(rec)) return false;  // full: no row, nothing to record
  model_->appendRow();
  refreshStatus();
  if (host_) host_->RefreshOtherPane(paneIndex_);
  return true;
}

// --- display -----------------------------------------------------------------

void TFrameCableList::ApplyFontSize(int pointSize) {
  if (pointSize <= 0) return;
  QFont font = ListBox->font();
  font.setPointSize(pointSize);
  ListBox->setFont(font);
  updateRowHeight();
}

void TFrameCableList::updateRowHeight() {
  // Not below the mark icon. The width is measured again even when the height
  // stays: small sizes all get the icon's height but not the same widths.
  rowHeight_ = std::max(QFontMetrics(ListBox->font()).height(), int(CIcons::kMarkHeight));
  rowWidth_ = 0;
  if (auto* d = dynamic_cast<CableRowDelegate*>(ListBox->itemDelegate())) d->notifySizeChanged();
}

void TFrameCableList::repaintList() { ListBox->viewport()->update(); }

int TFrameCableList::rowWidth() const {
  if (rowWidth_ <= 0) rowWidth_ = CableRowPainter::rowWidth(ListBox->font(), CIcons::kMarkWidth);
  return rowWidth_;
}

void TFrameCableList::ListBoxDrawItem(int row, const QRect& rect, QStyle::State state,
                                      QPainter* painter) {
  if (row < 0 || row >= table_.getCount()) return;
  const SCable& rec = table_.at(row);
  const CProgramSettings& settings = programSettings();
  CableRowMarks marks;
  marks.markSameNames = settings.MarkSameNames;
  marks.markSameCables = settings.MarkSameCables;
  if (settings.MarkSameNames) {
    for (int j = 0; j < table_.getCount() && !marks.duplicateName; ++j)
      marks.duplicateName =
          j != row && std::strncmp(rec.name, table_.at(j).name, SCable::kNameSize) == 0;
  }
  const SListCables* other = host_ ? host_->otherTable(paneIndex_) : nullptr;
  marks.inOtherTable = other && other->indexOfEqual(rec) >= 0;
  const QPixmap mark = marks.inOtherTable && host_ ? host_->markIcon(paneIndex_) : QPixmap();
  CableRowPainter::paint(painter, ListBox, rect, state, row, rec, marks, mark);
}
