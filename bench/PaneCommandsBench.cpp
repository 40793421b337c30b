// The record commands of a pane on large tables, each beside its floor: the same
// operation on a bare QStringListModel shown in a QListView with the same rows and
// selection. Each case runs at 500, 1000 and 2023 rows, so that the growth shows:
// a command linear in the rows doubles its time with the rows, like its floor.
// Every timed step includes the events it leaves (layout, paint).
// Target: each command within 3 times its floor.
// Runs on Qt's offscreen platform unless another one is asked for.

#include <algorithm>
#include <cstdio>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QAbstractItemView>
#include <QApplication>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QItemSelection>
#include <QListView>
#include <QStringListModel>
#include <QTemporaryDir>
#include <QTimer>
#include <QtGlobal>

#include <benchmark/benchmark.h>

#include "BenchQtMain.h"

#include "mainwindow/TFormMain.h"
#include "dialogs/TForm_MessageBox.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "pane/TFrameCableList.h"
#include "settings/CProgramSettings.h"
#include "support/CMemorySettingsStore.h"

namespace {

using Command = TFrameCableList::Command;

SListCables makeTable(int rows) {
  SListCables table;
  for (int i = 0; i < rows; ++i) {
    SCable c;
    const std::string name = "Cable " + std::to_string(i + 1);
    SCable::sanitizeName(c.name, name.c_str());
    c.setKU(1.2f + 0.001f * static_cast<float>(i));
    c.setR(0.01f + 0.0001f * static_cast<float>(i % 50));
    table.add(c);
  }
  return table;
}

// The selections of the cases: all rows but the last, or every other row.
std::vector<bool> allButLast(int rows) {
  std::vector<bool> sel(static_cast<std::size_t>(rows), true);
  sel.back() = false;
  return sel;
}

std::vector<bool> everyOther(int rows) {
  std::vector<bool> sel(static_cast<std::size_t>(rows), false);
  for (int i = 0; i < rows; i += 2) sel[static_cast<std::size_t>(i)] = true;
  return sel;
}

// The main window with a table of the given size in both panes; the commands run
// in the left one.
struct Window {
  QTemporaryDir dir;
  CMemorySettingsStore store;
  std::unique_ptr<TFormMain> window;
  TFrameCableList* pane = nullptr;
  bool ok = false;

  explicit Window(int rows) {
    const QString path = dir.filePath(QStringLiteral("table.txt"));
    SListCables table = makeTable(rows);
    if (table.saveToFile(QFile::encodeName(path).constData()) != 0) return;
    programSettings() = CProgramSettings();
    {
      auto key = store.openKey(CProgramSettings::KeyPath, true);
      // The same table on the right: every record is in both, the costly case for
      // the copy command's state and the rows' marks.
      key->writeString(QStringLiteral("ListFile1"), path);
      key->writeString(QStringLiteral("ListFile2"), path);
    }
    window = std::make_unique<TFormMain>(store);
    window->resize(1000, 700);
    window->show();
    pane = window->pane(0);
    for (int i = 0; i < 200 && window->pane(1)->table().getCount() != rows; ++i)
      QCoreApplication::processEvents();
    settle();
    ok = pane->table().getCount() == rows;
  }

  void select(const std::vector<bool>& sel) {
    pane->setSelection(sel);
    pane->setCurrentRow(0);
    settle();
  }

  void run(Command command) {
    pane->runCommand(command);
    settle();
  }
  void undo() {
    pane->Action_UndoExecute();
    settle();
  }
  void redo() {
    pane->Action_RedoExecute();
    settle();
  }

  static void settle() { QCoreApplication::processEvents(); }
};

// The floor: a bare list model in a bare view with the same rows.
struct Floor {
  QStringListModel model;
  QListView view;

  explicit Floor(int rows) {
    QStringList texts;
    for (int i = 0; i < rows; ++i)
      texts << QStringLiteral("%1\tCable %2\t1.2\tCu\t10").arg(i + 1).arg(i + 1);
    model.setStringList(texts);
    view.setModel(&model);
    view.setUniformItemSizes(true);
    view.setSelectionMode(QAbstractItemView::ExtendedSelection);
    view.resize(480, 600);
    view.show();
    Window::settle();
  }

  // One range per run of selected rows, as a user's selection would be.
  void select(const std::vector<bool>& sel) {
    QItemSelection items;
    const int rows = model.rowCount();
    for (int i = 0; i < rows; ++i) {
      if (!sel[static_cast<std::size_t>(i)]) continue;
      int end = i;
      while (end + 1 < rows && sel[static_cast<std::size_t>(end + 1)]) ++end;
      items.select(model.index(i), model.index(end));
      i = end;
    }
    view.selectionModel()->select(items, QItemSelectionModel::ClearAndSelect);
    Window::settle();
  }

  // The selected rows' runs removed from the last one on.
  void removeRuns(const std::vector<bool>& sel) {
    for (int end = static_cast<int>(sel.size()) - 1; end >= 0; --end) {
      if (!sel[static_cast<std::size_t>(end)]) continue;
      int first = end;
      while (first > 0 && sel[static_cast<std::size_t>(first - 1)]) --first;
      model.removeRows(first, end - first + 1);
      end = first;
    }
    Window::settle();
  }

