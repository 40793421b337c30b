#include "platform/QtCp1251.h"

#include <cstring>

#include <gtest/gtest.h>

#include "model/SCable.h"

using namespace tolmira;

TEST(QtCp1251, RoundTripsCyrillicAndSigns) {
  const QString text = QStringLiteral("Кабель ЁёАя °± №");
  const std::string bytes = cp1251FromQString(text);
  EXPECT_EQ(bytes, std::string("\xCA\xE0\xE1\xE5\xEB\xFC \xA8\xB8\xC0\xFF \xB0\xB1 \xB9"));
  EXPECT_EQ(qStringFromCp1251(bytes), text);
}

TEST(QtCp1251, UnrepresentableCharacterBecomesUnderscoreInAName) {
  // A Chinese character and an emoji have no Windows-1251 byte: the name keeps a
  // visible '_' in their place instead of losing them silently.
  const std::string bytes = cp1251FromQString(QStringLiteral("A漢B😀C"));
  EXPECT_EQ(bytes, "A?B?C");
  char name[16];
  EXPECT_FALSE(SCable::sanitizeName(name, bytes.c_str()));
  EXPECT_STREQ(name, "A_B_C");
}
