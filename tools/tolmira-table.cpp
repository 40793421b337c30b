// tolmira-table: checks, dumps and converts cable table files without the editor,
// and writes them to and reads them from the instrument's disk. It reads and writes
// through the editor's own reader, writer and drive lister, so what it reports is
// what the editor would see.

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>
#endif

#include <nlohmann/json.hpp>

#include "csv/CableCsv.h"
#include "csv/CsvFile.h"
#include "drives/DrivesLister.h"
#include "drives/InstrumentDisk.h"
#include "model/Cp1251.h"
#include "model/FileOpenError.h"
#include "model/InstrumentCheck.h"
#include "model/LoadReportLine.h"
#include "model/LoadStatus.h"
#include "model/MaterialInfo.h"
#include "model/RecordText.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "model/TableFile.h"
#include "tolmira/Version.h"

using namespace tolmira;

namespace {

constexpr const char* kProgram = "tolmira-table";

// Exit statuses.
constexpr int kExitOk = 0;
constexpr int kExitErrors = 1;     // the file has error bits, or convert refused
constexpr int kExitNoInput = 2;    // input missing or not openable; usage error
constexpr int kExitWriteFail = 3;  // the output could not be written

const char* const kUsage =
    "Использование:\n"
    "  tolmira-table check FILE\n"
    "  tolmira-table check --instrument FILE\n"
    "  tolmira-table dump FILE\n"
    "  tolmira-table convert [--drop-rejected] IN OUT\n"
    "  tolmira-table disks\n"
    "  tolmira-table to-instrument [--drop-rejected] FILE [ROOT]\n"
    "  tolmira-table from-instrument [--drop-rejected] OUT [ROOT]\n"
    "  tolmira-table export-csv [--drop-rejected] [--sep ';'] [--decimal-comma] FILE OUT\n"
    "  tolmira-table import-csv [--drop-rejected] IN OUT\n"
    "  tolmira-table --help | --version\n";

const char* const kHelp =
    "\n"
    "Команды:\n"
    "  check FILE    читает таблицу так же, как редактор: строка отчёта на каждую\n"
    "                строку с ошибкой или предупреждением, затем итоговая строка\n"
    "                status=0x... errors=N loaded=N warnings=N added=N\n"
    "  check --instrument FILE\n"
    "                что прибор сделает с таблицей: строки отчёта, затем строка на\n"
    "                каждое замечание (\"потеря данных: \" или \"замечание: \") или\n"
    "                \"замечаний нет\"; код 1, если прибор потеряет записи\n"
    "  dump FILE     записи таблицы как массив JSON\n"
    "  convert IN OUT\n"
    "                читает IN (версии V01 ... V04) и записывает OUT в версии V04;\n"
    "                при отклонённых строках OUT не записывается\n"
    "  disks         диски компьютера, строка на диск, поля через табуляцию: корень,\n"
    "                код типа, файловая система, размер и свободно (байт), yes или no\n"
    "                (диск прибора или нет) и, если нет, причина\n"
    "  to-instrument FILE [ROOT]\n"
    "                читает FILE, как convert, и записывает его в ROOT/CABLES.TXT;\n"
    "                без ROOT - на единственный подключённый диск прибора\n"
    "  from-instrument OUT [ROOT]\n"
    "                читает CABLES.TXT прибора и записывает его в OUT, как convert\n"
    "  export-csv FILE OUT\n"
    "                читает FILE, как convert, и записывает его в OUT как CSV для\n"
    "                электронных таблиц (UTF-8, строка заголовка, запись на строку)\n"
    "  --sep ';'     export-csv: разделитель столбцов ';' вместо ','\n"
    "  --decimal-comma\n"
    "                export-csv: десятичная запятая вместо точки\n"
    "  import-csv IN OUT\n"
    "                читает CSV, записанный export-csv (разделитель - по заголовку,\n"
    "                десятичная точка или запятая), и записывает таблицу OUT;\n"
    "                при отклонённых строках OUT не записывается\n"
    "  --drop-rejected\n"
    "                convert, to-instrument, from-instrument, export-csv,\n"
    "                import-csv: записать таблицу без отклонённых строк\n"
    "\n"
    "Код завершения: 0 - без ошибок; 1 - в файле есть ошибки или convert отказался\n"
    "писать; 2 - файл или диск прибора не найден, файл не открывается, неверные\n"
    "параметры;\n"
    "3 - не удалось записать результат.\n";

void printError(const std::string& text) {
  std::fprintf(stderr, "%s: %s\n", kProgram, text.c_str());
}

int usageError(const std::string& why) {
  printError(why);
  std::fputs(kUsage, stderr);
  return kExitNoInput;
}

// Bytes for which escaped() holds as \xNN, the rest as they are.
std::string escapeBytes(const std::string& text, bool (*escaped)(unsigned char)) {
  std::string out;
  out.reserve(text.size());
  for (const char c : text) {
    const unsigned char b = static_cast<unsigned char>(c);
    if (escaped(b)) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02X", b);
      out += esc;
    } else {
      out += c;
    }
  }
  return out;
}

