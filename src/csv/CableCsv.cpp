#include "csv/CableCsv.h"

#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <limits>
#include <system_error>

#include "csv/CsvText.h"
#include "fields/CrossSection.h"
#include "fields/EditorFields.h"
#include "fields/FieldLimits.h"
#include "model/Cp1251.h"
#include "model/MaterialInfo.h"
#include "model/RecordText.h"
#include "model/SListCables.h"
#include "numeric/CFormat.h"

using namespace tolmira;

namespace {

constexpr const char* kBom = "\xEF\xBB\xBF";
constexpr float kFloatMax = std::numeric_limits<float>::max();
constexpr float kInfinity = std::numeric_limits<float>::infinity();
// The own temperature coefficient the instrument accepts.
constexpr double kTcMin = 0.003, kTcMax = 0.006;

const char* const kTitles[kCsvColumnCount] = {
    "Название",
    "КУ",
    "V (м/мкс)",
    "VOP",
    "Материал",
    "Уд. сопротивление (Ом·мм²/км)",
    "Температурный коэф. (1/°C)",
    "R (Ом/км)",
    "S (мм²)",
    "Хранится",
    "Коэффициент укрутки",
};

// Zero with its sign bit clear: the "not set" of KU and of R or S. A negative
// zero is a value of its own and is written out, so the bytes come back.
bool isPlainZero(float v) { return v == 0.0f && !std::signbit(v); }

bool sameFloat(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

// A double as float; beyond the float range the infinity of its sign (a cast
// of such a double is undefined).
float narrow(double d) {
  if (std::isnan(d)) return std::numeric_limits<float>::quiet_NaN();
  if (d > kFloatMax) return kInfinity;
  if (d < -kFloatMax) return -kInfinity;
  return static_cast<float>(d);
}

std::string nonFiniteText(double v) {
  if (std::isnan(v)) return "nan";
  return v > 0 ? "inf" : "-inf";
}

std::string shortestFloat(float v) {
  if (!std::isfinite(v)) return nonFiniteText(v);
  char buf[64];
  const auto r = std::to_chars(buf, buf + sizeof buf, v);
  return std::string(buf, r.ptr);
}

int significantDigits(const std::string& text) {
  int digits = 0;
  bool leading = true;
  for (const char c : text) {
    if (c == 'e') break;
    if (c < '0' || c > '9') continue;
    if (c != '0') leading = false;
    if (!leading) ++digits;
  }
  return digits;
}

// A number text beyond the double range: the infinity of its sign when it is
// large, a zero when it is tiny, told by the power of ten of its leading digit.
double outOfDoubleRange(const std::string& text) {
  const bool negative = !text.empty() && text[0] == '-';
  const std::size_t e = text.find('e');
  const std::string mantissa = text.substr(0, e);
  long long exponent = 0;
  if (e != std::string::npos) {
    // Saturated: a number of hundreds of digits is no exponent anyone typed.
    const bool minus = e + 1 < text.size() && text[e + 1] == '-';
    for (std::size_t i = e + 1; i < text.size(); ++i)
      if (text[i] >= '0' && text[i] <= '9' && exponent < 100000000)
        exponent = exponent * 10 + (text[i] - '0');
    if (minus) exponent = -exponent;
  }
  const std::size_t firstDigit = mantissa.find_first_of("123456789");
  if (firstDigit == std::string::npos) return negative ? -0.0 : 0.0;
  const long long first = static_cast<long long>(firstDigit);
  const std::size_t point = mantissa.find('.');
  const long long pointAt =
      static_cast<long long>(point == std::string::npos ? mantissa.size() : point);
  const long long lead = pointAt - first - (first < pointAt ? 1 : 0) + exponent;
  const double magnitude = lead >= 0 ? std::numeric_limits<double>::infinity() : 0.0;
  return negative ? -magnitude : magnitude;
}

template <typename T>
T readNumber(const std::string& text);

template <>
double readNumber<double>(const std::string& text) {
  double v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec == std::errc::result_out_of_range) return outOfDoubleRange(text);
  return v;
}

// Beyond the float range (or in its subnormal part, where the library may refuse)
// through double, which holds the whole float range.
template <>
float readNumber<float>(const std::string& text) {
  float v = 0;
  const auto r = std::from_chars(text.data(), text.data() + text.size(), v);
  if (r.ec == std::errc::result_out_of_range) return narrow(readNumber<double>(text));
  return v;
}

// A per-km number text (in from_chars form) as the per-metre float of a record.
// Up to 9 significant digits, as the table file and the editor read it: the
// float of the text, times 0.001. A float has at most 9 significant digits; a
// longer text is read exactly, the decimal divided by 1000 and rounded once, so
// that every float can be written.
float perMetreOf(const std::string& text) {
  if (significantDigits(text) <= 9)
    return narrow(static_cast<double>(readNumber<float>(text)) * 0.001);
  return narrow(readNumber<double>(text) / 1000.0);
}

// The shortest per-km text of a per-metre float that perMetreOf reads back as
// that float: plain decimals where they do, else 17 digits of the exact product
// (exact in double).
std::string shortestPerKm(float perMetre) {
  if (!std::isfinite(perMetre)) return nonFiniteText(perMetre);
  const double perKm = static_cast<double>(perMetre) * 1000.0;
  char buf[400];
  const auto fits = [&](const char* end) {
    const std::string text(static_cast<const char*>(buf), end);
    return significantDigits(text) <= 9 && sameFloat(perMetreOf(text), perMetre);
  };
  const double magnitude = std::fabs(perKm);
  if (magnitude >= 1e-3 && magnitude < 1e9) {
    for (int decimals = 0; decimals <= 12; ++decimals) {
      const auto r =
          std::to_chars(buf, buf + sizeof buf, perKm, std::chars_format::fixed, decimals);
      if (fits(r.ptr)) return std::string(buf, r.ptr);
    }
  } else {
    for (int digits = 1; digits <= 9; ++digits) {
      const auto r =
          std::to_chars(buf, buf + sizeof buf, perKm, std::chars_format::general, digits);
      if (fits(r.ptr)) return std::string(buf, r.ptr);
    }
  }
  // Trailing zeros kept: the digit count tells the reader to read it exactly.
  const auto r = std::to_chars(buf, buf + sizeof buf, perKm, std::chars_format::scientific, 16);
  return std::string(buf, r.ptr);
}

std::uint16_t twistCodeOf(float tf) {
  SCable scratch;
  scratch.setTwist(tf);
  return scratch.twistCode;
}

// The fewest decimals of the twisting factor that give back its code.
std::string shortestTwist(const SCable& rec) {
  for (int decimals = 0; decimals < 5; ++decimals) {
    const std::string text = formatF(rec.getTwist(), decimals);
    float back = 0;
    std::from_chars(text.data(), text.data() + text.size(), back);
    if (twistCodeOf(back) == rec.twistCode) return text;
  }
  return formatF(rec.getTwist(), 5);
}

std::string fieldText(const SCable& rec, EditorField f) {
  EditorFields fields;
  fields.work() = rec;
  return fields.FieldText(f);
}

// Text of a derived column, as the editor shows it; empty where the record
// has no value for it.
std::string derivedText(const SCable& rec, int column) {
  switch (column) {
    case kCsvV:
      return rec.ku == 0.0f ? std::string() : fieldText(rec, EditorField::V);
    case kCsvVOP:
      return rec.ku == 0.0f ? std::string() : fieldText(rec, EditorField::VOP);
    case kCsvR:
      return rec.rOrS == 0.0f ? std::string() : fieldText(rec, EditorField::Rr_20degreeC_);
    case kCsvS:
      return rec.rOrS == 0.0f ? std::string() : fieldText(rec, EditorField::S);
    default:
      return std::string();
  }
}

std::string recordCell(const SCable& rec, int column) {
  const SMaterial& m = rec.material;
  switch (column) {
    case kCsvName:
      return recordName(rec);
    case kCsvKU:
      return isPlainZero(rec.ku) ? std::string() : shortestFloat(rec.ku);
    case kCsvMaterial:
      return materialInfo(m.index).name;
    case kCsvOwnRu:
      return isPlainZero(m.ruOverride) ? std::string() : shortestPerKm(m.ruOverride);
    case kCsvOwnTC:
      return m.hasTCOverride() ? shortestFloat(m.tcOverride) : std::string();
    case kCsvR:
      if (rec.sIsStored) return derivedText(rec, column);
      return isPlainZero(rec.rOrS) ? std::string() : shortestPerKm(rec.rOrS);
    case kCsvS:
      if (!rec.sIsStored) return derivedText(rec, column);
      return isPlainZero(rec.rOrS) ? std::string() : shortestFloat(rec.rOrS);
    case kCsvStored:
      return rec.sIsStored ? "S" : "R";
    case kCsvTwist:
      return shortestTwist(rec);
    default:
      return derivedText(rec, column);
  }
}

bool isNumberColumn(int column) {
  return column != kCsvName && column != kCsvMaterial && column != kCsvStored;
}

// ---------------------------------------------------------------------------
// Reading

enum class Cell { Empty, Bad, Number };

// A number cell in the form from_chars reads: blanks around it dropped, '.' or
// ',' as the decimal mark, a leading '+' dropped; "inf" for an infinite value.
Cell numberText(std::string_view cell, std::string* out) {
  while (!cell.empty() && (cell.front() == ' ' || cell.front() == '\t')) cell.remove_prefix(1);
  while (!cell.empty() && (cell.back() == ' ' || cell.back() == '\t')) cell.remove_suffix(1);
  out->clear();
  if (cell.empty()) return Cell::Empty;
  std::size_t i = 0;
  if (cell[0] == '+' || cell[0] == '-') {
    if (cell[0] == '-') *out += '-';
    ++i;
  }
  std::string rest(cell.substr(i));
  for (char& c : rest) c = static_cast<char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
  if (rest == "inf" || rest == "infinity") {
    *out += "inf";
    return Cell::Number;
  }
  int digits = 0;
  const auto isDigit = [&] { return i < cell.size() && cell[i] >= '0' && cell[i] <= '9'; };
  for (; isDigit(); ++i, ++digits) *out += cell[i];
  if (i < cell.size() && (cell[i] == '.' || cell[i] == ',')) {
    *out += '.';
    ++i;
    for (; isDigit(); ++i, ++digits) *out += cell[i];
  }
  if (digits == 0) return Cell::Bad;
  if (i < cell.size() && (cell[i] == 'e' || cell[i] == 'E')) {
    *out += 'e';
    ++i;
    if (i < cell.size() && (cell[i] == '+' || cell[i] == '-')) *out += cell[i++];
    int exponentDigits = 0;
    for (; isDigit(); ++i, ++exponentDigits) *out += cell[i];
    if (exponentDigits == 0) return Cell::Bad;
  }
  return i == cell.size() ? Cell::Number : Cell::Bad;
}

// Cut and made safe to show: control characters and bytes that are no UTF-8
// appear as \xNN.
std::string shown(std::string_view cell) {
  std::string out;
  std::size_t i = 0;
  int characters = 0;
  while (i < cell.size()) {
    if (++characters > 32) {
      out += "…";
      break;
    }
    const unsigned char b = static_cast<unsigned char>(cell[i]);
    std::size_t len = b < 0x80                 ? 1
                      : b >= 0xC2 && b <= 0xDF ? 2
                      : b >= 0xE0 && b <= 0xEF ? 3
                      : b >= 0xF0 && b <= 0xF4 ? 4
                                               : 0;
    for (std::size_t k = 1; k < len; ++k) {
      if (i + k >= cell.size() || (static_cast<unsigned char>(cell[i + k]) & 0xC0) != 0x80) len = 0;
    }
    if (len == 1 && (b < 0x20 || b == 0x7F)) len = 0;
    if (len == 0) {
      char esc[8];
      std::snprintf(esc, sizeof esc, "\\x%02X", b);
      out += esc;
      ++i;
    } else {
      out.append(cell.substr(i, len));
      i += len;
    }
  }
  return out;
}

std::string quoted(std::string_view cell) { return "«" + shown(cell) + "»"; }

class RowReader {
 public:
  RowReader(const std::vector<std::string>& fields, int row, CsvImport& result)
      : fields_(fields), row_(row), result_(result) {}

