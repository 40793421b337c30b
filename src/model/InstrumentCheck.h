#pragma once

#include <string>
#include <vector>

class SListCables;

namespace tolmira {

// The instrument uses at most this many records of a table.
inline constexpr int kInstrumentMaxRecords = 151;

// One thing the instrument will do with a table that the user may not expect.
struct InstrumentFinding {
  enum class Kind {
    TooManyRecords,  // records past kInstrumentMaxRecords are not loaded
    DuplicateNames,  // the instrument picks cables by name
    NoMethod,        // neither the TDR nor the DC method can use the record
    ValueOnLimit,    // a value on (or past) the end of its accepted range
  };
  Kind kind;
  bool losesData;            // records the instrument will not keep
  std::vector<int> records;  // 0-based positions concerned, ascending
  std::string text;          // Russian, UTF-8, for a message or a terminal
};

// What the instrument will do with table, in the order of Kind; empty when it
// takes the table as it is. Past the limit only the count matters: the other
// findings look at the records the instrument loads.
std::vector<InstrumentFinding> checkForInstrument(const SListCables& table);

bool anyLosesData(const std::vector<InstrumentFinding>& findings);

}  // namespace tolmira
