#include "model/cFile.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#ifndef S_ISDIR
#define S_ISDIR(m) (((m)&S_IFMT) == S_IFDIR)
#endif
#ifndef S_ISREG
#define S_ISREG(m) (((m)&S_IFMT) == S_IFREG)
#endif
#include <io.h>
#else
#include <unistd.h>
#endif

#include "model/FileOpenError.h"
#include "model/NativePath.h"

int lastOpenError = 0;

namespace {

#ifdef _WIN32
using Offset = long long;
using StatBuf = struct _stat64;
int osStat(const char* name, StatBuf* st) {
  return ::_wstat64(tolmira::widePath(name).c_str(), st);
}
int osFstat(int fd, StatBuf* st) { return ::_fstat64(fd, st); }
int osOpen(const char* name, int flags, int mode) {
  return ::_wopen(tolmira::widePath(name).c_str(), flags | _O_BINARY, mode);
}
long osRead(int fd, void* buf, int n) { return ::_read(fd, buf, static_cast<unsigned>(n)); }
long osWrite(int fd, const void* buf, int n) { return ::_write(fd, buf, static_cast<unsigned>(n)); }
Offset osSeek(int fd, Offset pos, int whence) { return ::_lseeki64(fd, pos, whence); }
int osTruncate(int fd, Offset size) { return ::_chsize_s(fd, size) == 0 ? 0 : -1; }
int osSync(int fd) { return ::_commit(fd); }
int osClose(int fd) { return ::_close(fd); }
constexpr int kCloexec = 0;
constexpr int kNonBlock = 0;
#else
using Offset = off_t;
using StatBuf = struct stat;
int osStat(const char* name, StatBuf* st) { return ::stat(name, st); }
int osFstat(int fd, StatBuf* st) { return ::fstat(fd, st); }
int osOpen(const char* name, int flags, int mode) { return ::open(name, flags, mode); }
long osRead(int fd, void* buf, int n) { return ::read(fd, buf, static_cast<size_t>(n)); }
long osWrite(int fd, const void* buf, int n) { return ::write(fd, buf, static_cast<size_t>(n)); }
Offset osSeek(int fd, Offset pos, int whence) { return ::lseek(fd, pos, whence); }
int osTruncate(int fd, Offset size) { return ::ftruncate(fd, size); }
int osSync(int fd) { return ::fsync(fd); }
int osClose(int fd) { return ::close(fd); }
constexpr int kCloexec = O_CLOEXEC;
// A pipe or a device may block the open itself; a regular file ignores the flag.
constexpr int kNonBlock = O_NONBLOCK;
#endif

constexpr int kCreateFlags = FO_CREATE_NEW | FO_CREATE | FO_CREATE_ALWAYS;

// What a pipe, socket or device is told when it is named as a table file.
constexpr char kNotRegularFile[] = "это не обычный файл (канал, сокет или устройство)";

}  // namespace

// A descriptor with a read-ahead buffer. Always: the logical position is
// bufStart + bufPos and the system's offset is bufStart + bufLen.
struct cFileStream {
  int fd = -1;
  bool written = false;
  Offset bufStart = 0;
  int bufLen = 0;
  int bufPos = 0;
  char buf[4096];

  // Puts the system's offset back at the logical position and empties the buffer.
  bool dropBuffer() {
    if (bufLen == bufPos) {
      bufStart += bufLen;
      bufLen = bufPos = 0;
      return true;
    }
    const Offset pos = bufStart + bufPos;
    bufLen = bufPos = 0;
    if (osSeek(fd, pos, SEEK_SET) == pos) {
      bufStart = pos;
      return true;
    }
    const Offset here = osSeek(fd, 0, SEEK_CUR);
    bufStart = here < 0 ? 0 : here;
    return false;
  }

  // Reads into dst, retrying after interruptions; -1 on failure.
  long rawRead(void* dst, int n) {
    for (;;) {
      const long r = osRead(fd, dst, n);
      if (r >= 0 || errno != EINTR) return r;
    }
  }

