// The registry code against the real registry (Wine's, under test), in a key of its
// own below HKEY_CURRENT_USER\Software that is removed afterwards.
#include "registry/RegistryKey.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

namespace {

class RegistryKeyTest : public ::testing::Test {
 protected:
  const std::wstring root =
      L"Software\\TolmiraRegistryTest" + std::to_wstring(GetCurrentProcessId());

  void TearDown() override {
    EXPECT_TRUE(RegistryKey::deleteTree(root));
    EXPECT_FALSE(RegistryKey::exists(root));
  }

  std::unique_ptr<RegistryKey> made() {
    auto key = RegistryKey::open(root, true);
    EXPECT_NE(nullptr, key);
    return key;
  }

  // A value written the way another program may have left it.
  void rawValue(const wchar_t* name, DWORD type, const void* data, DWORD size) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, root.c_str(), 0, KEY_WRITE, &key));
    EXPECT_EQ(ERROR_SUCCESS,
              RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size));
    RegCloseKey(key);
  }
};

TEST_F(RegistryKeyTest, KeysAreMadeOnlyWhenAskedAndDeletedWithWhatTheyHold) {
  EXPECT_FALSE(RegistryKey::exists(root));
  EXPECT_EQ(nullptr, RegistryKey::open(root, false));
  auto key = made();
  ASSERT_NE(nullptr, key);
  EXPECT_TRUE(RegistryKey::exists(root));

  EXPECT_EQ(nullptr, key->openSubKey(L"Окна", false));
  auto sub = key->openSubKey(L"Окна", true);
  ASSERT_NE(nullptr, sub);
  EXPECT_TRUE(sub->writeDword(L"Левый", 10));
  EXPECT_TRUE(RegistryKey::exists(root + L"\\Окна"));
  // One level only, never a path; nor a key without a name.
  EXPECT_EQ(nullptr, key->openSubKey(L"a\\b", true));
  EXPECT_EQ(nullptr, key->openSubKey(L"", true));
  EXPECT_FALSE(RegistryKey::exists(root + L"\\a"));

  sub.reset();
  key.reset();
  EXPECT_TRUE(RegistryKey::deleteTree(root));
  EXPECT_FALSE(RegistryKey::exists(root + L"\\Окна"));
  EXPECT_FALSE(RegistryKey::exists(root));
  EXPECT_TRUE(RegistryKey::deleteTree(root));  // already gone: nothing to do
  EXPECT_FALSE(RegistryKey::deleteTree(L""));  // never the whole hive
  EXPECT_EQ(nullptr, RegistryKey::open(L"", true));
}

TEST_F(RegistryKeyTest, ValuesOfEachTypeReadBackAsWritten) {
  auto key = made();
  ASSERT_NE(nullptr, key);
  const std::vector<std::uint8_t> bytes{0, 1, 0xFF, 0x80, 0};
  EXPECT_TRUE(key->writeString(L"Файл", L"C:\\Таблицы\\кабели.txt"));
  EXPECT_TRUE(key->writeString(L"Пусто", L""));
  EXPECT_TRUE(key->writeDword(L"Число", 0xFFFFFFFFu));
  EXPECT_TRUE(key->writeDword(L"Ноль", 0));
  EXPECT_TRUE(key->writeBinary(L"Байты", bytes));
  EXPECT_TRUE(key->writeBinary(L"НетБайтов", {}));
  EXPECT_FALSE(key->failed());

  // Read through a key opened afresh: what is in the registry, not in this object.
  key.reset();
  key = RegistryKey::open(root, false);
  ASSERT_NE(nullptr, key);
  EXPECT_EQ(L"C:\\Таблицы\\кабели.txt", key->readString(L"Файл").value_or(L"?"));
  EXPECT_EQ(L"", key->readString(L"Пусто").value_or(L"?"));
  EXPECT_EQ(0xFFFFFFFFu, key->readDword(L"Число").value_or(1));
  EXPECT_EQ(0u, key->readDword(L"Ноль").value_or(1));
  EXPECT_EQ(bytes, key->readBinary(L"Байты").value_or(std::vector<std::uint8_t>{1}));
  EXPECT_EQ(std::vector<std::uint8_t>{},
            key->readBinary(L"НетБайтов").value_or(std::vector<std::uint8_t>{1}));

  std::vector<std::wstring> names = key->valueNames();
  std::sort(names.begin(), names.end());
  std::vector<std::wstring> expected{L"Файл", L"Пусто", L"Число", L"Ноль", L"Байты", L"НетБайтов"};
  std::sort(expected.begin(), expected.end());
  EXPECT_EQ(expected, names);
  EXPECT_TRUE(key->hasValue(L"Число"));
  EXPECT_FALSE(key->hasValue(L"Нет"));
}

