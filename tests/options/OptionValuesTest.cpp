#include "options/OptionValues.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace pelko {
namespace {

TEST(YesNo, RecordTextsAndTypedWords) {
    EXPECT_EQ(YesNoText(true), "1");
    EXPECT_EQ(YesNoText(false), "0");
    const std::vector<std::pair<std::string, bool>> texts = {{"1", true}, {"0", false}, {"", false},
                                                             {"yes", false}, {"11", false}};
    for (const auto& [text, yes] : texts) EXPECT_EQ(IsYesText(text), yes) << text;

    const std::vector<std::pair<std::string, std::optional<bool>>> words = {
        {"1", true},       {"yes", true},  {"YES", true},     {"True", true},   {"on", true},
        {"0", false},      {"no", false},  {"FALSE", false},  {"Off", false},   {"", std::nullopt},
        {"y", std::nullopt}, {"2", std::nullopt}, {" yes", std::nullopt}, {"はい", std::nullopt},
    };
    for (const auto& [word, yes] : words) EXPECT_EQ(YesNoWord(word), yes) << word;
}

TEST(EditorForShortRecord, KeyThenTypeAndPlainTextWithoutType) {
    struct Case {
        StringList record;
        EditorKind kind;
    };
    const std::vector<Case> cases = {
        {{"File"}, EditorKind::File},
        {{"File2", "l"}, EditorKind::File},
        {{"Speed"}, EditorKind::Text},
        {{"Speed", "速度"}, EditorKind::Text},
        {{"Speed", "l", "INT"}, EditorKind::Integer},
        {{"C", "l", "COLOR", "1"}, EditorKind::Color},
        {{"B", "l", "BOOL"}, EditorKind::YesNo},
    };
    for (const Case& c : cases) EXPECT_EQ(EditorForShortRecord(c.record), c.kind) << c.record.Item(0);
}

TEST(DialogOrder, ChannelsRoundTripWithRedLowest) {
    struct Case {
        std::uint32_t dialogOrder;
        ColorChannels channels;
    };
    const std::vector<Case> cases = {
        {0x000000FF, {255, 0, 0}},
        {0x0000FF00, {0, 255, 0}},
        {0x00FF0000, {0, 0, 255}},
        {0x00123456, {0x56, 0x34, 0x12}},
    };
    for (const Case& c : cases) {
        const ColorChannels got = ChannelsOfDialogOrder(c.dialogOrder);
        EXPECT_EQ(got.red, c.channels.red);
        EXPECT_EQ(got.green, c.channels.green);
        EXPECT_EQ(got.blue, c.channels.blue);
        EXPECT_EQ(DialogOrderOf(c.channels), c.dialogOrder);
    }
    // A system colour's flag in the top byte is no channel.
    EXPECT_EQ(ChannelsOfDialogOrder(0x80000005).red, 5);
    EXPECT_EQ(DialogOrderOf(ChannelsOfDialogOrder(0xFF123456)), 0x00123456u);
}

TEST(SwapColorOrder, SwapsRedAndBlueAndClearsTheTopByte) {
    const std::vector<std::pair<std::uint32_t, std::uint32_t>> cases = {
        {0xFF0000, 0x0000FF},  // pure red <-> what the dialog calls red
        {0x0000FF, 0xFF0000},
        {0x00FF00, 0x00FF00},
        {0x123456, 0x563412},
        {0xAB123456, 0x563412},
        {0xFFFFFFFF, 0xFFFFFF},
        {0, 0},
    };
    for (const auto& [value, swapped] : cases) {
        EXPECT_EQ(SwapColorOrder(value), swapped) << std::hex << value;
        EXPECT_EQ(SwapColorOrder(SwapColorOrder(value)), value & 0xFFFFFF) << std::hex << value;
    }
}

}  // namespace
}  // namespace pelko
