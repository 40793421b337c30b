// A whole-file load: the input is written to a scratch file and read back with
// loadFromFile, with a callback, into a table that held a record before.

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <sys/stat.h>
#include <unistd.h>

#include "FuzzChecks.h"
#include "model/LoadStatus.h"
#include "model/SCable.h"
#include "model/SListCables.h"
#include "model/TableFile.h"

using namespace tolmira;

namespace {

// One scratch file per process, removed at exit. Rewriting a file on a disk file
// system may flush it each time, so memory-backed /dev/shm is preferred.
std::string scratchFolder() {
  if (const char* dir = std::getenv("TMPDIR"); dir && *dir) return dir;
  struct stat st;
  if (::stat("/dev/shm", &st) == 0 && S_ISDIR(st.st_mode) && ::access("/dev/shm", W_OK) == 0)
    return "/dev/shm";
  return "/tmp";
}

// Kept in a plain array: the exit handler runs after static strings are gone.
char scratch[4096];

const char* scratchPath() {
  if (scratch[0] == '\0') {
    const std::string pattern = scratchFolder() + "/tolmira-fuzz-XXXXXX";
    require(pattern.size() < sizeof scratch);
    std::memcpy(scratch, pattern.c_str(), pattern.size() + 1);
    const int fd = ::mkstemp(scratch);
    require(fd >= 0);
    ::close(fd);
    std::atexit([] { std::remove(scratch); });
  }
  return scratch;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const char* path = scratchPath();
  std::FILE* f = std::fopen(path, "wb");
  require(f != nullptr);
  require(std::fwrite(data, 1, size, f) == size);
  require(std::fclose(f) == 0);

  SListCables table;
  SCable old;
  std::strcpy(old.name, "old");
  table.add(old);

  int calls = 0;
  int lastLine = 3;
  const LoadResult r =
      loadFromFile(table, path, [&](const char* text, std::uint32_t status, int line) {
        require(text != nullptr && std::strlen(text) <= 127);
        require((status & ~LSF_POSITION_MASK) != 0);
        require(line > lastLine);  // record lines only, in file order
        lastLine = line;
        ++calls;
        return true;
      });

  require(!table.isModified());
  require(r.addedRecords == table.getCount());
  require(r.addedRecords <= r.loadedLines && r.warningLines <= r.loadedLines);
  require(r.addedRecords <= SListCablesBase::kMaxCount);
  require(r.errorLines >= 0);
  // Every rejected line and every line with a warning is reported once.
  require(calls == r.errorLines + r.warningLines);
  require(r.status == 0 || (r.status & ~LSF_POSITION_MASK) != 0);
  // A file that is not a table adds nothing.
  if (r.status & (LSF_ERROR_ID | LSF_ERROR_VERSION | LSF_CAN_NOT_OPEN))
    require(table.getCount() == 0);
  for (int i = 0; i < table.getCount(); ++i)
    require(std::memchr(table.at(i).name, 0, sizeof old.name) != nullptr);
  return 0;
}