  // Builds the record; false when the row is rejected.
  bool read(SCable& rec);

 private:
  void problem(int column, const std::string& what) {
    std::string line = "Строка " + std::to_string(row_);
    if (column >= 0)
      line += ", столбец " + std::to_string(column + 1) + " (" + kTitles[column] + ")";
    result_.problems.push_back(line + ": " + what);
  }
  void reject(int column, const std::string& what) {
    problem(column, what);
    rejected_ = true;
  }
  void warn(int column, const std::string& what) {
    problem(column, what);
    warned_ = true;
  }

  // The number text of a stored column; false for an empty cell and for a bad
  // one, which rejects the row.
  bool numberCell(int column, std::string* text) {
    switch (numberText(fields_[column], text)) {
      case Cell::Empty:
        return false;
      case Cell::Bad:
        reject(column, "не число: " + quoted(fields_[column]));
        return false;
      case Cell::Number:
        break;
    }
    return true;
  }
  template <typename T>
  T number(int column, T fallback) {
    std::string text;
    return numberCell(column, &text) ? nonzero(column, text, readNumber<T>(text)) : fallback;
  }
  float perKm(int column) {
    std::string text;
    return numberCell(column, &text) ? nonzero(column, text, perMetreOf(text)) : 0.0f;
  }
  // A number too small for a float is 0, which for KU and R or S means "no value":
  // never without saying so.
  template <typename T>
  T nonzero(int column, const std::string& text, T v) {
    if (v == 0 && text.substr(0, text.find('e')).find_first_of("123456789") != std::string::npos)
      warn(column, quoted(fields_[column]) + " меньше наименьшего числа, взято 0");
    return v;
  }

