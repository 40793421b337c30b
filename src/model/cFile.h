#pragma once

#include <cstdint>
#include <memory>

// Open flags of cFile::open, combined with OR.
constexpr int FO_READ = 1;            // existing file, reading; refused when missing
constexpr int FO_WRITE = 2;           // existing file, writing
constexpr int FO_CREATE_NEW = 4;      // new file; refused when it exists
constexpr int FO_CREATE = 8;          // create, replacing an existing file
constexpr int FO_CREATE_ALWAYS = 16;  // same as FO_CREATE

// Why the last open was refused by the existence rules: 1 = the file had to exist
// and does not, 2 = it had to be new and exists. Only a refusal writes it.
extern int lastOpenError;

struct cFileStream;

class cFile;
namespace tolmira {
int readLine(cFile& file, char* buf, std::int16_t size);
}  // namespace tolmira

// Owns the open stream (none when closed); destroying it closes the file.
class cFile_base {
 public:
  cFile_base();
  ~cFile_base();
  cFile_base(const cFile_base&) = delete;
  cFile_base& operator=(const cFile_base&) = delete;

 protected:
  std::unique_ptr<cFileStream> stream_;
};

// A file addressed by path. Reads are buffered so that byte-at-a-time reading is
// cheap; the position seen through tell/seek is always the logical one.
class cFile : public cFile_base {
 public:
  // Closes any open file first. Returns false (and sets lastOpenError) only for
  // the existence rules of FO_READ and FO_CREATE_NEW, applied atomically with the
  // open itself; every other failure throws FileOpenError.
  bool open(const char* fileName, int flags);
  // Releases the stream. False when data written could not be committed to the
  // disk or the system refused to close; the object is closed afterwards anyway.
  bool close();
  // False when closed or the system refused to read; got is 0 at the end.
  bool read(void* buf, int n, int* got);
  // A full medium is not a failure: put then tells fewer than n. False only when
  // closed or the file position could not be restored for the write.
  bool write(const void* buf, int n, int* put);
  bool seek(int pos);
  int tell();
  bool truncate();
  bool isOpen() const { return stream_ != nullptr; }

 private:
  // Copies whole runs of line bytes straight out of the read-ahead buffer.
  friend int tolmira::readLine(cFile& file, char* buf, std::int16_t size);
};

namespace tolmira {

// Reads one line of a table file into buf (at most size bytes, terminator
// included). A CR ends the line (a following LF is consumed with it), as do NUL
// and the end of the file; a bare LF stays in the line. A line that does not fit
// returns size with the last byte replaced by the terminator, the byte after it
// dropped, and the rest coming back as the next line.
// Returns the bytes stored including the terminator, 0 at the end of the file,
// -1 when no file is open or reading or repositioning failed.
int readLine(cFile& file, char* buf, std::int16_t size);

}  // namespace tolmira
