#include "model/TableFile.h"

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/time.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "model/FileOpenError.h"
#include "model/LoadStatus.h"
#include "model/TableFileSystem.h"
#include "model/cFile.h"
#include "model/cLog.h"
#include "support/FileTestSupport.h"

using namespace tolmira;

namespace {

const std::string kHead =
    "VIRD Table Of Cables V04\r\n\r\n"
    "Name\tKU\tMaterial(Ohm x mm^2/km\t1/\xB0"
    "C)\tOhm/km\tTwist\r\n";

// Keeps what the writer tells the log, in order: "d:" for dump, plain for message.
class RecordingLog : public cLog_base {
 public:
  std::vector<std::string> entries;
  int dump(const char* text) override {
    entries.push_back(std::string("d:") + text);
    return 0;
  }
  int message(const char* text) override {
    entries.push_back(text);
    return 0;
  }
};

SCable cable(const char* name, float ku) {
  SCable c;
  // The record's name field is zero-filled: at most the longest name, no terminator needed.
  std::memcpy(c.name, name, std::min<std::size_t>(std::strlen(name), SCable::kMaxNameLength));
  c.setKU(ku);
  return c;
}

SCable withR(SCable c, int material, float r, float tf) {
  c.material.reset(material);
  c.setR(r);
  c.setTwist(tf);
  return c;
}

// Runs body in a forked child and hands back what it returned.
std::string inChild(const std::function<std::string()>& body) {
  int fds[2];
  if (::pipe(fds) != 0) return "pipe failed";
  const pid_t pid = ::fork();
  if (pid == 0) {
    ::close(fds[0]);
    std::string out;
    try {
      out = body();
    } catch (const std::exception& e) {
      out = std::string("exception: ") + e.what();
    }
    const char* p = out.data();
    std::size_t left = out.size();
    while (left > 0) {
      const ssize_t w = ::write(fds[1], p, left);
      if (w <= 0) break;
      p += w;
      left -= static_cast<std::size_t>(w);
    }
    ::_exit(0);
  }
  ::close(fds[1]);
  std::string out;
  char buf[512];
  ssize_t r;
  while ((r = ::read(fds[0], buf, sizeof buf)) > 0) out.append(buf, static_cast<std::size_t>(r));
  ::close(fds[0]);
  int status = 0;
  ::waitpid(pid, &status, 0);
  if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) out += " [child failed]";
  return out;
}

std::string joined(const std::vector<std::string>& v) {
  std::string s;
  for (const std::string& e : v) s += e + "|";
  return s;
}

class SaveTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string path = dir.file("table.txt");
  SListCables table;
  RecordingLog log;
  cLog* previousLog = nullptr;

  void SetUp() override { previousLog = setProcessLog(&log); }
  void TearDown() override { setProcessLog(previousLog); }

  void fill() {
    table.add(withR(cable("\xCA\xD1\xCF\xC2", 1.5f), 0, 0.0874f, 1.02f));
    table.add(cable("TDR only", 1.5f));
  }
};

}  // namespace

TEST_F(SaveTest, WritesExactBytes) {
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  EXPECT_EQ(kHead, readBytes(path));

  table.add(withR(cable("\xCA\xD1\xCF\xC2", 1.5f), 0, 0.0874f, 1.02f));
  table.add(cable("TDR only", 1.5f));
  SCable own = withR(cable("Own", 1.52f), 6, 0.0012f, 1.0f);
  own.material.setRuOverride(0.0285f);
  own.material.setTCOverride(0.0041f);
  table.add(own);
  SCable section = cable("Section", 1.6f);
  section.setS(1.0f);
  table.add(section);
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  EXPECT_EQ(kHead +
                "\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200\r\n"
                "TDR only\t1.5\r\n"
                "Own\t1.52\tAl AM*(28.5\t0.0041)\t1.2\t1.0000\r\n"
                "Section\t1.6\tCu\t17.48\t1.0000\r\n",
            readBytes(path));
}

