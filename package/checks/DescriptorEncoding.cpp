#include "package/checks/DescriptorEncoding.h"

#include <algorithm>

#include "package/checks/Wording.h"
#include "text/Utf8.h"

namespace pelko {
namespace {

bool HasNonAscii(std::string_view line) {
    return std::any_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) >= 0x80; });
}

// The C1 controls are well-formed UTF-8 but never written in a text.
bool HasC1Control(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const Utf8Character character = DecodeUtf8At(utf8, at);
        if (character.code >= 0x80 && character.code <= 0x9F) return true;
        at += character.length;
    }
    return false;
}

// Japanese in CP932 is next to never well-formed UTF-8: its lead bytes 0x81
// to 0x9F and its half-width kana are UTF-8 continuation bytes, which may
// only follow a lead byte, and its other pairs rarely line up as UTF-8
// sequences for a whole line. Japanese in UTF-8 always is, though its bytes
// may happen to pair up as CP932 characters, which is why the reading as
// UTF-8 decides and not whether CP932 defines the pairs.
bool ReadsAsUtf8(std::string_view line) {
    return HasNonAscii(line) && IsUtf8(line) && !HasC1Control(line);
}

}  // namespace

Problems CheckDescriptorEncoding(const StringList& lines) {
    Problems problems;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines.Item(i);
        if (!ReadsAsUtf8(line)) continue;
        problems.push_back({ProblemRule::TemplateText, ProblemPlace::Template, i + 1, {},
                            ProblemMessage("JADがCP932でなくUTF-8で書かれている", Utf8ProblemSubject(line))});
    }
    return problems;
}

}  // namespace pelko