  void readName(SCable& rec);
  void checkDerived(const SCable& rec, int column, const char* from);
  void bringIntoRange(SCable& rec, float typedTwist);
  void clamped(int column, const std::string& was, const std::string& now) {
    warn(column, was + " вне пределов прибора, взято " + now);
  }

  const std::vector<std::string>& fields_;
  int row_;
  CsvImport& result_;
  bool rejected_ = false;
  bool warned_ = false;

 public:
  bool warned() const { return warned_; }
};

void RowReader::readName(SCable& rec) {
  const std::string& utf8 = fields_[kCsvName];
  // Character by character, to name the first one Windows-1251 has not.
  std::size_t i = 0;
  while (i < utf8.size()) {
    std::size_t len = 1;
    while (i + len < utf8.size() && (static_cast<unsigned char>(utf8[i + len]) & 0xC0) == 0x80)
      ++len;
    const std::string_view one(utf8.data() + i, len);
    if (cp1251ToUtf8(utf8ToCp1251(one)) != one) {
      reject(kCsvName, "символ " + quoted(one) + " не входит в Windows-1251");
      return;
    }
    i += len;
  }
  const std::string bytes = utf8ToCp1251(utf8);
  if (bytes.size() > static_cast<std::size_t>(SCable::kMaxNameLength)) {
    reject(kCsvName,
           "имя длиннее " + std::to_string(SCable::kMaxNameLength) + " символов: " + quoted(utf8));
    return;
  }
  for (const char c : bytes) {
    if (!SCable::isValidNameChar(c)) {
      reject(kCsvName,
             "символ " + quoted(cp1251ToUtf8(std::string(1, c))) + " недопустим в имени кабеля");
      return;
    }
  }
  std::memcpy(rec.name, bytes.data(), bytes.size());
}

// A derived column the spreadsheet's user changed: what it shows is not what the
// stored quantities give, and the stored ones are taken.
void RowReader::checkDerived(const SCable& rec, int column, const char* from) {
  const std::string expected = derivedText(rec, column);
  std::string text;
  const Cell kind = numberText(fields_[column], &text);
  if (kind == Cell::Empty && expected.empty()) return;
  if (kind == Cell::Number && !expected.empty()) {
    const double x = readNumber<double>(text);
    if (x != 0.0 && std::isfinite(x)) {
      // The cell's value shown as the editor shows it must give the same text.
      SCable asCell = rec;
      if (column == kCsvV) asCell.setV(narrow(x));
      if (column == kCsvVOP) asCell.setV(narrow(x * 300.0));
      if (column == kCsvR) asCell.setR(perMetreOf(text));
      if (column == kCsvS) asCell.setS(narrow(x));
      if (derivedText(asCell, column) == expected) return;
    }
  }
  warn(column, quoted(fields_[column]) + " не согласуется с " + from + " (" +
                   (expected.empty() ? std::string("пусто") : expected) + "), взято " + from);
}

void RowReader::bringIntoRange(SCable& rec, float typedTwist) {
  EditorFields fields;
  fields.work() = rec;
  SCable& w = fields.work();
  if (w.ku != 0.0f && !(w.ku >= KuMin && w.ku <= KuMax)) {
    const std::string was = shortestFloat(w.ku);
    fields.StepField(EditorField::KU, 0);
    clamped(kCsvKU, was, shortestFloat(w.ku));
  }
  if (w.material.hasRuOverride() &&
      !(w.material.ruOverride >= RuMin && w.material.ruOverride <= RuMax)) {
    const std::string was = shortestPerKm(w.material.ruOverride);
    fields.StepField(EditorField::Rud, 0);
    clamped(kCsvOwnRu, was, shortestPerKm(w.material.ruOverride));
  }
  if (w.material.hasTCOverride() &&
      !(w.material.tcOverride >= kTcMin && w.material.tcOverride <= kTcMax))
    warn(kCsvOwnTC, shortestFloat(w.material.tcOverride) +
                        " вне пределов прибора (0.003 … 0.006): для метода DC запись непригодна");
  if (!(typedTwist >= TwistMin && typedTwist <= TwistMax)) {
    fields.StepField(EditorField::K_TWISTING, 0);
    clamped(kCsvTwist, shortestFloat(typedTwist), shortestTwist(w));
  }
  if (w.rOrS != 0.0f) {
    if (w.sIsStored) {
      if (!(w.rOrS >= SectionMin && w.rOrS <= SectionMax)) {
        const std::string was = shortestFloat(w.rOrS);
        fields.StepField(EditorField::S, 0);
        clamped(kCsvS, was, shortestFloat(w.rOrS));
      }
    } else {
      const float rKm = narrow(static_cast<double>(w.rOrS) * 1000.0);
      if (!(rKm >= fields.rMinPerKm() && rKm <= fields.rMaxPerKm())) {
        const std::string was = shortestPerKm(w.rOrS);
        fields.StepField(EditorField::Rr_20degreeC_, 0);
        clamped(kCsvR, was, shortestPerKm(w.rOrS));
      }
    }
  }
  rec = w;
}

bool RowReader::read(SCable& rec) {
  rec.reset();
  readName(rec);

  rec.ku = number<float>(kCsvKU, 0.0f);

  const std::string& material = fields_[kCsvMaterial];
  const int index = material.empty() ? 0 : findMaterial(material.c_str());
  if (index < 0 || material.find('\0') != std::string::npos)
    reject(kCsvMaterial, "неизвестный материал " + quoted(material));
  else
    rec.material.reset(index);
  rec.material.ruOverride = perKm(kCsvOwnRu);
  rec.material.tcOverride = number<float>(kCsvOwnTC, kNoTCOverride);

  const std::string& stored = fields_[kCsvStored];
  if (stored == "S") {
    rec.sIsStored = 1;
    rec.rOrS = number<float>(kCsvS, 0.0f);
  } else if (stored == "R" || stored.empty()) {
    rec.sIsStored = 0;
    rec.rOrS = perKm(kCsvR);
  } else {
    reject(kCsvStored, "ожидается R или S: " + quoted(stored));
  }

  const float twist = number<float>(kCsvTwist, 1.0f);
  rec.setTwist(twist);
  if (rejected_) return false;

  checkDerived(rec, kCsvV, "КУ");
  checkDerived(rec, kCsvVOP, "КУ");
  checkDerived(rec, rec.sIsStored ? kCsvR : kCsvS, rec.sIsStored ? "S" : "R");
  bringIntoRange(rec, twist);
  return true;
}

bool allEmpty(const std::vector<std::string>& fields) {
  for (const std::string& f : fields)
    if (!f.empty()) return false;
  return true;
}

// The separator behind the first title of the header row, or 0.
char headerSeparator(std::string_view text) {
  const std::string_view first = kTitles[0];
  std::size_t at = 0;
  if (text.substr(0, first.size()) == first) {
    at = first.size();
  } else if (text.size() > first.size() + 1 && text[0] == '"' &&
             text.substr(1, first.size()) == first && text[first.size() + 1] == '"') {
    at = first.size() + 2;
  } else {
    return 0;
  }
  if (at >= text.size()) return 0;
  const char c = text[at];
  return c == ',' || c == ';' || c == '\t' ? c : 0;
}

}  // namespace

