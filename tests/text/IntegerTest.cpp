#include "text/Integer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "text/Errors.h"

namespace pelko {
namespace {

using namespace std::string_literals;

struct ValidCase {
    std::string text;
    std::int32_t value;
};

TEST(ParseInteger, AcceptsTheIntegerSyntax) {
    const std::vector<ValidCase> cases = {
        {"12", 12}, {" 12", 12}, {"+12", 12}, {"0012", 12}, {"-0", 0}, {"0", 0},
        {"   -7", -7}, {"2147483647", 2147483647}, {"-2147483648", INT32_MIN},
        {"00000000002147483647", INT32_MAX},
        // hexadecimal
        {"$1F", 31}, {"x1f", 31}, {"X1F", 31}, {"0x1F", 31}, {"0X1f", 31},
        {"$000000001F", 31}, {"$FFFFFFFF", -1}, {"$80000000", INT32_MIN},
        {"$7FFFFFFF", INT32_MAX}, {"$0", 0}, {"0x0", 0}, {" +$10", 16},
        // a sign applies to hexadecimal too
        {"-$10", -16}, {"-0x10", -16}, {"-x10", -16}, {"-$FFFFFFFF", 1},
        {"-$80000000", INT32_MIN}, {"-$7FFFFFFF", -INT32_MAX},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(ParseInteger(c.text), c.value) << "'" << c.text << "'";
    }
}

TEST(ParseInteger, RefusesEverythingElse) {
    const std::vector<std::string> invalid = {
        "12 ", "1e3", "1.0", "- 5", "--5", "", " ", "-", "$", "0x", "\t12",
        "2147483648", "+2147483648", "-2147483649", "99999999999999999999",
        "$100000000", "$1FFFFFFFF", "0x", "x", "+$", "$G", "0x1G", "$ 1",
        "12\0"s, "1\x82", "0x-1", "$-1", "+-1", "0b101", "1,000", "\xEF\xBC\x91",
    };
    for (const auto& text : invalid) {
        EXPECT_FALSE(TryParseInteger(text).has_value()) << ::testing::PrintToString(text);
        EXPECT_THROW(ParseInteger(text), Error) << ::testing::PrintToString(text);
    }
}

TEST(ParseInteger, ErrorShowsTheWholeTextAsUtf8) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"abc", "'abc' は整数ではありません"},
        {" 12 ", "' 12 ' は整数ではありません"},
        {"\x83\x5C", "'ソ' は整数ではありません"},
        {"", "'' は整数ではありません"},
    };
    for (const auto& [text, message] : cases) {
        try {
            ParseInteger(text);
            ADD_FAILURE() << "no error for " << text;
        } catch (const Error& e) {
            EXPECT_EQ(std::string(e.what()), message);
        }
    }
}

TEST(ParseIntegerOr, GivesTheFallbackOnlyForInvalidText) {
    EXPECT_EQ(ParseIntegerOr("abc", 0), 0);
    EXPECT_EQ(ParseIntegerOr("abc", -5), -5);
    EXPECT_EQ(ParseIntegerOr("2147483648", 7), 7);
    EXPECT_EQ(ParseIntegerOr("42", 7), 42);
}

TEST(FormatInteger, WritesPlainDecimal) {
    const std::vector<std::pair<std::int64_t, std::string>> cases = {
        {0, "0"}, {12, "12"}, {-1, "-1"}, {INT32_MAX, "2147483647"},
        {INT32_MIN, "-2147483648"}, {5000000000LL, "5000000000"},
        {std::numeric_limits<std::int64_t>::max(), "9223372036854775807"},
        {std::numeric_limits<std::int64_t>::min(), "-9223372036854775808"},
    };
    for (const auto& [value, text] : cases) {
        EXPECT_EQ(FormatInteger(value), text);
    }
    EXPECT_EQ(FormatInteger(ParseInteger("0012")), "12");
    EXPECT_EQ(FormatInteger(ParseInteger("$FFFFFFFF")), "-1");
}

}  // namespace
}  // namespace pelko
