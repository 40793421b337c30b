#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include <QColor>
#include <QFrame>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QStyle>

#include "dialogs/CModal.h"
#include "history/List_UndoRedo.h"
#include "model/SListCables.h"

class QAction;
class QDragEnterEvent;
class QDropEvent;
class QLabel;
class QLineEdit;
class QVBoxLayout;
class QListView;
class QMenu;
class QPainter;
class QToolBar;
class QToolButton;
class IPaneHost;
class SListCables_Action;
class CableListModel;
class TForm_CsvExport;

// One table pane: a cable table, the file it belongs to and its undo/redo
// history, shown as an owner-drawn list with the file and record commands.
// Pane 0 is the left pane (table 1), pane 1 the right pane (table 2).
class TFrameCableList : public QFrame {
  Q_OBJECT

 public:
  // host is not owned and must outlive the pane; its copyAction() must already
  // exist. The constructor does not call back into the host otherwise.
  TFrameCableList(int paneIndex, IPaneHost* host, QWidget* parent = nullptr);
  ~TFrameCableList() override;

  int paneIndex() const { return paneIndex_; }
  bool tableOpen() const { return tableOpen_; }
  const SListCables& table() const { return table_; }
  const QString& fileName() const { return fileName_; }
  List_UndoRedo& history() { return history_; }
  const List_UndoRedo& history() const { return history_; }

  // One entry per row, true = selected.
  std::vector<bool> selection() const;
  // Selects exactly the rows marked true (missing entries: unselected).
  void setSelection(const std::vector<bool>& selected);
  // The list's focused row, -1 when there is none.
  int currentRow() const;
  void setCurrentRow(int row);

  // --- file commands ---
  void NewExecute();
  void FileOpenExecute();
  void FileSaveExecute();
  // The save-as dialog, then saveFile with the accepted name.
  void FileSaveAsExecute();
  // Before the dialog: it starts with the table's file, or with the name it was
  // last left with when the table has none.
  void FileSaveAsBeforeExecute();
  // The user accepted path in the dialog.
  void FileSaveAsAccept(const QString& path);
  void ActionFileCloseExecute();
  // Save to and load from "CABLES.TXT" on the instrument's disk.
  void FileSaveToDeviceExecute();
  void LoadFileFromDeviceExecute();
  // The table on paper: the print dialog, or a PDF file (TablePrintLayout).
  void FilePrintExecute();
  void FileSavePdfExecute();
  // The table as a CSV file for spreadsheets (the options dialog, then the save
  // dialog), and a CSV file read into a new table of the pane.
  void ActionExportCsvExecute();
  void ActionImportCsvExecute();

  // True when the file existed and was read, even with problem lines. A file
  // the system refuses to open (no permission, a folder, ...) leaves the pane
  // exactly as it was and is reported in a critical box.
  bool loadFile(const QString& path);
  bool openFile(const QString& path);
  bool saveFile(const QString& path, bool instrumentCopy);
  bool saveTable();
  // True means go on; anchor null centres the question over the main window.
  bool askSaveChanges(QWidget* anchor);
  bool closeTable(bool silent);
  bool restoreTable();
  // A file named on the command line, in place of the restored table: a table kept
  // for later (an autosave) is restored first and gets the unsaved-changes question.
  bool openInsteadOfRestored(const QString& path);
  // A dropped file opens as the Open command's would, after the same question.
  bool openDroppedFile(const QString& path);

  // The problem lines of the last load, shared by both panes.
  static QStringList& loadReport();
  // One report line: "Стр. " line " (поз. " pos "): " Q text Q, text from
  // Windows-1251; pos only when the low byte is set and some bit of
  // 0x200 … 0x40000000 is set.
  static QString reportLine(const char* text, std::uint32_t status, int line);

  // --- record commands ---
  // Through the cable editor (TForm_EditCable::instance(); nothing without one).
  void ActionAddNewExecute();
  void ActionEditCableExecute();
  void ActionViewExecute();
  void ActionDeleteSelectedExecute();
  void ActionMoveUpExecute();
  void ActionMoveDownExecute();
  void Action_UndoExecute();
  void Action_RedoExecute();
  void ListBoxDblClick();
  // Appends rec (for the copy between panes, which records its own action).
  // False, with nothing changed, when the table is full.
  bool appendRecord(const SCable& rec);

  // --- copy between the panes ---
  // Copies the selected records to the end of destination's table (a new table
  // there when it has none). Records it holds unchanged are left out; a name it
  // already uses is renamed in the editor, copied anyway, skipped or ends the
  // copy, as the user answers. The whole copy is one step of destination's
  // history. A full destination ends the copy, with a message.
  void copySelectedTo(TFrameCableList& destination);

  // --- state ---
  void refreshStatus();
  void refreshCommands();
  void refreshUndoRedo();
  // Takes the action over (the handle is cleared); an empty one is dropped.
  void recordAction(std::unique_ptr<SListCables_Action>& action);
  void resetHistory();

  // Focus entered / left the pane: active pane, Ctrl+Z / Ctrl+V.
  void FrameEnter();
  void FrameExit();

  // --- what the main window asks of a pane ---
  enum class Command { View, Edit, MoveUp, MoveDown, DeleteSelected };
  struct CommandStates {
    bool view = false, edit = false, moveUp = false, moveDown = false, deleteSelected = false;
  };
  CommandStates commandStates() const;
  // Runs the command when it is enabled, as its button would.
  void runCommand(Command command);
  // The active pane's file-name field looks like a selected item, the other
  // pane's like a quiet grey caption.
  void setActiveLook(bool active);
  // The save of the unsaved-changes question: FileSave when the table has a
  // file, else the save-as dialog.
  void saveOrSaveAs();
  int fontPointSize() const;

