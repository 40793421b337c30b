#pragma once

#include <string>

struct SCable;

// A record's texts in UTF-8, for the screen and the command-line tool.
namespace tolmira {

// The stored name, which need not be terminated within its array.
std::string recordName(const SCable& rec);
// The record's tab-separated line (toText).
std::string recordLine(const SCable& rec);

}  // namespace tolmira
