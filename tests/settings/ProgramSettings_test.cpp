// Loading and saving the program settings: defaults, value types, the write rules, the
// older key, the main window's geometry, and a restart on the INI files.
#include <cmath>
#include <cstring>
#include <functional>
#include <limits>
#include <memory>
#include <optional>

#include <QAction>
#include <QActionGroup>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include <gtest/gtest.h>

#include "platform/CIniSettingsStore.h"
#include "support/CMemorySettingsStore.h"
#include "platform/SettingsStoreFactory.h"
#include "settings/CProgramInfo.h"
#include "settings/CProgramSettings.h"

using namespace tolmira;

namespace {

using Value = CMemorySettingsStore::Value;

const QString kKey = QString::fromLatin1(CProgramSettings::KeyPath);
const QString kOldKey = QString::fromLatin1(CProgramSettings::OldKeyPath);
const QString kMain = QString::fromLatin1(CProgramSettings::MainWindowSubKey);

QByteArray bytes(const char (&raw)[9]) { return QByteArray(raw, 8); }

QByteArray doubleBytes(double value) {
  QByteArray out(8, '\0');
  quint64 bits = 0;
  std::memcpy(&bits, &value, 8);
  for (int i = 0; i < 8; ++i) out[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return out;
}

std::optional<Value> readAny(ISettingsKey& key, const QString& name) {
  if (auto v = key.readString(name)) return Value(*v);
  if (auto v = key.readInt(name)) return Value(*v);
  if (auto v = key.readBinary(name)) return Value(*v);
  return std::nullopt;
}

// Fields set away from every default, to see which ones a load resets.
void setAllFields(CProgramSettings& s) {
  s.ListFile1 = QStringLiteral("l1");
  s.ListFile2 = QStringLiteral("l2");
  s.LastOpenedFile1 = QStringLiteral("o1");
  s.LastOpenedFile2 = QStringLiteral("o2");
  s.AutoSave1 = QStringLiteral("a1");
  s.AutoSave2 = QStringLiteral("a2");
  s.EditWindow_Top = 33;
  s.EditWindow_Left = 44;
  s.FontSize = 14;
  s.TableWidthK = 3.0;
  s.MessagesStyle = 1;
  s.AllowSameNames = true;
  s.MarkSameNames = false;
  s.MarkSameCables = false;
}

class ProgramSettingsTest : public testing::Test {
 protected:
  std::unique_ptr<ISettingsKey> key(const QString& path = kKey) {
    return store.openKey(path, true);
  }
  std::unique_ptr<ISettingsKey> mainKey(const QString& path = kKey) {
    return key(path)->openSubKey(kMain, true);
  }
  void expectEmptyLoadDefaults(const CProgramSettings& s) {
    EXPECT_TRUE(s.ListFile1.isEmpty() && s.ListFile2.isEmpty());
    EXPECT_TRUE(s.LastOpenedFile1.isEmpty() && s.LastOpenedFile2.isEmpty());
    EXPECT_TRUE(s.AutoSave1.isEmpty() && s.AutoSave2.isEmpty());
    EXPECT_EQ(s.EditWindow_Top, -1);
    EXPECT_EQ(s.EditWindow_Left, -1);
    EXPECT_EQ(s.TableWidthK, 1.0);
    EXPECT_EQ(s.MessagesStyle, 0);
  }

  CMemorySettingsStore store;
  CProgramSettings settings;
};

TEST_F(ProgramSettingsTest, FirstRunCreatesTheKeyAndTakesTheDefaults) {
  QAction allow, names, cables, strict, playful;
  settings.bindActions(&allow, &names, &cables);
  settings.bindMessagesStyleActions(&strict, &playful);
  QWidget window;
  window.setGeometry(267, 159, 925, 767);

  settings.Load(store, &window);

  EXPECT_TRUE(store.keyExists(kKey));
  EXPECT_FALSE(store.keyExists(kOldKey));
  EXPECT_TRUE(key()->valueNames().isEmpty());
  expectEmptyLoadDefaults(settings);
  EXPECT_EQ(settings.FontSize, 0);
  EXPECT_FALSE(settings.AllowSameNames);
  EXPECT_TRUE(settings.MarkSameNames);
  EXPECT_TRUE(settings.MarkSameCables);
  EXPECT_FALSE(allow.isChecked());
  EXPECT_TRUE(names.isChecked());
  EXPECT_TRUE(cables.isChecked());
  EXPECT_TRUE(strict.isChecked());
  EXPECT_FALSE(playful.isChecked());
  EXPECT_EQ(window.geometry(), QRect(267, 159, 925, 767));
  EXPECT_FALSE(window.isMaximized());
}

TEST_F(ProgramSettingsTest, MissingValuesResetOrKeepTheFields) {
  setAllFields(settings);
  settings.Load(store, nullptr);
  expectEmptyLoadDefaults(settings);
  // "Unchanged when missing": the values from before the load.
  EXPECT_EQ(settings.FontSize, 14);
  EXPECT_TRUE(settings.AllowSameNames);
  EXPECT_FALSE(settings.MarkSameNames);
  EXPECT_FALSE(settings.MarkSameCables);
}

TEST_F(ProgramSettingsTest, LoadReadsEveryValue) {
  {
    auto k = key();
    k->writeString("Version", "0.9.0.0");
    k->writeString("ListFile1", QStringLiteral("C:/Таблицы/один.txt"));
    k->writeString("ListFile2", "l2");
    k->writeString("LastOpenedFile1", "o1");
    k->writeString("LastOpenedFile2", "o2");
    k->writeString("AutoSave1", "a1");
    k->writeString("AutoSave2", "a2");
    k->writeInt("AllowSameNames", 7);  // any non-zero is on
    k->writeInt("MarkSameNames", 0);
    k->writeInt("MarkSameCables", 0);
    k->writeInt("MessagesStyle", 1);
    k->writeInt("FontSize", 16);
    k->writeBinary("TableWidthK", doubleBytes(0.75));
    k->writeInt("EditWindow_Top", -20);
    k->writeInt("EditWindow_Left", 300);
  }
  QAction allow, names, cables;
  settings.bindActions(&allow, &names, &cables);
  settings.Load(store, nullptr);
  EXPECT_EQ(settings.ListFile1, QStringLiteral("C:/Таблицы/один.txt"));
  EXPECT_EQ(settings.ListFile(1), QStringLiteral("l2"));
  EXPECT_EQ(settings.LastOpenedFile(0), QStringLiteral("o1"));
  EXPECT_EQ(settings.LastOpenedFile(1), QStringLiteral("o2"));
  EXPECT_EQ(settings.AutoSave(0), QStringLiteral("a1"));
  EXPECT_EQ(settings.AutoSave(1), QStringLiteral("a2"));
  EXPECT_TRUE(settings.AllowSameNames);
  EXPECT_FALSE(settings.MarkSameNames);
  EXPECT_FALSE(settings.MarkSameCables);
  EXPECT_TRUE(allow.isChecked());
  EXPECT_FALSE(names.isChecked());
  EXPECT_FALSE(cables.isChecked());
  EXPECT_EQ(settings.MessagesStyle, 1);
  EXPECT_EQ(settings.FontSize, 16);
  EXPECT_EQ(settings.TableWidthK, 0.75);
  EXPECT_EQ(settings.EditWindow_Top, -20);
  EXPECT_EQ(settings.EditWindow_Left, 300);
}

TEST_F(ProgramSettingsTest, PaneAccessorsPickTheirField) {
  settings.ListFile(0) = QStringLiteral("left");
  settings.ListFile(1) = QStringLiteral("right");
  settings.LastOpenedFile(1) = QStringLiteral("last right");
  settings.AutoSave(0) = QStringLiteral("auto left");
  EXPECT_EQ(settings.ListFile1, QStringLiteral("left"));
  EXPECT_EQ(settings.ListFile2, QStringLiteral("right"));
  EXPECT_EQ(settings.LastOpenedFile2, QStringLiteral("last right"));
  EXPECT_TRUE(settings.LastOpenedFile1.isEmpty());
  EXPECT_EQ(settings.AutoSave1, QStringLiteral("auto left"));
  EXPECT_TRUE(settings.AutoSave2.isEmpty());
}

// Stored values of the wrong type or out of the field's range read as missing.
struct BadValueCase {
  const char* name;
  std::function<void(ISettingsKey&)> store;
  std::function<void(const CProgramSettings&)> check;
};

TEST_F(ProgramSettingsTest, BadValuesTakeTheDefaults) {
  const BadValueCase cases[] = {
      {"text as integer", [](ISettingsKey& k) { k.writeInt("ListFile1", 5); },
       [](const CProgramSettings& s) { EXPECT_TRUE(s.ListFile1.isEmpty()); }},
      {"text as binary", [](ISettingsKey& k) { k.writeBinary("AutoSave2", "abc"); },
       [](const CProgramSettings& s) { EXPECT_TRUE(s.AutoSave2.isEmpty()); }},
      {"switch as text", [](ISettingsKey& k) { k.writeString("AllowSameNames", "1"); },
       [](const CProgramSettings& s) { EXPECT_TRUE(s.AllowSameNames); }},  // kept
      {"switch as binary", [](ISettingsKey& k) { k.writeBinary("MarkSameNames", "\x01"); },
       [](const CProgramSettings& s) { EXPECT_FALSE(s.MarkSameNames); }},  // kept
      {"font size as text", [](ISettingsKey& k) { k.writeString("FontSize", "10"); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.FontSize, 14); }},
      // A size the menu does not offer is none chosen.
      {"font size 256", [](ISettingsKey& k) { k.writeInt("FontSize", 256); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.FontSize, 0); }},
      {"font size -1", [](ISettingsKey& k) { k.writeInt("FontSize", -1); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.FontSize, 0); }},
      {"font size 7", [](ISettingsKey& k) { k.writeInt("FontSize", 7); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.FontSize, 0); }},
      {"font size 21", [](ISettingsKey& k) { k.writeInt("FontSize", 21); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.FontSize, 0); }},
      {"font size 8", [](ISettingsKey& k) { k.writeInt("FontSize", 8); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.FontSize, 8); }},
      {"font size 20", [](ISettingsKey& k) { k.writeInt("FontSize", 20); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.FontSize, 20); }},
      {"style 300", [](ISettingsKey& k) { k.writeInt("MessagesStyle", 300); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.MessagesStyle, 0); }},
      {"style as text", [](ISettingsKey& k) { k.writeString("MessagesStyle", "1"); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.MessagesStyle, 0); }},
      {"editor top as text", [](ISettingsKey& k) { k.writeString("EditWindow_Top", "10"); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.EditWindow_Top, -1); }},
      {"ratio as integer", [](ISettingsKey& k) { k.writeInt("TableWidthK", 2); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.TableWidthK, 1.0); }},
      {"ratio of 4 bytes", [](ISettingsKey& k) { k.writeBinary("TableWidthK", QByteArray(4, 1)); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.TableWidthK, 1.0); }},
      {"ratio of 9 bytes",
       [](ISettingsKey& k) { k.writeBinary("TableWidthK", doubleBytes(2.0) + '\0'); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.TableWidthK, 1.0); }},
      {"ratio NaN",
       [](ISettingsKey& k) {
         k.writeBinary("TableWidthK", doubleBytes(std::numeric_limits<double>::quiet_NaN()));
       },
       [](const CProgramSettings& s) { EXPECT_EQ(s.TableWidthK, 1.0); }},
      {"ratio infinite",
       [](ISettingsKey& k) {
         k.writeBinary("TableWidthK", doubleBytes(std::numeric_limits<double>::infinity()));
       },
       [](const CProgramSettings& s) { EXPECT_EQ(s.TableWidthK, 1.0); }},
      {"ratio -1", [](ISettingsKey& k) { k.writeBinary("TableWidthK", doubleBytes(-1.0)); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.TableWidthK, 1.0); }},
      {"ratio 0", [](ISettingsKey& k) { k.writeBinary("TableWidthK", doubleBytes(0.0)); },
       [](const CProgramSettings& s) { EXPECT_EQ(s.TableWidthK, 1.0); }},
  };
  for (const BadValueCase& c : cases) {
    SCOPED_TRACE(c.name);
    CMemorySettingsStore fresh;
    c.store(*fresh.openKey(kKey, true));
    CProgramSettings s;
    setAllFields(s);
    s.Load(fresh, nullptr);
    c.check(s);
  }
}

