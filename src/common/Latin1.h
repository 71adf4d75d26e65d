#pragma once

// Conversions between the ISO-8859-1 bytes of the wire and the UTF-8 text kept in storage.

#include <string>
#include <string_view>

namespace dravik {

// Every byte taken as the character of the same code (0..255), written in UTF-8.
std::string latin1ToUtf8(std::string_view latin1);

// UTF-8 text as ISO-8859-1 bytes. A character beyond U+00FF, or a malformed sequence, becomes
// `replacement` (one byte per character or per bad byte).
std::string utf8ToLatin1(std::string_view utf8, char replacement = '?');

// True when the text is well-formed UTF-8 (no overlong forms, no surrogates, at most U+10FFFF).
bool isValidUtf8(std::string_view text);

} // namespace dravik