TEST_F(SaveTest, LogStepsOfASuccessfulSave) {
  fill();
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  const std::vector<std::string> expected = {
      "STF:", "\t1", "\t2",  "\t3",   "\t4",
      "\t5",  "\t6", "\t7",  "\t7: ", "d:\xCA\xD1\xCF\xC2\t1.5\tCu\t87.4\t1.0200",
      "\t8",  "\t9", "\t10", "\t7: ", "d:TDR only\t1.5",
      "\t8",  "\t9", "\t10", "\t11"};
  EXPECT_EQ(expected, log.entries);
}

TEST_F(SaveTest, ReplacesOldFileWhole) {
  writeBytes(path, std::string(5000, '#'));
  ASSERT_EQ(0, ::chmod(path.c_str(), 0640));
  fill();
  EXPECT_TRUE(table.isModified());
  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  EXPECT_FALSE(table.isModified());
  const std::string bytes = readBytes(path);
  EXPECT_EQ(0u, bytes.find(kHead));
  EXPECT_EQ(std::string::npos, bytes.find('#'));
  struct stat st;
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(0640u, st.st_mode & 07777);
  EXPECT_EQ(std::vector<std::string>{"table.txt"}, dir.entries()) << "scratch file left";
}

TEST_F(SaveTest, SavesThroughASymbolicLink) {
  const std::string real = dir.file("real.txt");
  const std::string link = dir.file("link.txt");
  writeBytes(real, "old");
  ASSERT_EQ(0, ::symlink(real.c_str(), link.c_str()));
  fill();
  ASSERT_EQ(0u, table.saveToFile(link.c_str()));
  struct stat st;
  ASSERT_EQ(0, ::lstat(link.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(0u, readBytes(real).find(kHead));

  // A link to a file that does not exist yet, given relative to the link's folder:
  // the link stays and its file is created.
  const std::string dangling = dir.file("dangling.txt");
  ASSERT_EQ(0, ::symlink("new.txt", dangling.c_str()));
  fill();
  ASSERT_EQ(0u, table.saveToFile(dangling.c_str()));
  ASSERT_EQ(0, ::lstat(dangling.c_str(), &st));
  EXPECT_TRUE(S_ISLNK(st.st_mode));
  EXPECT_EQ(0u, readBytes(dir.file("new.txt")).find(kHead));
}

// A loop of links has no file at its end: refused, and every link stays a link.
TEST_F(SaveTest, ALoopOfLinksIsRefused) {
  const std::string a = dir.file("a.txt");
  const std::string b = dir.file("b.txt");
  ASSERT_EQ(0, ::symlink(b.c_str(), a.c_str()));
  ASSERT_EQ(0, ::symlink(a.c_str(), b.c_str()));
  fill();
  try {
    table.saveToFile(a.c_str());
    ADD_FAILURE() << "no exception";
  } catch (const FileOpenError& e) {
    EXPECT_EQ(a, e.path());
    EXPECT_EQ(std::strerror(ELOOP), e.osMessage());
  }
  EXPECT_TRUE(table.isModified());
  struct stat st;
  for (const std::string& link : {a, b}) {
    ASSERT_EQ(0, ::lstat(link.c_str(), &st));
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << link;
  }
  std::vector<std::string> names = dir.entries();
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"a.txt", "b.txt"}), names);
}

// A file with a second name (hard link) is rewritten in place, so both names keep
// showing the same, new table.
TEST_F(SaveTest, AFileWithOtherNamesKeepsThem) {
  writeBytes(path, "old table");
  const std::string other = dir.file("other.txt");
  ASSERT_EQ(0, ::link(path.c_str(), other.c_str()));
  struct stat before;
  ASSERT_EQ(0, ::stat(path.c_str(), &before));
  fill();
  ASSERT_EQ(0u, table.saveToFile(path.c_str())) << joined(log.entries);
  EXPECT_FALSE(table.isModified());
  struct stat after;
  ASSERT_EQ(0, ::stat(path.c_str(), &after));
  EXPECT_EQ(before.st_ino, after.st_ino);
  EXPECT_EQ(0u, readBytes(path).find(kHead));
  EXPECT_EQ(readBytes(path), readBytes(other));
  std::vector<std::string> names = dir.entries();
  std::sort(names.begin(), names.end());
  EXPECT_EQ((std::vector<std::string>{"other.txt", "table.txt"}), names);
}

