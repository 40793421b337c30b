// The main window with two full tables (2023 records each, with repeated names and
// records present in both): the start-up to the first painted frame, and one full
// repaint of the visible rows with both marks on. Targets: under 300 ms and 5 ms.
// Runs on Qt's offscreen platform unless another one is asked for.

#include <memory>
#include <string>

#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>
#include <QListView>
#include <QTemporaryDir>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include "BenchQtMain.h"

#include "mainwindow/TFormMain.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "pane/TFrameCableList.h"
#include "support/CMemorySettingsStore.h"
#include "settings/CProgramSettings.h"
#include "support/PaintCounter.h"

namespace {

constexpr int kRecords = 2023;

// Every 10th name repeats the one before; in the right table every other record is
// the left table's record, the rest differ in KU.
bool writeTable(const QString& path, bool right) {
  SListCables table;
  for (int i = 0; i < kRecords; ++i) {
    SCable c;
    const int n = (i % 10 == 9) ? i : i + 1;
    const std::string name = "Cable " + std::to_string(n);
    SCable::sanitizeName(c.name, name.c_str());
    c.setKU(1.2f + 0.001f * static_cast<float>(i));
    if (right && i % 2 == 1) c.setKU(3.5f);
    c.setR(0.01f + 0.0001f * static_cast<float>(i % 50));
    if (!table.add(c)) return false;
  }
  return table.saveToFile(QFile::encodeName(path).constData()) == 0;
}

struct Tables {
  QTemporaryDir dir;
  QString left = dir.filePath(QStringLiteral("left.txt"));
  QString right = dir.filePath(QStringLiteral("right.txt"));
  bool ok = writeTable(left, false) && writeTable(right, true);
};

Tables& tables() {
  static Tables t;
  return t;
}

std::unique_ptr<TFormMain> startWindow(CMemorySettingsStore& store) {
  programSettings() = CProgramSettings();
  {
    auto key = store.openKey(CProgramSettings::KeyPath, true);
    key->writeString(QStringLiteral("ListFile1"), tables().left);
    key->writeString(QStringLiteral("ListFile2"), tables().right);
  }
  return std::make_unique<TFormMain>(store);
}

// Construction, first showing (settings, font, restore of both tables) and events
// until both lists have been painted with their rows.
void BM_StartUpToFirstPaintedFrame(benchmark::State& state) {
  if (!tables().ok) {
    state.SkipWithError("the table files could not be written");
    return;
  }
  for (auto _ : state) {
    CMemorySettingsStore store;
    QElapsedTimer timer;
    timer.start();
    std::unique_ptr<TFormMain> w = startWindow(store);
    PaintCounter counters[2];
    w->show();
    bool painted = false;
    while (!painted && timer.elapsed() < 10000) {
      QCoreApplication::processEvents();
      painted = true;
      for (int i = 0; i < 2; ++i) {
        TFrameCableList* p = w->pane(i);
        QWidget* viewport = p->ListBox->viewport();
        if (p->table().getCount() != kRecords || !viewport->isVisible()) {
          painted = false;
          continue;
        }
        if (viewport->property("benchWatched").isNull()) {
          viewport->setProperty("benchWatched", true);
          viewport->installEventFilter(&counters[i]);
          viewport->update();
        }
        if (counters[i].paints == 0) painted = false;
      }
    }
    state.SetIterationTime(static_cast<double>(timer.nsecsElapsed()) * 1e-9);
    if (!painted) state.SkipWithError("the window did not paint its tables");
    w.reset();
    QCoreApplication::processEvents();
  }
}
BENCHMARK(BM_StartUpToFirstPaintedFrame)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10);

// One synchronous repaint of the left list's visible page, both marks on.
void BM_RepaintVisibleRows(benchmark::State& state) {
  if (!tables().ok) {
    state.SkipWithError("the table files could not be written");
    return;
  }
  CMemorySettingsStore store;
  std::unique_ptr<TFormMain> w = startWindow(store);
  w->show();
  for (int i = 0; i < 100 && w->pane(1)->table().getCount() != kRecords; ++i)
    QCoreApplication::processEvents();
  programSettings().SetMarkSameNames(true);
  programSettings().SetMarkSameCables(true);
  QWidget* viewport = w->pane(0)->ListBox->viewport();
  const int rows = viewport->height() / std::max(1, w->pane(0)->rowHeight());
  for (auto _ : state) viewport->repaint();
  state.counters["rows"] = rows;
}
BENCHMARK(BM_RepaintVisibleRows)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) { return benchqt::run(argc, argv); }
