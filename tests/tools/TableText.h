#pragma once

#include <string>
#include <vector>

#include "model/TableFile.h"

// A table file of the given version (4 the current one) holding these record lines.
inline std::string tableText(int version, const std::vector<std::string>& lines) {
  const TableFormat& f = tableFormats[version - 1];
  std::string text = std::string(f.identifier) + "\r\n\r\n" + f.header + "\r\n";
  for (const std::string& l : lines) text += l + "\r\n";
  return text;
}

// The same in the current version.
inline std::string tableText(const std::vector<std::string>& lines) { return tableText(4, lines); }
