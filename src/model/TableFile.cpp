#include "model/TableFile.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>

#ifdef _WIN32
#ifndef S_ISREG
#define S_ISREG(m) (((m)&S_IFMT) == S_IFREG)
#endif
#ifndef S_ISDIR
#define S_ISDIR(m) (((m)&S_IFMT) == S_IFDIR)
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <io.h>
#include <process.h>
#else
#include <unistd.h>
#endif

#include "model/FileOpenError.h"
#include "model/LoadStatus.h"
#include "model/MaterialInfo.h"
#include "model/cFile.h"
#include "model/cLog.h"
#include "numeric/Numeric.h"

using namespace tolmira;

const TableFormat tableFormats[kTableFormatCount] = {
    {"VIRD-50 Table Of Cables V01", "Name\tMaterial\tOhm/km\tKU", 1},
    {"VIRD-50 Table Of Cables V02", "Name\tMaterial\tOhm/km\tOhm x mm^2/km\tKU", 2},
    {"VIRD Table Of Cables V03", "Name\tMaterial\tOhm/km\tOhm x mm^2/km\tKU\tTwist", 3},
    {"VIRD Table Of Cables V04",
     "Name\tKU\tMaterial(Ohm x mm^2/km\t1/\xB0"
     "C)\tOhm/km\tTwist",
     4},
};

const TableFormat& tolmira::currentTableFormat() { return tableFormats[kTableFormatCount - 1]; }

const TableFormat* tolmira::identifyFormat(const char* line) {
  if (!line) return nullptr;
  for (const TableFormat& f : tableFormats) {
    const std::size_t len = std::strlen(f.identifier);
    if (std::strncmp(line, f.identifier, len) == 0 && (line[len] == '\0' || line[len] == '.'))
      return &f;
  }
  return nullptr;
}

bool tolmira::readToken(char* dst, int size, const char** p) {
  const char* s = *p;
  int stored = 0;
  bool whole = true;
  for (; *s != '\0' && *s != '\t'; ++s) {
    if (stored < size - 1)
      dst[stored++] = *s;
    else
      whole = false;
  }
  if (size > 0) dst[stored] = '\0';
  *p = s;
  return whole;
}

