#pragma once

#include <cstdint>
#include <functional>

#include "model/SCable.h"
#include "model/SListCables.h"

// One version of the table file format.
struct TableFormat {
  const char* identifier;  // line 1
  const char* header;      // line 3, byte for byte
  int version;
};

constexpr int kTableFormatCount = 4;
// In the order the reader tries them; the last one (V04) is the one written.
extern const TableFormat tableFormats[kTableFormatCount];
namespace tolmira {

const TableFormat& currentTableFormat();

}  // namespace tolmira

// Outcome of a load.
struct LoadResult {
  std::uint32_t status = 0;       // file-level bits | all line bits, low byte: last position
  std::int16_t errorLines = 0;    // record lines rejected for an error bit
  std::int16_t loadedLines = 0;   // record lines without error bit
  std::int16_t warningLines = 0;  // of those, lines with a warning bit
  std::int16_t addedRecords = 0;  // of those, records the table accepted
  // The first two without the 16-bit cap, for what a person reads.
  std::int64_t errorLineCount = 0;
  std::int64_t loadedLineCount = 0;
};

// Told about every record line that has a warning or an error: its text (at most
// 127 characters), its status and its line number (the identifier is line 1).
// Returning false stops further calls for this load.
using LoadLineCallback = std::function<bool(const char* text, std::uint32_t status, int line)>;

namespace tolmira {

// The entry whose identifier starts the line, followed by the terminator or a
// period; nullptr when none.
const TableFormat* identifyFormat(const char* line);

// Copies the text at *p up to the first tab or terminator into dst (at most
// size - 1 characters, always terminated) and moves *p to that tab or terminator.
// False when the text was cut.
bool readToken(char* dst, int size, const char** p);

// Resets rec and fills it from one record line of the given version (1 ... 4).
// Returns the line's status: flag bits, and in the low byte how many characters
// were consumed when the parse stopped. Versions 1-3 report no flag bits; an
// unknown version is rejected with LSF_ERROR_ID.
std::uint32_t parseLine(SCable& rec, const char* line, int version);

// Replaces the content of table by the records of the file. OS failures to open
// the file (other than a missing file) throw FileOpenError.
LoadResult loadFromFile(SListCables& table, const char* fileName,
                        LoadLineCallback callback = LoadLineCallback());

}  // namespace tolmira
