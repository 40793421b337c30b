#include "settings/CProgramInfo.h"

#include <cstdio>
#include <cstring>

#include "tolmira/Version.h"

CProgramInfo::CProgramInfo() {
  major_ = TOLMIRA_VERSION_MAJOR;
  minor_ = TOLMIRA_VERSION_MINOR;
  release_ = TOLMIRA_VERSION_PATCH;
  build_ = TOLMIRA_VERSION_TWEAK;
  version_ = QString::asprintf("%d.%d.%d.%d", major_, minor_, release_, build_);
  buildDate_ = parseBuildDate(__DATE__);
}

QDate CProgramInfo::parseBuildDate(const char* compilerDate) {
  if (!compilerDate) return QDate();
  char month[4] = {};
  int day = 0, year = 0;
  // The width keeps a long first word out of the buffer; "%n" checks it was three letters.
  int monthEnd = 0;
  if (std::sscanf(compilerDate, " %3s%n %d %d", month, &monthEnd, &day, &year) != 3) return QDate();
  if (std::strlen(month) != 3 || (compilerDate[monthEnd] != ' ')) return QDate();
  static const char kMonths[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
  const char* found = std::strstr(kMonths, month);
  // Only a whole month name counts: "anF" lies across two of them.
  if (!found || (found - kMonths) % 3 != 0) return QDate();
  const int monthNumber = static_cast<int>(found - kMonths) / 3 + 1;
  return QDate(year, monthNumber, day);  // invalid for a day the month does not have
}

const CProgramInfo& programInfo() {
  static const CProgramInfo info;
  return info;
}
