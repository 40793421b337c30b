#include "pane/TForm_CsvExport.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

using namespace tolmira;

TForm_CsvExport::TForm_CsvExport(QWidget* parent) : QDialog(parent) {
  setObjectName(QStringLiteral("Form_CsvExport"));
  setWindowTitle(QStringLiteral("Экспорт в CSV"));
  setModal(true);

  auto* layout = new QVBoxLayout(this);
  const auto group = [this, layout](const QString& title, QRadioButton*& first,
                                    const QString& firstText, const char* firstName,
                                    QRadioButton*& second, const QString& secondText,
                                    const char* secondName) {
    auto* box = new QGroupBox(title, this);
    auto* boxLayout = new QVBoxLayout(box);
    first = new QRadioButton(firstText, box);
    first->setObjectName(QLatin1String(firstName));
    second = new QRadioButton(secondText, box);
    second->setObjectName(QLatin1String(secondName));
    auto* buttons = new QButtonGroup(box);
    buttons->addButton(first);
    buttons->addButton(second);
    boxLayout->addWidget(first);
    boxLayout->addWidget(second);
    layout->addWidget(box);
  };
  group(QStringLiteral("Разделитель столбцов"), RadioButton_Comma, QStringLiteral("Запятая ( , )"),
        "RadioButton_Comma", RadioButton_Semicolon, QStringLiteral("Точка с запятой ( ; )"),
        "RadioButton_Semicolon");
  group(QStringLiteral("Десятичный разделитель"), RadioButton_Point, QStringLiteral("Точка ( . )"),
        "RadioButton_Point", RadioButton_DecimalComma, QStringLiteral("Запятая ( , )"),
        "RadioButton_DecimalComma");

  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(QStringLiteral("Готово"), QDialogButtonBox::AcceptRole);
  buttons->addButton(QStringLiteral("Отмена"), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);

  setOptions(CsvOptions());
}

CsvOptions TForm_CsvExport::options() const {
  CsvOptions o;
  o.separator = RadioButton_Semicolon->isChecked() ? ';' : ',';
  o.decimalComma = RadioButton_DecimalComma->isChecked();
  return o;
}

void TForm_CsvExport::setOptions(const CsvOptions& options) {
  (options.separator == ';' ? RadioButton_Semicolon : RadioButton_Comma)->setChecked(true);
  (options.decimalComma ? RadioButton_DecimalComma : RadioButton_Point)->setChecked(true);
}
