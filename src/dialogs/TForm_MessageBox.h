#pragma once

#include <cstdint>
#include <vector>

#include <QDialog>
#include <QMargins>
#include <QPoint>
#include <QPointer>
#include <QTimer>
#include <QRect>
#include <QString>

#include "dialogs/CModal.h"
#include "dialogs/MessageBoxLayout.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class QScrollArea;
class QWidget;

// The program's own modal question window with caller-defined buttons. One instance
// serves every question: callers add buttons, then ask; the answer is the pressed
// button's result, 2 for Escape or the close button.
class TForm_MessageBox : public QDialog {
  Q_OBJECT
 public:
  // The first instance constructed becomes the one instance().
  explicit TForm_MessageBox(QWidget* parent = nullptr);
  ~TForm_MessageBox() override;

  // The one instance; made on first use when the application object has not made it.
  static TForm_MessageBox& instance();
  // The window questions are centred over. Until set: the active top-level window,
  // or the screen.
  static void setMainWindow(QWidget* w);

  TForm_MessageBox& AddButton(const QString& caption, const QString& hint, int result);
  TForm_MessageBox& AddButton(const QString& caption, int result);
  // These two number the button 3 + the number of buttons already added.
  TForm_MessageBox& AddButton(const QString& caption);
  TForm_MessageBox& AddButton(const QString& caption, const QString& hint);
  TForm_MessageBox& SetAnchor(QWidget* anchor);
  // The button (0-based, in the order added) that has the focus, and so takes Enter,
  // in the next Ask; without it the first one.
  TForm_MessageBox& SetFocusButton(int index);

  // alignment: 0 left-justified, 1 right-justified, 2 centred.
  int Ask(const QString& text, const QString& title, bool wordWrap, int alignment);
  int AskStandard(const QString& text, const QString& title, std::uint32_t flags, QWidget* anchor);
  int AskFour(const QString& text, const QString& title, const QString& c1, const QString& c2,
              const QString& c3, const QString& c4, std::uint32_t flags, const QString& h1 = {},
              const QString& h2 = {}, const QString& h3 = {}, const QString& h4 = {});

  // Lays out and shows the real window modally; returns the pressed button's result.
  int execQuestion(const ModalQuestion& q);

  // The buttons of the question on screen (none between questions).
  int buttonCount() const { return static_cast<int>(buttons_.size()); }
  QPushButton* button(int index) const;
  QLabel* label() const { return LabelText; }
  // Holds the label; scrolls only a text too tall for the screen.
  QScrollArea* textView() const { return ScrollText; }

  void reject() override;
  void setVisible(bool visible) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int askQuestion(ModalQuestion q);
  void clearQuestion();
  void applyLayout();
  void takeRealFrame();

  QWidget* PanelText = nullptr;
  QScrollArea* ScrollText = nullptr;
  QLabel* LabelText = nullptr;
  QWidget* PanelButtons = nullptr;

  std::vector<ModalButton> pending_;  // buttons added for the next question
  QPointer<QWidget> anchor_;          // SetAnchor for the next question
  int focusButton_ = -1;              // SetFocusButton for the next question
  std::vector<QPushButton*> buttons_;

  // Placement of the question on screen, finished once the real frame is known: a
  // window manager frames a new window only after it is shown, and the frame's size
  // decides both the box's height limit and where its frame goes.
  bool placing_ = false;
  tolmira::MessageBoxLayoutInput layoutIn_;
  QMargins frame_;
  bool frameKnown_ = false;
  bool awaitingFrame_ = false;
  QPoint wantFrame_;     // where the frame's top-left corner is to be
  int corrections_ = 0;  // of the position after the window manager placed it
  int frameChecks_ = 0;
  int settledChecks_ = 0;
  QTimer* frameWatch_ = nullptr;
};
