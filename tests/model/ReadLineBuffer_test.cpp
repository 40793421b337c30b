#include "model/cFile.h"

#include <cstring>
#include <random>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/FileTestSupport.h"

using namespace tolmira;

// readLine takes runs of bytes straight out of the file's 4 KB read-ahead buffer.
// Its results must stay those of reading the file one byte at a time: the same
// lines, the same bytes in the caller's buffer, the same file position after
// every call, wherever the line ends fall relative to the buffer.

namespace {

constexpr int kBuffer = 4096;

// The line reader done byte by byte through cFile::read, as the format describes it.
int readLineByteByByte(cFile& file, char* buf, std::int16_t size) {
  if (!file.isOpen() || !buf || size < 1) return -1;
  int stored = 0;
  bool readAny = false;
  for (;;) {
    char c;
    int got = 0;
    if (!file.read(&c, 1, &got)) return -1;
    if (got == 0) {
      if (!readAny) return 0;
      break;
    }
    readAny = true;
    if (c == '\r') {
      char next;
      if (!file.read(&next, 1, &got)) return -1;
      if (got == 1 && next != '\n' && !file.seek(file.tell() - 1)) return -1;
      break;
    }
    if (c == '\0') break;
    if (stored == size) {
      buf[size - 1] = '\0';
      return size;
    }
    buf[stored++] = c;
  }
  if (stored == size) {
    buf[size - 1] = '\0';
    return size;
  }
  buf[stored] = '\0';
  return stored + 1;
}

class ReadLineBuffer : public ::testing::Test {
 protected:
  TempDir dir;

  // Reads the whole of bytes with both readers and compares every call. A seek
  // to a pseudo-random position now and then checks that the reader carries on
  // from any logical position, inside or outside the buffer.
  void compareReaders(const std::string& bytes, int size, unsigned seekSeed = 0) {
    const std::string path = dir.file("lines.txt");
    writeBytes(path, bytes);
    cFile fast, slow;
    ASSERT_TRUE(fast.open(path.c_str(), FO_READ));
    ASSERT_TRUE(slow.open(path.c_str(), FO_READ));
    std::vector<char> a(static_cast<std::size_t>(size) + 1, '#');
    std::vector<char> b(a);
    std::mt19937 rng(seekSeed);
    for (int call = 0;; ++call) {
      const int ra = readLine(fast, a.data(), static_cast<std::int16_t>(size));
      const int rb = readLineByteByByte(slow, b.data(), static_cast<std::int16_t>(size));
      ASSERT_EQ(rb, ra) << "call " << call;
      ASSERT_EQ(slow.tell(), fast.tell()) << "call " << call;
      ASSERT_EQ(0, std::memcmp(a.data(), b.data(), a.size())) << "call " << call;
      if (rb <= 0) break;
      if (seekSeed != 0 && rng() % 16 == 0) {
        const int pos = static_cast<int>(rng() % (bytes.size() + 1));
        ASSERT_TRUE(fast.seek(pos));
        ASSERT_TRUE(slow.seek(pos));
      }
    }
  }
};

std::string filler(int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += static_cast<char>('a' + i % 26);
  return s;
}

TEST_F(ReadLineBuffer, LineEndsAroundTheBufferBoundary) {
  struct End {
    const char* name;
    std::string bytes;
  };
  const std::vector<End> ends = {
      {"CR LF", "\r\n"}, {"lone CR", "\rZ"},
      {"CR CR", "\r\r"}, {"NUL", std::string("\0", 1)},
      {"bare LF", "\n"}, {"CR at the end of the file", "\r"},
  };
  // Line ends at the last bytes of the first and of the second buffer, and
  // lines of 126 to 131 characters that end there.
  for (const End& e : ends) {
    for (int boundary : {kBuffer, 2 * kBuffer}) {
      for (int at = boundary - 3; at <= boundary + 2; ++at) {
        SCOPED_TRACE(std::string(e.name) + " at " + std::to_string(at));
        compareReaders(filler(at) + e.bytes + "tail\r\nlast", 128);
        for (int len = 126; len <= 131; ++len) {
          SCOPED_TRACE("line of " + std::to_string(len));
          // The line of len characters starts right after a CR LF, and its
          // end byte lands exactly at position at.
          const std::size_t before = static_cast<std::size_t>(at - len - 2);
          std::string bytes;
          while (bytes.size() + 42 <= before) bytes += filler(40) + "\r\n";
          bytes += std::string(before - bytes.size(), 'x');
          bytes += "\r\n" + filler(len);
          ASSERT_EQ(static_cast<std::size_t>(at), bytes.size());
          compareReaders(bytes + e.bytes + "end", 128);
        }
        if (HasFatalFailure()) return;
      }
    }
  }
}

TEST_F(ReadLineBuffer, LongLinesAcrossTheBoundary) {
  // A line far longer than the line buffer, split again and again over the
  // buffer boundaries, and lines longer than the whole read-ahead buffer.
  for (int start : {3900, 4000, 4090, 4095, 4096}) {
    SCOPED_TRACE(start);
    compareReaders(filler(start) + "\r\n" + filler(600) + "\r\n" + filler(10) + "\r\n", 128);
  }
  compareReaders(filler(3 * kBuffer + 17) + "\r\nZ", 128);
  compareReaders(filler(3 * kBuffer + 17) + "\r\nZ", 5000);
  compareReaders(filler(kBuffer - 1) + "\r" + "y\r\n", 4200);
}

TEST_F(ReadLineBuffer, RandomFiles) {
  // Few distinct bytes so that line ends, doubled CRs, NULs and bare LFs meet
  // the buffer boundaries in every combination; several line buffer sizes.
  std::mt19937 rng(4096);
  const char alphabet[] = {'a', 'b',  'c',  'd',  'e',  'f',  'g',
                           'h', '\r', '\r', '\n', '\0', '\t', '\xB0'};
  for (int round = 0; round < 300; ++round) {
    const std::size_t length = rng() % (3 * kBuffer);
    std::string bytes;
    // Long stretches without a line end, then bursts of line-end bytes.
    while (bytes.size() < length) {
      const int run = static_cast<int>(rng() % 200);
      const bool plain = rng() % 2 == 0;
      for (int k = 0; k < run; ++k)
        bytes += plain ? static_cast<char>('a' + rng() % 8) : alphabet[rng() % sizeof alphabet];
    }
    for (int size : {1, 2, 3, 8, 9, 128, 4200}) {
      SCOPED_TRACE("round " + std::to_string(round) + ", size " + std::to_string(size));
      compareReaders(bytes, size, round % 3 == 0 ? static_cast<unsigned>(round + 1) : 0);
      if (HasFatalFailure()) return;
    }
  }
}

}  // namespace