// One rule of Save: the value after saving, from a given stored state and field value.
struct SaveCase {
  const char* name;
  std::function<void(ISettingsKey&)> before;
  std::function<void(CProgramSettings&)> set;
  const char* value;
  std::optional<Value> expected;  // nullopt: not written
};

TEST_F(ProgramSettingsTest, SaveWriteRules) {
  const SaveCase cases[] = {
      {"style 0 never stored", nullptr, [](CProgramSettings& s) { s.MessagesStyle = 0; },
       "MessagesStyle", std::nullopt},
      {"style back to 0", [](ISettingsKey& k) { k.writeInt("MessagesStyle", 1); },
       [](CProgramSettings& s) { s.MessagesStyle = 0; }, "MessagesStyle", Value(qint32(0))},
      {"style 1", nullptr, [](CProgramSettings& s) { s.MessagesStyle = 1; }, "MessagesStyle",
       Value(qint32(1))},
      {"style 255", nullptr, [](CProgramSettings& s) { s.MessagesStyle = 255; }, "MessagesStyle",
       Value(qint32(255))},
      {"font size 0", nullptr, [](CProgramSettings& s) { s.FontSize = 0; }, "FontSize",
       std::nullopt},
      {"font size 0 leaves a stored one", [](ISettingsKey& k) { k.writeInt("FontSize", 18); },
       [](CProgramSettings& s) { s.FontSize = 0; }, "FontSize", Value(qint32(18))},
      {"font size 20", nullptr, [](CProgramSettings& s) { s.FontSize = 20; }, "FontSize",
       Value(qint32(20))},
      {"ratio 1.0", nullptr, [](CProgramSettings& s) { s.TableWidthK = 1.0; }, "TableWidthK",
       std::nullopt},
      {"ratio 2.5", nullptr, [](CProgramSettings& s) { s.TableWidthK = 2.5; }, "TableWidthK",
       Value(bytes("\x00\x00\x00\x00\x00\x00\x04\x40"))},
      {"ratio 0.1", nullptr, [](CProgramSettings& s) { s.TableWidthK = 0.1; }, "TableWidthK",
       Value(bytes("\x9A\x99\x99\x99\x99\x99\xB9\x3F"))},
      {"ratio back to 1.0", [](ISettingsKey& k) { k.writeBinary("TableWidthK", doubleBytes(2.0)); },
       [](CProgramSettings& s) { s.TableWidthK = 1.0; }, "TableWidthK",
       Value(bytes("\x00\x00\x00\x00\x00\x00\xF0\x3F"))},
      {"switch on", nullptr, [](CProgramSettings& s) { s.AllowSameNames = true; }, "AllowSameNames",
       Value(qint32(1))},
      {"switch off", [](ISettingsKey& k) { k.writeInt("MarkSameCables", 1); },
       [](CProgramSettings& s) { s.MarkSameCables = false; }, "MarkSameCables", Value(qint32(0))},
      {"switch kept on", nullptr, [](CProgramSettings&) {}, "MarkSameNames", Value(qint32(1))},
      {"empty text", [](ISettingsKey& k) { k.writeString("ListFile2", "old"); },
       [](CProgramSettings& s) { s.ListFile2.clear(); }, "ListFile2", Value(QString())},
      {"russian text", nullptr,
       [](CProgramSettings& s) { s.LastOpenedFile1 = QStringLiteral("D:/кабели.txt"); },
       "LastOpenedFile1", Value(QStringLiteral("D:/кабели.txt"))},
      {"editor never placed", nullptr, [](CProgramSettings& s) { s.EditWindow_Top = -1; },
       "EditWindow_Top", Value(qint32(-1))},
      {"editor left", nullptr, [](CProgramSettings& s) { s.EditWindow_Left = 412; },
       "EditWindow_Left", Value(qint32(412))},
      {"version", [](ISettingsKey& k) { k.writeString("Version", "0.0.0.1"); },
       [](CProgramSettings&) {}, "Version", Value(programInfo().Version())},
  };
  for (const SaveCase& c : cases) {
    SCOPED_TRACE(c.name);
    CMemorySettingsStore fresh;
    if (c.before) c.before(*fresh.openKey(kKey, true));
    CProgramSettings s;
    s.TableWidthK = 1.0;  // as after a load of an empty key
    c.set(s);
    s.Save(fresh, nullptr);
    auto k = fresh.openKey(kKey, false);
    ASSERT_NE(k, nullptr);
    EXPECT_EQ(readAny(*k, QString::fromLatin1(c.value)), c.expected);
  }
}

