#include "model/cFile.h"

#include <atomic>
#include <chrono>
#include <cstring>
#include <future>
#include <string>
#include <thread>
#include <vector>

#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "model/FileOpenError.h"
#include "support/FileTestSupport.h"

using namespace tolmira;

namespace {

class CFileTest : public ::testing::Test {
 protected:
  TempDir dir;
  std::string existing = dir.file("existing.txt");
  std::string missing = dir.file("missing.txt");
  void SetUp() override { writeBytes(existing, "0123456789"); }
};

}  // namespace

TEST_F(CFileTest, ExistenceRulesRefuseAndSetLastOpenError) {
  cFile f;
  lastOpenError = 0;
  EXPECT_FALSE(f.open(missing.c_str(), FO_READ));
  EXPECT_EQ(1, lastOpenError);
  EXPECT_FALSE(f.isOpen());
  EXPECT_FALSE(fileExists(missing));

  EXPECT_FALSE(f.open(existing.c_str(), FO_CREATE_NEW | FO_WRITE));
  EXPECT_EQ(2, lastOpenError);
  EXPECT_EQ("0123456789", readBytes(existing));

  // A successful open leaves the last refusal as it was.
  EXPECT_TRUE(f.open(existing.c_str(), FO_READ));
  EXPECT_EQ(2, lastOpenError);
  EXPECT_TRUE(f.open(missing.c_str(), FO_CREATE_NEW | FO_WRITE));
  EXPECT_EQ(2, lastOpenError);
  EXPECT_TRUE(f.close());
  EXPECT_TRUE(fileExists(missing));
}

TEST_F(CFileTest, OpenModes) {
  cFile f;
  // 18 = create always + write: an existing file is emptied.
  ASSERT_TRUE(f.open(existing.c_str(), FO_CREATE_ALWAYS | FO_WRITE));
  int put = -1;
  ASSERT_TRUE(f.write("ab", 2, &put));
  EXPECT_EQ(2, put);
  ASSERT_TRUE(f.close());
  EXPECT_EQ("ab", readBytes(existing));

  // Write alone keeps the content and starts at position 0.
  writeBytes(existing, "0123456789");
  ASSERT_TRUE(f.open(existing.c_str(), FO_WRITE));
  ASSERT_TRUE(f.write("xy", 2, &put));
  ASSERT_TRUE(f.close());
  EXPECT_EQ("xy23456789", readBytes(existing));

  // Create mode is readable too.
  ASSERT_TRUE(f.open(missing.c_str(), FO_CREATE));
  ASSERT_TRUE(f.write("hello", 5, nullptr));
  ASSERT_TRUE(f.seek(1));
  char buf[8] = {};
  int got = 0;
  ASSERT_TRUE(f.read(buf, 8, &got));
  EXPECT_EQ(4, got);
  EXPECT_STREQ("ello", buf);
}

TEST_F(CFileTest, SystemFailuresThrowWithPathAndMessage) {
  struct Case {
    const char* what;
    std::string path;
    int flags;
    const char* osText;
  };
  const std::vector<Case> cases = {
      {"a folder read", dir.path(), FO_READ, std::strerror(EISDIR)},
      {"a folder created", dir.path(), FO_CREATE_ALWAYS | FO_WRITE, std::strerror(EISDIR)},
      {"missing directory", dir.file("no/such/file.txt"), FO_CREATE_ALWAYS | FO_WRITE,
       std::strerror(ENOENT)},
      {"parent is a file", existing + "/x.txt", FO_CREATE_ALWAYS | FO_WRITE,
       std::strerror(ENOTDIR)},
      {"write a missing file", missing, FO_WRITE, std::strerror(ENOENT)},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    cFile f;
    lastOpenError = 0;
    try {
      f.open(c.path.c_str(), c.flags);
      ADD_FAILURE() << "no exception";
    } catch (const FileOpenError& e) {
      EXPECT_EQ(c.path, e.path());
      EXPECT_EQ(std::string(c.osText), e.osMessage());
      EXPECT_NE(std::string::npos, std::string(e.what()).find(c.path));
    }
    EXPECT_FALSE(f.isOpen());
    EXPECT_EQ(0, lastOpenError);
  }
}

