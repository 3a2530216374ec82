#include "text/Integer.h"

#include <charconv>
#include <limits>

#include "text/Errors.h"

namespace pelko {

namespace {

int HexDigitValue(char byte) {
    if (byte >= '0' && byte <= '9') return byte - '0';
    if (byte >= 'A' && byte <= 'F') return byte - 'A' + 10;
    if (byte >= 'a' && byte <= 'f') return byte - 'a' + 10;
    return -1;
}

bool IsDecimalDigit(char byte) {
    return byte >= '0' && byte <= '9';
}

// Length of the hexadecimal prefix at the start of text: "$", "x", "X"
// (one byte), "0x", "0X" (two), or 0 for a decimal number.
std::size_t HexPrefixLength(std::string_view text) {
    if (text.empty()) return 0;
    if (text[0] == '$' || text[0] == 'x' || text[0] == 'X') return 1;
    if (text.size() >= 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) return 2;
    return 0;
}

// One or more hex digits to the end, fitting 32 bits; the pattern as unsigned.
std::optional<std::uint32_t> ParseHexPattern(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    std::uint64_t value = 0;
    for (const char byte : digits) {
        const int digit = HexDigitValue(byte);
        if (digit < 0) return std::nullopt;
        value = value * 16 + static_cast<unsigned>(digit);
        if (value > 0xFFFFFFFFull) return std::nullopt;  // a ninth significant digit
    }
    return static_cast<std::uint32_t>(value);
}

// One or more decimal digits to the end; the magnitude, or nullopt once it
// passes 2147483648 (the largest any 32-bit value needs).
std::optional<std::uint64_t> ParseDecimalMagnitude(std::string_view digits) {
    if (digits.empty()) return std::nullopt;
    constexpr std::uint64_t kLimit = 2147483648ull;
    std::uint64_t value = 0;
    for (const char byte : digits) {
        if (!IsDecimalDigit(byte)) return std::nullopt;
        value = value * 10 + static_cast<unsigned>(byte - '0');
        if (value > kLimit) return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<std::int32_t> TryParseInteger(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && text[pos] == ' ') ++pos;  // spaces only, never a tab
    bool negative = false;
    if (pos < text.size() && (text[pos] == '+' || text[pos] == '-')) {
        negative = text[pos] == '-';
        ++pos;
    }
    const std::string_view rest = text.substr(pos);

    if (const std::size_t prefix = HexPrefixLength(rest); prefix > 0) {
        const auto pattern = ParseHexPattern(rest.substr(prefix));
        if (!pattern) return std::nullopt;
        // The 32-bit pattern is the value ("$FFFFFFFF" is -1); a sign then
        // negates it in 32-bit arithmetic. So "-$10" is -16, "-$FFFFFFFF" is 1,
        // and "-$80000000" is -2147483648: read either as minus the magnitude
        // 0x80000000 or as the negation of the pattern's value, the result is
        // the same, so it is accepted rather than refused as an overflow.
        const std::uint32_t bits = negative ? 0u - *pattern : *pattern;
        return static_cast<std::int32_t>(bits);
    }

    const auto magnitude = ParseDecimalMagnitude(rest);
    if (!magnitude) return std::nullopt;
    const std::int64_t value =
        negative ? -static_cast<std::int64_t>(*magnitude) : static_cast<std::int64_t>(*magnitude);
    if (value > std::numeric_limits<std::int32_t>::max()) return std::nullopt;
    return static_cast<std::int32_t>(value);
}

std::int32_t ParseInteger(std::string_view text) {
    const auto value = TryParseInteger(text);
    if (!value) {
        throw NotIntegerError(text);
    }
    return *value;
}

std::int32_t ParseIntegerOr(std::string_view text, std::int32_t fallback) {
    return TryParseInteger(text).value_or(fallback);
}

std::string FormatInteger(std::int64_t value) {
    char buffer[24];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
    return std::string(buffer, result.ptr);
}

}  // namespace pelko