TEST_F(ProgramSettingsTest, SaveAfterAFirstRunWritesTheseValuesOnly) {
  QWidget window;
  window.setGeometry(267, 159, 925, 767);
  settings.Load(store, &window);
  settings.Save(store, &window);
  QStringList names = key()->valueNames();
  names.sort();
  QStringList expected{"AllowSameNames", "AutoSave1",       "AutoSave2",       "EditWindow_Left",
                       "EditWindow_Top", "LastOpenedFile1", "LastOpenedFile2", "ListFile1",
                       "ListFile2",      "MarkSameCables",  "MarkSameNames",   "Version"};
  expected.sort();
  EXPECT_EQ(names, expected);
  auto sub = key()->openSubKey(kMain, false);
  ASSERT_NE(sub, nullptr);
  names = sub->valueNames();
  names.sort();
  EXPECT_EQ(names, (QStringList{"Height", "Left", "Maximized", "Top", "Width"}));
  EXPECT_EQ(sub->readInt("Maximized"), 0);
  EXPECT_EQ(sub->readInt("Left"), 267);
  EXPECT_EQ(sub->readInt("Top"), 159);
  EXPECT_EQ(sub->readInt("Width"), 925);
  EXPECT_EQ(sub->readInt("Height"), 767);
}

TEST_F(ProgramSettingsTest, SaveWithoutAWindowLeavesTheStoredGeometry) {
  mainKey()->writeInt("Width", 640);
  settings.Save(store, nullptr);
  auto sub = key()->openSubKey(kMain, false);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->valueNames(), QStringList{"Width"});
}