namespace {

// File values in Ohm/km and Ohm·mm²/km to the record's per-metre units.
float perMetre(float perKm) { return static_cast<float>(static_cast<double>(perKm) * 0.001); }

// Scans a number at *p; on success stores it and moves *p past it.
bool scanAt(const char** p, float* value) {
  int used = 0;
  if (tolmira::scanNumber(*p, value, &used) != 1) return false;
  *p += used;
  return true;
}

bool atFieldEnd(const char* p) { return *p == '\0' || *p == '\t'; }

// The material text must be a whole catalogue name. The names are fixed, so
// their lengths are measured once.
int catalogueIndex(const char* text, std::size_t len) {
  static const struct Names {
    const char* name[kMaterialCount];
    std::size_t len[kMaterialCount];
    Names() {
      for (int i = 0; i < kMaterialCount; ++i) {
        name[i] = materialInfo(i).name;
        len[i] = std::strlen(name[i]);
      }
    }
  } names;
  for (int i = 0; i < kMaterialCount; ++i) {
    if (names.len[i] == len && std::memcmp(names.name[i], text, len) == 0) return i;
  }
  return -1;
}

std::uint32_t parseV04(SCable& rec, const char* line) {
  const char* p = line;
  std::uint32_t flags = 0;
  const auto result = [&] {
    return flags | (static_cast<std::uint32_t>(p - line) & LSF_POSITION_MASK);
  };
  float v = 0;

  if (!readToken(rec.name, SCable::kNameSize, &p)) flags |= LSF_CABLE_WARNING_NAME_IS_SO_BIGGER;
  if (*p != '\t') {
    flags |= LSF_NOT_TAB;
    return result();
  }
  ++p;

  if (!atFieldEnd(p)) {
    if (!scanAt(&p, &v)) {
      flags |= LSF_CABLE_Ku_ERROR;
      return result();
    }
    rec.setKU(v);
  }
  if (*p == '\0') return result();
  if (*p != '\t') {
    flags |= LSF_NOT_TAB;
    return result();
  }
  ++p;

  // Filled in place (a scratch copy costs a stalled wide load per line) and put
  // back to its reset state when the line fails.
  SMaterial& material = rec.material;
  const char* end = p;
  while (*end != '\0' && *end != '*' && *end != '(' && *end != '\t') ++end;
  const int index = catalogueIndex(p, static_cast<std::size_t>(end - p));
  p = end;
  if (index >= 0) material.reset(index);
  if (index < 0) {
    flags |= LSF_CABLE_ERROR;
  } else if (*p != '\t') {
    // Own values: [*] ( [ownRu] [TAB ownTC] )
    if (*p == '*') ++p;
    if (*p != '(') {
      flags |= LSF_CABLE_ERROR;
    } else {
      ++p;
      bool failed = false;
      if (*p != '\t') {
        if (!scanAt(&p, &v)) {
          flags |= LSF_CABLE_R_to_m_ERROR;
          failed = true;
        } else {
          float ru = perMetre(v);
          if (ru != 0.0f) {
            if (static_cast<double>(ru) < 0.001) {
              ru = 0.001f;
              flags |= LSF_CABLE_WARNING_Ru_BAD_VALUE;
            } else if (static_cast<double>(ru) > 0.5) {
              flags |= LSF_CABLE_WARNING_Ru_BAD_VALUE;
            }
          }
          material.setRuOverride(ru);
        }
      }
      if (!failed) {
        if (*p == ')') {
          ++p;
        } else if (*p == '\t') {
          ++p;
          if (*p != ')') {
            if (!scanAt(&p, &v)) {
              flags |= LSF_CABLE_TC_ERROR;
              failed = true;
            } else {
              material.setTCOverride(v);
            }
          }
          if (!failed) {
            if (*p == ')')
              ++p;
            else
              flags |= LSF_CABLE_ERROR;
          }
        } else {
          flags |= LSF_NOT_TAB;
        }
      }
    }
  }
  if (flags & LSF_ERROR_MASK) {
    material.reset(0);
    return result();
  }

  if (*p == '\0') return result();
  if (*p != '\t') {
    flags |= LSF_NOT_TAB;
    return result();
  }
  ++p;
  if (!atFieldEnd(p)) {
    if (!scanAt(&p, &v)) {
      flags |= LSF_CABLE_R_to_m_ERROR;
      return result();
    }
    rec.setR(perMetre(v));
  }

  if (*p == '\0') return result();
  if (*p != '\t') {
    flags |= LSF_NOT_TAB;
    return result();
  }
  ++p;
  if (!atFieldEnd(p)) {
    v = 1.0f;
    if (!scanAt(&p, &v)) {
      flags |= LSF_CABLE_TwistingFactor_ERROR;
      return result();
    }
    rec.setTwist(v);
  }
  return result();  // anything behind the twist is ignored
}

// Versions 2 and 3: name, material, R, resistivity, KU [, twist]. A missing or
// unreadable field ends the line and keeps what was read.
std::uint32_t parseV02V03(SCable& rec, const char* line) {
  const char* p = line;
  const auto result = [&] { return static_cast<std::uint32_t>(p - line) & LSF_POSITION_MASK; };
  // A tab must separate the fields; false ends the line.
  const auto nextField = [&] {
    if (*p != '\t') return false;
    ++p;
    return true;
  };
  float v = 0;

  readToken(rec.name, SCable::kNameSize, &p);
  if (!nextField()) return result();

  char materialName[8];
  readToken(materialName, sizeof materialName, &p);
  const int index = findMaterial(materialName);
  if (index >= 0) rec.material.reset(index);

  if (!nextField()) return result();
  if (!atFieldEnd(p)) {
    if (!scanAt(&p, &v)) return result();
    rec.setR(perMetre(v));
  }

  if (!nextField()) return result();
  if (!atFieldEnd(p)) {
    if (!scanAt(&p, &v)) return result();
    const float ru = perMetre(v);
    const float q = ru / rec.material.getRu();
    // Within this band the file merely repeats the catalogue value.
    if (static_cast<double>(q) <= 0.99999 || static_cast<double>(q) >= 1.00001)
      rec.material.setRuOverride(ru);
  }

  if (!nextField()) return result();
  if (!atFieldEnd(p)) {
    if (!scanAt(&p, &v)) return result();
    rec.setKU(v);
  }

  if (!nextField()) return result();
  if (!atFieldEnd(p)) {
    v = 1.0f;
    if (!scanAt(&p, &v)) return result();
    rec.setTwist(v);
  }
  return result();
}

// Version 1: name, legacy material (Cu or Al, prefix match), R, KU.
std::uint32_t parseV01(SCable& rec, const char* line) {
  const char* p = line;
  const auto result = [&] { return static_cast<std::uint32_t>(p - line) & LSF_POSITION_MASK; };
  float v = 0;

  readToken(rec.name, SCable::kNameSize, &p);
  if (*p != '\t') return result();
  ++p;

  int legacy = -1;
  for (int i = 0; i < kLegacyMaterialCount && legacy < 0; ++i) {
    const std::size_t len = std::strlen(legacyMaterials[i].name);
    if (std::strncmp(p, legacyMaterials[i].name, len) == 0) {
      legacy = i;
      p += len;
    }
  }
  if (legacy < 0) return result();
  rec.material.reset(legacy);
  rec.material.setRuOverride(legacyMaterials[legacy].ru);
  rec.material.setTCOverride(legacyMaterials[legacy].tc);

  if (*p != '\t') return result();
  ++p;
  if (!scanAt(&p, &v)) return result();
  rec.setR(perMetre(v));

  if (*p != '\t') return result();
  ++p;
  if (!scanAt(&p, &v)) return result();
  rec.setKU(v);
  return result();
}

// Counters are int16 like the firmware's; a huge file must not wrap them.
void countUp(std::int16_t& counter) {
  if (counter < INT16_MAX) ++counter;
}

}  // namespace

