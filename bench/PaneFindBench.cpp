// Narrowing a pane of 2023 records with its find field, one key press at a time
// (the filter over every name, the rows hidden and shown, the list's layout), against
// a floor: a bare QListView over a QStringListModel of the same names, filtered with
// QString::contains and setRowHidden. Target: under 5 ms a key press; the ratio to
// the floor is the counter "ratio". The second benchmark repaints the lists too.
// Runs on Qt's offscreen platform unless another one is asked for.

#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QListView>
#include <QStringListModel>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include "BenchQtMain.h"

#include "model/Cp1251.h"
#include "model/SCable.h"
#include "pane/CIcons.h"
#include "pane/IPaneHost.h"
#include "pane/TFrameCableList.h"
#include "settings/CProgramSettings.h"

namespace {

constexpr int kRecords = 2023;

class BenchHost : public IPaneHost {
 public:
  const SListCables* otherTable(int) const override { return nullptr; }
  void SetActivePane(int) override {}
  void RefreshOtherPane(int) override {}
  void UpdateBottomBar() override {}
  QAction* copyAction(int) const override { return nullptr; }
  QPixmap markIcon(int paneIndex) const override { return CIcons::rowMark(paneIndex); }
};

// Names of several kinds, so that each step of the typing keeps a different share.
std::string nameOf(int i) {
  static const char* const kinds[] = {"ТПП ", "Кабель ", "КСПП ", "МКС ", "tpp-"};
  return std::string(kinds[i % 5]) + std::to_string(i / 5 + 1);
}

// Typing "тпп 1" and deleting it again: one entry per key press.
const std::vector<QString>& keyPresses() {
  static const std::vector<QString> texts = {QStringLiteral("т"),     QStringLiteral("тп"),
                                             QStringLiteral("тпп"),   QStringLiteral("тпп "),
                                             QStringLiteral("тпп 1"), QStringLiteral("тпп "),
                                             QStringLiteral("тпп"),   QStringLiteral("тп"),
                                             QStringLiteral("т"),     QString()};
  return texts;
}

// The floor: the same names, a list view with the same settings, a plain filter.
struct Floor {
  Floor() {
    QStringList names;
    for (int i = 0; i < kRecords; ++i)
      names << QString::fromStdString(tolmira::cp1251ToUtf8(tolmira::utf8ToCp1251(nameOf(i))));
    model.setStringList(names);
    view.setModel(&model);
    view.setUniformItemSizes(true);
    view.resize(400, 600);
    view.show();
  }
  void narrow(const QString& text) {
    const QStringList& names = model.stringList();
    for (int r = 0; r < names.size(); ++r) {
      const bool hide = !text.isEmpty() && !names[r].contains(text, Qt::CaseInsensitive);
      if (view.isRowHidden(r) != hide) view.setRowHidden(r, hide);
    }
    static_cast<QAbstractItemView&>(view).doItemsLayout();
  }
  QStringListModel model;
  QListView view;
};

// painted: each key press also repaints the visible page of both lists, as the user
// sees it (the pane's rows are owner-drawn, the floor's plain text).
void findKeyPress(benchmark::State& state, bool painted) {
  programSettings() = CProgramSettings();
  BenchHost host;
  TFrameCableList pane(0, &host);
  pane.resize(400, 600);
  pane.NewExecute();
  for (int i = 0; i < kRecords; ++i) {
    SCable c;
    SCable::sanitizeName(c.name, tolmira::utf8ToCp1251(nameOf(i)).c_str());
    c.setKU(1.5f);
    if (!pane.appendRecord(c)) {
      state.SkipWithError("the table did not take the records");
      return;
    }
  }
  pane.show();
  QCoreApplication::processEvents();
  Floor floor;
  QCoreApplication::processEvents();

  std::size_t key = 0;
  double paneNs = 0, floorNs = 0;
  long long shown = 0;
  for (auto _ : state) {
    const QString& text = keyPresses()[key++ % keyPresses().size()];
    QElapsedTimer timer;
    timer.start();
    pane.EditFind->setText(text);
    static_cast<QAbstractItemView*>(pane.ListBox)->doItemsLayout();
    if (painted) pane.ListBox->viewport()->repaint();
    const qint64 own = timer.nsecsElapsed();
    state.SetIterationTime(static_cast<double>(own) * 1e-9);
    paneNs += static_cast<double>(own);
    shown += pane.shownCount();

    timer.restart();
    floor.narrow(text);
    if (painted) floor.view.viewport()->repaint();
    floorNs += static_cast<double>(timer.nsecsElapsed());
  }
  const double n = static_cast<double>(state.iterations());
  state.counters["floor_ms"] = floorNs / n * 1e-6;
  state.counters["ratio"] = floorNs > 0 ? paneNs / floorNs : 0;
  state.counters["rows_shown"] = static_cast<double>(shown) / n;
}
void BM_FindKeyPress(benchmark::State& state) { findKeyPress(state, false); }
void BM_FindKeyPressPainted(benchmark::State& state) { findKeyPress(state, true); }
BENCHMARK(BM_FindKeyPress)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);
BENCHMARK(BM_FindKeyPressPainted)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(200);

}  // namespace

int main(int argc, char** argv) { return benchqt::run(argc, argv); }