TEST_F(ProgramSettingsTest, TheOlderKeyIsReadAndRemovedAfterSaving) {
  {
    auto old = key(kOldKey);
    old->writeString("ListFile1", "from old.txt");
    old->writeInt("FontSize", 10);
    old->writeInt("MessagesStyle", 1);
    old->writeBinary("TableWidthK", doubleBytes(2.0));
    mainKey(kOldKey)->writeInt("Width", 700);
    auto current = key();
    current->writeString("ListFile1", "from current.txt");
    current->writeInt("FontSize", 12);
  }
  QWidget window;
  window.setGeometry(10, 20, 300, 200);
  settings.Load(store, &window);
  EXPECT_EQ(settings.ListFile1, QStringLiteral("from old.txt"));
  EXPECT_EQ(settings.FontSize, 10);
  EXPECT_EQ(settings.MessagesStyle, 1);
  EXPECT_EQ(settings.TableWidthK, 2.0);
  EXPECT_EQ(window.geometry(), QRect(10, 20, 700, 200));

  settings.Save(store, &window);
  EXPECT_FALSE(store.keyExists(kOldKey));
  EXPECT_FALSE(store.keyExists(kOldKey + QStringLiteral("\\MainWindow")));
  auto current = key();
  EXPECT_EQ(current->readString("ListFile1"), QStringLiteral("from old.txt"));
  EXPECT_EQ(current->readInt("FontSize"), 10);
  EXPECT_EQ(current->readInt("MessagesStyle"), 1);
  EXPECT_EQ(current->readBinary("TableWidthK"), doubleBytes(2.0));
  EXPECT_EQ(current->openSubKey(kMain, false)->readInt("Width"), 700);
}

