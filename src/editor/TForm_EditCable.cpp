#include "editor/TForm_EditCable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <string_view>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFocusEvent>
#include <QFont>
#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QVBoxLayout>
#include <QWheelEvent>

#include "dialogs/CModal.h"
#include "dialogs/TForm_MessageBox.h"
#include "editor/KuFromLengthPanel.h"
#include "fields/TypedNumber.h"
#include "model/MaterialInfo.h"
#include "model/SListCables.h"
#include "platform/QtCp1251.h"
#include "settings/CProgramSettings.h"

using namespace tolmira;

namespace {

TForm_EditCable* g_instance = nullptr;

constexpr int kDesignWidth = 381;
constexpr int kDesignHeight = 481;

const QString kCaptionEdit = QStringLiteral("Редактор кабеля");
const QString kCaptionName = QStringLiteral("Редактор кабеля. Укажите имя");
const QString kCaptionView = QStringLiteral("Просмотр кабеля");
const QString kModifiedMarker = QStringLiteral(" (внесены изменения)");

// Sets the refreshing flag for a scope; refreshes nest.
class Refreshing {
 public:
  explicit Refreshing(int& flag) : flag_(flag) { ++flag_; }
  ~Refreshing() { --flag_; }

 private:
  int& flag_;
};

// Tahoma where it exists, else a sans serif of similar width.
QFont dialogFont() {
  QFont f(QStringLiteral("Tahoma"), 8);
  f.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("Arial"),
                 QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans")});
  f.setStyleHint(QFont::SansSerif);
  return f;
}

// Courier where it exists, else another monospaced font.
QFont numberFont() {
  QFont f(QStringLiteral("Courier New"), 8);
  f.setFamilies({QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                 QStringLiteral("DejaVu Sans Mono")});
  f.setStyleHint(QFont::TypeWriter);
  f.setFixedPitch(true);
  return f;
}

// A method switched off hides its fields but keeps the dialog's layout.
void keepPlace(QWidget* w) {
  QSizePolicy p = w->sizePolicy();
  p.setRetainSizeWhenHidden(true);
  w->setSizePolicy(p);
}

// A group box title as wide as the check box that lies over it, so that the
// frame line stops where the box begins and no title text shows beside it.
void reserveTitle(QGroupBox* box, const QCheckBox* check) {
  const QFontMetrics fm(box->font());
  const int need = check->sizeHint().width() + 2;
  QString title = check->text();
  while (fm.horizontalAdvance(title) < need) title.prepend(QLatin1Char(' '));
  box->setTitle(title);
}

// Wide enough for the longest text the field shows, with the frame around it.
void fitWidth(QLineEdit* e, const QString& longest) {
  const QFontMetrics fm(e->font());
  const int text = fm.horizontalAdvance(longest) + fm.averageCharWidth();
  e->setFixedWidth(text + 12);
}

bool isBlurByWindowChange(const QFocusEvent* e) {
  return e->reason() == Qt::ActiveWindowFocusReason || e->reason() == Qt::PopupFocusReason;
}

}  // namespace

TForm_EditCable* TForm_EditCable::instance() { return g_instance; }

TForm_EditCable::TForm_EditCable(QWidget* parent) : QDialog(parent) {
  if (!g_instance) g_instance = this;
  setObjectName(QStringLiteral("Form_EditCable"));
  setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint |
                 Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
  setFont(dialogFont());
  setWindowTitle(kCaptionEdit);
  buildControls();
  reserveTitle(GroupBox_TDR, CheckBox_TDR);
  reserveTitle(GroupBox_DC, CheckBox_DC);
  buildLayout();
  built_ = true;
  fitSize();
  // Nothing is selected between calls; the controls show the reset record.
  FillFromRecord();
}

TForm_EditCable::~TForm_EditCable() {
  if (g_instance == this) g_instance = nullptr;
}

QColor TForm_EditCable::windowColour() const {
  return QApplication::palette().color(QPalette::Active, QPalette::Base);
}

QString TForm_EditCable::FieldHint(EditorField f) {
  switch (f) {
    case EditorField::KU:
      return QStringLiteral(
          "Коэффициент, показывающий во сколько раз скорость распространения сигнала в кабеле "
          "меньше скорости света в вакууме.");
    case EditorField::VOP:
      return QStringLiteral(
          "Коэффициент, обратный коэффициенту укорочения. Равен отношению скорости "
          "распространения сигнала в кабеле к скорости света в вакууме.");
    case EditorField::V_2:
      return QStringLiteral(
          "Половина скорости распространения сигнала в кабеле.\nПоказатель удобен в связи с тем, "
          "что фиксация отраженного сигнала происходит после прохождения кабеля 2 раза (в обе "
          "стороны).");
    case EditorField::V:
      return QStringLiteral("Скорость распространения сигнала в кабеле.");
    case EditorField::Rud:
      return QStringLiteral("Удельное электрическое сопротивление материала проводника при 20°C.");
    case EditorField::Rr_20degreeC_:
      return QStringLiteral(
          "Погонное электрическое сопротивление кабеля. Главный конечный параметр кабеля для "
          "DC-метода. Взаимосвязан с удельным эл. сопротивлением жил кабеля, сечением жил "
          "кабеля, и коэффициетом укрутки.");
    case EditorField::D:
      return QStringLiteral(
          "Диаметр жилы кабеля. Имеет прямой смысл для одножильного кабеля круглого сечения. В "
          "общем случае, это диаметр круглого в сечении проводника, эквивалентного кабелю по эл. "
          "сопротивлению.");
    case EditorField::S:
      return QStringLiteral("Суммарная площадь сечения жил кабеля.");
    case EditorField::AWG:
      return QStringLiteral(
          "AWG - американский калибр проводов.\nДостаточно распространённый параметр "
          "кабеля.\nУдобен для первичной грубой установки.");
    case EditorField::K_TWISTING:
      return QStringLiteral(
          "Коэффициент укрутки.\nПоказывает: во сколько раз длина жил кабеля превышает длину "
          "кабеля.\nОбычно равен или близок к единице.");
    default:
      return {};
  }
}