  // Rows [first, first+count) to before row dest.
  void move(int first, int count, int dest) {
    model.moveRows(QModelIndex(), first, count, QModelIndex(), dest);
    Window::settle();
  }
};

template <typename F>
double timed(F&& f) {
  QElapsedTimer timer;
  timer.start();
  f();
  return static_cast<double>(timer.nsecsElapsed()) * 1e-9;
}

bool ready(benchmark::State& state, const Window& w) {
  if (!w.ok) state.SkipWithError("the table could not be opened in the pane");
  return w.ok;
}

// --- the pane ----------------------------------------------------------------

// One command timed on a fresh window: before sets it up, after puts the table back.
template <typename Before, typename Step, typename After>
void paneCase(benchmark::State& state, Before before, Step step, After after) {
  const int rows = static_cast<int>(state.range(0));
  Window w(rows);
  if (!ready(state, w)) return;
  for (auto _ : state) {
    before(w, rows);
    state.SetIterationTime(timed([&] { step(w); }));
    after(w);
  }
}

void selectAllButLast(Window& w, int rows) { w.select(allButLast(rows)); }
void selectAndMoveDown(Window& w, int rows) {
  w.select(allButLast(rows));
  w.run(Command::MoveDown);
}
void selectEveryOther(Window& w, int rows) { w.select(everyOther(rows)); }
void moveDown(Window& w) { w.run(Command::MoveDown); }
void deleteSelected(Window& w) { w.run(Command::DeleteSelected); }
void undo(Window& w) { w.undo(); }
void undoTwice(Window& w) {
  w.undo();
  w.undo();
}
void nothing(Window&) {}

void BM_Pane_MoveDown(benchmark::State& state) {
  paneCase(state, selectAllButLast, moveDown, undo);
}
void BM_Pane_UndoMove(benchmark::State& state) {
  paneCase(state, selectAndMoveDown, undo, nothing);
}
void BM_Pane_RedoMove(benchmark::State& state) {
  paneCase(
      state,
      [](Window& w, int rows) {
        selectAndMoveDown(w, rows);
        w.undo();
      },
      [](Window& w) { w.redo(); }, undo);
}
void BM_Pane_DeleteAfterMove(benchmark::State& state) {
  paneCase(state, selectAndMoveDown, deleteSelected, undoTwice);
}
void BM_Pane_DeleteEveryOther(benchmark::State& state) {
  paneCase(state, selectEveryOther, deleteSelected, undo);
}
void BM_Pane_UndoDeleteEveryOther(benchmark::State& state) {
  paneCase(
      state,
      [](Window& w, int rows) {
        selectEveryOther(w, rows);
        deleteSelected(w);
      },
      undo, nothing);
}

// Opening a file with a good header and 25 000 bad lines, until the load report
// is on the screen (the box is closed as soon as it shows). Target: under 0.5 s.
void BM_Pane_OpenWithLongReport(benchmark::State& state) {
  Window w(10);
  if (!ready(state, w)) return;
  TForm_MessageBox box;
  const QString path = w.dir.filePath(QStringLiteral("bad.txt"));
  {
    QByteArray bytes =
        "VIRD Table Of Cables V04\r\n\r\nName\tKU\tMaterial(Ohm x mm^2/km\t1/\xB0"
        "C)\tOhm/km\tTwist\r\nGood\t1.5\r\n";
    for (int i = 0; i < 25000; ++i)
      bytes += "Bad line " + QByteArray::number(i) + " of a table\twith a bad KU\tx\r\n";
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) {
      state.SkipWithError("the file could not be written");
      return;
    }
  }
  for (auto _ : state) {
    QElapsedTimer timer;
    qint64 shownAfter = -1;
    // Polls for the box from inside its own event loop.
    QTimer poll;
    poll.setInterval(0);
    QObject::connect(&poll, &QTimer::timeout, [&] {
      QWidget* modal = QApplication::activeModalWidget();
      if (!modal || !modal->isVisible()) return;
      shownAfter = timer.nsecsElapsed();
      modal->close();
    });
    poll.start();
    timer.start();
    w.pane->openFile(path);
    poll.stop();
    if (shownAfter < 0) {
      state.SkipWithError("no load report was shown");
      break;
    }
    state.SetIterationTime(static_cast<double>(shownAfter) * 1e-9);
    w.pane->closeTable(true);
    Window::settle();
  }
}
BENCHMARK(BM_Pane_OpenWithLongReport)->UseManualTime()->Unit(benchmark::kMillisecond);

// --- the floors ----------------------------------------------------------------

// All rows but the last down by one: the last row goes to the top.
void BM_Floor_MoveDown(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  Floor f(rows);
  for (auto _ : state) {
    f.select(allButLast(rows));
    state.SetIterationTime(timed([&] { f.move(0, rows - 1, rows); }));
    f.move(1, rows - 1, 0);
  }
}