TEST_F(ProgramSettingsTest, TheOlderKeyStaysWhenTheCurrentOneCannotBeWritten) {
  key(kOldKey)->writeString("ListFile1", "keep me");
  key();  // exists, but its values cannot be written
  settings.Load(store, nullptr);
  store.setFailWrite(true);
  EXPECT_FALSE(settings.Save(store, nullptr));
  store.setFailWrite(false);
  EXPECT_TRUE(store.keyExists(kOldKey));
  EXPECT_EQ(key(kOldKey)->readString("ListFile1"), QStringLiteral("keep me"));
}

TEST_F(ProgramSettingsTest, AStoreThatCannotBeOpenedGivesTheDefaults) {
  key()->writeInt("FontSize", 16);
  store.setFailOpen(true);
  QAction strict, playful;
  settings.bindMessagesStyleActions(&strict, &playful);
  setAllFields(settings);
  QWidget window;
  window.setGeometry(267, 159, 925, 767);
  settings.Load(store, &window);
  expectEmptyLoadDefaults(settings);
  EXPECT_EQ(settings.FontSize, 14);
  EXPECT_TRUE(strict.isChecked());
  EXPECT_EQ(window.geometry(), QRect(267, 159, 925, 767));
  EXPECT_FALSE(settings.Save(store, &window));  // nothing stored; the caller decides what to say
  store.setFailOpen(false);
  EXPECT_EQ(key()->readInt("FontSize"), 16);
  EXPECT_EQ(key()->openSubKey(kMain, false), nullptr);
}

