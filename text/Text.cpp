#include "text/Text.h"

#include <algorithm>

namespace pelko {

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool TextEquals(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin());
}

std::string SubText(std::string_view text, long index, long count) {
    const auto length = static_cast<long long>(text.size());
    if (count < 1 || index > length) {
        return {};
    }
    // An index below 1 starts at the first byte without shortening count.
    const long long start = index < 1 ? 0 : static_cast<long long>(index) - 1;
    const long long take = std::min<long long>(count, length - start);
    return std::string(text.substr(static_cast<std::size_t>(start), static_cast<std::size_t>(take)));
}

long PositionOf(std::string_view text, std::string_view sought) {
    if (text.empty() || sought.empty()) {
        return 0;
    }
    const auto at = text.find(sought);
    return at == std::string_view::npos ? 0 : static_cast<long>(at) + 1;
}

namespace {

// Full-width Latin capitals of CP932 (Ａ-Ｚ) share lead byte 0x82 with
// their small letters (ａ-ｚ), 0x21 further on.
constexpr unsigned char kFullWidthLead = 0x82;
constexpr unsigned char kFullWidthCapitalFirst = 0x60;
constexpr unsigned char kFullWidthCapitalLast = 0x79;
constexpr unsigned char kFullWidthLowerOffset = 0x21;

}  // namespace

std::string LowerText(std::string_view text) {
    std::string result(text);
    std::size_t i = 0;
    while (i < result.size()) {
        const auto byte = static_cast<unsigned char>(result[i]);
        if (IsLeadByte(byte) && i + 1 < result.size()) {
            // The pair is one character: only its lead decides, its second
            // byte is never lowered as a letter of its own.
            const auto trail = static_cast<unsigned char>(result[i + 1]);
            if (byte == kFullWidthLead && trail >= kFullWidthCapitalFirst &&
                trail <= kFullWidthCapitalLast) {
                result[i + 1] = static_cast<char>(trail + kFullWidthLowerOffset);
            }
            i += 2;
            continue;
        }
        result[i] = AsciiLower(result[i]);
        ++i;
    }
    return result;
}

char AsciiLower(char byte) {
    return (byte >= 'A' && byte <= 'Z') ? static_cast<char>(byte - 'A' + 'a') : byte;
}

std::string AsciiLower(std::string_view text) {
    std::string lowered(text);
    for (char& byte : lowered) byte = AsciiLower(byte);
    return lowered;
}

std::string HexEscaped(unsigned char byte) {
    constexpr char kDigits[] = "0123456789ABCDEF";
    return {'\\', 'x', kDigits[byte >> 4], kDigits[byte & 0x0F]};
}

bool StartsWith(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() && TextEquals(text.substr(0, prefix.size()), prefix);
}

}  // namespace pelko
