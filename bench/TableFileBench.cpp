// Load and save of a full table (2023 records, V04) against a plain read of the
// same bytes into memory, the floor no reader can beat. Targets: a load within
// 20 times the plain read, and under 1 ms.

#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "model/LoadStatus.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "model/TableFile.h"
#include "support/FileTestSupport.h"

using namespace tolmira;

namespace {

// The files the benchmarks work on, in a scratch folder removed at the end.
struct BenchFiles {
  TempDir dir{"tolmira-bench-"};
  std::string table = dir.file("table.txt");  // 2023-record V04 file
  std::string saved = dir.file("saved.txt");  // target of the save benchmark
  long size = 0;
};

BenchFiles* files = nullptr;

// A full table of varied records: Cyrillic names, every catalogue material, own
// values on some, records without resistance data.
bool writeFullTable(const std::string& path) {
  SListCables table;
  for (int i = 0; table.getCount() < SListCablesBase::kMaxCount; ++i) {
    SCable rec;
    const std::string name = "\xCA\xE0\xE1\xE5\xEB\xFC " + std::to_string(i);  // "Кабель i"
    name.copy(rec.name, SCable::kMaxNameLength);
    rec.setKU(1.0f + static_cast<float>(i % 600) * 0.01f);
    if (i % 7 != 0) {
      rec.material.reset(i % 8);
      if (i % 3 == 0) rec.material.setRuOverride(0.0175f + static_cast<float>(i % 10) * 0.0001f);
      if (i % 5 == 0) rec.material.setTCOverride(0.0039f);
      rec.setR(0.01f + static_cast<float>(i % 997) * 0.0001f);
      rec.setTwist(1.0f + static_cast<float>(i % 50) * 0.001f);
    }
    table.add(rec);
  }
  return table.saveToFile(path.c_str()) == 0;
}

bool readAll(const std::string& path, std::string& bytes) {
  std::FILE* f = std::fopen(path.c_str(), "rb");
  if (!f) return false;
  char buf[4096];
  std::size_t got = 0;
  while ((got = std::fread(buf, 1, sizeof buf, f)) > 0) bytes.append(buf, got);
  std::fclose(f);
  return !bytes.empty();
}

void BM_PlainRead(benchmark::State& state) {
  std::vector<char> buf(static_cast<std::size_t>(files->size) + 1);
  for (auto _ : state) {
    std::FILE* f = std::fopen(files->table.c_str(), "rb");
    if (!f) {
      state.SkipWithError("cannot open the table file");
      break;
    }
    const std::size_t got = std::fread(buf.data(), 1, buf.size(), f);
    std::fclose(f);
    benchmark::DoNotOptimize(got);
    benchmark::DoNotOptimize(buf.data());
  }
  state.SetBytesProcessed(state.iterations() * files->size);
}

void BM_Load(benchmark::State& state) {
  SListCables table;
  for (auto _ : state) {
    const LoadResult r = loadFromFile(table, files->table.c_str());
    if (r.status != 0 || r.addedRecords != SListCablesBase::kMaxCount) {
      state.SkipWithError("the table did not load whole");
      break;
    }
    benchmark::DoNotOptimize(table.constData());
  }
  state.SetBytesProcessed(state.iterations() * files->size);
}

void BM_Save(benchmark::State& state) {
  SListCables table;
  loadFromFile(table, files->table.c_str());
  for (auto _ : state) {
    if (table.saveToFile(files->saved.c_str()) != 0) {
      state.SkipWithError("the save failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * files->size);
}

// The floor of a safe save: the same bytes written with one call into a fresh file,
// flushed to the medium and renamed over the target.
void BM_PlainWriteSyncRename(benchmark::State& state) {
  std::string bytes;
  if (!readAll(files->table, bytes)) {
    state.SkipWithError("cannot read the table file");
    return;
  }
  const std::string scratch = files->dir.file("plain.tmp");
  const std::string target = files->dir.file("plain.txt");
  for (auto _ : state) {
    const int fd = ::open(scratch.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const bool ok = fd >= 0 &&
                    ::write(fd, bytes.data(), bytes.size()) == static_cast<ssize_t>(bytes.size()) &&
                    ::fsync(fd) == 0;
    if (fd >= 0) ::close(fd);
    if (!ok || std::rename(scratch.c_str(), target.c_str()) != 0) {
      state.SkipWithError("the plain write failed");
      break;
    }
  }
  state.SetBytesProcessed(state.iterations() * files->size);
}

BENCHMARK(BM_PlainRead)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PlainWriteSyncRename)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Load)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_Save)->Unit(benchmark::kMicrosecond);

// The console report, remembering each benchmark's real time for the ratio.
class RatioReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    // With --benchmark_repetitions the median stands for the benchmark.
    for (const Run& run : runs) {
      if (run.error_occurred) continue;
      const std::string& name = run.run_name.function_name;
      if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
        medians_[name] = run.GetAdjustedRealTime();
      else if (run.run_type == Run::RT_Iteration)
        micros_[name] = run.GetAdjustedRealTime();  // the unit is µs
    }
    for (const auto& m : medians_) micros_[m.first] = m.second;
    ConsoleReporter::ReportRuns(runs);
  }

  void printSummary() const {
    const auto plain = micros_.find("BM_PlainRead");
    const auto load = micros_.find("BM_Load");
    if (plain == micros_.end() || load == micros_.end() || plain->second <= 0) return;
    const double ratio = load->second / plain->second;
    std::printf(
        "\nload / plain read: %.1fx (target <= 20x: %s); load %.0f us (target < 1000 us: %s)\n",
        ratio, ratio <= 20.0 ? "met" : "MISSED", load->second,
        load->second < 1000.0 ? "met" : "MISSED");
    const auto save = micros_.find("BM_Save");
    const auto floor = micros_.find("BM_PlainWriteSyncRename");
    if (save != micros_.end() && floor != micros_.end() && floor->second > 0) {
      const double saveRatio = save->second / floor->second;
      std::printf("save / plain write+fsync+rename: %.2fx (target <= 2x: %s)\n", saveRatio,
                  saveRatio <= 2.0 ? "met" : "MISSED");
    }
  }

 private:
  std::map<std::string, double> micros_;
  std::map<std::string, double> medians_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;

  BenchFiles scratch;
  files = &scratch;
  std::error_code ec;
  if (scratch.dir.path().empty() || !writeFullTable(scratch.table) ||
      (scratch.size = static_cast<long>(std::filesystem::file_size(scratch.table, ec)), ec)) {
    std::fprintf(stderr, "could not write the benchmark table\n");
    return 1;
  }
  std::printf("table file: %d records, %ld bytes\n", SListCablesBase::kMaxCount, scratch.size);

  RatioReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.printSummary();
  benchmark::Shutdown();
  return 0;
}
