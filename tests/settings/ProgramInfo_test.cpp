#include <string>

#include <QDate>

#include <gtest/gtest.h>

#include "settings/CProgramInfo.h"
#include "tolmira/Version.h"

namespace {

TEST(ProgramInfoTest, VersionIsTheProjectVersion) {
  const CProgramInfo& info = programInfo();
  EXPECT_EQ(info.Version(), QStringLiteral(TOLMIRA_VERSION_STRING));
  EXPECT_EQ(info.Major(), TOLMIRA_VERSION_MAJOR);
  EXPECT_EQ(info.Build(), TOLMIRA_VERSION_TWEAK);
  EXPECT_EQ(info.Version(), QStringLiteral("%1.%2.%3.%4")
                                .arg(info.Major())
                                .arg(info.Minor())
                                .arg(info.Release())
                                .arg(info.Build()));
}

TEST(ProgramInfoTest, BuildDateIsTheCompilerDate) {
  const CProgramInfo& info = programInfo();
  ASSERT_TRUE(info.BuildDate().isValid());
  EXPECT_EQ(info.BuildYear(), info.BuildDate().year());
  EXPECT_GE(info.BuildYear(), 2023);
  EXPECT_LE(info.BuildDate(), QDate::currentDate().addDays(1));
}

struct DateCase {
  const char* text;
  QDate expected;  // invalid: refused
};

TEST(ProgramInfoTest, ParseBuildDate) {
  const DateCase cases[] = {
      {"Nov 14 2023", QDate(2023, 11, 14)},
      {"Jan  2 2024", QDate(2024, 1, 2)},
      {"Dec 31 1999", QDate(1999, 12, 31)},
      {"Feb 29 2024", QDate(2024, 2, 29)},
      {"Feb 29 2023", QDate()},  // no such day
      {"Apr 31 2024", QDate()},
      {"Jan 0 2024", QDate()},
      {"Foo 14 2023", QDate()},
      {"anF 14 2023", QDate()},  // straddles "Jan" and "Feb"
      {"nov 14 2023", QDate()},
      {"Novem 14 2023", QDate()},
      {"No 14 2023", QDate()},
      {"Nov 14", QDate()},
      {"Nov", QDate()},
      {"", QDate()},
      {nullptr, QDate()},
  };
  for (const DateCase& c : cases) {
    SCOPED_TRACE(c.text ? c.text : "(null)");
    const QDate parsed = CProgramInfo::parseBuildDate(c.text);
    EXPECT_EQ(parsed.isValid(), c.expected.isValid());
    if (c.expected.isValid()) {
      EXPECT_EQ(parsed, c.expected);
    }
  }
  // A long first word must stay out of the month buffer.
  const std::string longWord(10000, 'N');
  EXPECT_FALSE(CProgramInfo::parseBuildDate((longWord + " 14 2023").c_str()).isValid());
}

}  // namespace
