// The settings stores: the same contract for the memory store and the INI store, and
// what only the INI store has (its files, its text encoding of the value types).
#include <climits>
#include <functional>
#include <memory>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/CIniSettingsStore.h"
#include "support/CMemorySettingsStore.h"
#include "platform/SettingsStoreFactory.h"

using namespace tolmira;

namespace {

const QString kKey = QStringLiteral("Software\\ORVEN\\Tolmira");

// Makes a store of one kind; reopen() gives a new object on the same data, as after a
// restart of the program.
struct StoreMaker {
  const char* name;
  std::function<std::unique_ptr<ISettingsStore>(const QString& dir)> make;
  bool persistent;
};

class SettingsStoreTest : public testing::TestWithParam<StoreMaker> {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    store_ = GetParam().make(dir_.path());
  }
  // A fresh object on the same data where the store keeps its data outside itself.
  ISettingsStore& reopened() {
    if (GetParam().persistent) store_ = GetParam().make(dir_.path());
    return *store_;
  }

  QTemporaryDir dir_;
  std::unique_ptr<ISettingsStore> store_;
};

TEST_P(SettingsStoreTest, KeysAreOpenedCreatedAndDeleted) {
  EXPECT_FALSE(store_->keyExists(kKey));
  EXPECT_EQ(store_->openKey(kKey, false), nullptr);
  EXPECT_FALSE(store_->keyExists(kKey));

  auto key = store_->openKey(kKey, true);
  ASSERT_NE(key, nullptr);
  EXPECT_TRUE(key->valueNames().isEmpty());
  EXPECT_TRUE(key->writeInt(QStringLiteral("A"), 1));
  {
    auto sub = key->openSubKey(QStringLiteral("MainWindow"), true);
    ASSERT_NE(sub, nullptr);
    EXPECT_TRUE(sub->writeInt(QStringLiteral("Top"), 5));
    EXPECT_TRUE(sub->flush());
  }
  EXPECT_TRUE(key->flush());
  key.reset();

  ISettingsStore& store = reopened();
  EXPECT_TRUE(store.keyExists(kKey));
  EXPECT_TRUE(store.keyExists(kKey + QStringLiteral("\\MainWindow")));
  EXPECT_FALSE(store.keyExists(kKey + QStringLiteral("\\Other")));
  key = store.openKey(kKey, false);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->openSubKey(QStringLiteral("Other"), false), nullptr);
  auto sub = key->openSubKey(QStringLiteral("MainWindow"), false);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->readInt(QStringLiteral("Top")), 5);
  EXPECT_FALSE(sub->hasValue(QStringLiteral("A")));  // values stay in their own key
  EXPECT_EQ(key->valueNames(), QStringList{QStringLiteral("A")});

  // Deleting takes the sub-keys along; open handles cannot bring the key back.
  EXPECT_TRUE(store.deleteKey(kKey));
  EXPECT_FALSE(store.keyExists(kKey));
  EXPECT_FALSE(store.keyExists(kKey + QStringLiteral("\\MainWindow")));
  EXPECT_FALSE(key->writeInt(QStringLiteral("B"), 2));
  EXPECT_FALSE(sub->writeInt(QStringLiteral("Top"), 6));
  EXPECT_FALSE(key->flush());
  key.reset();
  sub.reset();
  EXPECT_FALSE(reopened().keyExists(kKey));
  EXPECT_TRUE(reopened().deleteKey(kKey));  // already gone
}