TEST_F(RegistryKeyTest, AValueOfAnotherTypeOrShapeReadsAsMissing) {
  auto key = made();
  ASSERT_NE(nullptr, key);
  ASSERT_TRUE(key->writeString(L"text", L"12"));
  ASSERT_TRUE(key->writeDword(L"number", 12));
  ASSERT_TRUE(key->writeBinary(L"bytes", {1, 2, 3, 4}));
  const std::uint8_t eight[8] = {1};
  rawValue(L"qword", REG_QWORD, eight, sizeof eight);
  rawValue(L"short dword", REG_DWORD, eight, 2);

  EXPECT_FALSE(key->readDword(L"text"));
  EXPECT_FALSE(key->readBinary(L"text"));
  EXPECT_FALSE(key->readString(L"number"));
  EXPECT_FALSE(key->readBinary(L"number"));
  EXPECT_FALSE(key->readDword(L"bytes"));  // four bytes, but not a DWORD
  EXPECT_FALSE(key->readString(L"bytes"));
  EXPECT_FALSE(key->readDword(L"qword"));
  EXPECT_FALSE(key->readDword(L"short dword"));
  EXPECT_FALSE(key->readString(L"missing"));
  EXPECT_FALSE(key->readDword(L""));
}

TEST_F(RegistryKeyTest, TextLeftWithoutItsEndOrWithAnOddLengthReadsUpToWhatIsThere) {
  auto key = made();
  ASSERT_NE(nullptr, key);
  const wchar_t unterminated[] = {L'а', L'б', L'в'};
  rawValue(L"unterminated", REG_SZ, unterminated, sizeof unterminated);
  rawValue(L"odd", REG_SZ, unterminated, sizeof unterminated - 1);
  const wchar_t twoParts[] = L"до\0после";
  rawValue(L"two parts", REG_SZ, twoParts, sizeof twoParts);
  rawValue(L"expand", REG_EXPAND_SZ, L"%TEMP%\\x", sizeof L"%TEMP%\\x");

  EXPECT_EQ(L"абв", key->readString(L"unterminated").value_or(L"?"));
  EXPECT_EQ(L"аб", key->readString(L"odd").value_or(L"?"));
  EXPECT_EQ(L"до", key->readString(L"two parts").value_or(L"?"));
  EXPECT_EQ(L"%TEMP%\\x", key->readString(L"expand").value_or(L"?"));
}

TEST_F(RegistryKeyTest, AFailedWriteIsReportedAndRemembered) {
  auto key = made();
  ASSERT_NE(nullptr, key);
  EXPECT_TRUE(key->writeDword(L"ok", 1));
  EXPECT_FALSE(key->failed());
  EXPECT_FALSE(key->writeDword(L"", 1));
  EXPECT_FALSE(key->writeString(L"a\\b", L"x"));
  EXPECT_TRUE(key->failed());
  EXPECT_TRUE(key->writeDword(L"ok", 2));
  EXPECT_TRUE(key->failed());  // a later success does not hide the earlier loss
}

}  // namespace