// A file saved by another user keeps its owner and group when the saver may keep them.
TEST_F(SaveTest, TheReplacedFileKeepsItsOwnerAndGroup) {
  if (::geteuid() != 0) GTEST_SKIP() << "only a root process may give a file to another user";
  writeBytes(path, "old table");
  ASSERT_EQ(0, ::chown(path.c_str(), 65534, 65534));
  ASSERT_EQ(0, ::chmod(path.c_str(), 0664));
  fill();
  ASSERT_EQ(0u, table.saveToFile(path.c_str())) << joined(log.entries);
  struct stat st;
  ASSERT_EQ(0, ::stat(path.c_str(), &st));
  EXPECT_EQ(65534u, st.st_uid);
  EXPECT_EQ(65534u, st.st_gid);
  EXPECT_EQ(0664u, st.st_mode & 07777);
}

// Scratch files left by saves that never finished are removed before the next save:
// exactly the writer's own names, and only when older than a minute.
TEST_F(SaveTest, StaleScratchFilesAreRemovedBeforeASave) {
  struct Leftover {
    const char* name;
    int ageSeconds;
    bool removed;
  };
  const Leftover leftovers[] = {
      {"~TLM0000.TMP", 3600, true},  {"~TLMBEEF.TMP", 61, true},
      {"~TLM12AB.TMP", 20, false},  // may belong to a save running now
      {"~TLMbeef.TMP", 3600, false}, {"~TLM12345.TMP", 3600, false},
      {"~TLM12G4.TMP", 3600, false}, {"~TLM1234.TMP.bak", 3600, false},
      {"TLM1234.TMP", 3600, false},  {"~TLM1234.TXT", 3600, false},
  };
  const std::time_t now = std::time(nullptr);
  for (const Leftover& l : leftovers) {
    const std::string file = dir.file(l.name);
    writeBytes(file, "scratch");
    const timeval times[2] = {{now - l.ageSeconds, 0}, {now - l.ageSeconds, 0}};
    ASSERT_EQ(0, ::utimes(file.c_str(), times));
  }
  fill();
  ASSERT_EQ(0u, table.saveToFile(path.c_str())) << joined(log.entries);
  for (const Leftover& l : leftovers) EXPECT_EQ(!l.removed, fileExists(dir.file(l.name))) << l.name;
}

// A log that kills its own process the moment the writer reports a given step: a
// kill -9 (or a pulled stick) in the middle of a save.
class KillingLog : public cLog_base {
 public:
  explicit KillingLog(const char* step) : step_(step) {}
  int dump(const char*) override { return 0; }
  int message(const char* text) override {
    if (std::strcmp(text, step_) == 0) ::raise(SIGKILL);
    return 0;
  }

 private:
  const char* step_;
};

