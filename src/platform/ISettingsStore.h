#pragma once

#include <memory>
#include <optional>

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QtGlobal>

// One open key of a per-user settings store (registry style). A value has one of three
// types; a read of a missing value, or of a value of another type, gives nullopt.
// Closing happens when the object is destroyed.
class ISettingsKey {
 public:
  virtual ~ISettingsKey() = default;

  virtual bool hasValue(const QString& name) const = 0;
  virtual QStringList valueNames() const = 0;

  virtual std::optional<QString> readString(const QString& name) const = 0;
  virtual std::optional<qint32> readInt(const QString& name) const = 0;
  virtual std::optional<QByteArray> readBinary(const QString& name) const = 0;

  // false when the value could not be written (a store that buffers may only find
  // out in flush()).
  virtual bool writeString(const QString& name, const QString& value) = 0;
  virtual bool writeInt(const QString& name, qint32 value) = 0;
  virtual bool writeBinary(const QString& name, const QByteArray& value) = 0;

  // Opens the sub-key `name` (one level, no separators); with create it is made when
  // missing. nullptr when it does not exist or cannot be opened.
  virtual std::unique_ptr<ISettingsKey> openSubKey(const QString& name, bool create) = 0;

  // Makes every write so far permanent; false when any of them failed.
  virtual bool flush() = 0;
};

// A per-user settings store. Key paths are registry style, separated by backslashes:
// "Software\\ORVEN\\Tolmira".
class ISettingsStore {
 public:
  virtual ~ISettingsStore() = default;

  virtual bool keyExists(const QString& path) const = 0;
  // nullptr when the key does not exist (and create is false) or cannot be opened.
  virtual std::unique_ptr<ISettingsKey> openKey(const QString& path, bool create) = 0;
  // Deletes the key with its sub-keys and values; false when it could not be deleted.
  // Deleting a key that does not exist succeeds.
  virtual bool deleteKey(const QString& path) = 0;
};
