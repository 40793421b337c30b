#include "platform/CRegistrySettingsStore.h"

#ifdef _WIN32

#include <cstdint>
#include <vector>

#include "registry/RegistryKey.h"

namespace {

class CRegistrySettingsKey : public ISettingsKey {
 public:
  explicit CRegistrySettingsKey(std::unique_ptr<RegistryKey> key) : key_(std::move(key)) {}

  bool hasValue(const QString& name) const override { return key_->hasValue(name.toStdWString()); }

  QStringList valueNames() const override {
    QStringList names;
    for (const std::wstring& name : key_->valueNames()) names << QString::fromStdWString(name);
    return names;
  }

  std::optional<QString> readString(const QString& name) const override {
    const auto value = key_->readString(name.toStdWString());
    if (!value) return std::nullopt;
    return QString::fromStdWString(*value);
  }

  std::optional<qint32> readInt(const QString& name) const override {
    const auto value = key_->readDword(name.toStdWString());
    if (!value) return std::nullopt;
    return static_cast<qint32>(*value);
  }

  std::optional<QByteArray> readBinary(const QString& name) const override {
    const auto value = key_->readBinary(name.toStdWString());
    if (!value) return std::nullopt;
    return QByteArray(reinterpret_cast<const char*>(value->data()),
                      static_cast<qsizetype>(value->size()));
  }

  bool writeString(const QString& name, const QString& value) override {
    return key_->writeString(name.toStdWString(), value.toStdWString());
  }

  bool writeInt(const QString& name, qint32 value) override {
    return key_->writeDword(name.toStdWString(), static_cast<std::uint32_t>(value));
  }

  bool writeBinary(const QString& name, const QByteArray& value) override {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(value.constData());
    return key_->writeBinary(name.toStdWString(),
                             std::vector<std::uint8_t>(bytes, bytes + value.size()));
  }

  std::unique_ptr<ISettingsKey> openSubKey(const QString& name, bool create) override {
    auto sub = key_->openSubKey(name.toStdWString(), create);
    return sub ? std::make_unique<CRegistrySettingsKey>(std::move(sub)) : nullptr;
  }

  // The registry writes at once; only a failed write is left to report.
  bool flush() override { return !key_->failed(); }

 private:
  std::unique_ptr<RegistryKey> key_;
};

}  // namespace

bool CRegistrySettingsStore::keyExists(const QString& path) const {
  return RegistryKey::exists(path.toStdWString());
}

std::unique_ptr<ISettingsKey> CRegistrySettingsStore::openKey(const QString& path, bool create) {
  auto key = RegistryKey::open(path.toStdWString(), create);
  return key ? std::make_unique<CRegistrySettingsKey>(std::move(key)) : nullptr;
}

bool CRegistrySettingsStore::deleteKey(const QString& path) {
  return RegistryKey::deleteTree(path.toStdWString());
}

#endif  // _WIN32
