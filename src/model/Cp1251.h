#pragma once

#include <string>
#include <string_view>

namespace tolmira {

// The project's only conversion between Windows-1251 bytes and UTF-8.
// Byte 0x98 has no character in Windows-1251 and decodes to U+FFFD.
std::string cp1251ToUtf8(std::string_view bytes);
// Code points Windows-1251 cannot hold, and each malformed UTF-8 sequence,
// become '?' (a byte the cable name check rejects).
std::string utf8ToCp1251(std::string_view utf8);

}  // namespace tolmira
