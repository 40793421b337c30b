#pragma once

#include <functional>

#include <QFrame>

#include "fields/KuFromLength.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

// "КУ по длине", a small panel that drops down from its button in the TDR
// group: the user enters a cable's true length and the length the instrument
// showed with the record's KU, or the reflection time, and sees the KU that
// follows before "Применить" hands it on. The panel keeps no record: it asks for
// the current KU and passes the new one to its owner.
class KuFromLengthPanel : public QFrame {
  Q_OBJECT
 public:
  enum Source { ShownLength = 0, ReflectionTime = 1 };

  // currentKu gives the working copy's KU at each calculation; apply receives the
  // new KU. The panel is a pop-up window of parent.
  KuFromLengthPanel(std::function<float()> currentKu, std::function<void(float)> apply,
                    QWidget* parent);

  // Shows the panel below button, kept on the button's screen.
  void popUpBelow(QWidget* button);
  // Works out the KU from the fields again: nothing until both are filled in.
  void recalculate();
  // Empties the fields, as for another record.
  void clearInput();
  // "Применить": a problem is shown and nothing changes; a KU goes to the owner
  // and the panel closes.
  void applyExecute();

  QLabel* Label_Title = nullptr;
  QLineEdit* Edit_TrueLength = nullptr;
  QComboBox* ComboBox_Source = nullptr;
  QLineEdit* Edit_Measured = nullptr;
  QLabel* Label_Result = nullptr;
  QPushButton* Button_Apply = nullptr;

 protected:
  void keyPressEvent(QKeyEvent* event) override;

 private:
  tolmira::KuFromLength calculate() const;
  void showResult(const tolmira::KuFromLength& r);

  std::function<float()> currentKu_;
  std::function<void(float)> apply_;
};