void TForm_EditCable::buildControls() {
  auto label = [this](const char* name, const QString& text, QWidget* parent) {
    auto* l = new QLabel(text, parent);
    l->setObjectName(QString::fromLatin1(name));
    return l;
  };
  auto edit = [this](const char* name, QWidget* parent, bool mono, const QString& longest) {
    auto* e = new QLineEdit(parent);
    e->setObjectName(QString::fromLatin1(name));
    if (mono) e->setFont(numberFont());
    fitWidth(e, longest);
    e->installEventFilter(this);
    return e;
  };
  auto checkBox = [this](const char* name, const QString& text, QWidget* parent) {
    auto* c = new QCheckBox(text, parent);
    c->setObjectName(QString::fromLatin1(name));
    c->installEventFilter(this);
    return c;
  };

  Label_CableName = label("Label_CableName", QStringLiteral("Название:"), this);
  Edit_CableName = new QLineEdit(this);
  Edit_CableName->setObjectName(QStringLiteral("Edit_CableName"));
  Edit_CableName->installEventFilter(this);
  Edit_CableName->setFixedWidth(
      QFontMetrics(font()).horizontalAdvance(QStringLiteral("Кабель 12345678")) + 12);
  Label_NameMessage = label("Label_NameMessage", {}, this);
  Label_NameMessage->setWordWrap(true);
  Label_NameMessage->setFixedHeight(QFontMetrics(font()).lineSpacing() * 3);
  Label_NameMessage->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
  Label_NameMessage->hide();
  QSizePolicy keep = Label_NameMessage->sizePolicy();
  keep.setRetainSizeWhenHidden(true);
  Label_NameMessage->setSizePolicy(keep);
  connect(Edit_CableName, &QLineEdit::textChanged, this, &TForm_EditCable::Edit_CableNameChange);

  GroupBox_TDR = new QGroupBox(QStringLiteral("Метод TDR"), this);
  GroupBox_TDR->setObjectName(QStringLiteral("GroupBox_TDR"));
  GroupBox_TDR->installEventFilter(this);
  CheckBox_TDR = checkBox("CheckBox_TDR", QStringLiteral("Метод TDR"), this);
  CheckBox_TDR->setAutoFillBackground(true);
  connect(CheckBox_TDR, &QCheckBox::clicked, this, &TForm_EditCable::CheckBox_TDRClick);
  Panel_TDR = new QWidget(GroupBox_TDR);
  Panel_TDR->setObjectName(QStringLiteral("Panel_TDR"));
  keepPlace(Panel_TDR);
  Label_KU = label("Label_KU", QStringLiteral("Коэф. укорочения:"), Panel_TDR);
  Label_VOP = label("Label_VOP", QStringLiteral("VOP:"), Panel_TDR);
  Label_V_2 = label("Label_V_2", QStringLiteral("V/2, [м/мкс]:"), Panel_TDR);
  Label_V = label("Label_V", QStringLiteral("V, [м/мкс]:"), Panel_TDR);
  const QString longestNumber = QStringLiteral("0.14285");
  Edit_KU = edit("Edit_KU", Panel_TDR, true, longestNumber);
  Edit_VOP = edit("Edit_VOP", Panel_TDR, true, longestNumber);
  Edit_V_2 = edit("Edit_V_2", Panel_TDR, true, longestNumber);
  Edit_V = edit("Edit_V", Panel_TDR, true, longestNumber);

  Button_KuFromLength = new QPushButton(QStringLiteral("КУ по длине…"), Panel_TDR);
  Button_KuFromLength->setObjectName(QStringLiteral("Button_KuFromLength"));
  Button_KuFromLength->setAutoDefault(false);
  Button_KuFromLength->setToolTip(
      QStringLiteral("КУ по отрезку кабеля известной длины: по длине, которую показал прибор, "
                     "или по времени отражения"));
  Panel_KuFromLength = new KuFromLengthPanel([this] { return fields_.work().getKU(); },
                                             [this](float ku) { ApplyKuFromLength(ku); }, this);
  connect(Button_KuFromLength, &QPushButton::clicked, this,
          [this] { Panel_KuFromLength->popUpBelow(Button_KuFromLength); });

  PanelHint = new QLabel(this);
  PanelHint->setObjectName(QStringLiteral("PanelHint"));
  PanelHint->setFrameShape(QFrame::StyledPanel);
  PanelHint->setFrameShadow(QFrame::Sunken);
  LabelHint = label("LabelHint", {}, PanelHint);
  LabelHint->setWordWrap(true);
  LabelHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);

  GroupBox_DC = new QGroupBox(QStringLiteral("Метод DC"), this);
  GroupBox_DC->setObjectName(QStringLiteral("GroupBox_DC"));
  GroupBox_DC->installEventFilter(this);
  CheckBox_DC = checkBox("CheckBox_DC", QStringLiteral("Метод DC"), this);
  CheckBox_DC->setAutoFillBackground(true);
  connect(CheckBox_DC, &QCheckBox::clicked, this, &TForm_EditCable::CheckBox_DCClick);
  Panel_DC = new QWidget(GroupBox_DC);
  Panel_DC->setObjectName(QStringLiteral("Panel_DC"));
  keepPlace(Panel_DC);
  Label_Rr_20degreeC_ = label("Label_Rr_20degreeC_",
                              QStringLiteral("Погонное сопротивление при 20°C, Ом/км:"), Panel_DC);
  Label_Rr_20degreeC_->setWordWrap(true);
  RadioButton_Rr_20degreeC_ = new QRadioButton(Panel_DC);
  RadioButton_Rr_20degreeC_->setObjectName(QStringLiteral("RadioButton_Rr_20degreeC_"));
  RadioButton_Rr_20degreeC_->setToolTip(QStringLiteral("Установить погонное сопротивление"));
  Edit_Rr_20degreeC_ = edit("Edit_Rr_20degreeC_", Panel_DC, true, longestNumber);
  RadioButton_S = new QRadioButton(Panel_DC);
  RadioButton_S->setObjectName(QStringLiteral("RadioButton_S"));
  GroupBox_S = new QGroupBox(QStringLiteral("Сечение"), Panel_DC);
  GroupBox_S->setObjectName(QStringLiteral("GroupBox_S"));
  Label_D = label("Label_D", QStringLiteral("Диаметр, мм:"), GroupBox_S);
  Edit_D = edit("Edit_D", GroupBox_S, false, QStringLiteral("0.0000"));
  TntLabel_S = label("TntLabel_S", QStringLiteral("Сечение, мм²:"), GroupBox_S);
  Edit_S = edit("Edit_S", GroupBox_S, false, QStringLiteral("0.0000"));
  Label_AWG = label("Label_AWG", QStringLiteral("AWG:"), GroupBox_S);
  Edit_AWG = edit("Edit_AWG", GroupBox_S, true, QStringLiteral("~-10"));
  // Both radio buttons sit in one panel: checking one unchecks the other.
  connect(RadioButton_Rr_20degreeC_, &QRadioButton::clicked, this,
          [this] { RadioButtonClick(false); });
  connect(RadioButton_S, &QRadioButton::clicked, this, [this] { RadioButtonClick(true); });

  GroupBox_Material = new QGroupBox(QStringLiteral("Материал проводника"), Panel_DC);
  GroupBox_Material->setObjectName(QStringLiteral("GroupBox_Material"));
  ComboBox_Material = new QComboBox(GroupBox_Material);
  ComboBox_Material->setObjectName(QStringLiteral("ComboBox_Material"));
  ComboBox_Material->setEditable(true);
  ComboBox_Material->setInsertPolicy(QComboBox::NoInsert);
  ComboBox_Material->setCompleter(nullptr);  // typing does not search the list
  for (int i = 0; i < kMaterialCount; ++i)
    ComboBox_Material->addItem(QString::fromLatin1(materialInfo(i).name));
  ComboBox_Material->installEventFilter(this);
  ComboBox_Material->lineEdit()->installEventFilter(this);
  connect(ComboBox_Material, &QComboBox::currentIndexChanged, this,
          &TForm_EditCable::ComboBox_MaterialChange);
  connect(ComboBox_Material->lineEdit(), &QLineEdit::textEdited, this,
          [this] { ComboBox_MaterialTyped(); });
  TntLabel_Rud =
      label("TntLabel_Rud", QStringLiteral("Удельное эл. сопротивление при 20°C,\nОм*мм²/км:"),
            GroupBox_Material);
  Edit_Rud = edit("Edit_Rud", GroupBox_Material, true, longestNumber);
  CheckBox_Rud = checkBox("CheckBox_Rud", {}, GroupBox_Material);
  connect(CheckBox_Rud, &QCheckBox::clicked, this, &TForm_EditCable::CheckBox_RudClick);
  Label_TC = label("Label_TC", QStringLiteral("Температурный коэф., 1/°C:"), GroupBox_Material);
  Edit_TC = edit("Edit_TC", GroupBox_Material, true, longestNumber);
  CheckBox_TC = checkBox("CheckBox_TC", {}, GroupBox_Material);
  Label_K_TWISTING = label("Label_K_TWISTING", QStringLiteral("Коэффициент укрутки:"), Panel_DC);
  Edit_K_TWISTING = edit("Edit_K_TWISTING", Panel_DC, true, longestNumber);

  Button1 = new QPushButton(QStringLiteral("Готово"), this);
  Button1->setObjectName(QStringLiteral("Button1"));
  Button2 = new QPushButton(QStringLiteral("Отмена"), this);
  Button2->setObjectName(QStringLiteral("Button2"));
  // Enter in the fields moves on; it must not press a button of the dialog.
  for (QPushButton* b : {Button1, Button2}) {
    b->setAutoDefault(false);
    b->setDefault(false);
    b->installEventFilter(this);
  }
  connect(Button1, &QPushButton::clicked, this, &TForm_EditCable::Finish);
  connect(Button2, &QPushButton::clicked, this, &TForm_EditCable::Button2Click);

  Panel_RenameCableMessage = label("Panel_RenameCableMessage", {}, this);
  Panel_RenameCableMessage->setAlignment(Qt::AlignCenter);
  Panel_RenameCableMessage->setFrameShape(QFrame::Panel);
  Panel_RenameCableMessage->setFrameShadow(QFrame::Raised);
  Panel_RenameCableMessage->setAutoFillBackground(true);
  {
    QPalette p = Panel_RenameCableMessage->palette();
    p.setColor(QPalette::Window, QColor(255, 251, 240));  // cream
    p.setColor(QPalette::WindowText, Qt::black);
    Panel_RenameCableMessage->setPalette(p);
  }
  Panel_RenameCableMessage->hide();

  // Label tooltips from the field hints.
  Label_KU->setToolTip(FieldHint(EditorField::KU));
  Label_VOP->setToolTip(FieldHint(EditorField::VOP));
  Label_V_2->setToolTip(FieldHint(EditorField::V_2));
  Label_V->setToolTip(FieldHint(EditorField::V));
  Label_Rr_20degreeC_->setToolTip(FieldHint(EditorField::Rr_20degreeC_));
  Label_D->setToolTip(FieldHint(EditorField::D));
  TntLabel_S->setToolTip(FieldHint(EditorField::S));
  Label_AWG->setToolTip(FieldHint(EditorField::AWG));
  Label_K_TWISTING->setToolTip(FieldHint(EditorField::K_TWISTING));

  setTabOrder(Edit_CableName, CheckBox_TDR);
  QWidget* order[] = {CheckBox_TDR,
                      Edit_KU,
                      Edit_VOP,
                      Edit_V_2,
                      Edit_V,
                      CheckBox_DC,
                      Edit_Rr_20degreeC_,
                      Edit_D,
                      Edit_S,
                      Edit_AWG,
                      ComboBox_Material,
                      Edit_Rud,
                      CheckBox_Rud,
                      Edit_TC,
                      CheckBox_TC,
                      Edit_K_TWISTING,
                      RadioButton_Rr_20degreeC_,
                      RadioButton_S,
                      Button1,
                      Button2};
  for (std::size_t i = 1; i < sizeof order / sizeof order[0]; ++i)
    setTabOrder(order[i - 1], order[i]);
  // Last, so that Enter in the TDR fields still leaves the group for CheckBox_DC.
  setTabOrder(Button2, Button_KuFromLength);
}

