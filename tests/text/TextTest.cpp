#include "text/Text.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

namespace pelko {
namespace {

using namespace std::string_literals;

TEST(TextEquals, IsByteWiseAndCaseSensitive) {
    EXPECT_FALSE(TextEquals("File", "file"));
    EXPECT_FALSE(TextEquals("Name", "Name "));
    EXPECT_TRUE(TextEquals("", ""));
    EXPECT_TRUE(TextEquals("a\0b"s, "a\0b"s));
    EXPECT_FALSE(TextEquals("a\0b"s, "a\0c"s));  // a NUL does not end the comparison
    EXPECT_FALSE(TextEquals("\x82\x60", "\x82\x81"));  // no folding of full-width letters
}

struct SubTextCase {
    long index;
    long count;
    std::string expected;
};

TEST(SubText, CutsByIndexAndCount) {
    const std::vector<SubTextCase> cases = {
        {1, 3, "abc"},  {6, 1, ""},         {3, 0, ""},          {0, 2, "ab"},
        {4, 100, "de"}, {-5, 2, "ab"},      {5, 1, "e"},         {3, -1, ""},
        {1, LONG_MAX, "abcde"}, {LONG_MIN, LONG_MAX, "abcde"}, {LONG_MAX, LONG_MAX, ""},
        {2, LONG_MIN, ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(SubText("abcde", c.index, c.count), c.expected)
            << "index " << c.index << " count " << c.count;
    }
    EXPECT_EQ(SubText("", 1, 1), "");
    EXPECT_EQ(SubText("\x83\x5C" "x", 2, 1), "\x5C");  // a pair may be cut in two
}

TEST(PositionOf, FindsLeftmostBytewise) {
    EXPECT_EQ(PositionOf("a:b:c", ":"), 2);
    EXPECT_EQ(PositionOf("abc", "x"), 0);
    EXPECT_EQ(PositionOf("abc", ""), 0);
    EXPECT_EQ(PositionOf("", "a"), 0);
    EXPECT_EQ(PositionOf("abcabc", "ca"), 3);
    EXPECT_EQ(PositionOf("ab", "abc"), 0);
    // Byte-wise: the backslash inside ソ (0x83 0x5C) is found.
    EXPECT_EQ(PositionOf("x\x83\x5C", "\\"), 3);
}

struct LowerCase {
    std::string text;
    std::string expected;
};

TEST(LowerText, LowersAsciiAndFullWidthCapitalsOnly) {
    const std::vector<LowerCase> cases = {
        {".KJX", ".kjx"},
        {".Kjx", ".kjx"},
        {"AZaz09@[`{", "azaz09@[`{"},
        {"\x82\x60", "\x82\x81"},                  // Ａ -> ａ
        {"\x82\x79", "\x82\x9A"},                  // Ｚ -> ｚ
        {"\x82\x5F\x82\x7A", "\x82\x5F\x82\x7A"},  // just outside the capitals
        {"\x82\x81", "\x82\x81"},                  // already small
        {"\x83\x41", "\x83\x41"},                  // second byte 'A' is not a letter
        {"\x83\x60", "\x83\x60"},                  // 0x60 after another lead byte
        {"\x83\x82\x60", "\x83\x82\x60"},          // 0x82 is a second byte here, 0x60 alone
        {"\x83\x82" "A", "\x83\x82" "a"},          // the byte after the pair is a letter again
        {"A\x82", "a\x82"},                        // a lead byte at the end stands alone
        {"\xC1\xDD", "\xC1\xDD"},                  // half-width katakana untouched
        {"A\0B"s, "a\0b"s},                        // the whole length, past a NUL
    };
    for (const auto& c : cases) {
        const std::string lowered = LowerText(c.text);
        EXPECT_EQ(lowered, c.expected) << "input " << ::testing::PrintToString(c.text);
        EXPECT_EQ(lowered.size(), c.text.size());
    }
}

TEST(StartsWith, ComparesThePrefixBytes) {
    EXPECT_TRUE(StartsWith("Pelko-Name", "Pelko-"));
    EXPECT_FALSE(StartsWith("pelko-Name", "Pelko-"));
    EXPECT_FALSE(StartsWith("Pel", "Pelko-"));
    EXPECT_TRUE(StartsWith("x", ""));
}

// Unlike LowerText, every byte stands alone: for ASCII words and UTF-8
// arguments, where a byte above 0x7F is never a letter.
TEST(AsciiLower, LowersOnlyTheAsciiCapitals) {
    struct Case {
        const char* name;
        std::string text;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"capitals and their neighbours", "@AZ[`az{", "@az[`az{"},
        {"a CP932 trail byte that reads as a capital", "\x83\x41", "\x83\x61"},
        {"UTF-8 bytes untouched", "\xC3\x84", "\xC3\x84"},
        {"past a NUL", "A\0B"s, "a\0b"s},
    };
    for (const Case& c : cases) EXPECT_EQ(AsciiLower(c.text), c.expected) << c.name;
}

TEST(HexEscaped, GivesTwoUpperCaseDigits) {
    struct Case {
        const char* name;
        unsigned char byte;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {"NUL", 0x00, "\\x00"}, {"escape", 0x1B, "\\x1B"}, {"delete", 0x7F, "\\x7F"}, {"highest", 0xFF, "\\xFF"}};
    for (const Case& c : cases) EXPECT_EQ(HexEscaped(c.byte), c.expected) << c.name;
}

}  // namespace
}  // namespace pelko
