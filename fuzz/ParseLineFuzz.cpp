// parseLine of every version on arbitrary text. Input: one byte that picks the
// version (its value modulo 6, so the digits '1' ... '4' are the versions and
// 0 and 5 are unknown ones), then the line.

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzChecks.h"
#include "model/LoadStatus.h"
#include "model/MaterialInfo.h"
#include "model/SCable.h"
#include "model/TableFile.h"

using namespace tolmira;

namespace {

// A parsed record must be in the reset state apart from its fields.
void checkRecord(const SCable& rec) {
  requireRecordShape(rec);
  require(rec.sIsStored == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const int version = data[0] % 6;
  // Text as the line reader hands it over: up to the first NUL.
  const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
  const char* text = line.c_str();
  const std::size_t length = std::strlen(text);

  SCable rec;
  std::memset(static_cast<void*>(&rec), 0xA5,
              sizeof rec);  // parseLine must reset whatever was there
  const std::uint32_t status = parseLine(rec, text, version);

  if (version < 1 || version > 4) {
    require(status == LSF_ERROR_ID);
    return 0;
  }
  checkRecord(rec);
  if (length < 256) require((status & LSF_POSITION_MASK) <= length);
  if (version < 4) {
    require((status & ~LSF_POSITION_MASK) == 0);  // the old versions report positions only
    return 0;
  }
  if (hasErrorBit(status)) return 0;
  // A kept V04 record is written back as the writer does; that line must read
  // back whole, without error, and be written again unchanged.
  char written[128];
  const int n = rec.snprint(written, 127);
  require(n >= 0 && n < 127 && written[n] == '\0');
  SCable again;
  const std::uint32_t reread = parseLine(again, written, 4);
  require(!hasErrorBit(reread));
  require((reread & LSF_POSITION_MASK) == (static_cast<std::uint32_t>(n) & LSF_POSITION_MASK));
  char rewritten[128];
  again.snprint(rewritten, 127);
  require(std::strcmp(written, rewritten) == 0);
  return 0;
}
