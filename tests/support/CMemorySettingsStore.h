#pragma once

#include <map>
#include <memory>
#include <variant>

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/ISettingsStore.h"

// A settings store held in memory, for tests. Key paths and value names compare
// exactly. The failure switches make it behave like a store that cannot be opened
// (setFailOpen), whose values and new keys cannot be written (setFailWrite), or whose
// keys cannot be deleted (setFailDelete), to check that callers carry on.
class CMemorySettingsStore : public ISettingsStore {
 public:
  using Value = std::variant<QString, qint32, QByteArray>;

  struct Key {
    std::map<QString, Value> values;
  };
  // Shared with the open handles, so that a handle may outlive the store.
  struct State {
    std::map<QString, Key> keys;
    bool failOpen = false;
    bool failWrite = false;
    bool failDelete = false;
  };

  CMemorySettingsStore();
  ~CMemorySettingsStore() override;

  bool keyExists(const QString& path) const override;
  std::unique_ptr<ISettingsKey> openKey(const QString& path, bool create) override;
  bool deleteKey(const QString& path) override;

  void setFailOpen(bool fail) { state_->failOpen = fail; }
  void setFailWrite(bool fail) { state_->failWrite = fail; }
  void setFailDelete(bool fail) { state_->failDelete = fail; }

  QStringList keyPaths() const;  // every existing key, sorted

  static std::unique_ptr<ISettingsKey> open(const std::shared_ptr<State>& state,
                                            const QString& path, bool create);

 private:
  std::shared_ptr<State> state_;
};