void TForm_EditCable::buildLayout() {
  const int gap = 6;

  auto* top = new QHBoxLayout;
  top->setSpacing(gap);
  top->addWidget(Label_CableName);
  top->addWidget(Edit_CableName);
  top->addWidget(Label_NameMessage, 1);
  // The message row keeps its height whether or not a message is shown.
  auto* topHolder = new QWidget(this);
  topHolder->setLayout(top);
  topHolder->setFixedHeight(Label_NameMessage->height());
  top->setContentsMargins(0, 0, 0, 0);

  auto* tdr = new QGridLayout(Panel_TDR);
  tdr->setContentsMargins(0, 0, 0, 0);
  tdr->setHorizontalSpacing(gap);
  tdr->setVerticalSpacing(3);
  QLabel* tdrLabels[] = {Label_KU, Label_VOP, Label_V_2, Label_V};
  QLineEdit* tdrEdits[] = {Edit_KU, Edit_VOP, Edit_V_2, Edit_V};
  for (int i = 0; i < 4; ++i) {
    tdr->addWidget(tdrLabels[i], i, 0, Qt::AlignRight | Qt::AlignVCenter);
    tdr->addWidget(tdrEdits[i], i, 1);
  }
  tdr->addWidget(Button_KuFromLength, 4, 0, 1, 2, Qt::AlignRight);
  auto* tdrBox = new QVBoxLayout(GroupBox_TDR);
  tdrBox->setContentsMargins(6, 2, 6, 4);
  tdrBox->addWidget(Panel_TDR);
  tdrBox->addStretch(1);

  auto* hintBox = new QVBoxLayout(PanelHint);
  hintBox->setContentsMargins(4, 4, 4, 4);
  hintBox->addWidget(LabelHint);

  auto* middle = new QHBoxLayout;
  middle->setSpacing(gap);
  middle->addWidget(GroupBox_TDR);
  middle->addWidget(PanelHint, 1);

  auto* s = new QGridLayout(GroupBox_S);
  s->setContentsMargins(6, 2, 6, 4);
  s->setHorizontalSpacing(gap);
  s->setVerticalSpacing(3);
  s->addWidget(Label_D, 0, 0, Qt::AlignRight | Qt::AlignVCenter);
  s->addWidget(Edit_D, 0, 1);
  s->addWidget(TntLabel_S, 1, 0, Qt::AlignRight | Qt::AlignVCenter);
  s->addWidget(Edit_S, 1, 1);
  s->addWidget(Label_AWG, 2, 0, Qt::AlignRight | Qt::AlignVCenter);
  s->addWidget(Edit_AWG, 2, 1);

  auto* material = new QGridLayout(GroupBox_Material);
  material->setContentsMargins(6, 2, 6, 4);
  material->setHorizontalSpacing(gap);
  material->setVerticalSpacing(3);
  material->addWidget(ComboBox_Material, 0, 0);
  material->addWidget(TntLabel_Rud, 1, 0);
  material->addWidget(Edit_Rud, 1, 1);
  material->addWidget(CheckBox_Rud, 1, 2);
  material->addWidget(Label_TC, 2, 0);
  material->addWidget(Edit_TC, 2, 1);
  material->addWidget(CheckBox_TC, 2, 2);
  material->setColumnStretch(0, 1);

  auto* r = new QGridLayout;
  r->setHorizontalSpacing(2);
  r->setVerticalSpacing(3);
  r->addWidget(Label_Rr_20degreeC_, 0, 0, 1, 2);
  r->addWidget(RadioButton_Rr_20degreeC_, 1, 0);
  r->addWidget(Edit_Rr_20degreeC_, 1, 1, Qt::AlignLeft);
  r->setRowStretch(2, 1);
  r->addWidget(Label_K_TWISTING, 3, 0, 1, 2);
  r->addWidget(Edit_K_TWISTING, 4, 1, Qt::AlignLeft);
  r->setColumnStretch(1, 1);

  auto* section = new QHBoxLayout;
  section->setSpacing(2);
  section->addWidget(RadioButton_S);
  section->addWidget(GroupBox_S);

  auto* dc = new QGridLayout(Panel_DC);
  dc->setContentsMargins(0, 0, 0, 0);
  dc->setHorizontalSpacing(gap);
  dc->setVerticalSpacing(4);
  dc->addLayout(r, 0, 0);
  dc->addLayout(section, 0, 1);
  dc->addWidget(GroupBox_Material, 1, 0, 1, 2);
  dc->setColumnStretch(0, 1);
  auto* dcBox = new QVBoxLayout(GroupBox_DC);
  dcBox->setContentsMargins(6, 2, 6, 4);
  dcBox->addWidget(Panel_DC);

  auto* buttons = new QHBoxLayout;
  buttons->addStretch(1);
  buttons->addWidget(Button1);
  buttons->addWidget(Button2);

  auto* main = new QVBoxLayout(this);
  main->setContentsMargins(8, 8, 8, 8);
  main->setSpacing(4);
  main->addWidget(topHolder);
  main->addLayout(middle);
  main->addWidget(GroupBox_DC, 1);
  main->addLayout(buttons);
}

