#pragma once

#include <stdexcept>
#include <string>

// Raised when the operating system refuses to open a file for a reason other than
// the existence rules of the open flags (no permission, a folder, a missing
// directory, a full or removed medium, ...). Neither the file layer nor the table
// reader and writer catch it: it reaches the user command that started the work.
class FileOpenError : public std::runtime_error {
 public:
  FileOpenError(const std::string& path, const std::string& osMessage)
      : std::runtime_error(path + ": " + osMessage), path_(path), osMessage_(osMessage) {}

  const std::string& path() const { return path_; }
  const std::string& osMessage() const { return osMessage_; }

 private:
  std::string path_;
  std::string osMessage_;
};