// A pipe, socket or device opened to be read is refused at once: a pipe with no
// writer would block the open for ever. Written, a pipe with no reader is refused too.
TEST_F(CFileTest, SpecialFilesAreRefusedWithoutBlocking) {
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0600));
  const std::string socketPath = dir.file("sock");
  const int sock = ::socket(AF_UNIX, SOCK_STREAM, 0);
  ASSERT_GE(sock, 0);
  sockaddr_un addr{};
  addr.sun_family = AF_UNIX;
  ASSERT_LT(socketPath.size(), sizeof addr.sun_path);
  std::strcpy(addr.sun_path, socketPath.c_str());
  ASSERT_EQ(0, ::bind(sock, reinterpret_cast<sockaddr*>(&addr), sizeof addr));

  const struct {
    const char* what;
    std::string path;
    int flags;
  } cases[] = {
      {"pipe read", fifo, FO_READ},
      {"pipe written", fifo, FO_WRITE},
      {"socket read", socketPath, FO_READ},
      {"device read", "/dev/null", FO_READ},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    auto opening = std::async(std::launch::async, [&c] {
      cFile f;
      try {
        f.open(c.path.c_str(), c.flags);
      } catch (const FileOpenError& e) {
        return std::string(e.osMessage());
      }
      return std::string("opened");
    });
    if (opening.wait_for(std::chrono::seconds(5)) != std::future_status::ready) {
      // Let the blocked open return so that the test ends.
      const int writer = ::open(fifo.c_str(), O_RDWR | O_NONBLOCK);
      opening.wait();
      if (writer >= 0) ::close(writer);
      ADD_FAILURE() << "the open blocked";
      continue;
    }
    const std::string message = opening.get();
    EXPECT_NE("opened", message);
    EXPECT_FALSE(message.empty());
  }
  ::close(sock);
}

// A file behind a folder the user may not enter is not "missing": the refusal
// is the system's and carries its message.
TEST_F(CFileTest, UnsearchableFolderIsNoMissingFile) {
  const std::string folder = dir.file("locked");
  ASSERT_EQ(0, ::mkdir(folder.c_str(), 0700));
  const std::string inside = folder + "/t.txt";
  writeBytes(inside, "x");
  ASSERT_EQ(0, ::chmod(dir.path().c_str(), 0755));
  const pid_t pid = ::fork();
  if (pid == 0) {
    int code = 10;
    if (::setgid(65534) == 0 && ::setuid(65534) == 0) {
      lastOpenError = 0;
      cFile f;
      try {
        code = f.open(inside.c_str(), FO_READ) ? 1 : 2;
      } catch (const FileOpenError& e) {
        code = e.osMessage() == std::strerror(EACCES) && lastOpenError == 0 ? 0 : 3;
      }
    }
    ::_exit(code);
  }
  int status = 0;
  ASSERT_EQ(pid, ::waitpid(pid, &status, 0));
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(0, WEXITSTATUS(status))
      << "1 opened, 2 refused as missing, 3 wrong error, 10 no setuid";
}

TEST_F(CFileTest, ClosedFileDoesNothing) {
  cFile f;
  char buf[4];
  int n = 7;
  EXPECT_FALSE(f.read(buf, 4, &n));
  EXPECT_FALSE(f.write(buf, 4, &n));
  EXPECT_EQ(7, n);
  EXPECT_FALSE(f.seek(0));
  EXPECT_EQ(0, f.tell());
  EXPECT_FALSE(f.truncate());
  EXPECT_TRUE(f.close());
  EXPECT_EQ(-1, readLine(f, buf, 4));
}

// Reads are buffered: writing, truncating and seeking after a partial read must
// still act at the logical position.
TEST_F(CFileTest, BufferedReadKeepsLogicalPosition) {
  std::string big(10000, 'a');
  for (std::size_t i = 0; i < big.size(); ++i) big[i] = static_cast<char>('a' + i % 26);
  writeBytes(existing, big);

  cFile f;
  ASSERT_TRUE(f.open(existing.c_str(), FO_READ));
  char c = 0;
  int got = 0;
  ASSERT_TRUE(f.read(&c, 1, &got));
  EXPECT_EQ('a', c);
  EXPECT_EQ(1, f.tell());
  ASSERT_TRUE(f.seek(4097));
  ASSERT_TRUE(f.read(&c, 1, &got));
  EXPECT_EQ(big[4097], c);
  ASSERT_TRUE(f.seek(4096));
  ASSERT_TRUE(f.read(&c, 1, &got));
  EXPECT_EQ(big[4096], c);
  std::vector<char> rest(20000);
  ASSERT_TRUE(f.read(rest.data(), 20000, &got));
  EXPECT_EQ(10000 - 4097, got);
  EXPECT_EQ(0, std::memcmp(rest.data(), big.data() + 4097, static_cast<std::size_t>(got)));
  ASSERT_TRUE(f.read(&c, 1, &got));
  EXPECT_EQ(0, got);
  f.close();

  // Create mode reads and writes one stream.
  ASSERT_TRUE(f.open(dir.file("rw.txt").c_str(), FO_CREATE));
  ASSERT_TRUE(f.write(big.data(), 10000, &got));
  ASSERT_TRUE(f.seek(0));
  char three[3];
  ASSERT_TRUE(f.read(three, 3, &got));
  ASSERT_TRUE(f.write("XYZ", 3, &got));
  EXPECT_EQ(6, f.tell());
  ASSERT_TRUE(f.read(&c, 1, &got));
  EXPECT_EQ(big[6], c);
  ASSERT_TRUE(f.truncate());
  EXPECT_EQ(7, f.tell());
  ASSERT_TRUE(f.close());
  EXPECT_EQ(big.substr(0, 3) + "XYZ" + big.substr(6, 1), readBytes(dir.file("rw.txt")));
}