// Text of a file line for a terminal: converted to UTF-8, control characters
// other than tab shown as \xNN, so that a hostile file cannot drive the terminal
// or break the one-line-per-problem layout.
std::string printableLine(const char* cp1251) {
  return escapeBytes(cp1251ToUtf8(cp1251),
                     [](unsigned char b) { return (b < 0x20 && b != '\t') || b == 0x7F; });
}

struct Load {
  SListCables table;
  LoadResult result;
  // Each problem line's report goes out as the line is read, so that memory does
  // not grow with a file of bad lines.
  std::FILE* reportTo = stderr;
  bool reportFailed = false;
};

// Reads path into load. Returns kExitOk, or kExitNoInput after telling why.
int loadTable(const char* path, Load& load) {
  try {
    load.result =
        loadFromFile(load.table, path, [&load](const char* text, std::uint32_t status, int line) {
          std::string report = loadReportLine(printableLine(text), status, line);
          report += '\n';
          if (std::fputs(report.c_str(), load.reportTo) == EOF) load.reportFailed = true;
          return true;
        });
  } catch (const FileOpenError& e) {
    printError(std::string(path) + ": не удалось открыть файл: " + e.osMessage());
    return kExitNoInput;
  }
  if (load.result.status == LSF_ERROR_VERSION) {
    printError(std::string(path) + ": Файл не найден");
    return kExitNoInput;
  }
  if (load.result.status == LSF_CAN_NOT_OPEN) {
    printError(std::string(path) + ": не удалось открыть файл");
    return kExitNoInput;
  }
  return kExitOk;
}

// Writes text and checks that it and everything before it arrived: a full disk or a
// closed pipe behind stdout must not end in exit status 0.
int writeStdout(const std::string& text, bool failedBefore = false) {
  const bool ok = !failedBefore &&
                  std::fwrite(text.data(), 1, text.size(), stdout) == text.size() &&
                  std::fflush(stdout) == 0 && !std::ferror(stdout);
  if (!ok) {
    printError("не удалось вывести результат");
    return kExitWriteFail;
  }
  return kExitOk;
}

int statusExit(std::uint32_t status) { return hasErrorBit(status) ? kExitErrors : kExitOk; }

int runCheck(const char* path) {
  Load load;
  load.reportTo = stdout;
  if (const int rc = loadTable(path, load)) return rc;
  const LoadResult& r = load.result;
  char summary[160];
  std::snprintf(summary, sizeof summary, "status=0x%08X errors=%d loaded=%d warnings=%d added=%d\n",
                static_cast<unsigned>(r.status), r.errorLines, r.loadedLines, r.warningLines,
                r.addedRecords);
  if (const int rc = writeStdout(summary, load.reportFailed)) return rc;
  return statusExit(r.status);
}

// What the instrument will do with the table. Rejected lines never reach it
// either, so they count as lost like the records past its limit.
int runInstrumentCheck(const char* path) {
  Load load;
  load.reportTo = stdout;
  if (const int rc = loadTable(path, load)) return rc;
  const std::vector<InstrumentFinding> findings = checkForInstrument(load.table);
  std::string out;
  for (const InstrumentFinding& f : findings)
    // Names come from the file: no control character reaches the terminal.
    out += (f.losesData ? "потеря данных: " : "замечание: ") +
           escapeBytes(f.text, [](unsigned char b) { return b < 0x20 || b == 0x7F; }) + "\n";
  if (findings.empty()) out += "замечаний нет\n";
  if (const int rc = writeStdout(out, load.reportFailed)) return rc;
  return anyLosesData(findings) || hasErrorBit(load.result.status) ? kExitErrors : kExitOk;
}

