#pragma once

// Values inside the server's documents. The client decodes exactly "&amp;", "&lt;", "&gt;" and,
// in memo texts, "&cr;" (a line break), so those are the only entities ever written.

#include <string>
#include <string_view>

namespace dravik {

// "&" -> "&amp;", "<" -> "&lt;", ">" -> "&gt;"; each line break (CR LF, CR or LF) -> "&cr;".
// Other control characters except TAB are dropped: XML cannot carry them.
std::string xmlEscapeValue(std::string_view text);
// The same, appended to out.
void appendEscaped(std::string &out, std::string_view text);

// The reverse, in the client's order: "&amp;", "&lt;", "&gt;" then, when memo, "&cr;" -> CR LF.
std::string xmlDecodeValue(std::string_view text, bool memo);

// True when name can stand as an element name of our documents (letters, digits, "_", "-",
// "." and not starting with a digit, "-" or ".").
bool isXmlName(std::string_view name);

} // namespace dravik
