#include "cli/Texts.h"

#include <cstdio>
#include <optional>

#include "cli/Arguments.h"
#include "text/Cp932.h"
#include "text/Lines.h"
#include "text/Text.h"
#include "text/Utf8.h"

namespace pelko::cli {
namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

std::string CodePoint(char32_t code) {
    char text[16];
    std::snprintf(text, sizeof text, "U+%04X", static_cast<unsigned>(code));
    return text;
}

// Control characters (C0, DEL, C1) could move the cursor or recolour the
// terminal when a hostile template or package is printed; they show as U+FFFD.
std::string Printable(std::string_view utf8) {
    std::string shown;
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Character decoded = DecodeUtf8At(utf8, at);
        const std::size_t length = decoded.length == 0 ? 1 : decoded.length;
        const char32_t code = decoded.code;
        if (decoded.length == 0 || code < 0x20 || (code >= 0x7F && code <= 0x9F)) {
            shown += kReplacement;
        } else {
            shown += utf8.substr(at, length);
        }
        at += length;
    }
    return shown;
}

}  // namespace

void RequireSingleLine(std::string_view argument, std::string_view text) {
    if (HasLineEnd(text)) {
        throw ArgumentError(std::string(argument) +
                            ": the text holds a line break (CR or LF); a value must stay on one line");
    }
}

std::string PackageText(std::string_view argument, std::string_view utf8) {
    RequireSingleLine(argument, utf8);
    if (std::optional<std::string> converted = Utf8ToCp932(utf8)) return *converted;
    // Name the first character that stops the conversion, so the user knows
    // what to change in a long text.
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Character decoded = DecodeUtf8At(utf8, at);
        if (decoded.length == 0) throw ArgumentError(std::string(argument) + ": the text is not UTF-8");
        const std::string_view character = utf8.substr(at, decoded.length);
        if (!Utf8ToCp932(character)) {
            throw ArgumentError(std::string(argument) + ": the character \"" + Printable(character) + "\" (" +
                                CodePoint(decoded.code) + ") cannot be written in CP932");
        }
        at += decoded.length;
    }
    throw ArgumentError(std::string(argument) + ": the text cannot be written in CP932");
}

std::string Shown(std::string_view cp932) { return Printable(Cp932ToUtf8(cp932)); }

std::string ShownName(std::string_view raw) { return IsUtf8(raw) ? Printable(raw) : Shown(raw); }

std::string ShownBytes(std::string_view raw) {
    std::string shown;
    for (const char byte : raw) {
        const auto value = static_cast<unsigned char>(byte);
        if (value >= 0x20 && value < 0x7F) {
            shown += byte;
        } else {
            shown += HexEscaped(value);
        }
    }
    return shown;
}

}  // namespace pelko::cli
