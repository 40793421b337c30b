// The table files named on the command line.
#include "app/StartFiles.h"

#include <QDir>

#include <gtest/gtest.h>

using namespace tolmira;

namespace {

struct ArgsCase {
  const char* label;
  QStringList arguments;  // after the program
  QStringList files;      // relative to the current folder unless absolute
  QStringList ignored;
};

TEST(StartFiles, TakesUpToTwoFilesAsAbsolutePaths) {
  const QString here = QDir::currentPath();
  const ArgsCase cases[] = {
      {"none", {}, {}, {}},
      {"one relative", {"t.txt"}, {here + "/t.txt"}, {}},
      {"dotted relative", {"./x/../t.txt"}, {here + "/t.txt"}, {}},
      {"absolute and Cyrillic", {"/tmp/таблица.txt"}, {"/tmp/таблица.txt"}, {}},
      {"two", {"a.txt", "/b.txt"}, {here + "/a.txt", "/b.txt"}, {}},
      {"an empty argument", {"", "a.txt"}, {here + "/a.txt"}, {}},
      {"three", {"a.txt", "b.txt", "c.txt"}, {here + "/a.txt", here + "/b.txt"}, {"c.txt"}},
      {"an option", {"--help", "a.txt"}, {here + "/a.txt"}, {"--help"}},
      {"a file after --", {"--", "-a.txt", "--"}, {here + "/-a.txt", here + "/--"}, {}},
  };
  for (const ArgsCase& c : cases) {
    QStringList ignored;
    EXPECT_EQ(startFiles(QStringList{"tolmira"} + c.arguments, &ignored), c.files) << c.label;
    EXPECT_EQ(ignored, c.ignored) << c.label;
  }
}

}  // namespace
