#pragma once
// Well-formed UTF-8, the one definition the whole program shares: no overlong
// form, no surrogate, nothing past U+10FFFF.
#include <cstddef>
#include <string_view>

namespace pelko {

struct Utf8Character {
    char32_t code = 0;
    std::size_t length = 0;  // 0: no well-formed character starts here
};

// The character that starts at text[at] (at < text.size()).
Utf8Character DecodeUtf8At(std::string_view text, std::size_t at);
// True when the bytes are well-formed UTF-8 from start to end.
bool IsUtf8(std::string_view bytes);

}  // namespace pelko
