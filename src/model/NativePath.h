#pragma once

#include <filesystem>
#include <string>

// File names inside the program are UTF-8 on every system. Windows' narrow calls
// would read them in the ANSI code page, where most Cyrillic names cannot even be
// written, so there they go to the system as UTF-16.
namespace tolmira {

std::filesystem::path fsPath(const std::string& utf8);
std::string utf8Path(const std::filesystem::path& path);

#ifdef _WIN32
// Invalid UTF-8 gives an empty name, which every call refuses.
std::wstring widePath(const std::string& utf8);
#endif

}  // namespace tolmira
