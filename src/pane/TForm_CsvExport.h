#pragma once

#include <QDialog>

#include "csv/CableCsv.h"

class QRadioButton;

// The choices of a CSV export: the column separator and the decimal mark, comma
// and point for most spreadsheets, semicolon and comma for those with Russian
// settings. Keeps the last choice for the next export.
class TForm_CsvExport : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_CsvExport(QWidget* parent = nullptr);

  tolmira::CsvOptions options() const;
  void setOptions(const tolmira::CsvOptions& options);

  QRadioButton* RadioButton_Comma = nullptr;
  QRadioButton* RadioButton_Semicolon = nullptr;
  QRadioButton* RadioButton_Point = nullptr;
  QRadioButton* RadioButton_DecimalComma = nullptr;
};