TEST_F(ProgramSettingsTest, SettersMoveTheCheckMarks) {
  auto allow = std::make_unique<QAction>();
  QAction names, cables;
  settings.SetMarkSameNames(false);  // before binding
  settings.bindActions(allow.get(), &names, &cables);
  EXPECT_TRUE(allow->isCheckable());
  EXPECT_FALSE(allow->isChecked());
  EXPECT_FALSE(names.isChecked());
  EXPECT_TRUE(cables.isChecked());

  settings.SetAllowSameNames(true);
  settings.SetMarkSameNames(true);
  settings.SetMarkSameCables(false);
  EXPECT_TRUE(settings.AllowSameNames && settings.MarkSameNames && !settings.MarkSameCables);
  EXPECT_TRUE(allow->isChecked());
  EXPECT_TRUE(names.isChecked());
  EXPECT_FALSE(cables.isChecked());

  allow.reset();  // the window's actions may go first
  settings.SetAllowSameNames(false);
  EXPECT_FALSE(settings.AllowSameNames);
}

TEST_F(ProgramSettingsTest, MessagesStyleChecksItsMenuItem) {
  struct Case {
    std::optional<qint32> stored;
    bool strict, playful;
  };
  const Case cases[] = {
      {std::nullopt, true, false}, {0, true, false}, {1, false, true}, {2, false, false}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored ? *c.stored : -1);
    CMemorySettingsStore fresh;
    if (c.stored) fresh.openKey(kKey, true)->writeInt("MessagesStyle", *c.stored);
    QActionGroup group(nullptr);  // exclusive, as in the menu
    QAction* strict = group.addAction(QStringLiteral("Строгий"));
    QAction* playful = group.addAction(QStringLiteral(":)"));
    strict->setCheckable(true);
    playful->setCheckable(true);
    playful->setChecked(true);  // the opposite of most cases
    CProgramSettings s;
    s.MessagesStyle = 1;
    s.bindMessagesStyleActions(strict, playful);
    s.Load(fresh, nullptr);
    EXPECT_EQ(strict->isChecked(), c.strict);
    EXPECT_EQ(playful->isChecked(), c.playful);
  }
}

// The main window's geometry against a real top-level window.
class GeometryTest : public ProgramSettingsTest {
 protected:
  void show(QWidget& window, const QRect& rect) {
    window.setGeometry(rect);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  }
};

TEST_F(GeometryTest, LoadAppliesTheStoredValues) {
  {
    auto sub = mainKey();
    sub->writeInt("Top", 100);
    sub->writeInt("Left", 50);
    sub->writeInt("Width", 700);
    sub->writeInt("Height", 500);
    sub->writeInt("Maximized", 0);
  }
  QWidget window;
  show(window, QRect(267, 159, 925, 767));
  settings.Load(store, &window);
  EXPECT_EQ(window.geometry(), QRect(50, 100, 700, 500));
  EXPECT_FALSE(window.isMaximized());
}

TEST_F(GeometryTest, APositionOffEveryScreenComesBackToThePrimaryScreen) {
  {
    auto sub = mainKey();
    sub->writeInt("Top", -5000);
    sub->writeInt("Left", 9000);
    sub->writeInt("Width", 700);
    sub->writeInt("Height", 500);
  }
  QWidget window;
  show(window, QRect(267, 159, 925, 767));
  settings.Load(store, &window);
  const QRect screen = QGuiApplication::primaryScreen()->availableGeometry();
  EXPECT_EQ(window.geometry(), QRect(screen.topLeft(), QSize(700, 500)));
}