  // Commits written data and releases the descriptor.
  bool release() {
    bool ok = true;
    // A delayed write error (full medium, removed stick) shows up here; a stream
    // that cannot be synced at all (EINVAL) has nothing to commit.
    if (written && osSync(fd) != 0 && errno != EINVAL) ok = false;
    if (osClose(fd) != 0 && errno != EINTR) ok = false;
    fd = -1;
    return ok;
  }
};

cFile_base::cFile_base() = default;

cFile_base::~cFile_base() {
  if (stream_) stream_->release();
}

bool cFile::open(const char* fileName, int flags) {
  close();
  if (!fileName) throw FileOpenError(std::string(), std::strerror(EINVAL));

  StatBuf st;
  const bool exists = osStat(fileName, &st) == 0;
  // Only a name that is really not there is "missing": a folder on the way that
  // may not be searched is a refused access, reported by the open below.
  const bool missing = !exists && (errno == ENOENT || errno == ENOTDIR);
  if ((flags & FO_CREATE_NEW) && exists) {
    lastOpenError = 2;
    return false;
  }
  if ((flags & FO_READ) && missing) {
    lastOpenError = 1;
    return false;
  }

  int oflags;
  if (flags & kCreateFlags)
    oflags = O_RDWR | O_CREAT | ((flags & FO_CREATE_NEW) ? O_EXCL : O_TRUNC);
  else if (flags & FO_WRITE)
    oflags = O_WRONLY;
  else
    oflags = O_RDONLY;

  int fd;
  do {
    fd = osOpen(fileName, oflags | kCloexec | kNonBlock, 0666);
  } while (fd < 0 && errno == EINTR);
  if (fd < 0) {
    const int err = errno;
    // The file appeared or vanished after the check: still an existence refusal.
    if (err == EEXIST && (flags & FO_CREATE_NEW)) {
      lastOpenError = 2;
      return false;
    }
    if (err == ENOENT && (flags & FO_READ) && !(flags & kCreateFlags)) {
      lastOpenError = 1;
      return false;
    }
    throw FileOpenError(fileName, std::strerror(err));
  }
  // A folder opens for reading on some systems but can never be read as a file; a
  // pipe or device read as a file would block or never end.
  const bool readOnly = oflags == O_RDONLY;
  if (osFstat(fd, &st) == 0 && (S_ISDIR(st.st_mode) || (readOnly && !S_ISREG(st.st_mode)))) {
    osClose(fd);
    throw FileOpenError(fileName, S_ISDIR(st.st_mode) ? std::strerror(EISDIR) : kNotRegularFile);
  }
#ifndef _WIN32
  const int fl = ::fcntl(fd, F_GETFL);
  if (fl >= 0) ::fcntl(fd, F_SETFL, fl & ~O_NONBLOCK);
#endif
  stream_.reset(new cFileStream);
  stream_->fd = fd;
  return true;
}

bool cFile::close() {
  if (!stream_) return true;
  const bool ok = stream_->release();
  stream_.reset();
  return ok;
}

bool cFile::read(void* buf, int n, int* got) {
  if (!stream_) return false;
  cFileStream& s = *stream_;
  char* dst = static_cast<char*>(buf);
  int total = 0;
  bool ok = true;
  while (total < n) {
    if (s.bufPos < s.bufLen) {
      int take = s.bufLen - s.bufPos;
      if (take > n - total) take = n - total;
      std::memcpy(dst + total, s.buf + s.bufPos, static_cast<size_t>(take));
      s.bufPos += take;
      total += take;
      continue;
    }
    s.dropBuffer();  // used up: no seek needed, the offsets agree
    if (n - total >= static_cast<int>(sizeof s.buf)) {
      const long r = s.rawRead(dst + total, n - total);
      if (r < 0) ok = false;
      if (r <= 0) break;
      s.bufStart += r;
      total += static_cast<int>(r);
      continue;
    }
    const long r = s.rawRead(s.buf, static_cast<int>(sizeof s.buf));
    if (r < 0) ok = false;
    if (r <= 0) break;
    s.bufLen = static_cast<int>(r);
  }
  if (got) *got = total;
  return ok;
}