// A save killed while it writes leaves the old table whole and a scratch file; once
// that is older than a minute, the next save removes it.
TEST_F(SaveTest, AKilledSaveLeavesTheOldTableAndItsDebrisGoesNextTime) {
  writeBytes(path, "old table");
  for (int i = 0; i < 50; ++i) table.add(cable(("Cable " + std::to_string(i)).c_str(), 1.5f));
  const pid_t pid = ::fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    KillingLog log("\t8");  // the first record line is about to be written
    setProcessLog(&log);
    table.saveToFile(path.c_str());
    ::_exit(0);  // not reached
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL);
  EXPECT_EQ("old table", readBytes(path));
  std::vector<std::string> names = dir.entries();
  ASSERT_EQ(2u, names.size());
  std::sort(names.begin(), names.end());
  const std::string debris = names[0] == "table.txt" ? names[1] : names[0];
  EXPECT_TRUE(isScratchName(debris)) << debris;

  // A save right after keeps it: it might belong to a save running now.
  ASSERT_EQ(0u, table.saveToFile(path.c_str())) << joined(log.entries);
  EXPECT_TRUE(fileExists(dir.file(debris)));
  const std::time_t earlier = std::time(nullptr) - 120;
  const timeval times[2] = {{earlier, 0}, {earlier, 0}};
  ASSERT_EQ(0, ::utimes(dir.file(debris).c_str(), times));
  ASSERT_EQ(0u, table.saveToFile(path.c_str())) << joined(log.entries);
  EXPECT_EQ(std::vector<std::string>{"table.txt"}, dir.entries());
  SListCables back;
  EXPECT_EQ(0u, loadFromFile(back, path.c_str()).status);
  EXPECT_EQ(50, back.getCount());
}

TEST_F(SaveTest, RoundTripKeepsRecords) {
  table.add(withR(cable("\xCA\xE0\xE1\xE5\xEB\xFC 1", 1.5f), 0, 0.0874f, 1.02f));
  table.add(cable("KU only", 2.25f));
  for (int m = 0; m < 8; ++m)
    table.add(withR(cable(("M" + std::to_string(m)).c_str(), 1.4f + 0.1f * m), m, 0.01f * (m + 1),
                    1.0f + 0.01f * m));
  SCable ownRu = withR(cable("ownRu", 1.5f), 3, 0.05f, 1.0f);
  ownRu.material.setRuOverride(0.0171f);
  table.add(ownRu);
  SCable ownTc = withR(cable("ownTc", 1.5f), 7, 0.05f, 1.65535f);
  ownTc.material.setTCOverride(0.0045f);
  table.add(ownTc);
  SCable both = withR(cable("both\xB0\xB1", 6.5f), 1, 0.2f, 1.2345f);
  both.material.setRuOverride(0.03f);
  both.material.setTCOverride(0.005f);
  table.add(both);

  ASSERT_EQ(0u, table.saveToFile(path.c_str()));
  SListCables back;
  const LoadResult r = loadFromFile(back, path.c_str());
  ASSERT_EQ(0u, r.status);
  ASSERT_EQ(table.getCount(), back.getCount());
  for (int i = 0; i < table.getCount(); ++i) {
    const SCable& a = table.at(i);
    const SCable& b = back.at(i);
    SCOPED_TRACE(a.name);
    EXPECT_STREQ(a.name, b.name);
    EXPECT_EQ(a.material.index, b.material.index);
    EXPECT_EQ(a.twistCode, b.twistCode);
    EXPECT_NEAR(a.ku, b.ku, 1e-4 * a.ku);
    EXPECT_NEAR(a.rOrS, b.rOrS, 1e-5 * a.rOrS);
    EXPECT_NEAR(a.material.ruOverride, b.material.ruOverride, 1e-5 * a.material.ruOverride);
    EXPECT_NEAR(a.material.tcOverride, b.material.tcOverride,
                1e-5 * std::fabs(a.material.tcOverride));
  }
  // What was read once comes back byte for byte, and writes the same file.
  const std::string first = readBytes(path);
  ASSERT_EQ(0u, back.saveToFile(path.c_str()));
  EXPECT_EQ(first, readBytes(path));
  SListCables again;
  ASSERT_EQ(0u, loadFromFile(again, path.c_str()).status);
  ASSERT_EQ(back.getCount(), again.getCount());
  for (int i = 0; i < back.getCount(); ++i)
    EXPECT_EQ(0, std::memcmp(&back.at(i), &again.at(i), sizeof(SCable))) << back.at(i).name;
}

