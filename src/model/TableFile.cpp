#include "model/TableFile.h"

#include <cerrno>
#include <chrono>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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
  // A tab must separate the fields; anything else ends the line with an error.
  const auto separator = [&] {
    if (*p != '\t') {
      flags |= LSF_NOT_TAB;
      return false;
    }
    ++p;
    return true;
  };
  float v = 0;

  if (!readToken(rec.name, SCable::kNameSize, &p)) flags |= LSF_CABLE_WARNING_NAME_IS_SO_BIGGER;
  if (!separator()) return result();

  if (!atFieldEnd(p)) {
    if (!scanAt(&p, &v)) {
      flags |= LSF_CABLE_Ku_ERROR;
      return result();
    }
    rec.setKU(v);
  }
  if (*p == '\0') return result();
  if (!separator()) return result();

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
  if (!separator()) return result();
  if (!atFieldEnd(p)) {
    if (!scanAt(&p, &v)) {
      flags |= LSF_CABLE_R_to_m_ERROR;
      return result();
    }
    rec.setR(perMetre(v));
  }

  if (*p == '\0') return result();
  if (!separator()) return result();
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
        ++result.errorLineCount;
      } else {
        countUp(result.loadedLines);
        ++result.loadedLineCount;
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