std::uint32_t tolmira::parseLine(SCable& rec, const char* line, int version) {
  rec.reset();
  if (!line) line = "";
  switch (version) {
    case 1:
      return parseV01(rec, line);
    case 2:
    case 3:
      return parseV02V03(rec, line);
    case 4:
      return parseV04(rec, line);
    default:
      return LSF_ERROR_ID;
  }
}

LoadResult tolmira::loadFromFile(SListCables& table, const char* fileName,
                                 LoadLineCallback callback) {
  LoadResult result;
  table.clear();

  cFile file;
  if (!file.open(fileName, FO_READ)) {
    result.status = lastOpenError == 1 ? LSF_ERROR_VERSION : LSF_CAN_NOT_OPEN;
    return result;
  }

  constexpr std::int16_t kLineSize = 128;
  char line[kLineSize];
  std::uint32_t& status = result.status;
  int lineNo = 0;

  // Reads the next line; a read failure is a failed load, not an early end.
  const auto nextLine = [&]() {
    const int got = readLine(file, line, kLineSize);
    if (got < 0) status |= LSF_ERROR;
    return got;
  };

  [&] {
    if (nextLine() <= 0) return;  // empty file: an empty table
    lineNo = 1;
    const TableFormat* format = identifyFormat(line);
    if (!format) {
      status |= LSF_ERROR_ID;
      return;
    }
    if (nextLine() <= 0) return;  // only the identifier: an empty table
    lineNo = 2;
    if (line[0] != '\0') {
      status |= LSF_ERROR;
      return;
    }
    if (nextLine() <= 0) {
      status |= LSF_ERROR;
      return;
    }
    lineNo = 3;
    if (std::strcmp(line, format->header) != 0) {
      status |= LSF_ERROR_ID;
      return;
    }

    SCable rec;
    while (nextLine() > 0) {
      ++lineNo;
      if (line[0] == '\0') continue;
      const std::uint32_t c = parseLine(rec, line, format->version);
      if (hasErrorBit(c)) {
        countUp(result.errorLines);
      } else {
        countUp(result.loadedLines);
        if (hasWarningBit(c)) countUp(result.warningLines);
        if (table.add(rec)) countUp(result.addedRecords);
      }
      if ((c & ~LSF_POSITION_MASK) && callback) {
        if (!callback(line, c, lineNo)) callback = nullptr;
      }
      status = (status & ~LSF_POSITION_MASK) | c;
    }
  }();

  if (!file.close()) status |= LSF_ERROR;
  table.clearModified();
  if ((status & ~LSF_POSITION_MASK) == 0) status = 0;
  return result;
}

