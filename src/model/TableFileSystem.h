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
  unsigned owner = 0, group = 0;
  bool otherLinks = false;  // the file has more names than this one (hard links)
};

// Where a save of fileName really goes: a symbolic link is followed (also to a file
// that does not exist yet), so that the link stays and its file gets the table.
// Throws FileOpenError for what opening the target would refuse (a folder, a file
// that may not be written) and for a target that is not a regular file: a device or
// pipe cannot be replaced by renaming a file over it. A loop of links is refused too.
SaveTarget resolveSaveTarget(const char* fileName);

// Removes scratch files of earlier saves that never finished (a killed process, a
// pulled stick) from folder: only names of exactly the scratch pattern, and only
// those older than a minute, so that a save running now keeps its own.
void removeStaleScratchFiles(const std::string& folder);

// Whether name is one the writer gives its scratch files.
bool isScratchName(const std::string& name);

// A number that differs between processes, for scratch file names.
unsigned scratchSeed();

// The new file takes over the old one's owner and group where the process may, and
// its permissions (not on Windows, which has neither).
void copyOwnerAndPermissions(const std::string& path, const SaveTarget& target);

// Moves from over to, replacing it in one step; false when that failed.
bool replaceFile(const std::string& from, const std::string& to);

void removeFile(const std::string& path);

}  // namespace tolmira