TEST_F(GeometryTest, OnlyTheStoredValuesAreApplied) {
  struct Case {
    const char* name;
    qint32 value;
    QRect expected;
  };
  const QRect a = QGuiApplication::primaryScreen()->availableGeometry();
  const QRect base(a.left() + 67, a.top() + 59, 525, 467);
  const Case cases[] = {
      {"Width", 240, QRect(base.left(), base.top(), 240, 467)},
      {"Height", 280, QRect(base.left(), base.top(), 525, 280)},
      {"Top", a.top() + 10, QRect(base.left(), a.top() + 10, 525, 467)},
      {"Width", 0, base},  // a window of no size is not made
      {"Height", -5, base},
      // Damaged values: the window stays whole on the screen and no larger than it.
      {"Left", a.left() - 30, QRect(a.left(), base.top(), 525, 467)},
      {"Top", a.bottom() - 100, QRect(base.left(), a.bottom() + 1 - 467, 525, 467)},
      {"Width", 20000, QRect(a.left(), base.top(), a.width(), 467)},
      {"Height", std::numeric_limits<qint32>::max(), QRect(base.left(), a.top(), 525, a.height())},
      {"Left", std::numeric_limits<qint32>::max(), QRect(a.topLeft(), base.size())},
      {"Top", std::numeric_limits<qint32>::max() - 10, QRect(a.topLeft(), base.size())},
      {"Top", std::numeric_limits<qint32>::min(), QRect(a.topLeft(), base.size())},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.name) + " " + std::to_string(c.value));
    CMemorySettingsStore fresh;
    fresh.openKey(kKey, true)->openSubKey(kMain, true)->writeInt(c.name, c.value);
    QWidget window;
    show(window, base);
    CProgramSettings s;
    s.Load(fresh, &window);
    EXPECT_EQ(window.geometry(), c.expected);
  }
}

TEST_F(GeometryTest, AMaximizedWindowStoresAndRegainsItsNormalRectangle) {
  const QRect normal(120, 80, 600, 500);
  {
    QWidget window;
    show(window, normal);
    window.showMaximized();
    // The platform did maximize it.
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return window.isMaximized() && window.geometry() != normal; }));
    settings.Save(store, &window);
  }
  auto sub = key()->openSubKey(kMain, false);
  ASSERT_NE(sub, nullptr);
  EXPECT_EQ(sub->readInt("Maximized"), 1);
  EXPECT_EQ(sub->readInt("Left"), 120);
  EXPECT_EQ(sub->readInt("Top"), 80);
  EXPECT_EQ(sub->readInt("Width"), 600);
  EXPECT_EQ(sub->readInt("Height"), 500);

  QWidget window;
  window.setGeometry(267, 159, 925, 767);
  CProgramSettings next;
  next.Load(store, &window);  // at the first showing
  window.show();
  ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.isMaximized(); }, 1000));
  EXPECT_EQ(window.normalGeometry(), normal);
  window.showNormal();
  EXPECT_TRUE(QTest::qWaitFor([&] { return window.geometry() == normal; }, 1000))
      << window.geometry().x() << "," << window.geometry().y() << " " << window.geometry().width()
      << "x" << window.geometry().height();
}

// The INI store with the folder from XDG_CONFIG_HOME, as the program makes it.
class IniProgramSettingsTest : public testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    savedXdg_ = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", dir_.path().toUtf8());
  }
  void TearDown() override { qputenv("XDG_CONFIG_HOME", savedXdg_); }

  QTemporaryDir dir_;
  QByteArray savedXdg_;
};

