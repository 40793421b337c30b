#include "model/SCable.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>

#include "model/MaterialInfo.h"
#include "numeric/CFormat.h"

using namespace tolmira;

namespace {
char* put(char* out, const char* text) {
  const std::size_t n = std::strlen(text);
  std::memcpy(out, text, n);
  return out + n;
}

constexpr float kSpeedOfLight = 300.0f;  // m/µs, as the instrument uses it
constexpr float kDefaultKU = 1.5f;
constexpr double kPi = 3.14159265358979323846;

// The reader turns a number beyond the float range into infinity; "%g" would write
// that as "inf", which no reader takes back, and the record would be lost at the next
// load. A number just beyond the range reads back as the same infinity.
char* fileNumberG(char* out, double v, int precision) {
  if (std::isinf(v)) return put(out, v > 0 ? "1e+39" : "-1e+39");
  return tolmira::formatGTo(out, v, precision);
}
}  // namespace

SCable::SCable() { reset(); }

void SCable::reset() {
  std::memset(static_cast<void*>(this), 0, sizeof *this);
  material.reset(0);
}

float SCable::getKU() const { return ku; }

void SCable::setKU(float value) { ku = value; }

float SCable::getV() const { return ku == 0.0f ? 0.0f : kSpeedOfLight / ku; }

void SCable::setV(float v) {
  if (v == 0.0f) return;  // would leave an infinite KU behind
  ku = kSpeedOfLight / v;
}

void SCable::setDefaultKU() { ku = kDefaultKU; }

bool SCable::isDefaultKU() const { return ku == kDefaultKU; }

bool SCable::isKUValid() const { return ku >= 1.0f && ku <= 7.0f; }

bool SCable::hasResistance() const { return rOrS != 0.0f; }

float SCable::getR() const {
  if (sIsStored == 0) return rOrS;
  if (rOrS == 0.0f) return 0.0f;
  return static_cast<float>(static_cast<double>(getRu()) * getTwist() / rOrS);
}

float SCable::getS() const {
  if (sIsStored != 0) return rOrS;
  if (rOrS == 0.0f) return 0.0f;
  return static_cast<float>(static_cast<double>(getRu()) * getTwist() / rOrS);
}

float SCable::getD() const {
  const double s = getS();
  return static_cast<float>(2.0 * std::sqrt(s / kPi));
}

void SCable::setR(float r) {
  rOrS = r;
  sIsStored = 0;
}

void SCable::setS(float s) {
  rOrS = s;
  sIsStored = 1;
}

float SCable::getRu() const { return material.getRu(); }

float SCable::getTC() const { return material.getTC(); }

double SCable::getTwist() const { return (twistCode + 100000) * 0.00001; }

void SCable::setTwist(float tf) {
  const double code = (static_cast<double>(tf) - 1.0) * 100000.0 + 0.5;
  if (!(code > 0.0)) {  // NaN included
    twistCode = 0;
  } else if (code >= 65535.0) {
    twistCode = 65535;
  } else {
    twistCode = static_cast<std::uint16_t>(code);
  }
}

void SCable::setDefaultResistance() {
  setR(materialInfo(0).ru * 1.0f);
  setTwist(1.0f);
  material.reset(0);
}

bool SCable::isDefaultResistance() const {
  return getR() == materialInfo(0).ru * 1.0f && sIsStored == 0 && twistCode == 0 &&
         material.index == 0 && !material.hasRuOverride() && !material.hasTCOverride();
}

bool SCable::isResistanceValid() const { return hasResistance() && material.isValid(); }

std::uint8_t SCable::suitableMethods() const {
  std::uint8_t methods = 0;
  if (isResistanceValid()) methods |= 2;
  if (isKUValid()) methods |= 1;
  return methods;
}

bool SCable::equals(const SCable& other) const {
  return std::strncmp(name, other.name, sizeof name) == 0 && rOrS == other.rOrS &&
         sIsStored == other.sIsStored && twistCode == other.twistCode && ku == other.ku &&
         material.equals(other.material);
}

int SCable::snprint(char* buf, int size) const {
  if (buf == nullptr || size <= 0) return 0;
  // The whole line, then as much of it as fits in buf. Five numbers of at most
  // kFormatRoom characters, the name and the material's name.
  char line[6 * tolmira::kFormatRoom];
  char* p = line;
  const std::size_t nameLength = strnlen(name, sizeof name);
  std::memcpy(p, name, nameLength);
  p += nameLength;
  *p++ = '\t';
  p = fileNumberG(p, ku, 4);
  if (hasResistance()) {
    *p++ = '\t';
    p = put(p, materialInfo(material.index).name);
    if (material.hasRuOverride() || material.hasTCOverride()) {
      p = put(p, "*(");
      if (material.hasRuOverride())
        p = fileNumberG(p, static_cast<double>(material.ruOverride) * 1000.0, 5);
      if (material.hasTCOverride()) {
        *p++ = '\t';
        p = fileNumberG(p, material.tcOverride, 5);
      }
      *p++ = ')';
    }
    *p++ = '\t';
    p = fileNumberG(p, static_cast<double>(getR()) * 1000.0, 5);
    *p++ = '\t';
    p = tolmira::formatFTo(p, getTwist(), 4);
  }
  const int len = std::min(static_cast<int>(p - line), size - 1);
  std::memcpy(buf, line, static_cast<std::size_t>(len));
  buf[len] = '\0';
  return len;
}

void SCable::toText(char out[kTextSize]) const {
  char text[kTextSize];
  snprint(text, kTextSize - 1);
  text[kTextSize - 1] = '\0';
  std::strncpy(out, text, kTextSize - 1);
  out[kTextSize - 1] = '\0';
}

bool SCable::isValidNameChar(char c) {
  const unsigned char b = static_cast<unsigned char>(c);
  if ((b >= 'A' && b <= 'Z') || (b >= 'a' && b <= 'z') || (b >= '0' && b <= '9')) return true;
  if (b >= 0xC0) return true;  // А … я
  switch (b) {
    case 0xA8:  // Ё
    case 0xB8:  // ё
    case 0xB0:  // °
    case 0xB1:  // ±
    case ' ':
    case '%':
    case '(':
    case ')':
    case '*':
    case '+':
    case ',':
    case '-':
    case '.':
    case '/':
    case ':':
    case ';':
    case '<':
    case '=':
    case '>':
    case '[':
    case '\\':
    case ']':
    case '_':
      return true;
    default:
      return false;
  }
}

bool SCable::checkName(const char* text, bool* badChar, bool* tooLong) {
  if (badChar) *badChar = false;
  if (tooLong) *tooLong = false;
  if (text == nullptr) return true;  // no name is the empty name
  for (int i = 0; i < kNameSize; ++i) {
    if (text[i] == '\0') return true;
    if (!isValidNameChar(text[i])) {
      if (badChar) *badChar = true;
      return false;
    }
  }
  if (tooLong) *tooLong = true;
  return false;
}

bool SCable::sanitizeName(char dst[kNameSize], const char* src) {
  std::memset(dst, 0, kNameSize);
  if (src == nullptr || src[0] == '\0') {
    dst[0] = '_';
    return false;
  }
  bool ok = true;
  int i = 0;
  for (; i < kMaxNameLength && src[i] != '\0'; ++i) {
    if (isValidNameChar(src[i])) {
      dst[i] = src[i];
    } else {
      dst[i] = '_';
      ok = false;
    }
  }
  if (src[i] != '\0') ok = false;  // cut
  return ok;
}
