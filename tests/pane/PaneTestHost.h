#pragma once

#include <array>
#include <vector>

#include <QAction>
#include <QByteArray>
#include <QFile>
#include <QHBoxLayout>
#include <QString>
#include <QWidget>

#include <gtest/gtest.h>

#include "model/RecordText.h"
#include "model/SListCables.h"
#include "pane/CIcons.h"
#include "pane/IPaneHost.h"
#include "pane/TFrameCableList.h"
#include "settings/CProgramSettings.h"
#include "support/SettingsReset.h"

// A window holding the two panes side by side, as the main window does, and
// recording what the panes ask of it.
class PaneTestHost : public IPaneHost {
 public:
  explicit PaneTestHost(bool withCopyActions = false) {
    if (withCopyActions) {
      copy[0] = new QAction(QStringLiteral("copy right"), &window);
      copy[1] = new QAction(QStringLiteral("copy left"), &window);
    }
    auto* layout = new QHBoxLayout(&window);
    for (int i = 0; i < 2; ++i) {
      panes[i] = new TFrameCableList(i, this, &window);
      layout->addWidget(panes[i]);
    }
    window.resize(1200, 500);
  }

  const SListCables* otherTable(int paneIndex) const override {
    const TFrameCableList* other = panes[1 - paneIndex];
    return other && other->tableOpen() ? &other->table() : nullptr;
  }
  void SetActivePane(int paneIndex) override { activePane = paneIndex; }
  void RefreshOtherPane(int paneIndex) override {
    refreshedFrom.push_back(paneIndex);
    if (TFrameCableList* other = panes[1 - paneIndex]) {
      other->repaintList();
      other->refreshCommands();
    }
  }
  void UpdateBottomBar() override { ++bottomBarUpdates; }
  QAction* copyAction(int paneIndex) const override { return copy[paneIndex]; }
  QPixmap markIcon(int paneIndex) const override { return CIcons::rowMark(paneIndex); }

  TFrameCableList& pane(int i) { return *panes[i]; }

  QWidget window;
  std::array<TFrameCableList*, 2> panes{{nullptr, nullptr}};
  std::array<QAction*, 2> copy{{nullptr, nullptr}};
  int activePane = -1;
  int bottomBarUpdates = 0;
  std::vector<int> refreshedFrom;
};

// Table files for the tests: Windows-1251 bytes, CR LF line ends.
inline QByteArray v04File(const QByteArray& records) {
  return QByteArray(
             "VIRD Table Of Cables V04\r\n\r\nName\tKU\tMaterial(Ohm x mm^2/km\t1/\xB0"
             "C)\tOhm/km\tTwist\r\n") +
         records;
}

inline void writeBytes(const QString& path, const QByteArray& bytes) {
  QFile f(path);
  if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate)) return;
  f.write(bytes);
}

inline QByteArray readBytes(const QString& path) {
  QFile f(path);
  if (!f.open(QIODevice::ReadOnly)) return QByteArray();
  return f.readAll();
}

// What row `row` of the pane's list shows.
inline QString rowText(const TFrameCableList& pane, int row) {
  return pane.ListBox->model()->index(row, 0).data().toString();
}

// A record's line as the list shows it.
inline QString recordText(const SCable& c) {
  return QString::fromStdString(tolmira::recordLine(c));
}

// The list shows exactly the table's records, row for row.
inline void expectRowsMatchTable(const TFrameCableList& pane) {
  ASSERT_EQ(pane.ListBox->model()->rowCount(), pane.table().getCount());
  for (int i = 0; i < pane.table().getCount(); ++i)
    EXPECT_EQ(rowText(pane, i), recordText(pane.table().at(i))) << "row " << i;
}