TEST_F(IniProgramSettingsTest, SettingsSurviveARestart) {
  const QRect rect(40, 60, 677, 555);
  {
    CProgramSettings s;
    s.Load(*createUserSettingsStore(), nullptr);
    s.ListFile1 = QStringLiteral("/home/u/Кабели/таблица 1.txt");
    s.ListFile2 = QStringLiteral("12");  // a text that looks like a number stays a text
    s.LastOpenedFile1 = QStringLiteral("/home/u/a,b.txt");
    s.LastOpenedFile2 = QStringLiteral("\"quoted\"");
    s.AutoSave1 = QStringLiteral("/opt/tolmira/autosave1.txt");
    s.AutoSave2.clear();
    s.EditWindow_Top = -1;
    s.EditWindow_Left = 250;
    s.FontSize = 18;
    s.TableWidthK = 1.0 / 3.0;
    s.MessagesStyle = 1;
    s.SetAllowSameNames(true);
    s.SetMarkSameNames(false);
    s.SetMarkSameCables(true);
    QWidget window;
    window.setGeometry(rect);
    s.Save(*createUserSettingsStore(), &window);
  }
  EXPECT_TRUE(QFileInfo(dir_.path() + QStringLiteral("/ORVEN/Tolmira.conf")).isFile());

  CProgramSettings s;
  QWidget window;
  window.setGeometry(267, 159, 925, 767);
  s.Load(*createUserSettingsStore(), &window);
  EXPECT_EQ(s.ListFile1, QStringLiteral("/home/u/Кабели/таблица 1.txt"));
  EXPECT_EQ(s.ListFile2, QStringLiteral("12"));
  EXPECT_EQ(s.LastOpenedFile1, QStringLiteral("/home/u/a,b.txt"));
  EXPECT_EQ(s.LastOpenedFile2, QStringLiteral("\"quoted\""));
  EXPECT_EQ(s.AutoSave1, QStringLiteral("/opt/tolmira/autosave1.txt"));
  EXPECT_TRUE(s.AutoSave2.isEmpty());
  EXPECT_EQ(s.EditWindow_Top, -1);
  EXPECT_EQ(s.EditWindow_Left, 250);
  EXPECT_EQ(s.FontSize, 18);
  EXPECT_EQ(s.TableWidthK, 1.0 / 3.0);  // every bit of it
  EXPECT_EQ(s.MessagesStyle, 1);
  EXPECT_TRUE(s.AllowSameNames);
  EXPECT_FALSE(s.MarkSameNames);
  EXPECT_TRUE(s.MarkSameCables);
  EXPECT_EQ(window.geometry(), rect);
  EXPECT_FALSE(window.isMaximized());
}

TEST_F(IniProgramSettingsTest, TheOlderFileIsMigrated) {
  const QString oldFile = dir_.path() + QStringLiteral("/ORVEN/Tolmira 1.00.conf");
  {
    CIniSettingsStore store(dir_.path());
    auto old = store.openKey(kOldKey, true);
    ASSERT_NE(old, nullptr);
    old->writeString("ListFile2", "/old/right.txt");
    old->writeInt("MarkSameCables", 0);
  }
  ASSERT_TRUE(QFileInfo(oldFile).isFile());
  CProgramSettings s;
  s.Load(*createUserSettingsStore(), nullptr);
  EXPECT_EQ(s.ListFile2, QStringLiteral("/old/right.txt"));
  EXPECT_FALSE(s.MarkSameCables);
  s.Save(*createUserSettingsStore(), nullptr);
  EXPECT_FALSE(QFileInfo::exists(oldFile));

  CProgramSettings next;
  next.Load(*createUserSettingsStore(), nullptr);
  EXPECT_EQ(next.ListFile2, QStringLiteral("/old/right.txt"));
  EXPECT_FALSE(next.MarkSameCables);
}

TEST_F(IniProgramSettingsTest, AnUnusableFolderGivesTheDefaultsQuietly) {
  const QString blocker = dir_.filePath(QStringLiteral("not a folder"));
  QFile file(blocker);
  ASSERT_TRUE(file.open(QIODevice::WriteOnly));
  file.close();
  qputenv("XDG_CONFIG_HOME", blocker.toUtf8());
  CProgramSettings s;
  setAllFields(s);
  QWidget window;
  window.setGeometry(267, 159, 925, 767);
  s.Load(*createUserSettingsStore(), &window);
  EXPECT_EQ(s.TableWidthK, 1.0);
  EXPECT_EQ(s.EditWindow_Top, -1);
  EXPECT_TRUE(s.ListFile1.isEmpty());
  EXPECT_EQ(window.geometry(), QRect(267, 159, 925, 767));
  s.Save(*createUserSettingsStore(), &window);
  EXPECT_TRUE(QFileInfo(blocker).isFile());
}

}  // namespace
