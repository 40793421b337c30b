#include "editor/KuFromLengthPanel.h"

#include <algorithm>
#include <string>

#include <QComboBox>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QPushButton>
#include <QScreen>

#include "numeric/Numeric.h"

using namespace tolmira;

KuFromLengthPanel::KuFromLengthPanel(std::function<float()> currentKu,
                                     std::function<void(float)> apply, QWidget* parent)
    : QFrame(parent, Qt::Popup), currentKu_(std::move(currentKu)), apply_(std::move(apply)) {
  setObjectName(QStringLiteral("Panel_KuFromLength"));
  // A window of its own takes no font from its parent.
  if (parent) setFont(parent->font());
  setFrameShape(QFrame::StyledPanel);
  setFrameShadow(QFrame::Raised);

  Label_Title = new QLabel(QStringLiteral("КУ по длине отрезка кабеля"), this);
  QFont bold = Label_Title->font();
  bold.setBold(true);
  Label_Title->setFont(bold);
  auto* trueLabel = new QLabel(QStringLiteral("Длина кабеля, м:"), this);
  Edit_TrueLength = new QLineEdit(this);
  Edit_TrueLength->setObjectName(QStringLiteral("Edit_TrueLength"));
  ComboBox_Source = new QComboBox(this);
  ComboBox_Source->setObjectName(QStringLiteral("ComboBox_Source"));
  ComboBox_Source->addItem(QStringLiteral("Прибор показал, м:"));
  ComboBox_Source->addItem(QStringLiteral("Время отражения, мкс:"));
  ComboBox_Source->setToolTip(
      QStringLiteral("Длина, которую прибор показал с КУ записи, или время от импульса до "
                     "отражения от конца кабеля"));
  Edit_Measured = new QLineEdit(this);
  Edit_Measured->setObjectName(QStringLiteral("Edit_Measured"));
  Label_Result = new QLabel(this);
  Label_Result->setObjectName(QStringLiteral("Label_Result"));
  Label_Result->setWordWrap(true);
  Label_Result->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  Button_Apply = new QPushButton(QStringLiteral("Применить"), this);
  Button_Apply->setObjectName(QStringLiteral("Button_Apply"));
  Button_Apply->setAutoDefault(false);

  const QFontMetrics fm(font());
  const int editWidth = fm.horizontalAdvance(QStringLiteral("000000.00")) + 12;
  Edit_TrueLength->setFixedWidth(editWidth);
  Edit_Measured->setFixedWidth(editWidth);
  // Two lines for the answer: the panel keeps its size whatever it says.
  Label_Result->setFixedHeight(fm.lineSpacing() * 2 + 2);

  auto* grid = new QGridLayout(this);
  grid->setContentsMargins(8, 6, 8, 6);
  grid->setHorizontalSpacing(6);
  grid->setVerticalSpacing(4);
  grid->addWidget(Label_Title, 0, 0, 1, 2);
  grid->addWidget(trueLabel, 1, 0);
  grid->addWidget(Edit_TrueLength, 1, 1);
  grid->addWidget(ComboBox_Source, 2, 0);
  grid->addWidget(Edit_Measured, 2, 1);
  grid->addWidget(Label_Result, 3, 0, 1, 2);
  grid->addWidget(Button_Apply, 4, 0, 1, 2, Qt::AlignRight);
  // Wide enough that the longest problem text takes at most its two lines.
  const int longest =
      fm.horizontalAdvance(QStringLiteral("У записи нет КУ от 1 до 7: введите время отражения."));
  setFixedWidth(std::max(sizeHint().width(), longest * 3 / 5 + 16));
  setFixedHeight(sizeHint().height());

  connect(Edit_TrueLength, &QLineEdit::textEdited, this, [this] { recalculate(); });
  connect(Edit_Measured, &QLineEdit::textEdited, this, [this] { recalculate(); });
  connect(ComboBox_Source, &QComboBox::activated, this, [this] { recalculate(); });
  connect(Edit_TrueLength, &QLineEdit::returnPressed, this,
          [this] { Edit_Measured->setFocus(Qt::TabFocusReason); });
  connect(Edit_Measured, &QLineEdit::returnPressed, this, [this] { applyExecute(); });
  connect(Button_Apply, &QPushButton::clicked, this, [this] { applyExecute(); });
}

void KuFromLengthPanel::popUpBelow(QWidget* button) {
  QPoint at = button->mapToGlobal(QPoint(0, button->height()));
  if (const QScreen* s = button->screen()) {
    const QRect room = s->availableGeometry();
    at.setX(std::clamp(at.x(), room.left(), std::max(room.left(), room.right() - width())));
    if (at.y() + height() > room.bottom()) at.setY(button->mapToGlobal(QPoint()).y() - height());
  }
  move(at);
  recalculate();
  show();
  Edit_TrueLength->setFocus(Qt::PopupFocusReason);
}

KuFromLength KuFromLengthPanel::calculate() const {
  const std::string length = Edit_TrueLength->text().toStdString();
  const std::string measured = Edit_Measured->text().toStdString();
  return ComboBox_Source->currentIndex() == ReflectionTime
             ? kuFromReflectionTime(length, measured)
             : kuFromShownLength(currentKu_(), length, measured);
}

void KuFromLengthPanel::showResult(const KuFromLength& r) {
  QPalette pal = Label_Result->palette();
  pal.setColor(QPalette::WindowText, r.ku ? palette().color(QPalette::WindowText) : Qt::red);
  Label_Result->setPalette(pal);
  // The KU as the field will hold it, on its 4-digit grid.
  Label_Result->setText(r.ku ? QStringLiteral("Новый КУ: ") +
                                   QString::fromStdString(formatSignificant(*r.ku, 4))
                             : QString::fromStdString(r.problem));
}

void KuFromLengthPanel::recalculate() {
  // Nothing to say until both numbers are there; "Применить" then tells what is missing.
  if (Edit_TrueLength->text().trimmed().isEmpty() || Edit_Measured->text().trimmed().isEmpty()) {
    Label_Result->clear();
    return;
  }
  showResult(calculate());
}

void KuFromLengthPanel::clearInput() {
  Edit_TrueLength->clear();
  Edit_Measured->clear();
  Label_Result->clear();
}

void KuFromLengthPanel::applyExecute() {
  const KuFromLength r = calculate();
  showResult(r);
  if (!r.ku) return;
  // The measurement went into the record: the same numbers would now give another KU.
  Edit_Measured->clear();
  Label_Result->clear();
  close();
  apply_(*r.ku);
}

void KuFromLengthPanel::keyPressEvent(QKeyEvent* event) {
  // Enter belongs to the fields and the button; it must not reach the editor.
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    event->accept();
    return;
  }
  QFrame::keyPressEvent(event);
}
