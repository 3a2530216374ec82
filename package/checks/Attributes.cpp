#include "package/checks/Attributes.h"

#include <algorithm>

#include "text/Text.h"

namespace pelko {
namespace {

// More digits could overflow, and no package comes near 10^18 bytes.
constexpr std::size_t kLongestByteCount = 18;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view WithoutBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

bool IsBuildToolAttribute(std::string_view name) {
    const std::string lowered = AsciiLower(name);
    return std::any_of(std::begin(kBuildToolAttributes), std::end(kBuildToolAttributes),
                       [&lowered](std::string_view tool) { return AsciiLower(tool) == lowered; });
}

std::optional<AttributeLine> SplitAttributeLine(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    return AttributeLine{line.substr(0, colon), WithoutBlanks(line.substr(colon + 1))};
}

std::optional<std::uint64_t> ParseByteCount(std::string_view text) {
    if (text.empty() || text.size() > kLongestByteCount) return std::nullopt;
    std::uint64_t value = 0;
    for (char digit : text) {
        if (digit < '0' || digit > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(digit - '0');
    }
    return value;
}

}  // namespace pelko