void TForm_EditCable::fitSize() {
  const double scale = logicalDpiY() / 96.0;
  const QSize design(static_cast<int>(std::lround(kDesignWidth * scale)),
                     static_cast<int>(std::lround(kDesignHeight * scale)));
  // The design size, unless the fonts of this system need more room.
  layout()->invalidate();
  layout()->activate();
  const QSize need = layout()->totalMinimumSize().expandedTo(layout()->totalSizeHint());
  setFixedSize(design.expandedTo(need));
}

void TForm_EditCable::placeFrameControls() {
  // Each method check box lies on its group's frame, over the group's title.
  for (auto [box, check] : {std::pair<QGroupBox*, QCheckBox*>{GroupBox_TDR, CheckBox_TDR},
                            std::pair<QGroupBox*, QCheckBox*>{GroupBox_DC, CheckBox_DC}}) {
    QStyleOptionGroupBox opt;
    opt.initFrom(box);
    opt.text = box->title();
    opt.lineWidth = 1;
    opt.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    const QRect title =
        box->style()->subControlRect(QStyle::CC_GroupBox, &opt, QStyle::SC_GroupBoxLabel, box);
    const QSize hint = check->sizeHint();
    const int x = box->x() + title.x();
    const int y = box->y() + title.center().y() - hint.height() / 2;
    check->setGeometry(x, std::max(0, y), std::max(hint.width(), title.width()), hint.height());
    check->raise();
  }
  // The rename message covers the top of the DC group.
  const QRect dc = GroupBox_DC->geometry();
  const int h = QFontMetrics(font()).lineSpacing() * 2 + 8;
  Panel_RenameCableMessage->setGeometry(dc.x(), dc.y(), dc.width(), h);
  Panel_RenameCableMessage->raise();
}

// --- entries ---

bool TForm_EditCable::ExecuteNew(SCable& record, const SListCables* table, int ownIndex) {
  return ShowWithMode(record, EditorMode::New, table, ownIndex) != Cancelled;
}

bool TForm_EditCable::ExecuteEdit(SCable& record, const SListCables* table, int ownIndex) {
  return ShowWithMode(record, EditorMode::Edit, table, ownIndex) == Saved;
}

bool TForm_EditCable::ExecuteName(SCable& record, const SListCables* table, int ownIndex) {
  return ShowWithMode(record, EditorMode::Name, table, ownIndex) != Cancelled;
}

bool TForm_EditCable::ExecuteView(SCable& record, const SListCables* table, int ownIndex) {
  ShowWithMode(record, EditorMode::View, table, ownIndex);
  return true;
}

