#include "platform/CIniSettingsStore.h"

#include <utility>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>
#include <QStringList>
#include <QVariant>

namespace {

constexpr QChar kQuote = QLatin1Char('"');

bool isIntegerText(const QString& text) {
  int start = text.startsWith(QLatin1Char('-')) ? 1 : 0;
  if (text.size() <= start) return false;
  for (int i = start; i < text.size(); ++i)
    if (text[i] < QLatin1Char('0') || text[i] > QLatin1Char('9')) return false;
  return true;
}

bool isQuoted(const QString& text) {
  return text.size() >= 2 && text.startsWith(kQuote) && text.endsWith(kQuote);
}

QString encodeString(const QString& value) {
  return isIntegerText(value) || isQuoted(value) ? kQuote + value + kQuote : value;
}

bool validPart(const QString& part) {
  return !part.isEmpty() && part != QLatin1String(".") && part != QLatin1String("..") &&
         !part.contains(QLatin1Char('/'));
}

QString defaultBaseDir() {
  const QString xdg = qEnvironmentVariable("XDG_CONFIG_HOME");
  return xdg.isEmpty() ? QDir::homePath() + QStringLiteral("/.config") : xdg;
}

// One key: a group of one file. QSettings objects are made per operation, so every
// write reaches the file at once and reports its own failure.
class CIniSettingsKey : public ISettingsKey {
 public:
  CIniSettingsKey(QString file, QString group) : file_(std::move(file)), group_(std::move(group)) {}

  bool hasValue(const QString& name) const override {
    if (!validName(name)) return false;
    QSettings settings(file_, QSettings::IniFormat);
    return settings.contains(fullName(name));
  }

  QStringList valueNames() const override {
    QSettings settings(file_, QSettings::IniFormat);
    if (!group_.isEmpty()) settings.beginGroup(group_);
    return settings.childKeys();
  }

  std::optional<QString> readString(const QString& name) const override {
    const QVariant raw = read(name);
    if (raw.metaType().id() != QMetaType::QString) return std::nullopt;
    const QString text = raw.toString();
    if (isQuoted(text)) return text.mid(1, text.size() - 2);
    if (isIntegerText(text)) return std::nullopt;  // an integer
    return text;
  }

  std::optional<qint32> readInt(const QString& name) const override {
    const QVariant raw = read(name);
    if (raw.metaType().id() == QMetaType::Int) return raw.toInt();
    if (raw.metaType().id() != QMetaType::QString) return std::nullopt;
    const QString text = raw.toString();
    if (!isIntegerText(text)) return std::nullopt;
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok) return std::nullopt;  // beyond 32 bits
    return value;
  }

  std::optional<QByteArray> readBinary(const QString& name) const override {
    const QVariant raw = read(name);
    if (raw.metaType().id() != QMetaType::QByteArray) return std::nullopt;
    return raw.toByteArray();
  }

  bool writeString(const QString& name, const QString& value) override {
    return write(name, QVariant(encodeString(value)));
  }
  bool writeInt(const QString& name, qint32 value) override {
    return write(name, QVariant(static_cast<int>(value)));
  }
  bool writeBinary(const QString& name, const QByteArray& value) override {
    return write(name, QVariant(value));
  }

  std::unique_ptr<ISettingsKey> openSubKey(const QString& name, bool create) override {
    if (!validName(name) || !QFileInfo::exists(file_)) return nullptr;
    const QString group = group_.isEmpty() ? name : group_ + QLatin1Char('/') + name;
    if (!create) {
      QSettings settings(file_, QSettings::IniFormat);
      settings.beginGroup(group);
      if (settings.allKeys().isEmpty()) return nullptr;
    }
    return std::make_unique<CIniSettingsKey>(file_, group);
  }

  bool flush() override { return !failed_ && QFileInfo::exists(file_); }

 private:
  static bool validName(const QString& name) {
    return !name.isEmpty() && !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\'));
  }

  QString fullName(const QString& name) const {
    return group_.isEmpty() ? name : group_ + QLatin1Char('/') + name;
  }

  QVariant read(const QString& name) const {
    if (!validName(name)) return QVariant();
    QSettings settings(file_, QSettings::IniFormat);
    return settings.value(fullName(name));
  }

  bool write(const QString& name, const QVariant& value) {
    // A deleted key stays deleted: writing must not bring its file back.
    bool ok = validName(name) && QFileInfo::exists(file_);
    if (ok) {
      QSettings settings(file_, QSettings::IniFormat);
      settings.setValue(fullName(name), value);
      settings.sync();
      ok = settings.status() == QSettings::NoError;
    }
    if (!ok) failed_ = true;
    return ok;
  }

  QString file_;
  QString group_;
  bool failed_ = false;
};

}  // namespace

CIniSettingsStore::CIniSettingsStore() : CIniSettingsStore(defaultBaseDir()) {}

CIniSettingsStore::CIniSettingsStore(QString baseDir) : baseDir_(std::move(baseDir)) {}

bool CIniSettingsStore::locate(const QString& path, QString* file, QString* group) const {
  const QStringList parts = path.split(QLatin1Char('\\'));
  if (parts.size() < 3 || parts[0].compare(QLatin1String("Software"), Qt::CaseInsensitive) != 0)
    return false;
  for (const QString& part : parts)
    if (!validPart(part)) return false;
  if (file)
    *file = baseDir_ + QLatin1Char('/') + parts[1] + QLatin1Char('/') + parts[2] +
            QStringLiteral(".conf");
  if (group) *group = parts.mid(3).join(QLatin1Char('/'));
  return true;
}

bool CIniSettingsStore::keyExists(const QString& path) const {
  QString file, group;
  if (!locate(path, &file, &group) || !QFileInfo(file).isFile()) return false;
  if (group.isEmpty()) return true;
  QSettings settings(file, QSettings::IniFormat);
  settings.beginGroup(group);
  return !settings.allKeys().isEmpty();
}

std::unique_ptr<ISettingsKey> CIniSettingsStore::openKey(const QString& path, bool create) {
  QString file, group;
  if (!locate(path, &file, &group)) return nullptr;
  const QFileInfo info(file);
  if (!info.isFile()) {
    if (!create || info.exists()) return nullptr;
    // Creating the key creates its (empty) file.
    if (!QDir().mkpath(info.absolutePath())) return nullptr;
    QFile created(file);
    if (!created.open(QIODevice::WriteOnly | QIODevice::Append)) return nullptr;
    created.close();
  }
  if (!group.isEmpty() && !create && !keyExists(path)) return nullptr;
  return std::make_unique<CIniSettingsKey>(file, group);
}

bool CIniSettingsStore::deleteKey(const QString& path) {
  QString file, group;
  if (!locate(path, &file, &group)) return false;
  const QFileInfo info(file);
  if (!info.exists()) return true;
  if (group.isEmpty()) return QFile::remove(file);
  QSettings settings(file, QSettings::IniFormat);
  settings.remove(group);
  settings.sync();
  return settings.status() == QSettings::NoError;
}
