#pragma once

#include <optional>
#include <string>

// What a user may type into the editor's numeric fields.
namespace tolmira {

// The number a typed text stands for: blanks around it allowed, '.' as decimal
// separator whatever the locale, an optional sign and exponent, nothing else.
// None for any other text, and for a number beyond the float32 range.
std::optional<float> parseTypedNumber(const std::string& text);

// The character a key press adds to a numeric field that holds text: ',' becomes
// '.', a second point is dropped, and only digits, backspace (8) and the point
// pass. 0 means the character is dropped.
char filterFieldChar(const std::string& text, char typed);

}  // namespace tolmira
