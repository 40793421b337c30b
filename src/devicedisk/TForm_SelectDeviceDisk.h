#pragma once

#include <memory>

#include <QDialog>
#include <QString>

#include "drives/DrivesLister.h"

class QHideEvent;
class QLabel;
class QListWidget;
class QPushButton;
class QTimer;

// Finds the instrument's disks among the computer's drives and lets the user pick
// one; a single one is chosen without showing the window. While shown, the list
// follows the instrument being plugged in or out.
class TForm_SelectDeviceDisk : public QDialog {
  Q_OBJECT
 public:
  // The first instance constructed becomes the one instance(). source none: the
  // running system's drives.
  explicit TForm_SelectDeviceDisk(std::unique_ptr<DriveSource> source = nullptr,
                                  QWidget* parent = nullptr);
  ~TForm_SelectDeviceDisk() override;

  // The one instance; made on first use when the application object has not made it.
  static TForm_SelectDeviceDisk& instance();

  // 1 when a disk was chosen (its root is then in SelectedRoot), 2 when cancelled.
  int SelectDisk();
  // The root chosen last; kept when the user cancels.
  const QString& SelectedRoot() const { return selectedRoot_; }

  void FillList();
  void Timer1Timer();
  void Button1Click();
  // What row `row` shows: root (free bytes/total bytes); empty when the lister
  // no longer knows the root.
  QString rowText(int row) const;

  DrivesLister& lister() { return lister_; }
  // Another view of the drives (the lister starts from nothing).
  void setDriveSource(std::unique_ptr<DriveSource> source);

  void reject() override;

  QLabel* Label1 = nullptr;
  QListWidget* ListBox = nullptr;
  QPushButton* Button1 = nullptr;
  QPushButton* Button2 = nullptr;
  QTimer* Timer1 = nullptr;

 protected:
  void hideEvent(QHideEvent* event) override;

 private:
  DrivesLister lister_;
  QString selectedRoot_;
};