int TForm_EditCable::ShowWithMode(SCable& record, EditorMode mode, const SListCables* table,
                                  int ownIndex) {
  modified_ = false;
  mode_ = mode;
  table_ = table;
  ownIndex_ = ownIndex;
  callerRecord_ = &record;
  fields_.work() = record;
  FillFromRecord();

  Panel_RenameCableMessage->hide();
  Button1->show();
  Button2->setText(QStringLiteral("Отмена"));
  captionBase_ = mode == EditorMode::Name   ? kCaptionName
                 : mode == EditorMode::View ? kCaptionView
                                            : kCaptionEdit;
  setWindowTitle(captionBase_);
  if (mode == EditorMode::Name) {
    Panel_RenameCableMessage->setText(QStringLiteral("Введите подходящее имя"));
    Panel_RenameCableMessage->setToolTip(
        QStringLiteral("В одной таблице могут быть записи с разными именами.\nДля удобства "
                       "рекомендуется имена не дублировать.\nРеакция программы на одинаковые "
                       "имена может быть настроена."));
    Panel_RenameCableMessage->show();
    placeFrameControls();
  }
  if (mode == EditorMode::View) {
    Button1->hide();
    Button2->setText(QStringLiteral("Закрыть"));
  }
  LabelHint->clear();
  const int result = exec();
  callerRecord_ = nullptr;
  table_ = nullptr;
  ownIndex_ = -1;
  return result;
}

void TForm_EditCable::FillFromRecord() {
  {
    Refreshing r(refreshing_);
    CheckBox_TDR->setChecked(fields_.isOn(EditorField::TDR));
    CheckBox_DC->setChecked(fields_.isOn(EditorField::DC));
  }
  Edit_CableName->setEnabled(mode_ != EditorMode::View);
  GroupBox_TDR->setEnabled(editable());
  GroupBox_DC->setEnabled(editable());
  Panel_KuFromLength->clearInput();
  for (EditorField f : {EditorField::CableName, EditorField::TDR, EditorField::DC, EditorField::V,
                        EditorField::Material, EditorField::Rud, EditorField::TC,
                        EditorField::Rr_20degreeC_, EditorField::S, EditorField::K_TWISTING})
    RefreshField(f, false);
}

// --- showing and closing ---

void TForm_EditCable::showEvent(QShowEvent* event) {
  place();
  QDialog::showEvent(event);
  placeFrameControls();
  if (mode_ != EditorMode::View)
    Edit_CableName->setFocus(Qt::OtherFocusReason);
  else
    Button2->setFocus(Qt::OtherFocusReason);
}

void TForm_EditCable::place() {
  // The first showing comes after the settings were loaded: the stored position
  // applies then. Later showings keep where the user left the dialog.
  if (!placed_) {
    placed_ = true;
    const CProgramSettings& s = programSettings();
    QWidget* over = parentWidget() ? parentWidget()->window() : nullptr;
    QPoint pos;
    if (over && over->isVisible()) {
      pos = over->frameGeometry().center() - QPoint(width() / 2, height() / 2);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
      pos = screen->availableGeometry().center() - QPoint(width() / 2, height() / 2);
    }
    if (s.EditWindow_Left >= 0) pos.setX(s.EditWindow_Left);
    if (s.EditWindow_Top >= 0) pos.setY(s.EditWindow_Top);
    move(pos);
  }
  // Always fully on a screen: the one that holds most of it, else the primary one.
  const QRect want(pos(), frameGeometry().size().expandedTo(size()));
  const QScreen* best = nullptr;
  int bestArea = -1;
  for (QScreen* screen : QGuiApplication::screens()) {
    const QRect common = screen->availableGeometry().intersected(want);
    const int area = common.isEmpty() ? 0 : common.width() * common.height();
    if (area > bestArea) {
      bestArea = area;
      best = screen;
    }
  }
  if (bestArea <= 0) best = QGuiApplication::primaryScreen();
  if (!best) return;
  const QRect avail = best->availableGeometry();
  QPoint p = want.topLeft();
  p.setX(std::max(avail.left(), std::min(p.x(), avail.right() + 1 - want.width())));
  p.setY(std::max(avail.top(), std::min(p.y(), avail.bottom() + 1 - want.height())));
  if (p != pos()) move(p);
}

void TForm_EditCable::hideEvent(QHideEvent* event) {
  // The settings store the position at the end of the run.
  CProgramSettings& s = programSettings();
  s.EditWindow_Top = pos().y();
  s.EditWindow_Left = pos().x();
  QDialog::hideEvent(event);
}

bool TForm_EditCable::FormCloseQuery() {
  if (!modified_) return true;
  const QMessageBox::StandardButton answer =
      CModal::current().standardBox(StandardBoxKind::Warning, QStringLiteral("Внимание"),
                                    QStringLiteral("Изменения будут потеряны. Закрыть окно?"),
                                    QMessageBox::Ok | QMessageBox::Cancel, QMessageBox::Cancel);
  return answer == QMessageBox::Ok;
}

void TForm_EditCable::closeWith(int result) {
  if (closing_ || !isVisible()) return;
  if (!FormCloseQuery()) return;
  closing_ = true;
  QDialog::done(result);
  closing_ = false;
}

void TForm_EditCable::reject() { closeWith(Cancelled); }

void TForm_EditCable::Button2Click() { closeWith(Cancelled); }

void TForm_EditCable::Finish() {
  int result = Cancelled;
  if (callerRecord_) {
    const bool differs = !callerRecord_->equals(fields_.work());
    if (differs && !modified_) {
      CModal::current().standardBox(
          StandardBoxKind::Warning, QStringLiteral("Разработчик! У тебя недоработка!"),
          QStringLiteral("Кабель изменён, но это событие где-то упущено."), QMessageBox::Ok,
          QMessageBox::Ok);
    }
    if (modified_ && differs) {
      *callerRecord_ = fields_.work();
      result = Saved;
    } else {
      result = modified_ ? Inconsistent : Unchanged;
    }
  }
  modified_ = false;
  closeWith(result);
}

void TForm_EditCable::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape) {
    event->accept();
    // With changes in an editable mode Escape does nothing: Cancel or the close
    // box then ask before the changes are lost.
    if (mode_ == EditorMode::Name || mode_ == EditorMode::View || !modified_) closeWith(Cancelled);
    return;
  }
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    // A focused button takes Enter as a press; nothing else closes the dialog.
    if (auto* b = qobject_cast<QPushButton*>(focusWidget())) b->click();
    event->accept();
    return;
  }
  QDialog::keyPressEvent(event);
}

// --- modified state and the name ---

void TForm_EditCable::UpdateModified() {
  if (callerRecord_) modified_ = !callerRecord_->equals(fields_.work());
  setWindowTitle(modified_ ? captionBase_ + kModifiedMarker : captionBase_);
}

