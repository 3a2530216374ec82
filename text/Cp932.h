#pragma once
// Conversion between CP932 bytes and UTF-8, done only at the edges: where a
// text is shown, typed, printed or read from a command line.
#include <optional>
#include <string>
#include <string_view>

#include "text/Utf8.h"

namespace pelko {

// UTF-8 to CP932; nullopt when a character has no CP932 form or the input is
// not valid UTF-8. Nothing is ever replaced by "?".
std::optional<std::string> Utf8ToCp932(std::string_view utf8);
// CP932 to UTF-8 for display; a byte sequence CP932 does not define becomes U+FFFD.
std::string Cp932ToUtf8(std::string_view cp932);
// True when every character of the UTF-8 text has a CP932 form.
bool FitsCp932(std::string_view utf8);
// Bytes that may be a host name (UTF-8) or a text from a descriptor (CP932),
// made readable: UTF-8 as it is, anything else read as CP932.
std::string ReadableText(std::string_view bytes);

}  // namespace pelko
