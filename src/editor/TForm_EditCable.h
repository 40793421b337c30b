#pragma once

#include <cstdint>

#include <QColor>
#include <QDialog>
#include <QString>

#include "fields/EditorField.h"
#include "fields/EditorFields.h"
#include "fields/KeyRepeatCounter.h"
#include "model/SCable.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QWheelEvent;
class QWidget;
class KuFromLengthPanel;
class SListCables;

enum class EditorMode { New, Edit, Name, View };

// The modal dialog in which the user views, creates, edits or renames one cable
// record. It edits a working copy and writes it over the caller's record only when
// the user confirms a real change; it never touches the table. One instance,
// created at start-up and reused.
class TForm_EditCable : public QDialog {
  Q_OBJECT
 public:
  enum Result { Saved = 1, Cancelled = 2, Unchanged = 10, Inconsistent = 11 };

  // The first instance constructed becomes instance().
  explicit TForm_EditCable(QWidget* parent = nullptr);
  ~TForm_EditCable() override;
  // The one instance, or null before the program made it.
  static TForm_EditCable* instance();

  // table: for the duplicate-name check (may be null); ownIndex: the record's
  // position in it, -1 for none. On true the record holds the edited values
  // (ExecuteNew and ExecuteName also return true for Done without a change).
  bool ExecuteNew(SCable& record, const SListCables* table, int ownIndex);
  bool ExecuteEdit(SCable& record, const SListCables* table, int ownIndex);
  bool ExecuteName(SCable& record, const SListCables* table, int ownIndex);
  bool ExecuteView(SCable& record, const SListCables* table, int ownIndex);
  // Shows the dialog modally; returns a Result.
  int ShowWithMode(SCable& record, EditorMode mode, const SListCables* table, int ownIndex);

  EditorMode mode() const { return mode_; }
  bool editable() const { return mode_ == EditorMode::New || mode_ == EditorMode::Edit; }
  bool modified() const { return modified_; }
  const SCable& work() const { return fields_.work(); }
  const QString& captionBase() const { return captionBase_; }
  // The name check's message as composed (line breaks included).
  const QString& nameMessage() const { return nameMessage_; }
  const KeyRepeatCounter& keyRepeat() const { return keyRepeat_; }

  // The field an edit control shows, -1 for any other control.
  int FieldOfControl(const QObject* control) const;
  QLineEdit* editOf(EditorField f) const;
  static QString FieldHint(EditorField f);

  void RefreshField(EditorField f, bool withDependents = false);
  // field -1: the control's own field.
  void ApplyFieldText(QLineEdit* control, int field = -1);
  void UpdateModified();
  void TakeName(const QString& text);
  bool IsNameFree(const QString& text) const;
  void CheckNameField(const QString& text);
  void Finish();

  // Colours of the fields.
  static QColor silver() { return QColor(192, 192, 192); }
  static QColor white() { return QColor(255, 255, 255); }
  static QColor red() { return QColor(255, 0, 0); }
  QColor windowColour() const;

  // Controls, named as in the design.
  QLabel* Label_CableName = nullptr;
  QLineEdit* Edit_CableName = nullptr;
  QLabel* Label_NameMessage = nullptr;
  QCheckBox* CheckBox_TDR = nullptr;
  QGroupBox* GroupBox_TDR = nullptr;
  QWidget* Panel_TDR = nullptr;
  QLabel* Label_KU = nullptr;
  QLabel* Label_VOP = nullptr;
  QLabel* Label_V_2 = nullptr;
  QLabel* Label_V = nullptr;
  QLineEdit* Edit_KU = nullptr;
  QLineEdit* Edit_VOP = nullptr;
  QLineEdit* Edit_V_2 = nullptr;
  QLineEdit* Edit_V = nullptr;
  QPushButton* Button_KuFromLength = nullptr;
  KuFromLengthPanel* Panel_KuFromLength = nullptr;  // drops down from the button
  QLabel* PanelHint = nullptr;                      // the sunken frame is the label's own
  QLabel* LabelHint = nullptr;
  QCheckBox* CheckBox_DC = nullptr;
  QGroupBox* GroupBox_DC = nullptr;
  QWidget* Panel_DC = nullptr;
  QLabel* Label_Rr_20degreeC_ = nullptr;
  QRadioButton* RadioButton_Rr_20degreeC_ = nullptr;
  QLineEdit* Edit_Rr_20degreeC_ = nullptr;
  QRadioButton* RadioButton_S = nullptr;
  QGroupBox* GroupBox_S = nullptr;
  QLabel* Label_D = nullptr;
  QLineEdit* Edit_D = nullptr;
  QLabel* TntLabel_S = nullptr;
  QLineEdit* Edit_S = nullptr;
  QLabel* Label_AWG = nullptr;
  QLineEdit* Edit_AWG = nullptr;
  QGroupBox* GroupBox_Material = nullptr;
  QComboBox* ComboBox_Material = nullptr;
  QLabel* TntLabel_Rud = nullptr;
  QLineEdit* Edit_Rud = nullptr;
  QCheckBox* CheckBox_Rud = nullptr;
  QLabel* Label_TC = nullptr;
  QLineEdit* Edit_TC = nullptr;
  QCheckBox* CheckBox_TC = nullptr;
  QLabel* Label_K_TWISTING = nullptr;
  QLineEdit* Edit_K_TWISTING = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QLabel* Panel_RenameCableMessage = nullptr;

  void reject() override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  void buildControls();
  void buildLayout();
  void placeFrameControls();
  void fitSize();
  void place();

  void FillFromRecord();
  void refreshVelocities();
  void refreshResistance();
  void setColour(QWidget* w, const QColor& c);

  void CheckBox_TDRClick();
  void CheckBox_DCClick();
  void CheckBox_RudClick();
  void RadioButtonClick(bool storeS);
  void ComboBox_MaterialChange(int index);
  void ComboBox_MaterialTyped();
  void Button2Click();
  // "Применить" of the KU from a known length: stored as a typed KU would be.
  void ApplyKuFromLength(float ku);
  void Edit_CableNameChange(const QString& text);

  bool numericKeyPress(QLineEdit* edit, QKeyEvent* event);
  bool numericKeyDown(QLineEdit* edit, EditorField f, QKeyEvent* event);
  bool numericWheel(QLineEdit* edit, EditorField f, QWheelEvent* event);
  void focusNextAfter(QWidget* anchor);
  QWidget* enterAnchor(QLineEdit* edit) const;
  // Closes with result unless the close question keeps the dialog open.
  void closeWith(int result);
  bool FormCloseQuery();

  EditorFields fields_;
  SCable* callerRecord_ = nullptr;
  EditorMode mode_ = EditorMode::View;
  const SListCables* table_ = nullptr;
  int ownIndex_ = -1;
  bool modified_ = false;
  int refreshing_ = 0;
  QString captionBase_;
  QString nameMessage_;
  KeyRepeatCounter keyRepeat_;
  int savedSelectionStart_ = 0;
  int savedSelectionLength_ = 0;
  bool built_ = false;
  bool placed_ = false;
  bool closing_ = false;
};