const char* tolmira::csvColumnTitle(int column) {
  return column >= 0 && column < kCsvColumnCount ? kTitles[column] : "";
}

std::string tolmira::exportCsv(const std::vector<SCable>& records, const CsvOptions& options) {
  const char sep = options.separator;
  std::string out = kBom;
  const auto endRow = [&out] {
    out.pop_back();  // the separator behind the last field
    out += "\r\n";
  };
  for (int c = 0; c < kCsvColumnCount; ++c) {
    appendCsvField(out, kTitles[c], sep);
    out += sep;
  }
  endRow();
  for (const SCable& rec : records) {
    for (int c = 0; c < kCsvColumnCount; ++c) {
      std::string cell = recordCell(rec, c);
      if (options.decimalComma && isNumberColumn(c))
        for (char& ch : cell)
          if (ch == '.') ch = ',';
      appendCsvField(out, cell, sep);
      out += sep;
    }
    endRow();
  }
  return out;
}

std::string tolmira::exportCsv(const SListCables& table, const CsvOptions& options) {
  std::vector<SCable> records;
  records.reserve(static_cast<std::size_t>(table.getCount()));
  for (int i = 0; i < table.getCount(); ++i) records.push_back(table.at(i));
  return exportCsv(records, options);
}

CsvImport tolmira::importCsv(std::string_view text) {
  CsvImport result;
  const std::string_view bom = kBom;
  if (text.substr(0, bom.size()) == bom) text.remove_prefix(bom.size());

  const char sep = headerSeparator(text);
  if (sep == 0) {
    result.error = std::string("первая строка не заголовок таблицы кабелей: ожидается ") + "«" +
                   kTitles[0] + "», затем запятая, точка с запятой или табуляция";
    return result;
  }
  const std::vector<CsvRecord> rows = splitCsv(text, sep);
  const std::vector<std::string>& header = rows.front().fields;
  for (int c = 0; c < kCsvColumnCount; ++c) {
    if (c >= static_cast<int>(header.size()) || header[c] != kTitles[c]) {
      result.error = "в заголовке столбец " + std::to_string(c + 1) + " должен быть «" +
                     kTitles[c] + "», а не " +
                     (c < static_cast<int>(header.size()) ? quoted(header[c]) : "пусто");
      return result;
    }
  }
  result.readable = true;
  result.separator = sep;

  for (std::size_t i = 1; i < rows.size(); ++i) {
    const CsvRecord& row = rows[i];
    const int rowNo = static_cast<int>(i) + 1;  // as the spreadsheet numbers it
    if (row.error.empty() && allEmpty(row.fields)) continue;
    const auto rejectRow = [&](const std::string& why) {
      result.problems.push_back("Строка " + std::to_string(rowNo) + ": " + why);
      ++result.rejectedRows;
    };
    if (!row.error.empty()) {
      rejectRow("ошибка CSV: " + row.error);
      continue;
    }
    bool extra = false;
    for (std::size_t c = kCsvColumnCount; c < row.fields.size(); ++c)
      extra |= !row.fields[c].empty();
    if (row.fields.size() < static_cast<std::size_t>(kCsvColumnCount) || extra) {
      rejectRow("столбцов " + std::to_string(row.fields.size()) + ", а должно быть " +
                std::to_string(kCsvColumnCount));
      continue;
    }
    if (result.records.size() >= static_cast<std::size_t>(SListCablesBase::kMaxCount)) {
      rejectRow("в таблице уже " + std::to_string(SListCablesBase::kMaxCount) + " записи");
      continue;
    }
    SCable rec;
    RowReader reader(row.fields, rowNo, result);
    if (!reader.read(rec)) {
      ++result.rejectedRows;
      continue;
    }
    if (reader.warned()) ++result.warningRows;
    result.records.push_back(rec);
  }
  return result;
}