// ---------------------------------------------------------------------------
// Writing. The table goes into a fresh file beside the target, which replaces
// the target only once every byte is written and the file closed: a failed
// save leaves the old file as it was.

namespace {

#ifdef _WIN32
constexpr const char* kSeparators = "/\\:";
#else
constexpr const char* kSeparators = "/";
#endif

std::string folderOf(const std::string& path) {
  const std::size_t cut = path.find_last_of(kSeparators);
  return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// Where the save really goes: through a symbolic link to the file it names.
// The file a save must replace: a symbolic link is followed (also to a file that does
// not exist yet), so that the link itself stays and its file gets the table.
std::string resolveTarget(const char* fileName) {
  std::string path = fileName;
#ifndef _WIN32
  for (int hops = 0; hops < 40; ++hops) {
    struct stat st;
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) break;
    char buf[4096];
    const ssize_t n = ::readlink(path.c_str(), buf, sizeof buf);
    if (n <= 0 || static_cast<std::size_t>(n) >= sizeof buf) break;
    std::string target(buf, static_cast<std::size_t>(n));
    if (target[0] != '/') {
      const std::size_t slash = path.rfind('/');
      if (slash != std::string::npos) target = path.substr(0, slash + 1) + target;
    }
    path = target;
  }
#endif
  return path;
}

unsigned processId() {
#ifdef _WIN32
  return static_cast<unsigned>(::_getpid());
#else
  return static_cast<unsigned>(::getpid());
#endif
}

// Removes the scratch file unless it was moved into place.
struct ScratchFile {
  std::string path;
  bool keep = false;
  ~ScratchFile() {
    if (!path.empty() && !keep) std::remove(path.c_str());
  }
};

bool replaceFile(const std::string& from, const std::string& to) {
#ifdef _WIN32
  return ::MoveFileExA(from.c_str(), to.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
#else
  return std::rename(from.c_str(), to.c_str()) == 0;
#endif
}

}  // namespace

std::uint32_t SListCables::saveToFile(const char* fileName) {
  cLog& log = processLog();
  std::uint32_t result = 0;
  bool ok = false;
  const char* step = nullptr;
  int n = 0;
  int written = 0;

  log.message("STF:");
  if (!fileName) throw FileOpenError(std::string(), std::strerror(EINVAL));
  const std::string target = resolveTarget(fileName);

  // The target itself is not opened, so refuse here what opening it would refuse.
  struct stat targetStat;
  const bool targetExists = ::stat(target.c_str(), &targetStat) == 0;
  if (targetExists) {
    if (S_ISDIR(targetStat.st_mode)) throw FileOpenError(fileName, std::strerror(EISDIR));
    // A device or pipe cannot be replaced by renaming a file over it (as root that
    // would silently swap the device node for a plain file).
    if (!S_ISREG(targetStat.st_mode)) throw FileOpenError(fileName, std::strerror(EINVAL));
#ifdef _WIN32
    if (::_access(target.c_str(), 2) != 0) throw FileOpenError(fileName, std::strerror(errno));
#else
    if (::access(target.c_str(), W_OK) != 0) throw FileOpenError(fileName, std::strerror(errno));
#endif
  }

  // Declared first so that it goes last: the file is closed before its removal.
  ScratchFile scratch;
  cFile file;
  const std::string folder = folderOf(target);
  // Taken scratch names are no refusal of the user's file: leave lastOpenError
  // as the open with create-always would have left it.
  const int openErrorBefore = lastOpenError;
  unsigned seed =
      processId() * 2654435761u ^
      static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
  bool opened = false;
  // A short 8.3 name, so that it also fits a FAT disk without long names.
  for (int attempt = 0; attempt < 64 && !opened; ++attempt) {
    char name[16];
    std::snprintf(name, sizeof name, "~TLM%04X.TMP",
                  (seed + static_cast<unsigned>(attempt)) & 0xFFFFu);
    const std::string candidate = folder + name;
    try {
      opened = file.open(candidate.c_str(), FO_CREATE_NEW | FO_WRITE);
    } catch (const FileOpenError& e) {
      lastOpenError = openErrorBefore;
      // Report the file the user asked for, not the scratch name.
      throw FileOpenError(fileName, e.osMessage());
    }
    if (opened) scratch.path = candidate;
  }
  lastOpenError = openErrorBefore;
  if (!opened) {
    lastSaveStatus = LSF_CAN_NOT_OPEN;
    log.message(statusName(lastSaveStatus));
    return LSF_CAN_NOT_OPEN;
  }

  log.message("\t1");
  ok = file.seek(0);
  step = "lseek";
  log.message("\t2");
  if (ok) {
    char buf[128];
    n = std::snprintf(buf, 128, "%s\r\n\r\n", currentTableFormat().identifier);
    ok = file.write(buf, n, &written);
    step = "write file ID";
    log.message("\t3");
    bool headerWritten = false;
    if (ok) {
      log.message("\t4");
      if (n == written) {
        log.message("\t5");
        n = std::snprintf(buf, 128, "%s\r\n", currentTableFormat().header);
        ok = file.write(buf, n, &written);
        step = "write caption";
        headerWritten = true;
      }
    }
    if (headerWritten && ok) {
      log.message("\t6");
      if (n == written) {
        log.message("\t7");
        step = nullptr;
        SCable rec;
        for (int i = -1; next(i);) {
          get(rec, i);
          constexpr int kLineRoom = 127;
          n = rec.snprint(buf, kLineRoom);
          log.message("\t7: ");
          log.dump(buf);
          const int room = kLineRoom - n;
          if (room > 1) {
            const int m = std::snprintf(buf + n, static_cast<std::size_t>(room), "\r\n");
            n += m < room ? m : room - 1;
          }
          log.message("\t8");
          step = "Cable write";
          ok = file.write(buf, n, &written);
          if (n != written) break;
          log.message("\t9");
          if (!ok) break;
          log.message("\t10");
        }
        ok = file.truncate();
        if (ok) log.message("\t11");
      }
    }
  }

  if (!ok) {
    if (step) log.message(step);
    lastSaveStatus = LSF_ERROR;
    log.message(statusName(lastSaveStatus));
    result |= LSF_ERROR;
  }
  if (n != written) {
    log.message("\tn != num");
    if (step) log.message(step);
    lastSaveStatus = LSF_DISK_IS_FULL;
    log.message(statusName(lastSaveStatus));
    result |= LSF_DISK_IS_FULL;
    if (file.seek(file.tell())) file.truncate();
  }
  if (!file.close()) {
    lastSaveStatus = LSF_UNKNOWN;
    log.message(statusName(lastSaveStatus));
    result |= LSF_UNKNOWN;
  }

  if (result == 0) {
#ifndef _WIN32
    // The new file takes over the old one's permissions.
    if (targetExists) ::chmod(scratch.path.c_str(), targetStat.st_mode & 07777);
#endif

    if (replaceFile(scratch.path, target)) {
      scratch.keep = true;
    } else {
      log.message("rename");
      lastSaveStatus = LSF_ERROR;
      log.message(statusName(lastSaveStatus));
      result |= LSF_ERROR;
    }
  }

  // Only a table that really is on disk counts as saved.
  if (result == 0) clearModified();
  return result;
}