// Bytes read ahead from a stream that cannot seek back: a write there cannot go
// to the logical position, which is a failed write, not a short one.
TEST_F(CFileTest, WriteThatCannotBePlacedFails) {
  const std::string fifo = dir.file("fifo");
  ASSERT_EQ(0, ::mkfifo(fifo.c_str(), 0644));
  cFile f;
  ASSERT_TRUE(f.open(fifo.c_str(), FO_CREATE));  // read-write: does not wait for a peer
  int n = -1;
  ASSERT_TRUE(f.write("abc", 3, &n));
  EXPECT_EQ(3, n);
  char c = 0;
  ASSERT_TRUE(f.read(&c, 1, &n));
  EXPECT_EQ('a', c);
  n = -1;
  EXPECT_FALSE(f.write("x", 1, &n));
  EXPECT_EQ(0, n);
}

namespace {

struct LineCase {
  const char* name;
  std::string bytes;
  int size;
  std::vector<std::pair<int, std::string>> lines;  // result and text; ends with the 0
};

std::string repeat(char c, int n) { return std::string(static_cast<std::size_t>(n), c); }

std::string numbered(int n) {
  std::string s;
  for (int i = 1; i <= n; ++i) s += static_cast<char>('0' + i % 10);
  return s;
}

}  // namespace

TEST(ReadLine, Cases) {
  const std::string s200 = numbered(200);
  const std::string s128 = numbered(128);
  const std::string s127 = numbered(127);
  // A lone CR as the last byte of the read buffer must still give its next byte back.
  const std::string edge = repeat('x', 4095) + "\r" + "y\r\n";
  const std::vector<LineCase> cases = {
      {"CR LF, lone CR, CR LF", "A\r\nB\rC\r\n", 128, {{2, "A"}, {2, "B"}, {2, "C"}, {0, ""}}},
      {"empty file", "", 128, {{0, ""}}},
      {"single CR", "\r", 128, {{1, ""}, {0, ""}}},
      {"last line without end", "A\r\nlast", 128, {{2, "A"}, {5, "last"}, {0, ""}}},
      {"bare LF stays in the line", "a\nb\r\n", 128, {{4, "a\nb"}, {0, ""}}},
      {"NUL ends a line", std::string("ab\0cd", 5), 128, {{3, "ab"}, {3, "cd"}, {0, ""}}},
      {"empty lines", "\r\n\r\n", 128, {{1, ""}, {1, ""}, {0, ""}}},
      {"CR CR", "\r\rX", 128, {{1, ""}, {1, ""}, {2, "X"}, {0, ""}}},
      {"127 characters", s127 + "\r\nZ", 128, {{128, s127}, {2, "Z"}, {0, ""}}},
      {"128 characters lose the last",
       s128 + "\r\nZ",
       128,
       {{128, s128.substr(0, 127)}, {2, "Z"}, {0, ""}}},
      {"200 characters split",
       s200 + "\r\n",
       128,
       {{128, s200.substr(0, 127)}, {72, s200.substr(129)}, {0, ""}}},
      {"small buffer", "abcdef", 3, {{3, "ab"}, {3, "ef"}, {0, ""}}},
      {"lone CR at buffer end", edge, 4200, {{4096, repeat('x', 4095)}, {2, "y"}, {0, ""}}},
  };
  TempDir dir;
  for (const LineCase& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string path = dir.file("lines.txt");
    writeBytes(path, c.bytes);
    cFile f;
    ASSERT_TRUE(f.open(path.c_str(), FO_READ));
    std::vector<char> buf(static_cast<std::size_t>(c.size) + 1, '#');
    for (const auto& expected : c.lines) {
      const int got = readLine(f, buf.data(), static_cast<std::int16_t>(c.size));
      ASSERT_EQ(expected.first, got);
      if (got > 0) {
        EXPECT_EQ(expected.second, std::string(buf.data()));
        EXPECT_EQ('#', buf[static_cast<std::size_t>(c.size)]) << "wrote beyond size";
      }
    }
  }
}

// The existence check and the open itself are one step: a file that vanishes in
// between is still "missing", never a system error.
TEST_F(CFileTest, FileRemovedBetweenCheckAndOpenIsMissing) {
  std::atomic<bool> stop{false};
  const std::string path = dir.file("flicker.txt");
  std::thread toggler([&] {
    while (!stop) {
      writeBytes(path, "x");
      std::remove(path.c_str());
    }
  });
  int opened = 0, refused = 0, thrown = 0;
  for (int i = 0; i < 20000; ++i) {
    cFile f;
    try {
      if (f.open(path.c_str(), FO_READ)) {
        ++opened;
      } else {
        EXPECT_EQ(1, lastOpenError);
        ++refused;
      }
    } catch (const FileOpenError&) {
      ++thrown;
    }
  }
  stop = true;
  toggler.join();
  EXPECT_EQ(0, thrown);
  EXPECT_GT(opened + refused, 0);
}
