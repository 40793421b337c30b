#pragma once

#include <string>

// The operating-system side of saving a table file: where a save goes, what it
// must refuse, and the final replace. Reading goes through cFile.
namespace tolmira {

// A save's target, after symbolic links were followed.
struct SaveTarget {
  std::string path;    // the file that gets the table
  std::string folder;  // its folder with a trailing separator, or empty (the current one)
  bool exists = false;
  unsigned permissions = 0;  // of the existing file
};

// Where a save of fileName really goes: a symbolic link is followed (also to a file
// that does not exist yet), so that the link stays and its file gets the table.
// Throws FileOpenError for what opening the target would refuse (a folder, a file
// that may not be written) and for a target that is not a regular file: a device or
// pipe cannot be replaced by renaming a file over it.
SaveTarget resolveSaveTarget(const char* fileName);

// A number that differs between processes, for scratch file names.
unsigned scratchSeed();

// The new file takes over the old one's permissions (not on Windows, which has none).
void copyPermissions(const std::string& path, unsigned permissions);

// Moves from over to, replacing it in one step; false when that failed.
bool replaceFile(const std::string& from, const std::string& to);

void removeFile(const std::string& path);

}  // namespace tolmira