TEST_P(SettingsStoreTest, DeletingOneKeyLeavesItsNeighbours) {
  const QString older = QStringLiteral("Software\\ORVEN\\Tolmira 1.00");
  ASSERT_NE(store_->openKey(older, true), nullptr);
  auto key = store_->openKey(kKey, true);
  ASSERT_NE(key, nullptr);
  ASSERT_TRUE(key->writeString(QStringLiteral("ListFile1"), QStringLiteral("a.txt")));
  ASSERT_TRUE(
      key->openSubKey(QStringLiteral("MainWindow"), true)->writeInt(QStringLiteral("Top"), 1));
  EXPECT_TRUE(store_->deleteKey(older));
  EXPECT_FALSE(store_->keyExists(older));
  EXPECT_TRUE(store_->deleteKey(kKey + QStringLiteral("\\MainWindow")));
  EXPECT_FALSE(store_->keyExists(kKey + QStringLiteral("\\MainWindow")));
  EXPECT_EQ(reopened().openKey(kKey, false)->readString(QStringLiteral("ListFile1")),
            QStringLiteral("a.txt"));
}

// One value written with one type, then read with all three.
struct TypedValue {
  const char* name;
  std::function<bool(ISettingsKey&)> write;
  std::optional<QString> asString;
  std::optional<qint32> asInt;
  std::optional<QByteArray> asBinary;
};

const QByteArray kDoubleTwo("\x00\x00\x00\x00\x00\x00\x00\x40", 8);

const TypedValue kTypedValues[] = {
    {"plain string",
     [](ISettingsKey& k) { return k.writeString("V", "C:/tables/a.txt"); },
     QStringLiteral("C:/tables/a.txt"),
     {},
     {}},
    {"empty string",
     [](ISettingsKey& k) { return k.writeString("V", QString()); },
     QString(),
     {},
     {}},
    {"string of digits",
     [](ISettingsKey& k) { return k.writeString("V", "12"); },
     QStringLiteral("12"),
     {},
     {}},
    {"string of a negative number",
     [](ISettingsKey& k) { return k.writeString("V", "-7"); },
     QStringLiteral("-7"),
     {},
     {}},
    {"string in quotes",
     [](ISettingsKey& k) { return k.writeString("V", "\"12\""); },
     QStringLiteral("\"12\""),
     {},
     {}},
    {"string of one quote",
     [](ISettingsKey& k) { return k.writeString("V", "\""); },
     QStringLiteral("\""),
     {},
     {}},
    {"string like a byte array",
     [](ISettingsKey& k) { return k.writeString("V", "@ByteArray(xy)"); },
     QStringLiteral("@ByteArray(xy)"),
     {},
     {}},
    {"string with comma and spaces",
     [](ISettingsKey& k) { return k.writeString("V", " a, b ;c= "); },
     QStringLiteral(" a, b ;c= "),
     {},
     {}},
    {"russian path",
     [](ISettingsKey& k) { return k.writeString("V", QStringLiteral("/home/u/Кабели № 1.txt")); },
     QStringLiteral("/home/u/Кабели № 1.txt"),
     {},
     {}},
    {"zero", [](ISettingsKey& k) { return k.writeInt("V", 0); }, {}, 0, {}},
    {"minus one", [](ISettingsKey& k) { return k.writeInt("V", -1); }, {}, -1, {}},
    {"int max", [](ISettingsKey& k) { return k.writeInt("V", INT_MAX); }, {}, INT_MAX, {}},
    {"int min", [](ISettingsKey& k) { return k.writeInt("V", INT_MIN); }, {}, INT_MIN, {}},
    {"eight bytes",
     [](ISettingsKey& k) { return k.writeBinary("V", kDoubleTwo); },
     {},
     {},
     kDoubleTwo},
    {"bytes of digits",
     [](ISettingsKey& k) { return k.writeBinary("V", QByteArray("12")); },
     {},
     {},
     QByteArray("12")},
    {"no bytes",
     [](ISettingsKey& k) { return k.writeBinary("V", QByteArray()); },
     {},
     {},
     QByteArray()},
};

