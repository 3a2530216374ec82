#include "text/Cp932.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelko {
namespace {

using namespace std::string_literals;

struct Pair {
    std::string utf8;
    std::string cp932;
};

TEST(Cp932, ConvertsBothWays) {
    const std::vector<Pair> pairs = {
        {"", ""},
        {"Pelko 1.0", "Pelko 1.0"},
        {"ソ表", "\x83\x5C\x95\x5C"},
        {"ｱｲｳ", "\xB1\xB2\xB3"},              // half-width katakana, one byte each
        {"Ａｚ", "\x82\x60\x82\x9A"},
        {"①髙", "\x87\x40\xFB\xFC"},          // NEC and IBM extensions of CP932
        {"a\0b"s, "a\0b"s},
    };
    for (const auto& p : pairs) {
        EXPECT_EQ(Utf8ToCp932(p.utf8), p.cp932) << p.utf8;
        EXPECT_EQ(Cp932ToUtf8(p.cp932), p.utf8) << p.utf8;
        EXPECT_TRUE(FitsCp932(p.utf8)) << p.utf8;
    }
}

TEST(Cp932, RefusesWhatItCannotHold) {
    const std::vector<std::string> refused = {
        "한", "😀", "€", "abc한", "ä",
        "\xC3",              // cut-off UTF-8
        "\xFF",              // never UTF-8
        "\xC0\xAF",          // overlong slash
        "\xED\xA0\x80",      // a surrogate
        "ok\x80",
    };
    for (const auto& text : refused) {
        EXPECT_EQ(Utf8ToCp932(text), std::nullopt) << ::testing::PrintToString(text);
        EXPECT_FALSE(FitsCp932(text)) << ::testing::PrintToString(text);
    }
}

TEST(Cp932, UndecodableBytesBecomeReplacementCharacters) {
    const std::string r = "\xEF\xBF\xBD";
    const std::vector<Pair> cases = {
        {"A" + r, "A\x83"},                  // a lead byte cut off at the end
        {r + " x", "\x81\x20x"},             // a pair that does not exist: the next byte stays
        {r + "A" + r, "\x80" "A\xA0"},
        {r + r + "ソ", "\xFD\xFF\x83\x5C"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(Cp932ToUtf8(c.cp932), c.utf8) << ::testing::PrintToString(c.cp932);
    }
}

TEST(Cp932, ReadableTextKeepsUtf8AndReadsTheRestAsCp932) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"plain.png", "plain.png"},
        {"/home/u/\xED\x95\x9C.png", "/home/u/\xED\x95\x9C.png"},  // UTF-8 with no CP932 form stays
        {"\x94\x77\x8C\x69.png", "背景.png"},                       // CP932 bytes are converted
        {"\xC0\x80", "ﾀ\xEF\xBF\xBD"},  // overlong UTF-8 is no UTF-8: CP932 katakana, then nothing
    };
    for (const auto& [bytes, shown] : cases) {
        EXPECT_EQ(ReadableText(bytes), shown) << ::testing::PrintToString(bytes);
    }
    EXPECT_FALSE(IsUtf8("\xE3\x81"));  // cut off after its lead byte
    EXPECT_FALSE(IsUtf8("\xF5\x80\x80\x80"));
    EXPECT_TRUE(IsUtf8(""));
}

}  // namespace
}  // namespace pelko