// Shortest decimal that reads back as the same float32. JSON has no infinity,
// and null already means "no own value", so a non-finite value (a file may hold
// a number beyond the float range) is written as a string.
std::string jsonFloat(float v) {
  if (std::isnan(v)) return nlohmann::json("nan").dump();
  if (std::isinf(v)) return nlohmann::json(v > 0 ? "inf" : "-inf").dump();
  char buf[64];
  const auto res = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, res.ptr);
}

// One record as a JSON object on one line. Strings go through the JSON library;
// numbers are written here so that a float keeps its float32 shortest form.
std::string jsonRecord(const SCable& rec) {
  std::string out = "{";
  bool first = true;
  const auto member = [&](const char* key, const std::string& valueText) {
    if (!first) out += ',';
    first = false;
    out += nlohmann::json(key).dump();
    out += ':';
    out += valueText;
  };
  const auto text = [](const std::string& utf8) { return nlohmann::json(utf8).dump(); };

  char line[128];
  rec.snprint(line, 127);
  const SMaterial& m = rec.material;

  member("name", text(recordName(rec)));
  member("ku", jsonFloat(rec.ku));
  member("material", text(materialInfo(m.index).name));
  member("ownResistivity", m.hasRuOverride() ? jsonFloat(m.ruOverride) : "null");
  member("ownTempCoefficient", m.hasTCOverride() ? jsonFloat(m.tcOverride) : "null");
  member("storedAs", text(rec.sIsStored ? "S" : "R"));
  member("rOrS", jsonFloat(rec.rOrS));
  member("twistCode", std::to_string(rec.twistCode));
  member("methods", std::to_string(rec.suitableMethods()));
  member("line", text(cp1251ToUtf8(line)));
  out += '}';
  return out;
}

int runDump(const char* path) {
  Load load;
  if (const int rc = loadTable(path, load)) return rc;

  std::string out = "[";
  for (int i = 0; i < load.table.getCount(); ++i) {
    out += i == 0 ? "\n  " : ",\n  ";
    out += jsonRecord(load.table.at(i));
  }
  out += load.table.getCount() == 0 ? "]\n" : "\n]\n";
  if (const int rc = writeStdout(out)) return rc;
  return statusExit(load.result.status);
}

// Reads in for writing to out: refuses (kExitErrors) what would lose records,
// unless dropRejected lets rejected lines go.
int loadForWrite(const char* in, const char* out, bool dropRejected, Load& load) {
  if (const int rc = loadTable(in, load)) return rc;
  const LoadResult& r = load.result;

  // A file the reader could not take as a table (wrong identifier or header, a
  // read failure) would come out empty: never write that over anything.
  constexpr std::uint32_t kFileErrors = LSF_ERROR_MASK & 0x0000FF00u;
  if (r.status & kFileErrors) {
    printError(std::string(in) + ": файл не прочитан как таблица (" +
               statusName(r.status & kFileErrors) + "), " + out + " не записан");
    return kExitErrors;
  }

  // Lines beyond the table's capacity raise no bit but would be lost as well.
  const std::int64_t beyondCapacity = r.loadedLineCount - r.addedRecords;
  if (r.errorLineCount > 0 || beyondCapacity > 0) {
    std::string what;
    if (r.errorLineCount > 0) what = "отклонено строк: " + std::to_string(r.errorLineCount);
    if (beyondCapacity > 0) {
      if (!what.empty()) what += ", ";
      what += "записей сверх " + std::to_string(SListCablesBase::kMaxCount) + ": " +
              std::to_string(beyondCapacity);
    }
    if (!dropRejected) {
      printError(std::string(in) + ": " + what + "; " + out +
                 " не записан (--drop-rejected запишет без них)");
      return kExitErrors;
    }
    printError(std::string(in) + ": " + what + ", в " + out + " они не вошли");
  }
  return kExitOk;
}

int writeTable(Load& load, const char* out) {
  std::uint32_t saved = 0;
  try {
    saved = load.table.saveToFile(out);
  } catch (const FileOpenError& e) {
    printError(std::string(out) + ": запись не удалась: " + statusName(LSF_CAN_NOT_OPEN) + " (" +
               e.osMessage() + ")");
    return kExitWriteFail;
  }
  if (saved != 0) {
    printError(std::string(out) + ": запись не удалась: " + statusName(saved));
    return kExitWriteFail;
  }
  return kExitOk;
}

int runConvert(const char* in, const char* out, bool dropRejected) {
  Load load;
  if (const int rc = loadForWrite(in, out, dropRejected, load)) return rc;
  return writeTable(load, out);
}

// A text of the system (a mount point) for one tab-separated field.
std::string printableField(const std::string& text) {
  return escapeBytes(text, [](unsigned char b) { return b < 0x20 || b == 0x7F || b == '\\'; });
}