TEST_P(SettingsStoreTest, ValuesKeepTheirType) {
  for (const TypedValue& value : kTypedValues) {
    SCOPED_TRACE(value.name);
    {
      auto key = store_->openKey(kKey, true);
      ASSERT_NE(key, nullptr);
      ASSERT_TRUE(value.write(*key));
      ASSERT_TRUE(key->flush());
    }
    auto key = reopened().openKey(kKey, false);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(key->hasValue("V"));
    EXPECT_EQ(key->readString("V"), value.asString);
    EXPECT_EQ(key->readInt("V"), value.asInt);
    EXPECT_EQ(key->readBinary("V"), value.asBinary);
    EXPECT_FALSE(key->hasValue("W"));
    EXPECT_EQ(key->readString("W"), std::nullopt);
    EXPECT_EQ(key->readInt("W"), std::nullopt);
    EXPECT_EQ(key->readBinary("W"), std::nullopt);
  }
}

const StoreMaker kStores[] = {
    {"Memory", [](const QString&) { return std::make_unique<CMemorySettingsStore>(); }, false},
    {"Ini", [](const QString& dir) { return std::make_unique<CIniSettingsStore>(dir); }, true},
};

INSTANTIATE_TEST_SUITE_P(Stores, SettingsStoreTest, testing::ValuesIn(kStores),
                         [](const testing::TestParamInfo<StoreMaker>& info) {
                           return std::string(info.param.name);
                         });

// The INI store on disk.
class IniSettingsStoreTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    savedXdg_ = qgetenv("XDG_CONFIG_HOME");
    savedHome_ = qgetenv("HOME");
  }
  void TearDown() override {
    qputenv("XDG_CONFIG_HOME", savedXdg_);
    qputenv("HOME", savedHome_);
  }
  QString fileText(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
  }

  QTemporaryDir dir_;
  QByteArray savedXdg_, savedHome_;
};

TEST_F(IniSettingsStoreTest, KeysAreFilesBelowTheConfigFolder) {
  qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
  std::unique_ptr<ISettingsStore> store = createUserSettingsStore();
  ASSERT_NE(dynamic_cast<CIniSettingsStore*>(store.get()), nullptr);

  const QString file = dir_.path() + QStringLiteral("/ORVEN/Tolmira.conf");
  const QString older = dir_.path() + QStringLiteral("/ORVEN/Tolmira 1.00.conf");
  {
    auto key = store->openKey(kKey, true);
    ASSERT_NE(key, nullptr);
    EXPECT_TRUE(QFileInfo(file).isFile());  // an empty key is an empty file
    ASSERT_TRUE(key->writeInt(QStringLiteral("FontSize"), 12));
    ASSERT_TRUE(key->writeString(QStringLiteral("ListFile1"), QStringLiteral("12")));
    ASSERT_TRUE(key->openSubKey(QStringLiteral("MainWindow"), true)
                    ->writeInt(QStringLiteral("Width"), 925));
  }
  const QString text = fileText(file);
  EXPECT_TRUE(text.contains(QStringLiteral("FontSize=12\n"))) << text.toStdString();
  EXPECT_TRUE(text.contains(QStringLiteral("[MainWindow]\nWidth=925\n"))) << text.toStdString();

  ASSERT_NE(store->openKey(QStringLiteral("Software\\ORVEN\\Tolmira 1.00"), true), nullptr);
  EXPECT_TRUE(QFileInfo(older).isFile());
  EXPECT_TRUE(store->deleteKey(QStringLiteral("Software\\ORVEN\\Tolmira 1.00")));
  EXPECT_FALSE(QFileInfo::exists(older));
  EXPECT_TRUE(QFileInfo(file).isFile());
}

TEST_F(IniSettingsStoreTest, WithoutXdgConfigHomeTheFolderIsDotConfig) {
  qputenv("HOME", dir_.path().toUtf8());
  for (const QByteArray& xdg : {QByteArray(), QByteArray("")}) {
    if (xdg.isNull())
      qunsetenv("XDG_CONFIG_HOME");
    else
      qputenv("XDG_CONFIG_HOME", xdg);
    CIniSettingsStore store;
    EXPECT_EQ(store.baseDir(), QDir::homePath() + QStringLiteral("/.config"));
    QString file;
    ASSERT_TRUE(store.locate(kKey, &file, nullptr));
    EXPECT_EQ(file, dir_.path() + QStringLiteral("/.config/ORVEN/Tolmira.conf"));
  }
}