namespace {
QString storedName(const SCable& rec) {
  return qStringFromCp1251(std::string_view(rec.name, strnlen(rec.name, SCable::kNameSize)));
}
}  // namespace

void TForm_EditCable::TakeName(const QString& text) {
  if (text == storedName(fields_.work())) return;
  const std::string bytes = cp1251FromQString(text);
  SCable::sanitizeName(fields_.work().name, bytes.c_str());
  UpdateModified();
}

bool TForm_EditCable::IsNameFree(const QString& text) const {
  if (!table_) return true;
  std::string bytes;
  if (text.isEmpty())
    bytes.assign(fields_.work().name, strnlen(fields_.work().name, SCable::kNameSize));
  else
    bytes = cp1251FromQString(text);
  return table_->indexOfName(bytes.c_str(), 0, ownIndex_) < 0;
}

void TForm_EditCable::CheckNameField(const QString& text) {
  QString message;
  bool badChar = false;
  bool tooLong = false;
  const std::string bytes = cp1251FromQString(text);
  bool ok = SCable::checkName(bytes.c_str(), &badChar, &tooLong);
  if (badChar) message = QStringLiteral("Недопустимые символы.");
  if (tooLong) {
    if (!message.isEmpty()) message += QStringLiteral("\r\n");
    message += QStringLiteral("Превышен размер имени.");
  }
  if (!IsNameFree(text)) {
    ok = false;
    if (!message.isEmpty()) message += QStringLiteral("\n");
    message += QStringLiteral("Повторяющееся название.");
  }
  nameMessage_ = message;
  setColour(Edit_CableName, ok ? white() : red());
  QString shown = message;
  shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  Label_NameMessage->setText(shown);
  Label_NameMessage->setVisible(!ok);
}

void TForm_EditCable::Edit_CableNameChange(const QString& text) {
  if (!refreshing_) TakeName(text);
  CheckNameField(text);
}

// --- fields ---

int TForm_EditCable::FieldOfControl(const QObject* control) const {
  if (!control) return -1;
  if (control == Edit_CableName) return static_cast<int>(EditorField::CableName);
  for (EditorField f :
       {EditorField::V, EditorField::Rud, EditorField::TC, EditorField::Rr_20degreeC_,
        EditorField::S, EditorField::K_TWISTING, EditorField::VOP, EditorField::V_2,
        EditorField::KU, EditorField::D, EditorField::AWG})
    if (editOf(f) == control) return static_cast<int>(f);
  return -1;
}

QLineEdit* TForm_EditCable::editOf(EditorField f) const {
  switch (f) {
    case EditorField::CableName:
      return Edit_CableName;
    case EditorField::V:
      return Edit_V;
    case EditorField::Rud:
      return Edit_Rud;
    case EditorField::TC:
      return Edit_TC;
    case EditorField::Rr_20degreeC_:
      return Edit_Rr_20degreeC_;
    case EditorField::S:
      return Edit_S;
    case EditorField::K_TWISTING:
      return Edit_K_TWISTING;
    case EditorField::VOP:
      return Edit_VOP;
    case EditorField::V_2:
      return Edit_V_2;
    case EditorField::KU:
      return Edit_KU;
    case EditorField::D:
      return Edit_D;
    case EditorField::AWG:
      return Edit_AWG;
    default:
      return nullptr;
  }
}

void TForm_EditCable::setColour(QWidget* w, const QColor& c) {
  QPalette p = w->palette();
  p.setColor(QPalette::Base, c);
  // Greyed text must stay readable on silver.
  p.setColor(QPalette::Disabled, QPalette::Text, QColor(96, 96, 96));
  w->setPalette(p);
}

namespace {
const QString kOff = QStringLiteral("---");
QString fieldText(const EditorFields& fields, EditorField f) {
  return QString::fromStdString(fields.FieldText(f));
}
}  // namespace

void TForm_EditCable::refreshVelocities() {
  const bool on = fields_.isOn(EditorField::TDR);
  for (EditorField f : {EditorField::V, EditorField::VOP, EditorField::V_2, EditorField::KU}) {
    QLineEdit* e = editOf(f);
    e->setText(on ? fieldText(fields_, f) : kOff);
    setColour(e, on && editable() ? windowColour() : silver());
  }
}

void TForm_EditCable::refreshResistance() {
  const bool on = fields_.isOn(EditorField::DC);
  const bool sStored = fields_.work().sIsStored != 0;
  for (EditorField f :
       {EditorField::Rr_20degreeC_, EditorField::S, EditorField::D, EditorField::AWG}) {
    QLineEdit* e = editOf(f);
    e->setText(on ? fieldText(fields_, f) : kOff);
    const bool stored = (f == EditorField::Rr_20degreeC_) != sStored;
    setColour(e, on && editable() && stored ? white() : silver());
  }
  RadioButton_Rr_20degreeC_->setChecked(!on || !sStored);
  RadioButton_S->setChecked(on && sStored);
}

void TForm_EditCable::RefreshField(EditorField f, bool withDependents) {
  Refreshing r(refreshing_);
  const bool dc = fields_.isOn(EditorField::DC);
  const SMaterial& m = fields_.work().material;
  switch (f) {
    case EditorField::CableName:
      Edit_CableName->setText(storedName(fields_.work()));
      CheckNameField(QString());
      break;
    case EditorField::TDR: {
      const bool on = fields_.isOn(EditorField::TDR);
      CheckBox_TDR->setChecked(on);
      CheckBox_TDR->setEnabled(editable());
      GroupBox_TDR->setEnabled(on && editable());
      Panel_TDR->setVisible(on);
      if (withDependents) RefreshField(EditorField::KU);
      break;
    }
    case EditorField::DC:
      CheckBox_DC->setChecked(dc);
      CheckBox_DC->setEnabled(editable());
      GroupBox_DC->setEnabled(dc && editable());
      Panel_DC->setVisible(dc);
      if (withDependents) {
        for (EditorField d : {EditorField::Material, EditorField::Rud, EditorField::TC,
                              EditorField::Rr_20degreeC_, EditorField::S, EditorField::K_TWISTING})
          RefreshField(d);
      }
      break;
    case EditorField::V:
    case EditorField::VOP:
    case EditorField::V_2:
    case EditorField::KU:
      refreshVelocities();
      break;
    case EditorField::Material:
      if (dc && m.index < kMaterialCount && !m.hasRuOverride() && !m.hasTCOverride()) {
        ComboBox_Material->setCurrentIndex(m.index);
      } else {
        ComboBox_Material->setCurrentIndex(-1);
        ComboBox_Material->setEditText(dc ? QString::fromStdString(m.displayName()) : kOff);
      }
      setColour(ComboBox_Material, dc && editable() ? windowColour() : silver());
      setColour(ComboBox_Material->lineEdit(), dc && editable() ? windowColour() : silver());
      break;
    case EditorField::Rud:
      CheckBox_Rud->setChecked(dc && m.hasRuOverride());
      CheckBox_Rud->setEnabled(dc && editable());
      Edit_Rud->setText(dc ? fieldText(fields_, EditorField::Rud) : kOff);
      setColour(Edit_Rud, dc && m.hasRuOverride() && editable() ? windowColour() : silver());
      if (withDependents) {
        RefreshField(EditorField::Material);
        RefreshField(EditorField::Rr_20degreeC_);
      }
      break;
    case EditorField::TC:
      CheckBox_TC->setChecked(dc && m.hasTCOverride());
      CheckBox_TC->setEnabled(false);
      Edit_TC->setEnabled(false);
      Edit_TC->setText(dc ? fieldText(fields_, EditorField::TC) : kOff);
      setColour(Edit_TC, dc && m.hasTCOverride() && editable() ? windowColour() : silver());
      if (withDependents) RefreshField(EditorField::Material);
      break;
    case EditorField::Rr_20degreeC_:
    case EditorField::S:
    case EditorField::D:
    case EditorField::AWG:
      refreshResistance();
      break;
    case EditorField::K_TWISTING:
      Edit_K_TWISTING->setText(dc ? fieldText(fields_, EditorField::K_TWISTING) : kOff);
      setColour(Edit_K_TWISTING, dc && editable() ? windowColour() : silver());
      if (withDependents) RefreshField(EditorField::Rr_20degreeC_);
      break;
  }
}