TEST_F(SaveTest, OpenFailuresThrowAndKeepTheTable) {
  writeBytes(dir.file("plain"), "old");
  ASSERT_EQ(0, ::mkdir(dir.file("folder").c_str(), 0755));
  // A pipe stands for any file that is not a regular one (a device such as /dev/full):
  // it must not be replaced by a renamed plain file.
  ASSERT_EQ(0, ::mkfifo(dir.file("pipe").c_str(), 0644));
  fill();
  for (const std::string& target : {dir.file("plain") + "/t.txt", dir.file("missing/t.txt"),
                                    dir.file("folder"), dir.file("pipe")}) {
    SCOPED_TRACE(target);
    try {
      table.saveToFile(target.c_str());
      ADD_FAILURE() << "no exception";
    } catch (const FileOpenError& e) {
      EXPECT_EQ(target, e.path());
    }
    EXPECT_TRUE(table.isModified());
  }
  EXPECT_EQ("old", readBytes(dir.file("plain")));
  struct stat st;
  ASSERT_EQ(0, ::stat(dir.file("pipe").c_str(), &st));
  EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// A folder the user may not write: no scratch file can be made there, so a file the
// user may write is rewritten in place; any other save raises like a refused open
// and leaves what was there.
TEST_F(SaveTest, FolderWithoutWriteAccess) {
  const std::string folder = dir.file("ro");
  ASSERT_EQ(0, ::mkdir(folder.c_str(), 0755));
  ASSERT_EQ(0, ::chmod(dir.path().c_str(), 0755));
  const std::string old = folder + "/old.txt";
  const std::string shared = folder + "/shared.txt";
  writeBytes(old, "old table");
  writeBytes(shared, "shared table");
  ASSERT_EQ(0, ::chmod(shared.c_str(), 0666));
  fill();
  const std::string refused = std::string("raised ") + std::strerror(EACCES) + " modified";
  const std::pair<std::string, std::string> cases[] = {
      {old, refused}, {shared, "returned 0"}, {folder + "/new.txt", refused}};
  for (const auto& [target, expected] : cases) {
    SCOPED_TRACE(target);
    const std::string out = inChild([&, target = target] {
      if (::setgid(65534) != 0 || ::setuid(65534) != 0) return std::string("no setuid");
      try {
        const std::uint32_t r = table.saveToFile(target.c_str());
        return "returned " + std::to_string(r);
      } catch (const FileOpenError& e) {
        return std::string("raised ") + e.osMessage() + (table.isModified() ? " modified" : "");
      }
    });
    EXPECT_EQ(expected, out);
  }
  EXPECT_EQ("old table", readBytes(old));
  SListCables back;
  EXPECT_EQ(0u, loadFromFile(back, shared.c_str()).status);
  EXPECT_EQ(table.getCount(), back.getCount());
  // The folder holds exactly what it held.
  const std::vector<std::string> names = folderEntries(folder);
  EXPECT_EQ(2u, names.size());
}

namespace {

// Saves under a file size limit in a child; reports result, flag, last status and log.
std::string saveUnderSizeLimit(SListCables& table, const std::string& path, rlim_t limit) {
  return inChild([&] {
    std::signal(SIGXFSZ, SIG_IGN);
    const rlimit lim = {limit, limit};
    if (::setrlimit(RLIMIT_FSIZE, &lim) != 0) return std::string("no setrlimit");
    RecordingLog log;
    setProcessLog(&log);
    const std::uint32_t r = table.saveToFile(path.c_str());
    return std::to_string(r) + (table.isModified() ? " modified " : " clean ") +
           std::to_string(lastSaveStatus) + " " + joined(log.entries);
  });
}

}  // namespace

TEST_F(SaveTest, ShortWriteKeepsTheOldFile) {
  writeBytes(path, "old table");
  for (int i = 0; i < 20; ++i) table.add(cable(("Cable " + std::to_string(i)).c_str(), 1.5f));

  // The limit falls inside the records.
  // The scratch file runs out of room first; the rewrite in place then does too, and
  // the old bytes are written back.
  std::string out = saveUnderSizeLimit(table, path, 150);
  const std::string recordSteps =
      "\t1|\t2|\t3|\t4|\t5|\t6|\t7|"
      "\t7: |d:Cable 0\t1.5|\t8|\t9|\t10|\t7: |d:Cable 1\t1.5|\t8|\t9|\t10|"
      "\t7: |d:Cable 2\t1.5|\t8|\t9|\t10|\t7: |d:Cable 3\t1.5|\t8|\t9|\t10|"
      "\t7: |d:Cable 4\t1.5|\t8|\t9|\t10|\t7: |d:Cable 5\t1.5|\t8|\t11|"
      "\tn != num|Cable write|LSF_DISK_IS_FULL|";
  EXPECT_EQ("2048 modified 2048 STF:|" + recordSteps + "in place|" + recordSteps, out);
  EXPECT_EQ("old table", readBytes(path));
  EXPECT_EQ(std::vector<std::string>{"table.txt"}, dir.entries());

  // The limit falls inside the identifier line: nothing more is written.
  out = saveUnderSizeLimit(table, path, 10);
  const std::string idSteps = "\t1|\t2|\t3|\t4|\tn != num|write file ID|LSF_DISK_IS_FULL|";
  EXPECT_EQ("2048 modified 2048 STF:|" + idSteps + "in place|" + idSteps, out);
  EXPECT_EQ("old table", readBytes(path));
  EXPECT_EQ(std::vector<std::string>{"table.txt"}, dir.entries());
}

// Every scratch name taken: the open is refused, as the target's would be.
TEST_F(SaveTest, NoFreeScratchNameIsCanNotOpen) {
  for (unsigned i = 0; i <= 0xFFFF; ++i) {
    char name[16];
    std::snprintf(name, sizeof name, "~TLM%04X.TMP", i);
    const int fd = ::open(dir.file(name).c_str(), O_CREAT | O_WRONLY, 0644);
    ASSERT_GE(fd, 0);
    ::close(fd);
  }
  fill();
  table.clearModified();
  table.setModified();
  lastOpenError = 0;
  EXPECT_EQ(LSF_CAN_NOT_OPEN, table.saveToFile(path.c_str()));
  EXPECT_EQ(LSF_CAN_NOT_OPEN, lastSaveStatus);
  EXPECT_EQ(0, lastOpenError) << "the writer's open is never refused for existence";
  EXPECT_TRUE(table.isModified());
  EXPECT_FALSE(fileExists(path));
  EXPECT_EQ((std::vector<std::string>{"STF:", "LSF_CAN_NOT_OPEN"}), log.entries);
}

// The instrument's own disk: a 60 KB FAT12 image mounted through FUSE.
class FatImageTest : public SaveTest {
 protected:
  std::string image = dir.file("disk.img");
  std::string mnt = dir.file("mnt");
  bool mounted = false;

  void SetUp() override {
    SaveTest::SetUp();
    if (::access("/dev/fuse", R_OK | W_OK) != 0) GTEST_SKIP() << "no /dev/fuse here";
    if (std::system("command -v mkfs.fat >/dev/null 2>&1 && command -v fusefat >/dev/null 2>&1") !=
        0)
      GTEST_SKIP() << "mkfs.fat or fusefat not installed";
    ASSERT_EQ(0, ::mkdir(mnt.c_str(), 0755));
    if (std::system(("mkfs.fat -C " + image + " 60 >/dev/null 2>&1").c_str()) != 0)
      GTEST_SKIP() << "mkfs.fat failed";
    if (!mount()) GTEST_SKIP() << "mounting the FAT image with fusefat failed";
  }
  void TearDown() override {
    unmount();
    SaveTest::TearDown();
  }
  bool mount() {
    mounted =
        std::system(("fusefat -o rw+ " + image + " " + mnt + " >/dev/null 2>&1").c_str()) == 0;
    return mounted;
  }
  void unmount() {
    if (mounted) std::system(("fusermount -u " + mnt + " >/dev/null 2>&1").c_str());
    mounted = false;
  }
};

// On the instrument's small disk a table larger than half of it no longer fits
// beside the old one: it is written over the old file instead, and nothing is left.
TEST_F(FatImageTest, ATableThatFitsOnlyInPlaceIsSaved) {
  const std::string target = mnt + "/CABLES.TXT";
  const auto freeBytes = [&] {
    struct statvfs vfs;
    return ::statvfs(mnt.c_str(), &vfs) == 0
               ? static_cast<long long>(vfs.f_bavail) * static_cast<long long>(vfs.f_frsize)
               : -1LL;
  };
  const auto tableOf = [](const char* prefix, int n) {
    SListCables t;
    for (int i = 0; i < n; ++i) {
      char name[16];
      std::snprintf(name, sizeof name, "%s %04d", prefix, i);
      t.add(withR(cable(name, 1.5f), 0, 0.0874f, 1.02f));
    }
    return t;
  };
  const long long empty = freeBytes();
  ASSERT_GT(empty, 30000) << "the image is much smaller than the instrument's disk";
  const long long lineBytes =
      static_cast<long long>(std::strlen("Old 0000\t1.5\tCu\t87.4\t1.0200\r\n"));

  // The old table takes 55 % of the disk; the new one needs its own room and half
  // of what the old one frees.
  SListCables old = tableOf("Old", static_cast<int>(empty * 55 / 100 / lineBytes));
  ASSERT_EQ(0u, old.saveToFile(target.c_str())) << joined(log.entries);
  const std::string oldBytes = readBytes(target);
  const long long left = freeBytes();
  SListCables next = tableOf(
      "New", static_cast<int>((left + static_cast<long long>(oldBytes.size()) / 2) / lineBytes));
  ASSERT_LT(next.getCount(), SListCables::kMaxCount);

  const std::uint32_t r = next.saveToFile(target.c_str());
  EXPECT_EQ(0u, r) << std::hex << r << " " << joined(log.entries);
  EXPECT_FALSE(next.isModified());
  EXPECT_EQ(0u, lastSaveStatus & LSF_DISK_IS_FULL) << "the way that did not fit is no failure";

  unmount();
  ASSERT_TRUE(mount());
  EXPECT_EQ(std::vector<std::string>{"CABLES.TXT"}, folderEntries(mnt));
  SListCables back;
  EXPECT_EQ(0u, loadFromFile(back, target.c_str()).status);
  EXPECT_EQ(next.getCount(), back.getCount());
}

TEST_F(FatImageTest, FullDiskKeepsTheOldTable) {
  const std::string target = mnt + "/CABLES.TXT";
  for (int i = 0; i < 10; ++i)
    table.add(withR(cable(("Old " + std::to_string(i)).c_str(), 1.5f), 0, 0.0874f, 1.02f));
  ASSERT_EQ(0u, table.saveToFile(target.c_str())) << joined(log.entries);
  const std::string old = readBytes(target);

  // A table far larger than the disk.
  SListCables big;
  for (int i = 0; i < 2023; ++i)
    big.add(withR(cable(("Big " + std::to_string(i)).c_str(), 1.5f), 6, 0.0874f, 1.02f));
  const std::uint32_t r = big.saveToFile(target.c_str());
  EXPECT_TRUE(hasErrorBit(r)) << std::hex << r;
  EXPECT_TRUE(r & LSF_DISK_IS_FULL) << std::hex << r;
  EXPECT_TRUE(big.isModified());

  // What is on the medium after a remount is the old table, and nothing else.
  unmount();
  ASSERT_TRUE(mount());
  EXPECT_EQ(old, readBytes(target));
  const std::vector<std::string> names = folderEntries(mnt);
  EXPECT_EQ(std::vector<std::string>{"CABLES.TXT"}, names);
  SListCables back;
  EXPECT_EQ(0u, loadFromFile(back, target.c_str()).status);
  EXPECT_EQ(10, back.getCount());
}
