#pragma once

#include <QPointer>
#include <QString>
#include <QtGlobal>

class QAction;
class QWidget;
class ISettingsKey;
class ISettingsStore;

// What the program keeps between runs. One global instance (programSettings()); read
// once when the main window is first shown, written once when it closes. A store that
// cannot be read or written, or a value of the wrong type, leaves the defaults in
// place without a word.
class CProgramSettings {
 public:
  // Constants, not QStrings, so that other files' static objects may use them.
  static constexpr char KeyPath[] = "Software\\ORVEN\\Tolmira";
  static constexpr char OldKeyPath[] = "Software\\ORVEN\\Tolmira 1.00";  // migrated on save
  static constexpr char MainWindowSubKey[] = "MainWindow";
  // The list font sizes the window offers; FontSize 0 is none chosen.
  static constexpr int FontSizeMin = 8;
  static constexpr int FontSizeMax = 20;

  QString LastOpenedFile1, LastOpenedFile2, ListFile1, ListFile2, AutoSave1, AutoSave2;
  qint32 EditWindow_Top = 0, EditWindow_Left = 0;
  quint8 FontSize = 0;
  double TableWidthK = 0.0;
  quint8 MessagesStyle = 0;
  bool AllowSameNames = false, MarkSameNames = true, MarkSameCables = true;

  QString& ListFile(int paneIndex);  // paneIndex 0 -> ListFile1, 1 -> ListFile2
  QString& LastOpenedFile(int paneIndex);
  QString& AutoSave(int paneIndex);

  // Set the field and the check mark of the bound action.
  void SetAllowSameNames(bool value);
  void SetMarkSameNames(bool value);
  void SetMarkSameCables(bool value);

  // The main window's settings actions; their check marks follow the fields from now
  // on (set at once). Any may be null.
  void bindActions(QAction* allowSameNames, QAction* markSameNames, QAction* markSameCables);
  // The two items of "Стиль обращения" ("Строгий", ":)"); Load checks them after
  // MessagesStyle (0 and 1; neither for another value).
  void bindMessagesStyleActions(QAction* strict, QAction* playful);

  // mainWindow may be null: then no geometry is applied or stored.
  void Load(ISettingsStore& store, QWidget* mainWindow);
  // Whether the last Load found a stored window position or size.
  bool geometryStored() const { return geometryStored_; }
  // False when the store could not take every value.
  bool Save(ISettingsStore& store, const QWidget* mainWindow);

 private:
  void loadGeometry(ISettingsKey& key, QWidget& mainWindow);
  void updateMessagesStyleActions();

  QPointer<QAction> actionAllowSameNames_, actionMarkSameNames_, actionMarkSameCables_;
  QPointer<QAction> actionStyleStrict_, actionStylePlayful_;
  bool geometryStored_ = false;
};

CProgramSettings& programSettings();