void TForm_EditCable::ApplyFieldText(QLineEdit* control, int field) {
  if (field < 0) field = FieldOfControl(control);
  if (field < 0 || !control) return;
  const auto f = static_cast<EditorField>(field);
  if (!EditorFields::isNumeric(f)) return;
  if (fields_.ApplyText(f, control->text().toStdString())) UpdateModified();
  RefreshField(f, true);
}

// --- check boxes, radio buttons, material ---

void TForm_EditCable::ApplyKuFromLength(float ku) {
  if (!editable()) return;
  // As a typed KU: onto the grid and into the limits; a record without KU gets
  // its TDR method with it.
  if (fields_.SetFieldValue(EditorField::KU, ku)) UpdateModified();
  RefreshField(EditorField::TDR, true);
}

void TForm_EditCable::CheckBox_TDRClick() {
  const bool checked = CheckBox_TDR->isChecked();
  SCable& w = fields_.work();
  if (checked == fields_.isOn(EditorField::TDR)) return;
  if (checked) {
    w.setDefaultKU();
  } else {
    if (!w.isDefaultKU()) {
      const int answer = TForm_MessageBox::instance().AskStandard(
          QStringLiteral("Параметры кабеля для TDR метода будут сброшены.\nПродолжить?"),
          QStringLiteral("Внимание!"), 0x104, CheckBox_TDR);
      if (answer != 6) {
        Refreshing r(refreshing_);
        CheckBox_TDR->setChecked(true);
        return;
      }
    }
    w.setKU(0.0f);
  }
  UpdateModified();
  RefreshField(EditorField::TDR, true);
}

void TForm_EditCable::CheckBox_DCClick() {
  const bool checked = CheckBox_DC->isChecked();
  SCable& w = fields_.work();
  if (checked == fields_.isOn(EditorField::DC)) return;
  if (checked) {
    w.setDefaultResistance();
  } else {
    if (!w.isDefaultResistance()) {
      const int answer = TForm_MessageBox::instance().AskStandard(
          QStringLiteral("Параметры кабеля для DC метода будут сброшены.\nПродолжить?"),
          QStringLiteral("Внимание!"), 0x104, CheckBox_DC);
      if (answer != 6) {
        Refreshing r(refreshing_);
        CheckBox_DC->setChecked(true);
        return;
      }
    }
    w.setDefaultResistance();
    w.rOrS = 0.0f;
  }
  UpdateModified();
  RefreshField(EditorField::DC, true);
}

void TForm_EditCable::CheckBox_RudClick() {
  fields_.SetOwnResistivity(CheckBox_Rud->isChecked());
  UpdateModified();
  for (EditorField f : {EditorField::Material, EditorField::Rud, EditorField::TC,
                        EditorField::Rr_20degreeC_, EditorField::S})
    RefreshField(f);
}

void TForm_EditCable::RadioButtonClick(bool storeS) {
  if (storeS)
    fields_.StoreS();
  else
    fields_.StoreR();
  UpdateModified();
  RefreshField(EditorField::S, true);
}

