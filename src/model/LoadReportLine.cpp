#include "model/LoadReportLine.h"

#include "model/LoadStatus.h"

std::string tolmira::loadReportLine(std::string_view text, std::uint32_t status, int line) {
  std::string position;
  const std::uint32_t pos = status & LSF_POSITION_MASK;
  if (pos != 0 && (status & 0x7FFFFE00u) != 0) position = std::to_string(pos);
  std::string out = "Стр. " + std::to_string(line) + " (поз. " + position + "): \"";
  out.append(text);
  out += '"';
  return out;
}
