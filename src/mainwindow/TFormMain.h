#pragma once

#include <array>
#include <vector>

#include <QDialog>
#include <QMainWindow>
#include <QPixmap>
#include <QPointer>
#include <QString>
#include <QStringList>

#include "pane/IPaneHost.h"

class QAction;
class QActionGroup;
class QCloseEvent;
class QEvent;
class QMenu;
class QShowEvent;
class QSplitter;
class QSplitterHandle;
class QStatusBar;
class QToolBar;
class ISettingsStore;
class TFrameCableList;

// The program's one main window: two table panes side by side (0 left = table 1,
// 1 right = table 2) with a splitter, the bottom bar of commands for the active
// pane, the status bar and the main menu. Closing asks about unsaved changes and
// can keep the tables in autosave files for the next start.
class TFormMain : public QMainWindow, public IPaneHost {
  Q_OBJECT

 public:
  // store is not owned and must outlive the window; the settings are read from it
  // when the window is first shown and written to it when a close goes ahead.
  explicit TFormMain(ISettingsStore& store, QWidget* parent = nullptr);
  ~TFormMain() override;

  static QString windowCaption();  // "Менеджер кабелей для прибора VIRD-50"

  // --- IPaneHost ---
  const SListCables* otherTable(int paneIndex) const override;
  void SetActivePane(int paneIndex) override;
  void RefreshOtherPane(int paneIndex) override;
  void UpdateBottomBar() override;
  QAction* copyAction(int paneIndex) const override;
  QPixmap markIcon(int paneIndex) const override;

  int activePane() const { return activePane_; }
  // Copies the selected records of pane sourcePane (0 or 1) to the other pane.
  void CopySelected(int sourcePane);
  TFrameCableList* pane(int index) const;

  // Font size of both lists; remember stores it in the settings.
  void ApplyFontSize(int size, bool remember);
  // direction -1, 0 or +1: one even step down or up within 8 … 20; 0 only updates
  // the enabled state of the two font actions.
  void StepFontSize(int direction);

  // Applies TableWidthK to the current width of PanelTables.
  void applyTableSplit();

  // Where the autosave files go: the program's folder (by default the folder of the
  // executable); where that cannot be written, the per-user application data folder.
  void setProgramDir(const QString& dir) { programDir_ = dir; }
  const QString& programDir() const { return programDir_; }
  static QString autoSaveFallbackDir();
  // Whether dir lies in the folder the program was built in: autosaves do not go
  // there, since that folder is thrown away with a rebuild.
  static bool inBuildTree(const QString& dir);
  static QString autoSaveFileName(int paneNumber);  // "autosave1.txt", "autosave2.txt"

  // Ends the run without a question, as the answer "Потом сохраню" does: the unsaved
  // tables go to the autosave files and the settings are stored, then the window
  // closes. For the system's requests to end (shutdown, a signal, the logout). False
  // when a table could not be kept: that was shown, and the window stays open.
  bool keepTablesAndClose();

  // Files named on the command line, left pane first: they open in place of the
  // restored tables when the window first shows. Set before the window is shown.
  void setStartFiles(const QStringList& files) { startFiles_ = files; }

  // The windows of the help menu; when none is given the window makes its own on
  // first use.
  void setAboutWindow(QDialog* about) { about_ = about; }
  void setHelpWindow(QDialog* help) { help_ = help; }

  // Pure rules, kept apart so that they can be checked without a window.
  // Width of the left pane for w = PanelTables' width minus the splitter's width.
  static int splitLeftWidth(int w, double tableWidthK, int minLeft, int minRight);
  // The size StepFontSize moves to from s (before the 8 … 20 limits).
  static int steppedFontSize(int s, int direction);
  // "Имеются несохранённые изменения" + " в таблице 1" / " в таблице 2" / " в обеих таблицах".
  static QString unsavedChangesText(bool changed1, bool changed2);

  // The font sizes of the "Размер шрифта" menu.
  static const std::array<int, 7>& fontSizes();

  // --- controls and actions (design names) ---
  QSplitter* PanelTables = nullptr;
  QSplitterHandle* Splitter1 = nullptr;
  QToolBar* ActionToolBar2 = nullptr;
  QStatusBar* StatusBar1 = nullptr;

  QAction* ActionView = nullptr;
  QAction* ActionEditCable = nullptr;
  QAction* ActionMoveDown = nullptr;
  QAction* ActionMoveUp = nullptr;
  QAction* ActionCopy = nullptr;
  QAction* ActionDelete = nullptr;
  QAction* ActionExit = nullptr;
  QAction* ActionCopyLToR = nullptr;
  QAction* ActionCopyRToL = nullptr;
  QAction* Action_FontSizePlus = nullptr;
  QAction* Action_FontSizeMinus = nullptr;
  QAction* ActionSettingsAllowSameNames = nullptr;
  QAction* ActionSettingsMarkSameNames = nullptr;
  QAction* ActionSettingsMarkSameCables = nullptr;
  QAction* ActionFind = nullptr;  // Ctrl+F: the active pane's find field

  QMenu* MenuProgram = nullptr;           // "Программа"
  QMenu* MenuSettings = nullptr;          // "Настройки"
  QMenu* MenuFontSize = nullptr;          // "Размер шрифта"
  QMenu* MenuMessagesStyle = nullptr;     // "Стиль обращения", not visible
  QMenu* MenuHelp = nullptr;              // "Помощь"
  QAction* ActionStyleStrict = nullptr;   // "Строгий"
  QAction* ActionStylePlayful = nullptr;  // ":)"
  QAction* ActionAbout = nullptr;         // "О программе…"
  QAction* ActionHelp = nullptr;          // "Справка"
  std::vector<QAction*> FontSizeItems;    // "8" … "20"

  // The actions of the category "BottomPanel", in bar order, separator included.
  const std::vector<QAction*>& bottomPanelActions() const { return bottomPanel_; }

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;
  QMenu* createPopupMenu() override;

 private:
  void buildActions();
  void buildMenu();
  void buildLayout();
  void buildBottomBar();
  void firstShow();
  void watchForFrame();
  void widenForFullRows();
  void fitFrameOnScreen();
  void restoreTables();
  void onSplitterMoved();
  void showHelpDialog(bool about);
  bool handleKeyPreview(QEvent* event);

  // The close handler: true when the window may close (the settings are stored then).
  bool FormCloseQuery();
  // Writes the autosave files of the changed tables and sets AutoSave1/2; false,
  // with a message and the settings untouched, when a file could not be written.
  bool writeAutoSaves();
  void reportUnstoredAutoSaves();
  bool writeAutoSave(int paneIndex, QString* path, QString* error);

  ISettingsStore& store_;
  std::array<TFrameCableList*, 2> panes_{{nullptr, nullptr}};
  int activePane_ = -1;
  bool shownOnce_ = false;
  bool keepWithoutQuestion_ = false;
  int frameChecks_ = 0;
  bool restored_ = false;
  QString programDir_;
  std::array<QPixmap, 2> ImageList2;  // the row marks of the two panes
  std::vector<QAction*> bottomPanel_;
  QActionGroup* fontSizeGroup_ = nullptr;
  QPointer<QDialog> about_, help_;
  QStringList startFiles_;
};
