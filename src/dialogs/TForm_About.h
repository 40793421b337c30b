#pragma once

#include <QCursor>
#include <QDate>
#include <QDialog>
#include <QPixmap>
#include <QString>

#include "settings/CProgramInfo.h"

class QKeyEvent;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// "О программе": the program's name, version, build date, the maker's line and
// contacts; the e-mail and web entries work as links.
class TForm_About : public QDialog {
  Q_OBJECT

 public:
  explicit TForm_About(const CProgramInfo& info = programInfo(), QWidget* parent = nullptr);
  // The same window from the three facts it shows (what the constructor above reads
  // from the program information once).
  TForm_About(const QString& version, const QDate& buildDate, int buildYear,
              QWidget* parent = nullptr);

  // The maker's line without its year.
  static QString copyrightPrefix();
  // The logo, drawn here: 128 x 34 on a transparent background.
  static QPixmap drawLogo();

  QLabel* Image_Logo = nullptr;
  QWidget* Panel1 = nullptr;
  QLabel* Label_Name = nullptr;
  QLabel* Label_Version = nullptr;
  QLabel* Label_Date = nullptr;
  QLabel* Label_Copyright = nullptr;
  QLabel* Label6 = nullptr;
  QLineEdit* Edit2 = nullptr;      // telephone
  QLineEdit* Edit3 = nullptr;      // postal address
  QLineEdit* Edit_Mail = nullptr;  // e-mail links
  QLineEdit* Edit1 = nullptr;
  QLineEdit* Edit4 = nullptr;  // web site link
  QPushButton* Button_Close = nullptr;

  // The link field underlined at the moment, or none.
  QLineEdit* highlightedLink() const { return highlighted_; }

 public slots:
  void reject() override;  // Escape and the close button: result 2

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void build();
  bool FormKeyDown(QKeyEvent* event);  // true when the key was taken
  void EditSelectAll(QLineEdit* field);
  void LinkClick(QLineEdit* field);
  void LinkMouseMove(QLineEdit* field);
  void Panel1MouseMove();
  void setLinkHighlighted(QLineEdit* field, bool on);
  bool isLink(const QObject* o) const;

  QLineEdit* highlighted_ = nullptr;
  QCursor linkCursor_;  // the link fields' own cursor when not highlighted
};