TEST_F(IniSettingsStoreTest, PathsThatNameNoFileAreRefused) {
  CIniSettingsStore store(dir_.path());
  for (const char* path : {"", "Software", "Software\\ORVEN", "Other\\ORVEN\\Tolmira",
                           "Software\\ORVEN\\..", "Software\\..\\Tolmira", "Software\\ORVEN\\a/b",
                           "Software\\ORVEN\\Tolmira\\\\MainWindow"}) {
    SCOPED_TRACE(path);
    EXPECT_EQ(store.openKey(QString::fromLatin1(path), true), nullptr);
    EXPECT_FALSE(store.keyExists(QString::fromLatin1(path)));
    EXPECT_FALSE(store.deleteKey(QString::fromLatin1(path)));
  }
  EXPECT_TRUE(QDir(dir_.path()).isEmpty());
}

TEST_F(IniSettingsStoreTest, AFolderThatCannotBeMadeGivesNoKey) {
  const QString blocker = dir_.filePath(QStringLiteral("plainfile"));
  QFile file(blocker);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  CIniSettingsStore store(blocker);
  EXPECT_EQ(store.openKey(kKey, true), nullptr);
  EXPECT_FALSE(store.keyExists(kKey));
}

TEST_F(IniSettingsStoreTest, HandWrittenValuesOfNoTypeReadAsMissing) {
  QDir(dir_.path()).mkpath(QStringLiteral("ORVEN"));
  QFile file(dir_.filePath(QStringLiteral("ORVEN/Tolmira.conf")));
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.write("[General]\nList=a,b\nBig=99999999999\nPlus=+5\nHex=0x10\n");
  file.close();
  CIniSettingsStore store(dir_.path());
  auto key = store.openKey(kKey, false);
  ASSERT_NE(key, nullptr);
  EXPECT_EQ(key->readString(QStringLiteral("List")), std::nullopt);
  EXPECT_EQ(key->readInt(QStringLiteral("List")), std::nullopt);
  EXPECT_EQ(key->readInt(QStringLiteral("Big")), std::nullopt);  // beyond 32 bits
  EXPECT_EQ(key->readInt(QStringLiteral("Plus")), std::nullopt);
  EXPECT_EQ(key->readString(QStringLiteral("Plus")), QStringLiteral("+5"));
  EXPECT_EQ(key->readInt(QStringLiteral("Hex")), std::nullopt);
}

TEST(MemorySettingsStoreTest, FailureSwitches) {
  CMemorySettingsStore store;
  store.setFailOpen(true);
  EXPECT_EQ(store.openKey(kKey, true), nullptr);
  EXPECT_FALSE(store.keyExists(kKey));
  store.setFailOpen(false);
  auto key = store.openKey(kKey, true);
  ASSERT_NE(key, nullptr);
  store.setFailWrite(true);
  EXPECT_FALSE(key->writeInt(QStringLiteral("A"), 1));
  EXPECT_FALSE(key->flush());
  EXPECT_EQ(store.openKey(QStringLiteral("Software\\Other\\X"), true), nullptr);
  store.setFailWrite(false);
  EXPECT_FALSE(key->flush());  // the lost write stays reported
  EXPECT_FALSE(key->hasValue(QStringLiteral("A")));
  EXPECT_EQ(store.keyPaths(),
            (QStringList{QStringLiteral("Software"), QStringLiteral("Software\\ORVEN"), kKey}));
  store.setFailDelete(true);
  EXPECT_FALSE(store.deleteKey(kKey));
  EXPECT_TRUE(store.keyExists(kKey));
}

}  // namespace
