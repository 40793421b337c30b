// Saving and loading tables through Windows' own file calls: the replace of an
// existing file, a read-only file, and names with Cyrillic letters, which Windows'
// narrow calls could not even spell.
#include "model/TableFile.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include <windows.h>

#include <gtest/gtest.h>

#include "model/FileOpenError.h"
#include "model/LoadStatus.h"
#include "model/NativePath.h"
#include "support/FileTestSupport.h"

using namespace tolmira;

namespace {

namespace fs = std::filesystem;

std::string readAll(const std::string& path) {
  std::ifstream in(fsPath(path), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeAll(const std::string& path, const std::string& bytes) {
  std::ofstream(fsPath(path), std::ios::binary) << bytes;
}

std::vector<std::string> namesIn(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(fsPath(folder)))
    names.push_back(utf8Path(e.path().filename()));
  return names;
}

SCable cable(const char* name, float ku) {
  SCable c;
  std::memcpy(c.name, name, std::strlen(name));
  c.setKU(ku);
  return c;
}

class WindowsSaveTest : public ::testing::Test {
 protected:
  TempDir dir;
  // "Таблицы" in UTF-8, the program's own spelling of names.
  const std::string folder = dir.file("\xD0\xA2\xD0\xB0\xD0\xB1\xD0\xBB\xD0\xB8\xD1\x86\xD1\x8B");
  const std::string path = folder + "/\xD0\xBA\xD0\xB0\xD0\xB1\xD0\xB5\xD0\xBB\xD0\xB8.txt";
  SListCables table;

  void SetUp() override {
    ASSERT_FALSE(dir.path().empty());
    ASSERT_TRUE(fs::create_directory(fsPath(folder)));
    table.add(cable("\xCA\xD1\xCF\xC2", 1.5f));
    table.add(cable("TDR", 1.6f));
  }
};

}  // namespace

TEST_F(WindowsSaveTest, ACyrillicNameIsTheFileWindowsShows) {
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  // The very name, asked for in UTF-16, and nothing else in the folder.
  const fs::path wide = fsPath(path);
  EXPECT_EQ(L"кабели.txt", wide.filename().wstring());
  EXPECT_EQ(L"Таблицы", wide.parent_path().filename().wstring());
  EXPECT_NE(INVALID_FILE_ATTRIBUTES, ::GetFileAttributesW(wide.wstring().c_str()));
  EXPECT_EQ(std::vector<std::string>{"\xD0\xBA\xD0\xB0\xD0\xB1\xD0\xB5\xD0\xBB\xD0\xB8.txt"},
            namesIn(folder));

  SListCables back;
  const LoadResult r = loadFromFile(back, path.c_str());
  EXPECT_EQ(0, r.errorLines);
  EXPECT_EQ(2, r.addedRecords);
  EXPECT_EQ(2, back.getCount());
}

TEST_F(WindowsSaveTest, LinesEndInCrLfWithNoTextModeDoubling) {
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  const std::string bytes = readAll(path);
  ASSERT_FALSE(bytes.empty());
  EXPECT_EQ(std::string::npos, bytes.find("\r\r"));
  std::size_t lines = 0;
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\n') continue;
    ++lines;
    EXPECT_TRUE(i > 0 && bytes[i - 1] == '\r') << "a bare LF at byte " << i;
  }
  EXPECT_EQ(5u, lines);  // identifier, empty line, header, two records
  EXPECT_EQ('\n', bytes.back());
}

TEST_F(WindowsSaveTest, AnExistingFileIsReplacedWholeAndNoScratchFileIsLeft) {
  writeAll(path, std::string(10000, '#'));
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  const std::string bytes = readAll(path);
  EXPECT_EQ(std::string::npos, bytes.find('#'));
  EXPECT_LT(bytes.size(), 10000u);
  EXPECT_EQ(1u, namesIn(folder).size());

  // Again over the file just written: the second replace works the same way.
  table.add(cable("Third", 1.7f));
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  SListCables back;
  loadFromFile(back, path.c_str());
  EXPECT_EQ(3, back.getCount());
  EXPECT_EQ(1u, namesIn(folder).size());
}

TEST_F(WindowsSaveTest, AReadOnlyFileIsRefusedAndKeptAsItWas) {
  writeAll(path, "old");
  const std::wstring wide = fsPath(path).wstring();
  ASSERT_TRUE(::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_READONLY));
  try {
    table.saveToFile(path.c_str());
    ADD_FAILURE() << "no exception";
  } catch (const FileOpenError& e) {
    EXPECT_EQ(path, e.path());
  }
  EXPECT_TRUE(table.isModified());
  EXPECT_EQ("old", readAll(path));
  EXPECT_EQ(1u, namesIn(folder).size());
  ::SetFileAttributesW(wide.c_str(), FILE_ATTRIBUTE_NORMAL);  // or the folder cannot go
}

TEST_F(WindowsSaveTest, AMissingCyrillicFileIsReportedAsMissing) {
  SListCables back;
  const LoadResult r = loadFromFile(back, path.c_str());
  EXPECT_EQ(0, r.addedRecords);
  EXPECT_NE(0u, r.status & LSF_ERROR_VERSION);
  EXPECT_TRUE(namesIn(folder).empty());
}