// Undo and redo of that move are the same model operation, back and forth.
void BM_Floor_MoveBack(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  Floor f(rows);
  for (auto _ : state) {
    f.select(allButLast(rows));
    f.move(0, rows - 1, rows);
    state.SetIterationTime(timed([&] { f.move(1, rows - 1, 0); }));
  }
}

void BM_Floor_DeleteAfterMove(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto f = std::make_unique<Floor>(rows);
    f->select(allButLast(rows));
    f->move(0, rows - 1, rows);
    std::vector<bool> sel(static_cast<std::size_t>(rows), true);
    sel.front() = false;
    state.SetIterationTime(timed([&] { f->removeRuns(sel); }));
  }
}

void BM_Floor_DeleteEveryOther(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto f = std::make_unique<Floor>(rows);
    const std::vector<bool> sel = everyOther(rows);
    f->select(sel);
    state.SetIterationTime(timed([&] { f->removeRuns(sel); }));
  }
}

// The rows of every other position put back, one insertion per row, first on.
void BM_Floor_InsertEveryOther(benchmark::State& state) {
  const int rows = static_cast<int>(state.range(0));
  for (auto _ : state) {
    auto f = std::make_unique<Floor>(rows);
    const std::vector<bool> sel = everyOther(rows);
    f->select(sel);
    f->removeRuns(sel);
    state.SetIterationTime(timed([&] {
      for (int i = 0; i < rows; i += 2) {
        f->model.insertRows(i, 1);
        f->model.setData(f->model.index(i), QStringLiteral("%1\tCable").arg(i + 1));
      }
      Window::settle();
    }));
  }
}

void rowCounts(benchmark::internal::Benchmark* b) {
  // A fixed count: the set-up of a step costs more than the step, and a minimum time
  // counted in steps would run the set-up thousands of times.
  b->Arg(500)->Arg(1000)->Arg(2023)->UseManualTime()->Unit(benchmark::kMillisecond)->Iterations(50);
}

BENCHMARK(BM_Pane_MoveDown)->Apply(rowCounts);
BENCHMARK(BM_Floor_MoveDown)->Apply(rowCounts);
BENCHMARK(BM_Pane_UndoMove)->Apply(rowCounts);
BENCHMARK(BM_Pane_RedoMove)->Apply(rowCounts);
BENCHMARK(BM_Floor_MoveBack)->Apply(rowCounts);
BENCHMARK(BM_Pane_DeleteAfterMove)->Apply(rowCounts);
BENCHMARK(BM_Floor_DeleteAfterMove)->Apply(rowCounts);
BENCHMARK(BM_Pane_DeleteEveryOther)->Apply(rowCounts);
BENCHMARK(BM_Floor_DeleteEveryOther)->Apply(rowCounts);
BENCHMARK(BM_Pane_UndoDeleteEveryOther)->Apply(rowCounts);
BENCHMARK(BM_Floor_InsertEveryOther)->Apply(rowCounts);

// Remembers each run's time (the median with --benchmark_repetitions) and prints
// every pane command's ratio to its floor at each row count.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
      if (!median && run.run_type != Run::RT_Iteration) continue;
      // Keyed by the function and its row count only.
      const std::string key = run.run_name.function_name + "/" + run.run_name.args;
      if (median || !medianSeen_.count(key)) {
        times_[key] = run.GetAdjustedRealTime();
        if (median) medianSeen_[key] = true;
      }
    }
    ConsoleReporter::ReportRuns(runs);
  }

  void printSummary() const {
    static const char* const kPairs[][2] = {
        {"BM_Pane_MoveDown", "BM_Floor_MoveDown"},
        {"BM_Pane_UndoMove", "BM_Floor_MoveBack"},
        {"BM_Pane_RedoMove", "BM_Floor_MoveBack"},
        {"BM_Pane_DeleteAfterMove", "BM_Floor_DeleteAfterMove"},
        {"BM_Pane_DeleteEveryOther", "BM_Floor_DeleteEveryOther"},
        {"BM_Pane_UndoDeleteEveryOther", "BM_Floor_InsertEveryOther"},
    };
    std::printf("\n%-26s %8s %8s %8s   (pane / floor; target <= 3x)\n", "", "500", "1000", "2023");
    for (const auto& pair : kPairs) {
      std::printf("%-26s", pair[0] + 3);
      for (const char* rows : {"500", "1000", "2023"}) {
        const auto pane = times_.find(std::string(pair[0]) + "/" + rows);
        const auto floor = times_.find(std::string(pair[1]) + "/" + rows);
        if (pane == times_.end() || floor == times_.end() || floor->second <= 0)
          std::printf(" %8s", "-");
        else
          std::printf(" %7.2fx", pane->second / floor->second);
      }
      std::printf("\n");
    }
  }

 private:
  std::map<std::string, double> times_;
  std::map<std::string, bool> medianSeen_;
};

}  // namespace

int main(int argc, char** argv) {
  RatioReporter reporter;
  const int rc = benchqt::run(argc, argv, &reporter);
  reporter.printSummary();
  return rc;
}
