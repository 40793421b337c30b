#pragma once

#include <string>

// Whole CSV files on disk; names are UTF-8 as everywhere in the program.
namespace tolmira {

// The file's bytes; false (out empty) when it cannot be opened or read.
bool readCsvFile(const std::string& path, std::string& out);

// Writes bytes to path through a scratch file beside it, so that a failed write
// leaves an existing file whole; a symbolic link is followed, and a replaced file
// keeps its owner and permissions. False when anything failed.
bool writeCsvFile(const std::string& path, const std::string& bytes);

}  // namespace tolmira