int runDisks() {
  DrivesLister lister;
  lister.Rescan(DrivesLister::DriveSet());
  std::string out;
  for (int i = 0; i < lister.Count(); ++i) {
    const DriveInfo& d = lister.At(i);
    const bool instrument = isInstrumentDisk(d);
    out += printableField(d.root) + '\t' + std::to_string(d.type) + '\t' +
           printableField(d.fileSystem) + '\t' + std::to_string(d.totalBytes) + '\t' +
           std::to_string(d.freeToCaller) + '\t' + (instrument ? "yes" : "no");
    if (!instrument) out += '\t' + notInstrumentDiskReason(d);
    out += '\n';
  }
  return writeStdout(out);
}

bool isFolder(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_directory(std::filesystem::u8path(path), ec);
}

// The instrument's table file: in root when one is given, else on the one
// instrument disk attached. Empty after telling why there is none.
std::string instrumentFile(const std::string& root) {
  std::string folder = root;
  if (folder.empty()) {
    DrivesLister lister;
    lister.Rescan(DrivesLister::DriveSet());
    std::vector<std::string> found;
    for (int i = 0; i < lister.Count(); ++i)
      if (isInstrumentDisk(lister.At(i))) found.push_back(lister.At(i).root);
    if (found.empty()) {
      printError(
          "диск прибора не найден: подключите прибор к компьютеру через USB кабель "
          "или укажите ROOT");
      return std::string();
    }
    if (found.size() > 1) {
      std::string list;
      for (const std::string& f : found) list += (list.empty() ? "" : ", ") + printableField(f);
      printError("подключено несколько дисков прибора (" + list + "): укажите ROOT");
      return std::string();
    }
    folder = found[0];
  } else if (!isFolder(folder)) {
    printError(folder + ": папка не найдена");
    return std::string();
  }
  const char last = folder.back();
  if (last != '/' && last != '\\') folder += '/';
  return folder + kInstrumentTableFile;
}

int runToInstrument(const char* in, const std::string& root, bool dropRejected) {
  Load load;
  if (const int rc = loadForWrite(in, kInstrumentTableFile, dropRejected, load)) return rc;
  const std::string path = instrumentFile(root);
  if (path.empty()) return kExitNoInput;
  const int count = load.table.getCount();
  if (count > kInstrumentMaxRecords)
    printError("Таблица содержит " + std::to_string(count) +
               " записей. Прибор ВИРД-50 поддерживает максимум 151 запись. Все записи свыше "
               "будут прибором не загружены. И будут утеряны после изменения таблицы прибором.");
  if (const int rc = writeTable(load, path.c_str())) return rc;
  return writeStdout(path + "\n");
}

int runFromInstrument(const char* out, const std::string& root, bool dropRejected) {
  const std::string path = instrumentFile(root);
  if (path.empty()) return kExitNoInput;
  return runConvert(path.c_str(), out, dropRejected);
}

int runExportCsv(const char* in, const char* out, bool dropRejected, const CsvOptions& options) {
  Load load;
  if (const int rc = loadForWrite(in, out, dropRejected, load)) return rc;
  if (!writeCsvFile(out, exportCsv(load.table, options))) {
    printError(std::string(out) + ": запись не удалась");
    return kExitWriteFail;
  }
  return kExitOk;
}

int runImportCsv(const char* in, const char* out, bool dropRejected) {
  std::string bytes;
  if (!readCsvFile(in, bytes)) {
    printError(std::string(in) + ": не удалось открыть файл");
    return kExitNoInput;
  }
  const CsvImport csv = importCsv(bytes);
  if (!csv.readable) {
    printError(std::string(in) + ": " + csv.error + "; " + out + " не записан");
    return kExitErrors;
  }
  std::string report;
  for (const std::string& line : csv.problems) report += line + '\n';
  std::fputs(report.c_str(), stderr);
  if (csv.rejectedRows > 0) {
    const std::string what = "отклонено строк: " + std::to_string(csv.rejectedRows);
    if (!dropRejected) {
      printError(std::string(in) + ": " + what + "; " + out +
                 " не записан (--drop-rejected запишет без них)");
      return kExitErrors;
    }
    printError(std::string(in) + ": " + what + ", в " + out + " они не вошли");
  }
  Load load;
  for (const SCable& rec : csv.records) load.table.add(rec);
  return writeTable(load, out);
}

