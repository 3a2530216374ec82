// How every check reads a descriptor attribute and a byte count: the one
// reading the package reader, the handset rules and the build share.
#include "package/checks/Attributes.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pelko {
namespace {

TEST(SplitAttributeLine, NameBeforeTheFirstColonValueWithoutBlanks) {
    struct Case {
        const char* name;
        std::string line;
        std::optional<std::pair<std::string, std::string>> split;
    };
    const std::vector<Case> cases = {
        {"plain", "MIDlet-Name: Game", {{"MIDlet-Name", "Game"}}},
        {"no blank after the colon", "MIDlet-Name:Game", {{"MIDlet-Name", "Game"}}},
        {"tabs and spaces around the value", "X:\t two words \t", {{"X", "two words"}}},
        {"the first colon splits", "MIDlet-Info-URL: http://a", {{"MIDlet-Info-URL", "http://a"}}},
        {"blanks around the name stay", " X : 1", {{" X ", "1"}}},
        {"an empty value", "X: ", {{"X", ""}}},
        {"no colon", "no colon here", std::nullopt},
    };
    for (const Case& c : cases) {
        const std::optional<AttributeLine> got = SplitAttributeLine(c.line);
        ASSERT_EQ(got.has_value(), c.split.has_value()) << c.name;
        if (!got) continue;
        EXPECT_EQ(got->name, c.split->first) << c.name;
        EXPECT_EQ(got->value, c.split->second) << c.name;
    }
}

TEST(ParseByteCount, DecimalDigitsOnly) {
    struct Case {
        const char* name;
        std::string text;
        std::optional<std::uint64_t> count;
    };
    const std::vector<Case> cases = {
        {"zero", "0", 0},
        {"leading zeros", "0019876", 19876},
        {"eighteen digits", std::string(18, '9'), 999999999999999999ull},
        {"nineteen digits", std::string(19, '9'), std::nullopt},
        {"empty", "", std::nullopt},
        {"a sign", "+20480", std::nullopt},
        {"hexadecimal", "0x5000", std::nullopt},
        {"a blank inside", "20 480", std::nullopt},
    };
    for (const Case& c : cases) EXPECT_EQ(ParseByteCount(c.text), c.count) << c.name;
}

}  // namespace
}  // namespace pelko
