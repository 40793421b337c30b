#pragma once

#include <memory>

#include <QString>

#include "platform/ISettingsStore.h"

// The settings store of platforms without a registry: one INI file per key of the third
// level, read and written through QSettings.
//   "Software\\ORVEN\\Tolmira"          -> <base>/ORVEN/Tolmira.conf
//   "Software\\ORVEN\\Tolmira 1.00"     -> <base>/ORVEN/Tolmira 1.00.conf
//   "Software\\ORVEN\\Tolmira\\MainWindow" -> group [MainWindow] of Tolmira.conf
// <base> is $XDG_CONFIG_HOME, or ~/.config when that is unset or empty. Paths that do
// not start with "Software" and name at least three levels are not stored.
//
// Value types survive the text file:
//   integer  plain decimal digits:                    FontSize=12
//   binary   QSettings' @ByteArray(...) form:         TableWidthK=@ByteArray(...)
//   string   as it is, except that a string that would read back as an integer (an
//            optional '-' and digits only) or that itself starts and ends with a double
//            quote is kept inside one more pair of double quotes: the string "12" is
//            stored as "\"12\"" and reads back as the string 12, never as an integer.
// A value of another form (e.g. a hand-written list "a,b") is of no type: reads give
// nullopt. Sub-keys exist while they hold values (an INI file keeps no empty group).
// Every write is written through at once; deleting a key of the third level deletes its
// file.
class CIniSettingsStore : public ISettingsStore {
 public:
  CIniSettingsStore();  // base folder from the environment, now
  explicit CIniSettingsStore(QString baseDir);

  const QString& baseDir() const { return baseDir_; }

  bool keyExists(const QString& path) const override;
  std::unique_ptr<ISettingsKey> openKey(const QString& path, bool create) override;
  bool deleteKey(const QString& path) override;

  // The file and the group (separated by '/') a key path maps to; false when the path
  // cannot be stored.
  bool locate(const QString& path, QString* file, QString* group) const;

 private:
  QString baseDir_;
};
