#include "support/CMemorySettingsStore.h"

#include <utility>

#include <QChar>

namespace {

// Empty parts ("a\\\\b", a leading or trailing backslash) make no key.
QString normalizedPath(const QString& path) {
  const QStringList parts = path.split(QLatin1Char('\\'));
  for (const QString& part : parts)
    if (part.isEmpty()) return QString();
  return parts.join(QLatin1Char('\\'));
}

class CMemorySettingsKey : public ISettingsKey {
 public:
  using State = CMemorySettingsStore::State;
  using Key = CMemorySettingsStore::Key;
  using Value = CMemorySettingsStore::Value;

  CMemorySettingsKey(std::shared_ptr<State> state, QString path)
      : state_(std::move(state)), path_(std::move(path)) {}

  bool hasValue(const QString& name) const override {
    const Key* key = find();
    return key && key->values.count(name) != 0;
  }

  QStringList valueNames() const override {
    QStringList names;
    if (const Key* key = find())
      for (const auto& entry : key->values) names << entry.first;
    return names;
  }

  std::optional<QString> readString(const QString& name) const override {
    return read<QString>(name);
  }
  std::optional<qint32> readInt(const QString& name) const override { return read<qint32>(name); }
  std::optional<QByteArray> readBinary(const QString& name) const override {
    return read<QByteArray>(name);
  }

  bool writeString(const QString& name, const QString& value) override {
    return write(name, value);
  }
  bool writeInt(const QString& name, qint32 value) override { return write(name, value); }
  bool writeBinary(const QString& name, const QByteArray& value) override {
    return write(name, value);
  }

  std::unique_ptr<ISettingsKey> openSubKey(const QString& name, bool create) override {
    if (name.isEmpty() || name.contains(QLatin1Char('\\')) || !find()) return nullptr;
    return CMemorySettingsStore::open(state_, path_ + QLatin1Char('\\') + name, create);
  }

  bool flush() override { return find() != nullptr && !failed_; }

 private:
  const Key* find() const {
    auto it = state_->keys.find(path_);
    return it == state_->keys.end() ? nullptr : &it->second;
  }

  template <typename T>
  std::optional<T> read(const QString& name) const {
    const Key* key = find();
    if (!key) return std::nullopt;
    auto it = key->values.find(name);
    if (it == key->values.end()) return std::nullopt;
    if (const T* value = std::get_if<T>(&it->second)) return *value;
    return std::nullopt;
  }

  bool write(const QString& name, Value value) {
    auto it = state_->keys.find(path_);
    // A deleted key stays deleted: its handle cannot bring it back.
    if (it == state_->keys.end() || state_->failWrite || name.isEmpty()) {
      failed_ = true;
      return false;
    }
    it->second.values[name] = std::move(value);
    return true;
  }

  std::shared_ptr<State> state_;
  QString path_;
  bool failed_ = false;
};

}  // namespace

CMemorySettingsStore::CMemorySettingsStore() : state_(std::make_shared<State>()) {}

CMemorySettingsStore::~CMemorySettingsStore() = default;

bool CMemorySettingsStore::keyExists(const QString& path) const {
  const QString key = normalizedPath(path);
  return !key.isEmpty() && state_->keys.count(key) != 0;
}

std::unique_ptr<ISettingsKey> CMemorySettingsStore::openKey(const QString& path, bool create) {
  return open(state_, path, create);
}

std::unique_ptr<ISettingsKey> CMemorySettingsStore::open(const std::shared_ptr<State>& state,
                                                         const QString& path, bool create) {
  const QString key = normalizedPath(path);
  if (key.isEmpty() || state->failOpen) return nullptr;
  if (state->keys.count(key) == 0) {
    if (!create || state->failWrite) return nullptr;
    // Like the registry, creating a key creates the missing keys above it.
    QString prefix;
    for (const QString& part : key.split(QLatin1Char('\\'))) {
      prefix = prefix.isEmpty() ? part : prefix + QLatin1Char('\\') + part;
      state->keys[prefix];
    }
  }
  return std::make_unique<CMemorySettingsKey>(state, key);
}

bool CMemorySettingsStore::deleteKey(const QString& path) {
  const QString key = normalizedPath(path);
  if (key.isEmpty() || state_->failDelete) return false;
  const QString below = key + QLatin1Char('\\');
  for (auto it = state_->keys.begin(); it != state_->keys.end();) {
    if (it->first == key || it->first.startsWith(below))
      it = state_->keys.erase(it);
    else
      ++it;
  }
  return true;
}

QStringList CMemorySettingsStore::keyPaths() const {
  QStringList paths;
  for (const auto& entry : state_->keys) paths << entry.first;
  return paths;
}
