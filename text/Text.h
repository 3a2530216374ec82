#pragma once
// Byte texts in CP932. Positions count bytes from 1.
#include <string>
#include <string_view>

namespace pelko {

// CP932 lead bytes: 0x81-0x9F and 0xE0-0xFC.
bool IsLeadByte(unsigned char byte);

bool TextEquals(std::string_view a, std::string_view b);
// Bytes from position index (1-based) on, at most count of them.
std::string SubText(std::string_view text, long index, long count);
// 1-based position of the leftmost occurrence; 0 when absent or either is empty.
long PositionOf(std::string_view text, std::string_view sought);
// A-Z and the full-width Latin capitals lowered; trail bytes never touched.
std::string LowerText(std::string_view text);
// A-Z lowered, every other byte as it is: for ASCII words (attribute
// names, typed English words, file names compared without case).
char AsciiLower(char byte);
std::string AsciiLower(std::string_view text);
// "\xNN", upper-case hex: how a byte that would steer a terminal is shown.
std::string HexEscaped(unsigned char byte);
// True when text starts with prefix (byte-wise, as SubText + TextEquals would decide).
bool StartsWith(std::string_view text, std::string_view prefix);

}  // namespace pelko
