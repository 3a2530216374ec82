#include "text/Utf8.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelko {
namespace {

TEST(Utf8, OnlyWellFormedSequencesCount) {
    struct Case {
        std::string bytes;
        bool wellFormed;
    };
    const std::vector<Case> cases = {
        {"", true},
        {"plain", true},
        {"背景", true},
        {"\xF0\x9F\x98\x80", true},          // U+1F600, four bytes
        {"\xF4\x8F\xBF\xBF", true},          // U+10FFFF, the last code
        {"\xE3\x81", false},                 // cut off after its lead byte
        {"\x80", false},                     // a continuation byte alone
        {"\xC0\x80", false},                 // NUL, overlong in two bytes
        {"\xC1\xBF", false},                 // overlong in two bytes
        {"\xE0\x80\xAF", false},             // "/", overlong in three bytes
        {"\xF0\x80\x80\xAF", false},         // overlong in four bytes
        {"\xED\xA0\x80", false},             // U+D800, a surrogate
        {"\xED\xBF\xBF", false},             // U+DFFF, a surrogate
        {"\xF4\x90\x80\x80", false},         // past U+10FFFF
        {"\xF5\x80\x80\x80", false},         // no lead byte at all
        {"ok\xFF", false},                   // a bad byte at the end
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsUtf8(c.bytes), c.wellFormed) << ::testing::PrintToString(c.bytes);
    }
}

TEST(Utf8, DecodesCodeAndLength) {
    const std::string text = "a\xC3\xA9\xE8\x83\x8C\xF0\x9F\x98\x80";
    const std::vector<std::pair<char32_t, std::size_t>> expected = {
        {U'a', 1}, {0xE9, 2}, {0x80CC, 3}, {0x1F600, 4}};
    std::size_t at = 0;
    for (const auto& [code, length] : expected) {
        const Utf8Character decoded = DecodeUtf8At(text, at);
        EXPECT_EQ(decoded.code, code);
        EXPECT_EQ(decoded.length, length);
        at += decoded.length;
    }
    EXPECT_EQ(at, text.size());
}

}  // namespace
}  // namespace pelko