#ifdef _WIN32
// The narrow argv of Windows is in the ANSI code page, which loses most Cyrillic
// names; the wide command line holds them all.
std::vector<std::string> commandLine(int, char**) {
  std::vector<std::string> args;
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return args;
  for (int i = 1; i < count; ++i) {
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
    std::string arg(size > 0 ? static_cast<std::size_t>(size) : 1u, '\0');
    if (size > 0) ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, &arg[0], size, nullptr, nullptr);
    arg.pop_back();
    args.push_back(arg);
  }
  ::LocalFree(wide);
  return args;
}
#else
std::vector<std::string> commandLine(int argc, char** argv) {
  return std::vector<std::string>(argv + 1, argv + argc);
}
#endif

// --sep X, --sep=X and --decimal-comma of export-csv at args[i]; moves i past a
// separate value. An unusable separator leaves options.separator 0.
bool exportCsvOption(const std::vector<std::string>& args, std::size_t& i, CsvOptions& options) {
  const std::string& a = args[i];
  if (a == "--decimal-comma") {
    options.decimalComma = true;
    return true;
  }
  std::string value;
  if (a == "--sep") {
    if (i + 1 < args.size()) value = args[++i];
  } else if (a.rfind("--sep=", 0) == 0) {
    value = a.substr(6);
  } else {
    return false;
  }
  options.separator = value == "," || value == ";" ? value[0] : 0;
  return true;
}

int run(int argc, char** argv) {
  std::vector<std::string> args = commandLine(argc, argv);
  if (args.empty()) return usageError("не задана команда");

  if (args.size() == 1 && args[0] == "--help") {
    std::string text = kUsage;
    text += kHelp;
    return writeStdout(text);
  }
  if (args.size() == 1 && args[0] == "--version")
    return writeStdout(std::string(kProgram) + " " + TOLMIRA_VERSION_STRING + "\n");

  const std::string command = args[0];
  if (command == "check" && args.size() == 3 && args[1] == "--instrument")
    return runInstrumentCheck(args[2].c_str());
  const bool csv = command == "export-csv" || command == "import-csv";
  const bool writes =
      command == "convert" || command == "to-instrument" || command == "from-instrument" || csv;
  if (command != "check" && command != "dump" && command != "disks" && !writes) {
    if (command.size() > 1 && command[0] == '-')
      return usageError("неизвестный параметр: " + command);
    return usageError("неизвестная команда: " + command);
  }

  bool dropRejected = false;
  CsvOptions csvOptions;
  bool optionsEnded = false;
  std::vector<std::string> files;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (!optionsEnded && a == "--") {
      optionsEnded = true;
    } else if (!optionsEnded && a == "--drop-rejected" && writes) {
      dropRejected = true;
    } else if (!optionsEnded && command == "export-csv" && exportCsvOption(args, i, csvOptions)) {
      if (csvOptions.separator == 0) return usageError("--sep: ожидается ',' или ';'");
    } else if (!optionsEnded && a.size() > 1 && a[0] == '-') {
      return usageError("неизвестный параметр: " + a);
    } else {
      files.push_back(a);
    }
  }

  const bool instrument = command == "to-instrument" || command == "from-instrument";
  const std::size_t wanted = command == "convert" || csv ? 2 : command == "disks" ? 0 : 1;
  if (files.size() != wanted && !(instrument && files.size() == 2))
    return usageError("неверное число параметров для " + command);
  if (command == "disks") return runDisks();
  if (instrument) {
    const std::string root = files.size() == 2 ? files[1] : std::string();
    if (command == "to-instrument") return runToInstrument(files[0].c_str(), root, dropRejected);
    return runFromInstrument(files[0].c_str(), root, dropRejected);
  }
  if (command == "check") return runCheck(files[0].c_str());
  if (command == "dump") return runDump(files[0].c_str());
  if (command == "export-csv")
    return runExportCsv(files[0].c_str(), files[1].c_str(), dropRejected, csvOptions);
  if (command == "import-csv")
    return runImportCsv(files[0].c_str(), files[1].c_str(), dropRejected);
  return runConvert(files[0].c_str(), files[1].c_str(), dropRejected);
}

}  // namespace

int main(int argc, char** argv) {
#ifdef _WIN32
  // The same bytes as everywhere else: no "\r" put before each "\n".
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
#endif
  try {
    return run(argc, argv);
  } catch (const std::exception& e) {
    printError(std::string("непредвиденная ошибка: ") + e.what());
    return kExitNoInput;
  }
}