bool cFile::write(const void* buf, int n, int* put) {
  if (!stream_) return false;
  cFileStream& s = *stream_;
  int total = 0;
  // Not at the logical position: writing now would put the bytes elsewhere.
  const bool placed = s.dropBuffer();
  if (placed) {
    const char* src = static_cast<const char*>(buf);
    s.written = true;
    while (total < n) {
      const long r = osWrite(s.fd, src + total, n - total);
      if (r < 0 && errno == EINTR) continue;
      if (r <= 0) break;  // full medium, size limit or I/O error: a short write
      total += static_cast<int>(r);
    }
    s.bufStart += total;
  }
  if (put) *put = total;
  return placed;
}

bool cFile::seek(int pos) {
  if (!stream_) return false;
  cFileStream& s = *stream_;
  if (pos < 0) return false;
  if (s.bufLen > 0 && pos >= s.bufStart && pos <= s.bufStart + s.bufLen) {
    s.bufPos = static_cast<int>(pos - s.bufStart);
    return true;
  }
  s.bufLen = s.bufPos = 0;
  const Offset reached = osSeek(s.fd, pos, SEEK_SET);
  if (reached < 0) {
    // Offset unknown now: ask the system where it stands.
    const Offset here = osSeek(s.fd, 0, SEEK_CUR);
    s.bufStart = here < 0 ? 0 : here;
    return false;
  }
  s.bufStart = reached;
  return reached == pos;
}

int cFile::tell() {
  if (!stream_) return 0;
  return static_cast<int>(stream_->bufStart + stream_->bufPos);
}

bool cFile::truncate() {
  if (!stream_) return false;
  cFileStream& s = *stream_;
  if (!s.dropBuffer()) return false;
  // Nothing to cut: some FAT drivers refuse a truncate to the current size.
  struct stat st;
  if (::fstat(s.fd, &st) == 0 && st.st_size == s.bufStart) return true;
  s.written = true;
  return osTruncate(s.fd, s.bufStart) == 0;
}

namespace {

// Copies bytes from src to dst up to the first CR or NUL, at most n of them;
// returns how many. Eight bytes at a time while no line end is among them.
int copyLineBytes(char* dst, const char* src, int n) {
  constexpr std::uint64_t kOnes = 0x0101010101010101u;
  constexpr std::uint64_t kHighs = 0x8080808080808080u;
  int i = 0;
  for (; i + 8 <= n; i += 8) {
    std::uint64_t w;
    std::memcpy(&w, src + i, 8);
    const std::uint64_t cr = w ^ (kOnes * '\r');
    // Nonzero exactly when some byte of w is 0 or CR.
    if ((((w - kOnes) & ~w) | ((cr - kOnes) & ~cr)) & kHighs) break;
    std::memcpy(dst + i, &w, 8);
  }
  for (; i < n && src[i] != '\r' && src[i] != '\0'; ++i) dst[i] = src[i];
  return i;
}

}  // namespace

int tolmira::readLine(cFile& file, char* buf, std::int16_t size) {
  if (!file.isOpen() || !buf || size < 1) return -1;
  int stored = 0;
  bool readAny = false;
  for (;;) {
    // What already waits in the read-ahead buffer is taken in place, exactly as
    // the byte-by-byte steps below would take it: a run of line bytes, then a
    // NUL or a CR LF. A refill, a lone CR (given back by a seek) and the byte
    // beyond a full line still go through those steps.
    cFileStream& s = *file.stream_;
    const int avail = s.bufLen - s.bufPos;
    const int limit = std::min(avail, size - stored);
    const char* from = s.buf + s.bufPos;
    const int run = copyLineBytes(buf + stored, from, limit);
    if (run > 0) {
      stored += run;
      s.bufPos += run;
      readAny = true;
    }
    if (run < avail) {
      if (from[run] == '\0') {
        s.bufPos += 1;
        readAny = true;
        break;
      }
      if (from[run] == '\r' && run + 1 < avail && from[run + 1] == '\n') {
        s.bufPos += 2;
        readAny = true;
        break;
      }
    }

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
      // Anything but LF after a lone CR starts the next line.
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
