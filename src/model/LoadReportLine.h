#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tolmira {

// One line of a load report: "Стр. " line " (поз. " pos "): " Q text Q, with text
// already in UTF-8. The position is shown only when the status' low byte is set and
// the code has a bit from 0x200 up to 0x40000000.
std::string loadReportLine(std::string_view text, std::uint32_t status, int line);

}  // namespace tolmira
