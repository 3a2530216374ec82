#include "text/CommaList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelko {
namespace {

using namespace std::string_literals;
using Items = std::vector<std::string>;

struct CommaCase {
    std::string text;
    Items items;
};

class SplitCommaListTest : public ::testing::TestWithParam<CommaCase> {};

TEST_P(SplitCommaListTest, GivesTheItems) {
    StringList list{"old", "items"};
    SplitCommaList(list, GetParam().text);
    EXPECT_EQ(list.Texts(), GetParam().items);
}

INSTANTIATE_TEST_SUITE_P(PlainItems, SplitCommaListTest, ::testing::Values(
    CommaCase{"Title,TEXT,Hello", {"Title", "TEXT", "Hello"}},
    CommaCase{"a b,c", {"a", "b", "c"}},
    CommaCase{" a , b ", {"a", "b"}},
    CommaCase{"a\tb\x01" "c", {"a", "b", "c"}},  // every byte 0x01-0x20 is a blank
    CommaCase{"a\x7F" "b", {"a\x7F" "b"}},       // DEL is not
    CommaCase{"", {}},
    CommaCase{"  \t ", {}},
    CommaCase{"a\0,b"s, {"a"}},                  // a NUL ends the text
    CommaCase{"\0a"s, {}}));

INSTANTIATE_TEST_SUITE_P(EmptyItems, SplitCommaListTest, ::testing::Values(
    CommaCase{"a,,b", {"a", "", "b"}},
    CommaCase{",a", {"", "a"}},
    CommaCase{"a,", {"a", ""}},
    CommaCase{"a, ", {"a"}},
    CommaCase{",", {"", ""}},
    CommaCase{" , ", {""}},
    CommaCase{"a ,b", {"a", "b"}},
    CommaCase{"a,\0"s, {"a", ""}}));             // the comma is the last byte before the NUL

INSTANTIATE_TEST_SUITE_P(QuotedItems, SplitCommaListTest, ::testing::Values(
    CommaCase{"\"Back colour\",COLOR,255", {"Back colour", "COLOR", "255"}},
    CommaCase{"\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
    CommaCase{"\"\",x", {"", "x"}},
    CommaCase{"\"ab\"cd", {"ab", "cd"}},
    CommaCase{"\"a,b", {"a,b"}},
    CommaCase{"\"a\"\"b", {"a\"b"}},             // unterminated, doubled quote still collapsed
    CommaCase{"\"", {""}},
    CommaCase{"\" a \t,\"", {" a \t,"}},
    CommaCase{"a\"b,c", {"a\"b", "c"}},          // a quote inside a plain item is a byte
    CommaCase{"\"x\",", {"x", ""}}));

// ソ (0x83 0x5C) and 表 (0x95 0x5C) carry a backslash as second byte; the
// artificial pairs below put a quote, comma or blank there, which must stay
// inside the item.
INSTANTIATE_TEST_SUITE_P(DoubleByteItems, SplitCommaListTest, ::testing::Values(
    CommaCase{"\x83\x5C,\x95\x5C", {"\x83\x5C", "\x95\x5C"}},
    CommaCase{"\"\x83\x5C \x95\x5C\",x", {"\x83\x5C \x95\x5C", "x"}},
    CommaCase{"a\x81,b", {"a\x81,b"}},
    CommaCase{"a\x81 b", {"a\x81 b"}},
    CommaCase{"\"a\x81\"b\"", {"a\x81\"b"}},
    CommaCase{"a\x81", {"a\x81"}},               // a lead byte at the end stands alone
    CommaCase{"\"a\x81", {"a\x81"}},
    CommaCase{"a\x81\0,b"s, {"a\x81"}}));         // the NUL is not taken as a second byte

TEST(SplitCommaList, FreesObjectsOfTheOldItems) {
    struct Counted : ListObject {
        explicit Counted(int& live) : live_(live) { ++live_; }
        ~Counted() override { --live_; }
        int& live_;
    };
    int live = 0;
    StringList list;
    list.Add("x", std::make_unique<Counted>(live));
    SplitCommaList(list, "a");
    EXPECT_EQ(live, 0);
    EXPECT_EQ(list.Object(0), nullptr);
}

}  // namespace
}  // namespace pelko
