#pragma once

#include <QDate>
#include <QString>

// The program's version (from the build's project version) and its build date.
class CProgramInfo {
 public:
  CProgramInfo();

  int Major() const { return major_; }
  int Minor() const { return minor_; }
  int Release() const { return release_; }
  int Build() const { return build_; }
  QString Version() const { return version_; }  // "%d.%d.%d.%d"

  QDate BuildDate() const { return buildDate_; }
  int BuildYear() const { return buildDate_.isValid() ? buildDate_.year() : 0; }

  // A compiler date such as "Nov 14 2023" or "Jan  2 2024"; an invalid date when the
  // text is not of that form.
  static QDate parseBuildDate(const char* compilerDate);

 private:
  int major_ = 0, minor_ = 0, release_ = 0, build_ = 0;
  QString version_;
  QDate buildDate_;
};

const CProgramInfo& programInfo();
