#include "package/checks/Wording.h"

#include <algorithm>

#include "text/Cp932.h"
#include "text/Text.h"
#include "text/Utf8.h"

namespace pelko {
namespace {

// Long lines are named by their beginning only.
constexpr std::size_t kShownBytes = 64;

// At most kShownBytes bytes, never cutting a CP932 character in two.
std::string_view Beginning(std::string_view text) {
    if (text.size() <= kShownBytes) return text;
    std::size_t end = 0;
    while (end < kShownBytes) {
        const std::size_t width = IsLeadByte(static_cast<unsigned char>(text[end])) ? 2 : 1;
        if (end + width > kShownBytes) break;
        end += width;
    }
    return text.substr(0, end);
}

// At most kShownBytes bytes of well-formed UTF-8, never cutting a character.
std::string_view Utf8Beginning(std::string_view text) {
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t width = std::max<std::size_t>(DecodeUtf8At(text, end).length, 1);
        if (end + width > kShownBytes) break;
        end += width;
    }
    return text.substr(0, end);
}

std::string WithoutControls(std::string_view utf8) {
    std::string shown;
    for (char c : utf8) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) {
            shown += HexEscaped(byte);
        } else {
            shown += c;
        }
    }
    return shown;
}

}  // namespace

std::string ShownSubject(std::string_view cp932) { return WithoutControls(Cp932ToUtf8(cp932)); }

std::string ProblemSubject(std::string_view line) {
    if (line.empty()) return "空行";
    std::string shown = ShownSubject(Beginning(line));
    if (line.size() > kShownBytes) shown += "...";
    return shown;
}

std::string Utf8ProblemSubject(std::string_view utf8Line) {
    const std::string_view beginning = Utf8Beginning(utf8Line);
    std::string shown = WithoutControls(beginning);
    if (beginning.size() < utf8Line.size()) shown += "...";
    return shown;
}

std::string ProblemMessage(std::string_view sentence, std::string_view subject) {
    return std::string(sentence) + "(" + std::string(subject) + ")";
}

}  // namespace pelko