void TForm_EditCable::ComboBox_MaterialChange(int index) {
  if (refreshing_) return;
  const SMaterial& m = fields_.work().material;
  if ((m.hasRuOverride() || m.hasTCOverride()) && index >= 0) {
    const QMessageBox::StandardButton answer = CModal::current().standardBox(
        StandardBoxKind::Information, QString(),
        QStringLiteral("Переключение на материал из таблицы сбросит установленные данные. Вы "
                       "уверены?"),
        QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    if (answer != QMessageBox::Yes) {
      Refreshing r(refreshing_);
      ComboBox_Material->setCurrentIndex(-1);
      ComboBox_Material->setEditText(QString::fromStdString(m.displayName()));
      return;
    }
  }
  fields_.SelectMaterial(index);
  UpdateModified();
  for (EditorField f : {EditorField::Material, EditorField::Rud, EditorField::TC,
                        EditorField::Rr_20degreeC_, EditorField::S})
    RefreshField(f);
}

void TForm_EditCable::ComboBox_MaterialTyped() {
  // Only catalogue entries can be chosen: typed text gives the generic copper.
  fields_.SelectMaterial(0);
  UpdateModified();
  for (EditorField f : {EditorField::Material, EditorField::Rud, EditorField::TC,
                        EditorField::Rr_20degreeC_, EditorField::S})
    RefreshField(f);
  ComboBox_Material->lineEdit()->selectAll();
}

// --- keyboard, mouse, focus ---

void TForm_EditCable::focusNextAfter(QWidget* anchor) {
  QWidget* w = anchor;
  for (int guard = 0; guard < 100; ++guard) {
    w = w->nextInFocusChain();
    if (!w || w == anchor) return;
    if (w->window() == this && (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
        w->isVisibleTo(this)) {
      w->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

QWidget* TForm_EditCable::enterAnchor(QLineEdit* edit) const {
  if (edit == Edit_KU || edit == Edit_VOP || edit == Edit_V_2 || edit == Edit_V) return Edit_V;
  if (edit == Edit_D || edit == Edit_S || edit == Edit_AWG) return Edit_AWG;
  if (edit == Edit_Rud) return CheckBox_TC;
  return edit;
}

bool TForm_EditCable::numericKeyPress(QLineEdit* edit, QKeyEvent* event) {
  if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
    ApplyFieldText(edit, -1);
    focusNextAfter(enterAnchor(edit));
    return true;
  }
  const QString text = event->text();
  if (text.size() != 1 || (event->modifiers() & (Qt::ControlModifier | Qt::AltModifier)))
    return false;
  const QChar c = text.at(0);
  if (c.unicode() == 8) return false;
  if (c.unicode() < 0x20 || c.unicode() == 0x7f) return false;  // Escape and friends
  const char typed = c.unicode() < 0x80 ? static_cast<char>(c.unicode()) : 'x';
  const char passed = filterFieldChar(edit->text().toStdString(), typed);
  if (passed == 0) return true;
  if (passed != typed) {
    edit->insert(QString(QChar::fromLatin1(passed)));
    return true;
  }
  return false;
}

bool TForm_EditCable::numericKeyDown(QLineEdit* edit, EditorField f, QKeyEvent* event) {
  keyRepeat_.enter(edit);
  const bool up = event->key() == Qt::Key_Up;
  const bool down = event->key() == Qt::Key_Down;
  if (keyRepeat_.idle() && (up || down)) {
    // A typed value is taken before it is stepped.
    savedSelectionStart_ =
        edit->selectionStart() >= 0 ? edit->selectionStart() : edit->cursorPosition();
    savedSelectionLength_ = edit->selectionLength();
    ApplyFieldText(edit, static_cast<int>(f));
  }
  if (event->key() == Qt::Key_Escape && edit == Edit_Rud && CheckBox_Rud->isChecked() &&
      CheckBox_Rud->isEnabled()) {
    CheckBox_Rud->setChecked(false);
    CheckBox_RudClick();
  }
  if (!up && !down) return false;
  const int n = keyRepeat_.press(up ? KeyRepeatCounter::Key::Up : KeyRepeatCounter::Key::Down);
  if (n != 0 && fields_.StepField(f, static_cast<std::int16_t>(n))) {
    UpdateModified();
    RefreshField(f, true);
    edit->setSelection(savedSelectionStart_, savedSelectionLength_);
    if (savedSelectionLength_ == 0) edit->setCursorPosition(savedSelectionStart_);
  }
  return true;
}

bool TForm_EditCable::numericWheel(QLineEdit* edit, EditorField f, QWheelEvent* event) {
  if (edit == Edit_Rud || edit == Edit_TC) return false;
  // Only over the field, and only the field being worked in.
  const QRect area(edit->mapToGlobal(QPoint(0, 0)), edit->size());
  if (!area.contains(event->globalPosition().toPoint()) || !edit->hasFocus()) return true;
  const int dy = event->angleDelta().y();
  const int n = dy > 0 ? 1 : dy < 0 ? -1 : 0;
  if (fields_.StepField(f, static_cast<std::int16_t>(n))) UpdateModified();
  RefreshField(f, true);
  edit->selectAll();
  return true;
}

bool TForm_EditCable::eventFilter(QObject* watched, QEvent* event) {
  // Children report events while the controls are still being made.
  if (!built_) return QDialog::eventFilter(watched, event);
  const QEvent::Type type = event->type();
  if ((watched == GroupBox_TDR || watched == GroupBox_DC) &&
      (type == QEvent::Move || type == QEvent::Resize)) {
    placeFrameControls();
    return false;
  }

  if (watched == CheckBox_TDR || watched == CheckBox_DC) {
    if (type == QEvent::KeyPress) {
      const auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        focusNextAfter(static_cast<QWidget*>(watched));
        return true;
      }
    }
    return false;
  }
  if (watched == CheckBox_Rud || watched == CheckBox_TC) {
    if (type == QEvent::KeyPress) {
      const auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        focusNextAfter(CheckBox_TC);
        return true;
      }
    }
    return false;
  }
  if (watched == ComboBox_Material || watched == ComboBox_Material->lineEdit()) {
    if (type == QEvent::KeyPress) {
      const auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        focusNextAfter(ComboBox_Material);
        return true;
      }
    }
    return false;
  }

  if (watched == Edit_CableName) {
    if (type == QEvent::FocusIn) {
      LabelHint->setText(FieldHint(EditorField::CableName));
    } else if (type == QEvent::FocusOut) {
      if (!isBlurByWindowChange(static_cast<QFocusEvent*>(event)))
        RefreshField(EditorField::CableName);
    } else if (type == QEvent::KeyPress) {
      const auto* k = static_cast<QKeyEvent*>(event);
      if (k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) {
        TakeName(Edit_CableName->text());
        RefreshField(EditorField::CableName);
        if (mode_ == EditorMode::Name)
          Finish();
        else
          focusNextAfter(Edit_CableName);
        return true;
      }
    }
    return false;
  }

  auto* edit = qobject_cast<QLineEdit*>(watched);
  const int field = edit ? FieldOfControl(edit) : -1;
  if (field < 0) return QDialog::eventFilter(watched, event);
  const auto f = static_cast<EditorField>(field);
  switch (type) {
    case QEvent::FocusIn:
      LabelHint->setText(FieldHint(f));
      break;
    case QEvent::FocusOut:
      if (!isBlurByWindowChange(static_cast<QFocusEvent*>(event))) {
        ApplyFieldText(edit, -1);
        RefreshField(f, true);
        LabelHint->clear();
      }
      break;
    case QEvent::MouseButtonRelease:
      edit->selectAll();
      break;
    case QEvent::KeyPress: {
      auto* k = static_cast<QKeyEvent*>(event);
      if (numericKeyDown(edit, f, k)) return true;
      return numericKeyPress(edit, k);
    }
    case QEvent::KeyRelease: {
      const auto* k = static_cast<QKeyEvent*>(event);
      keyRepeat_.enter(edit);
      // Qt reports an auto-repeat as a release and a press; only the real release counts.
      if (!k->isAutoRepeat()) {
        if (k->key() == Qt::Key_Up) keyRepeat_.release(KeyRepeatCounter::Key::Up);
        if (k->key() == Qt::Key_Down) keyRepeat_.release(KeyRepeatCounter::Key::Down);
      }
      break;
    }
    case QEvent::Wheel:
      return numericWheel(edit, f, static_cast<QWheelEvent*>(event));
    default:
      break;
  }
  return false;
}
