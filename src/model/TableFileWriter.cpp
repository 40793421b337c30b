// Writing a table file. The table goes into a fresh file beside the target, which
// replaces the target only once every byte is written and the file closed: a failed
// save leaves the old file as it was. Where no fresh file fits (a small disk that
// cannot hold old and new at once), the target is rewritten in place with its old
// bytes kept in memory to be written back.
#include <algorithm>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "model/FileOpenError.h"
#include "model/LoadStatus.h"
#include "model/SListCables.h"
#include "model/TableFile.h"
#include "model/TableFileSystem.h"
#include "model/cFile.h"
#include "model/cLog.h"

using namespace tolmira;

namespace {

// Removes the scratch file unless it was moved into place.
struct ScratchFile {
  std::string path;
  bool keep = false;
  ~ScratchFile() {
    if (!path.empty() && !keep) removeFile(path);
  }
};

std::uint32_t fail(cLog& log, std::uint32_t status) {
  lastSaveStatus = status;
  log.message(statusName(status));
  return status;
}

// Opens a new scratch file in the target's folder; false when every name is taken.
// A short 8.3 name, so that it also fits a FAT disk without long names.
bool openScratch(cFile& file, const SaveTarget& target, const char* fileName,
                 ScratchFile& scratch) {
  // Taken scratch names are no refusal of the user's file: leave lastOpenError
  // as the open with create-always would have left it.
  const int openErrorBefore = lastOpenError;
  const unsigned seed = scratchSeed();
  for (int attempt = 0; attempt < 64; ++attempt) {
    char name[16];
    std::snprintf(name, sizeof name, "~TLM%04X.TMP",
                  (seed + static_cast<unsigned>(attempt)) & 0xFFFFu);
    const std::string candidate = target.folder + name;
    bool opened = false;
    try {
      opened = file.open(candidate.c_str(), FO_CREATE_NEW | FO_WRITE);
    } catch (const FileOpenError& e) {
      lastOpenError = openErrorBefore;
      // Report the file the user asked for, not the scratch name.
      throw FileOpenError(fileName, e.osMessage());
    }
    if (opened) {
      scratch.path = candidate;
      lastOpenError = openErrorBefore;
      return true;
    }
  }
  lastOpenError = openErrorBefore;
  return false;
}

// The identifier with the empty line, the header and one line per record, built in
// memory so that the file gets one write: a system call per line made a save several
// times slower than writing the same bytes. Each part keeps the end offset of its
// bytes, so that the firmware's log steps can follow the write afterwards.
struct TableBytes {
  std::string bytes;
  std::size_t idEnd = 0;
  std::size_t headerEnd = 0;
  std::vector<std::size_t> lineEnds;
};

TableBytes tableBytes(const SListCables& table) {
  TableBytes t;
  const std::size_t count = static_cast<std::size_t>(table.getCount());
  t.bytes.reserve(256 + count * 64);
  char buf[128];
  int n = std::snprintf(buf, 128, "%s\r\n\r\n", currentTableFormat().identifier);
  t.bytes.append(buf, static_cast<std::size_t>(n));
  t.idEnd = t.bytes.size();
  n = std::snprintf(buf, 128, "%s\r\n", currentTableFormat().header);
  t.bytes.append(buf, static_cast<std::size_t>(n));
  t.headerEnd = t.bytes.size();
  t.lineEnds.reserve(count);
  SCable rec;
  for (int i = -1; table.next(i);) {
    table.get(rec, i);
    constexpr int kLineRoom = 127;
    n = rec.snprint(buf, kLineRoom);
    // CR LF as far as the line's room allows, as the firmware writes it.
    const int room = kLineRoom - n;
    if (room > 1) {
      buf[n++] = '\r';
      if (room > 2) buf[n++] = '\n';
    }
    t.bytes.append(buf, static_cast<std::size_t>(n));
    t.lineEnds.push_back(t.bytes.size());
  }
  return t;
}

// Line [begin, end) of bytes as the log shows it: without its CR LF (a record's text
// holds neither), in text.
const char* lineText(const std::string& bytes, std::size_t begin, std::size_t end,
                     char (&text)[128]) {
  while (end > begin && (bytes[end - 1] == '\r' || bytes[end - 1] == '\n')) --end;
  const std::size_t n = std::min<std::size_t>(end - begin, sizeof text - 1);
  bytes.copy(text, n, begin);
  text[n] = '\0';
  return text;
}

// The bytes of the part [begin, end) that reached the file when `total` bytes did.
int partWritten(std::size_t begin, std::size_t end, std::size_t total) {
  if (total <= begin) return 0;
  return static_cast<int>((total < end ? total : end) - begin);
}

// The table written with one call, with the firmware's log steps in their order as
// if each part had been written on its own: a part not written whole ends the steps
// there. Returns 0 or the failure's status bits.
std::uint32_t writeTable(cFile& file, const SListCables& table, cLog& log) {
  const TableBytes t = tableBytes(table);
  bool ok = false;
  const char* step = nullptr;
  int n = 0;
  int written = 0;

  log.message("\t1");
  ok = file.seek(0);
  step = "lseek";
  log.message("\t2");
  if (ok) {
    int total = 0;
    const bool placed = file.write(t.bytes.data(), static_cast<int>(t.bytes.size()), &total);
    const std::size_t reached = static_cast<std::size_t>(total);
    n = static_cast<int>(t.idEnd);
    written = partWritten(0, t.idEnd, reached);
    ok = placed;
    step = "write file ID";
    log.message("\t3");
    bool headerWritten = false;
    if (ok) {
      log.message("\t4");
      if (n == written) {
        log.message("\t5");
        n = static_cast<int>(t.headerEnd - t.idEnd);
        written = partWritten(t.idEnd, t.headerEnd, reached);
        step = "write caption";
        headerWritten = true;
      }
    }
    if (headerWritten && ok) {
      log.message("\t6");
      if (n == written) {
        log.message("\t7");
        step = nullptr;
        std::size_t begin = t.headerEnd;
        char text[128];
        for (std::size_t i = 0; i < t.lineEnds.size(); ++i) {
          log.message("\t7: ");
          log.dump(lineText(t.bytes, begin, t.lineEnds[i], text));
          log.message("\t8");
          step = "Cable write";
          n = static_cast<int>(t.lineEnds[i] - begin);
          written = partWritten(begin, t.lineEnds[i], reached);
          begin = t.lineEnds[i];
          if (n != written) break;
          log.message("\t9");
          log.message("\t10");
        }
        ok = file.truncate();
        if (ok) log.message("\t11");
      }
    }
  }

  std::uint32_t result = 0;
  if (!ok) {
    if (step) log.message(step);
    result |= fail(log, LSF_ERROR);
  }
  if (n != written) {
    log.message("\tn != num");
    if (step) log.message(step);
    result |= fail(log, LSF_DISK_IS_FULL);
    if (file.seek(file.tell())) file.truncate();
  }
  return result;
}

// Moves the finished scratch file over the target.
std::uint32_t replaceTarget(ScratchFile& scratch, const SaveTarget& target, cLog& log) {
  if (target.exists) copyOwnerAndPermissions(scratch.path, target);
  if (!replaceFile(scratch.path, target.path)) {
    log.message("rename");
    return fail(log, LSF_ERROR);
  }
  scratch.keep = true;
  return 0;
}

bool noSpaceLeft() {
#ifdef EDQUOT
  if (errno == EDQUOT) return true;
#endif
  return errno == ENOSPC;  // Windows' C runtime has no quota error
}

// The table through a scratch file beside the target. noRoom tells that the scratch
// file could not be made or written for lack of room (or of any free name), which
// the caller may answer by rewriting the target in place.
std::uint32_t saveThroughScratch(const SListCables& table, const SaveTarget& target,
                                 const char* fileName, cLog& log, bool& noRoom) {
  // Declared first so that it goes last: the file is closed before its removal.
  ScratchFile scratch;
  cFile file;
  try {
    if (!openScratch(file, target, fileName, scratch)) {
      noRoom = true;
      return fail(log, LSF_CAN_NOT_OPEN);
    }
  } catch (const FileOpenError&) {
    // A folder the user may not write, or a full directory table on FAT, still
    // leaves the existing file itself to write.
    if (!target.exists) throw;
    noRoom = true;
    return fail(log, LSF_CAN_NOT_OPEN);
  }

  std::uint32_t result = writeTable(file, table, log);
  if (result & LSF_DISK_IS_FULL) noRoom = true;
  if (!file.close()) {
    if (noSpaceLeft()) noRoom = true;
    result |= fail(log, LSF_UNKNOWN);
  }
  if (result == 0) result = replaceTarget(scratch, target, log);
  return result;
}

// The whole file into bytes; false when it cannot be read to its end.
bool readWhole(const std::string& path, std::string& bytes) {
  cFile file;
  if (!file.open(path.c_str(), FO_READ)) return false;
  char buf[4096];
  for (;;) {
    int got = 0;
    if (!file.read(buf, sizeof buf, &got)) return false;
    if (got == 0) break;
    bytes.append(buf, static_cast<std::size_t>(got));
  }
  return file.close();
}

bool writeBack(const std::string& path, const std::string& bytes) {
  cFile file;
  if (!file.open(path.c_str(), FO_WRITE) || !file.seek(0)) return false;
  int written = 0;
  const bool ok = file.write(bytes.data(), static_cast<int>(bytes.size()), &written) &&
                  written == static_cast<int>(bytes.size()) && file.truncate();
  return file.close() && ok;
}

// The table written over the target itself, for when no scratch file fits beside it.
// The old bytes are held in memory and written back when the new ones fail, so that
// the old table is lost only when the medium fails both writes.
std::uint32_t rewriteInPlace(const SListCables& table, const SaveTarget& target, cLog& log) {
  log.message("in place");
  std::string old;
  if (!readWhole(target.path, old)) return fail(log, LSF_ERROR);
  std::uint32_t result = 0;
  {
    cFile file;
    if (!file.open(target.path.c_str(), FO_WRITE)) return fail(log, LSF_CAN_NOT_OPEN);
    result = writeTable(file, table, log);
    if (!file.close()) result |= fail(log, LSF_UNKNOWN);
  }
  if (result != 0 && !writeBack(target.path, old)) log.message("old table not written back");
  return result;
}

}  // namespace

std::uint32_t SListCables::saveToFile(const char* fileName) {
  cLog& log = processLog();
  log.message("STF:");
  const SaveTarget target = resolveSaveTarget(fileName);
  removeStaleScratchFiles(target.folder);

  const std::uint32_t statusBefore = lastSaveStatus;
  std::uint32_t result = 0;
  // Renaming a scratch file over a file with other names would part it from them.
  bool inPlace = target.exists && target.otherLinks;
  if (!inPlace) {
    bool noRoom = false;
    result = saveThroughScratch(*this, target, fileName, log, noRoom);
    inPlace = result != 0 && noRoom && target.exists;
  }
  if (inPlace) {
    result = rewriteInPlace(*this, target, log);
    // The failed first way is no failure of this save.
    if (result == 0) lastSaveStatus = statusBefore;
  }

  // Only a table that really is on disk counts as saved.
  if (result == 0) clearModified();
  return result;
}