  // --- find ---
  // Puts the focus into the find field (Ctrl+F); nothing while no table is open.
  void focusFind();
  // A find text is set: the list shows only the records whose names contain it.
  bool findActive() const;
  // Rows the find leaves visible (every row while it is off).
  int shownCount() const;
  bool rowHiddenByFind(int row) const;

  // --- display ---
  // The list's font size in points; the row height follows the font.
  void ApplyFontSize(int pointSize);
  int rowHeight() const { return rowHeight_; }
  // Width of a full row in the list's font (number, symbol, cells, mark).
  int rowWidth() const;
  void repaintList();
  // Draws row `row` of the table into rect (list coordinates of painter).
  void ListBoxDrawItem(int row, const QRect& rect, QStyle::State state, QPainter* painter);

  // Actions (their captions are never shown: the buttons show icons only).
  QAction* New = nullptr;
  QAction* FileOpen = nullptr;
  QAction* FileSave = nullptr;
  QAction* FileSaveAs = nullptr;
  QAction* ActionFileClose = nullptr;
  QAction* LoadFileFromDevice = nullptr;
  QAction* FileSaveToDevice = nullptr;
  QAction* ActionExportCsv = nullptr;
  QAction* ActionImportCsv = nullptr;
  QAction* ActionAddNew = nullptr;
  QAction* ActionEditCable = nullptr;
  QAction* ActionView = nullptr;
  QAction* ActionDeleteSelected = nullptr;
  QAction* ActionMoveUp = nullptr;
  QAction* ActionMoveDown = nullptr;
  QAction* Action_Undo = nullptr;
  QAction* Action_Redo = nullptr;
  QAction* FilePrint = nullptr;    // in the list's context menu, Ctrl+P
  QAction* FileSavePdf = nullptr;  // in the list's context menu

  // Controls.
  QToolBar* ToolBar1 = nullptr;
  QToolButton* ToolButtonFileClose = nullptr;
  QToolButton* ToolButton12 = nullptr;        // FileSaveToDevice
  QToolButton* ToolButton14 = nullptr;        // LoadFileFromDevice
  QToolButton* ToolButton_Csv = nullptr;      // menu of ActionExportCsv, ActionImportCsv
  TForm_CsvExport* Form_CsvExport = nullptr;  // made at the first export
  QWidget* PanelStatus = nullptr;
  QLineEdit* EditFileName = nullptr;
  QToolBar* ToolBar3 = nullptr;
  QToolButton* ToolButton_FileAction = nullptr;
  QToolBar* ToolBar_CableActions = nullptr;
  QListView* ListBox = nullptr;
  QMenu* PopupMenuList = nullptr;
  QWidget* PanelFind = nullptr;
  QLineEdit* EditFind = nullptr;
  QLabel* LabelFindCount = nullptr;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void buildActions();
  void buildLayout();
  // The rows selected in the list, also those the find hides.
  std::vector<bool> viewSelection() const;
  void buildPrintActions();
  // The document's name for the printer and the PDF: table number and file.
  QString printTitle() const;
  void buildCsvCommands();
  // The find row above the list; its filter follows every change of the list's rows.
  void buildFind(QVBoxLayout* layout);
  void applyFind();
  // Rows that came or went: only they are looked at (a delete of many runs of rows
  // would otherwise match every name once per run).
  void findRowsInserted(int first, int last);
  void findRowsRemoved(int first, int last);
  // The count shown and the focus frame, after the hidden rows changed.
  void finishFind();
  // Rows hidden by the find are not selected as far as the commands are concerned.
  void maskFindHidden(std::vector<bool>& sel) const;
  // A move within a filtered view is ambiguous.
  void disableMovesWhileFiltered();
  void onFocusChanged(QWidget* old, QWidget* now);
  void showTableControls(bool shown);
  void setFileActionsForOpenTable(bool open);
  // ToolButton_FileAction takes action as its only action.
  void setFileAction(QAction* action);
  void afterUndoRedo();
  void updateRowHeight();
  // A standard box of a device command, at the top-right corner of its button.
  QMessageBox::StandardButton askAtButton(QToolButton* button, StandardBoxKind kind,
                                          const QString& text,
                                          QMessageBox::StandardButtons buttons);

  const int paneIndex_;
  IPaneHost* const host_;
  bool tableOpen_ = false;
  SListCables table_;
  List_UndoRedo history_;
  QString fileName_;
  // Lines of fileName_ that its load did not take into the table (rejected, or beyond
  // the table's size): writing the table over that file would lose them.
  long long linesLostAtLoad_ = 0;
  long long lastLoadLost_ = 0;
  QString saveAsTitle_;
  QString saveAsName_;  // the save-as dialog's file name, kept between uses
  int rowHeight_ = 16;
  mutable int rowWidth_ = 0;
  bool focusInside_ = false;
  // Set while a command changes rows: the selection signals each change sends are
  // answered by the one refresh at the command's end, not one per row or run.
  bool commandRunning_ = false;
  CableListModel* model_ = nullptr;
  std::vector<bool> findHidden_;  // per row, true = hidden by the find; empty while off
  int findShown_ = 0;
};
