#include "text/CommaList.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/RowName.h"

namespace pelko {
namespace {

using namespace std::string_literals;
using Items = std::vector<std::string>;

struct CommaCase {
    const char* name;
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
    CommaCase{"ThreeItems", "Title,TEXT,Hello", {"Title", "TEXT", "Hello"}},
    CommaCase{"BlankSeparates", "a b,c", {"a", "b", "c"}},
    CommaCase{"BlanksAroundItemsDropped", " a , b ", {"a", "b"}},
    CommaCase{"EveryControlByteIsABlank", "a\tb\x01" "c", {"a", "b", "c"}},
    CommaCase{"DeleteIsNoBlank", "a\x7F" "b", {"a\x7F" "b"}},
    CommaCase{"EmptyText", "", {}},
    CommaCase{"OnlyBlanks", "  \t ", {}},
    CommaCase{"NulEndsTheText", "a\0,b"s, {"a"}},
    CommaCase{"NulFirst", "\0a"s, {}}), test::RowName<CommaCase>);

INSTANTIATE_TEST_SUITE_P(EmptyItems, SplitCommaListTest, ::testing::Values(
    CommaCase{"EmptyMiddleItem", "a,,b", {"a", "", "b"}},
    CommaCase{"EmptyFirstItem", ",a", {"", "a"}},
    CommaCase{"EmptyLastItem", "a,", {"a", ""}},
    CommaCase{"BlankAfterLastComma", "a, ", {"a"}},
    CommaCase{"OnlyAComma", ",", {"", ""}},
    CommaCase{"CommaBetweenBlanks", " , ", {""}},
    CommaCase{"BlankBeforeComma", "a ,b", {"a", "b"}},
    CommaCase{"CommaBeforeNul", "a,\0"s, {"a", ""}}), test::RowName<CommaCase>);

INSTANTIATE_TEST_SUITE_P(QuotedItems, SplitCommaListTest, ::testing::Values(
    CommaCase{"QuotedItemKeepsBlanks", "\"Back colour\",COLOR,255", {"Back colour", "COLOR", "255"}},
    CommaCase{"DoubledQuotesCollapse", "\"say \"\"hi\"\"\",x", {"say \"hi\"", "x"}},
    CommaCase{"EmptyQuotedItem", "\"\",x", {"", "x"}},
    CommaCase{"TextAfterClosingQuoteIsNextItem", "\"ab\"cd", {"ab", "cd"}},
    CommaCase{"UnterminatedQuoteTakesTheRest", "\"a,b", {"a,b"}},
    CommaCase{"UnterminatedQuoteCollapsesDoubledQuotes", "\"a\"\"b", {"a\"b"}},
    CommaCase{"LoneQuote", "\"", {""}},
    CommaCase{"QuotedBlanksAndComma", "\" a \t,\"", {" a \t,"}},
    CommaCase{"QuoteInsidePlainItem", "a\"b,c", {"a\"b", "c"}},
    CommaCase{"QuotedItemThenEmptyItem", "\"x\",", {"x", ""}}), test::RowName<CommaCase>);

// ソ (0x83 0x5C) and 表 (0x95 0x5C) carry a backslash as second byte; the
// artificial pairs below put a quote, comma or blank there, which must stay
// inside the item.
INSTANTIATE_TEST_SUITE_P(DoubleByteItems, SplitCommaListTest, ::testing::Values(
    CommaCase{"BackslashSecondBytes", "\x83\x5C,\x95\x5C", {"\x83\x5C", "\x95\x5C"}},
    CommaCase{"BackslashSecondBytesQuoted", "\"\x83\x5C \x95\x5C\",x", {"\x83\x5C \x95\x5C", "x"}},
    CommaCase{"CommaAsSecondByte", "a\x81,b", {"a\x81,b"}},
    CommaCase{"BlankAsSecondByte", "a\x81 b", {"a\x81 b"}},
    CommaCase{"QuoteAsSecondByte", "\"a\x81\"b\"", {"a\x81\"b"}},
    CommaCase{"LeadByteAtTheEnd", "a\x81", {"a\x81"}},
    CommaCase{"LeadByteAtTheEndQuoted", "\"a\x81", {"a\x81"}},
    CommaCase{"NulAfterLeadByte", "a\x81\0,b"s, {"a\x81"}}), test::RowName<CommaCase>);

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
