#pragma once
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace pelko {

// Leading spaces, an optional sign, decimal digits or hexadecimal after
// "$", "x", "X", "0x" or "0X"; nothing after the digits. A sign applies to
// hexadecimal too ("-$10" is -16).
std::optional<std::int32_t> TryParseInteger(std::string_view text);
// NotIntegerError(text) when the text is not an integer.
std::int32_t ParseInteger(std::string_view text);
std::int32_t ParseIntegerOr(std::string_view text, std::int32_t fallback);
std::string FormatInteger(std::int64_t value);

}  // namespace pelko
