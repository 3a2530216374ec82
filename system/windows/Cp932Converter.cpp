#include "system/Cp932Converter.h"

#include "system/windows/Win32.h"

namespace pelko {
namespace {

constexpr UINT kCp932 = 932;

using Direction = Cp932Converter::Direction;

// Where Windows' table for code page 932 and glibc's CP932 differ, glibc
// is the rule, so that the same text gives the same package bytes on both
// systems. glibc writes nine characters that Windows refuses; each becomes
// the character that both write as those bytes.
wchar_t AsGlibcWrites(wchar_t c) {
    switch (c) {
        case 0x00A2: return 0xFFE0;  // ¢ as ￠, 81 91
        case 0x00A3: return 0xFFE1;  // £ as ￡, 81 92
        case 0x00A5: return 0x005C;  // ¥ as the backslash byte, 5C
        case 0x00AC: return 0xFFE2;  // ¬ as ￢, 81 CA
        case 0x2014: return 0x2015;  // — as ―, 81 5C
        case 0x2016: return 0x2225;  // ‖ as ∥, 81 61
        case 0x203E: return 0x007E;  // ‾ as the tilde byte, 7E
        case 0x2212: return 0xFF0D;  // − as －, 81 7C
        case 0x301C: return 0xFF5E;  // 〜 as ～, 81 60
        default: return c;
    }
}

// What Windows writes as the single bytes 80, A0, FD, FE and FF, which
// glibc neither writes nor reads.
bool GlibcRefuses(wchar_t c) {
    return c == 0x0080 || (c >= 0xF8F0 && c <= 0xF8F3);
}

bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

bool IsLoneByteGlibcRefuses(unsigned char byte) {
    return byte == 0x80 || byte == 0xA0 || byte >= 0xFD;
}

// The bytes of the character that starts text; 0 when it is cut off.
std::size_t Cp932CharacterLength(std::string_view text) {
    if (!IsLeadByte(static_cast<unsigned char>(text.front()))) return 1;
    return text.size() >= 2 ? 2 : 0;
}

std::size_t Utf8CharacterLength(std::string_view text) {
    const auto lead = static_cast<unsigned char>(text.front());
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xC2 ? 0 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : lead < 0xF5 ? 4 : 0;
    return length <= text.size() ? length : 0;
}

// bytes in code page from to UTF-16; false when any of them is no character.
bool ToWide(UINT from, std::string_view bytes, std::wstring& wide) {
    const int size = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), size, nullptr, 0);
    if (length <= 0) return false;
    wide.resize(static_cast<std::size_t>(length));
    return MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, bytes.data(), size, wide.data(), length) == length;
}

// UTF-16 to code page to, appended to out; false when a character has no
// form there (never written as a best fit or as "?").
bool AppendFromWide(UINT to, const std::wstring& wide, std::string& out) {
    const int size = static_cast<int>(wide.size());
    const DWORD flags = to == CP_UTF8 ? 0 : WC_NO_BEST_FIT_CHARS;
    BOOL usedDefault = FALSE;
    BOOL* checkDefault = to == CP_UTF8 ? nullptr : &usedDefault;
    const int length = WideCharToMultiByte(to, flags, wide.data(), size, nullptr, 0, nullptr, checkDefault);
    if (length <= 0 || usedDefault) return false;
    const std::size_t start = out.size();
    out.resize(start + static_cast<std::size_t>(length));
    WideCharToMultiByte(to, flags, wide.data(), size, out.data() + start, length, nullptr, nullptr);
    return true;
}

bool Utf8ToCp932(std::string_view utf8, std::string& out) {
    std::wstring wide;
    if (!ToWide(CP_UTF8, utf8, wide)) return false;
    for (wchar_t& c : wide) {
        if (GlibcRefuses(c)) return false;
        c = AsGlibcWrites(c);
    }
    return AppendFromWide(kCp932, wide, out);
}

bool Cp932ToUtf8(std::string_view cp932, std::string& out) {
    for (std::string_view rest = cp932; !rest.empty();) {
        const std::size_t length = Cp932CharacterLength(rest);
        if (length == 0 || (length == 1 && IsLoneByteGlibcRefuses(static_cast<unsigned char>(rest.front())))) {
            return false;
        }
        rest.remove_prefix(length);
    }
    std::wstring wide;
    return ToWide(kCp932, cp932, wide) && AppendFromWide(CP_UTF8, wide, out);
}

Direction DirectionOf(void* state) {
    return *static_cast<Direction*>(state);
}

}  // namespace

Cp932Converter::Cp932Converter(Direction direction)
    : state_(IsValidCodePage(kCp932) ? new Direction(direction) : nullptr) {}

Cp932Converter::~Cp932Converter() {
    delete static_cast<Direction*>(state_);
}

bool Cp932Converter::IsOpen() const {
    return state_ != nullptr;
}

// The Windows calls convert all or nothing. The whole text is tried first;
// when it fails, character by character, to stop where iconv would.
bool Cp932Converter::Convert(std::string_view& in, std::string& out) {
    if (!IsOpen()) return in.empty();
    const bool fromUtf8 = DirectionOf(state_) == Direction::FromUtf8;
    const auto convert = fromUtf8 ? Utf8ToCp932 : Cp932ToUtf8;
    const auto characterLength = fromUtf8 ? Utf8CharacterLength : Cp932CharacterLength;
    if (in.empty()) return true;
    if (convert(in, out)) {
        in.remove_prefix(in.size());
        return true;
    }
    while (!in.empty()) {
        const std::size_t length = characterLength(in);
        if (length == 0 || !convert(in.substr(0, length), out)) return false;
        in.remove_prefix(length);
    }
    return true;
}

}  // namespace pelko
