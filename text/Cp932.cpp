#include "text/Cp932.h"

#include "system/Cp932Converter.h"
#include "text/Utf8.h"

namespace pelko {

namespace {

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    Cp932Converter converter(Cp932Converter::Direction::FromUtf8);
    if (!converter.IsOpen()) {
        return std::nullopt;
    }
    std::string out;
    // Any stop (a character CP932 lacks, or broken UTF-8) refuses the whole
    // text: nothing is ever replaced.
    if (!converter.Convert(utf8, out)) {
        return std::nullopt;
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    Cp932Converter converter(Cp932Converter::Direction::ToUtf8);
    std::string out;
    if (!converter.IsOpen()) {
        // Without a converter only ASCII is certain; everything else is shown
        // as replaced rather than as bytes that are not UTF-8.
        for (const char byte : cp932) {
            if (static_cast<unsigned char>(byte) < 0x80) out += byte;
            else out += kReplacement;
        }
        return out;
    }
    while (!cp932.empty()) {
        if (converter.Convert(cp932, out)) {
            break;
        }
        // One byte that does not decode (or a lead byte cut off at the end)
        // becomes U+FFFD; decoding goes on with the byte after it.
        out += kReplacement;
        cp932.remove_prefix(1);
    }
    return out;
}

bool FitsCp932(std::string_view utf8) {
    return Utf8ToCp932(utf8).has_value();
}

std::string ReadableText(std::string_view bytes) {
    return IsUtf8(bytes) ? std::string(bytes) : Cp932ToUtf8(bytes);
}

}  // namespace pelko
