#include "templates/Descriptor.h"

#include <gtest/gtest.h>

#include <optional>

#include "support/RowName.h"
#include "support/TestFiles.h"
#include "support/WorkedExample.h"
#include "text/Errors.h"
#include "text/Lines.h"

namespace pelko {
namespace {

using test::Sjis;
using test::SjisEach;
using test::SjisLines;

std::vector<std::string> RecordTexts(const LoadedTemplate& loaded, int index) {
    return RecordOf(loaded.options, index).Texts();
}


// Which lines declare something, and which key declares a file option:
// the window, the build and the template check all read them this way.
TEST(TemplateLineKey, IsWhatFollowsThePrefixUpToTheFirstColon) {
    struct Case {
        const char* name;
        std::string line;
        std::optional<std::string> key;
        bool fileOption;
    };
    const std::vector<Case> cases = {
        {"an option", "Pelko-Speed: x,INT,3", "Speed", false},
        {"a file option", "Pelko-File: x,back.png", "File", true},
        {"a file editor that is written as a line", "Pelko-File2: x,a.png", "File2", false},
        {"the display name", "Pelko-Name: Game", "Name", false},
        {"the first colon ends the key", "Pelko-A:B: c", "A", false},
        {"an empty key", "Pelko-: x", "", false},
        {"no colon declares nothing", "Pelko-File", std::nullopt, false},
        {"another letter case is no template line", "pelko-File: x", std::nullopt, false},
        {"a descriptor line", "MIDlet-Name: Game", std::nullopt, false},
    };
    for (const Case& c : cases) {
        const std::optional<std::string> key = TemplateLineKey(c.line);
        EXPECT_EQ(key, c.key) << c.name;
        EXPECT_EQ(key && IsFileOption(*key), c.fileOption) << c.name;
    }
}

TEST(ParseTemplate, WorkedExampleGivesTheRecordTable) {
    LoadedTemplate loaded = ParseTemplate(SjisLines(test::worked::TemplateLines()));
    EXPECT_FALSE(loaded.error.has_value());
    EXPECT_EQ(loaded.title, "Block Game");
    EXPECT_TRUE(loaded.copyright);
    const auto& expected = test::worked::TemplateRecords();
    ASSERT_EQ(loaded.options.Count(), static_cast<int>(expected.size()));
    for (int i = 0; i < loaded.options.Count(); ++i) {
        const std::vector<std::string> sjis = SjisEach(expected[i]);
        EXPECT_EQ(RecordTexts(loaded, i), sjis) << "option " << i;
        EXPECT_EQ(loaded.options.Item(i), sjis[1]) << "item text is the label";
    }
}

struct LineCase {
    const char* name;
    std::vector<std::string> lines;
    std::string title;
    bool copyright;
    std::vector<std::vector<std::string>> records;
};

class ParseTemplateLines : public ::testing::TestWithParam<LineCase> {};

TEST_P(ParseTemplateLines, GivesTitleCopyrightAndRecords) {
    const LineCase& c = GetParam();
    LoadedTemplate loaded = ParseTemplate(SjisLines(c.lines));
    EXPECT_FALSE(loaded.error.has_value()) << *loaded.error;
    EXPECT_EQ(loaded.title, Sjis(c.title));
    EXPECT_EQ(loaded.copyright, c.copyright);
    ASSERT_EQ(loaded.options.Count(), static_cast<int>(c.records.size()));
    for (int i = 0; i < loaded.options.Count(); ++i) {
        EXPECT_EQ(RecordTexts(loaded, i), SjisEach(c.records[i])) << "option " << i;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ParseTemplateLines,
    ::testing::Values(
        LineCase{"LaterNameWins", {"MIDlet-Name: One", "MIDlet-Name: Two"}, "Two", false, {}},
        LineCase{"EmptyName", {"MIDlet-Name: Abc", "MIDlet-Name: "}, "", false, {}},
        LineCase{"NameWithoutSpaceIsNoName", {"MIDlet-Name:Block"}, "", false, {}},
        LineCase{"CopyrightOff", {"MIDlet-X-Copyright: OFF"}, "", false, {}},
        LineCase{"CopyrightLowerCase", {"MIDlet-X-Copyright: on"}, "", false, {}},
        LineCase{"CopyrightTrailingSpace", {"MIDlet-X-Copyright: ON "}, "", false, {}},
        LineCase{"VendorIsNotTheAuthor", {"MIDlet-Vendor: someone"}, "", false, {}},
        LineCase{"PelkoLineWithoutColonIgnored", {"Pelko-Speed 速度,INT,3"}, "", false, {}},
        LineCase{"OtherCasePrefixIgnored", {"pelko-Speed: 速度,INT,3"}, "", false, {}},
        LineCase{"EmptyKeyAllowed", {"Pelko-: 空,TEXT,x"}, "", false, {{"", "空", "TEXT", "x"}}},
        LineCase{"KeyWithSpaces", {"Pelko-My Key: ラベル,TEXT,v"}, "", false, {{"My Key", "ラベル", "TEXT", "v"}}},
        LineCase{"SeparatorByteSkippedWhateverItIs", {"Pelko-K:XL,TEXT,v"}, "", false, {{"K", "L", "TEXT", "v"}}},
        LineCase{"NameKeyMakesNoOption", {"Pelko-Name: 名前"}, "", false, {}},
        LineCase{"FileWithThreeFieldsKeepsItsValue",
                 {"Pelko-File: 画像,icon.png,C:\\data\\icon.png"}, "", false,
                 {{"File", "画像", "icon.png", "C:\\data\\icon.png"}}},
        LineCase{"FileWithTwoFieldsTakesTheEntryName", {"Pelko-File: 画像,icon.png"}, "", false,
                 {{"File", "画像", "icon.png", "icon.png"}}},
        LineCase{"File2IsNoFileOption", {"Pelko-File2: 画像,icon.png"}, "", false, {{"File2", "画像", "icon.png"}}},
        LineCase{"UnquotedSpacesSplit", {"Pelko-D: 説明,TEXT,Falling Blocks"}, "", false,
                 {{"D", "説明", "TEXT", "Falling", "Blocks"}}},
        LineCase{"QuotedSpacesKept", {"Pelko-D: \"Start message\",TEXT,\"Tap to start\""}, "", false,
                 {{"D", "Start message", "TEXT", "Tap to start"}}},
        LineCase{"ShortRecordAccepted", {"Pelko-K: ラベル,INT"}, "", false, {{"K", "ラベル", "INT"}}},
        LineCase{"OptionLineWinsOverNameLine", {"Pelko-MIDlet-Name: 名,TEXT,x"}, "", false,
                 {{"MIDlet-Name", "名", "TEXT", "x"}}}),
    test::RowName<LineCase>);

struct FailureCase {
    const char* name;
    std::vector<std::string> lines;
    std::string message;
    int optionsKept;
    std::string title;
};

class ParseTemplateFailures : public ::testing::TestWithParam<FailureCase> {};

TEST_P(ParseTemplateFailures, StopAtTheBadLineKeepingWhatCameBefore) {
    const FailureCase& c = GetParam();
    LoadedTemplate loaded = ParseTemplate(SjisLines(c.lines));
    ASSERT_TRUE(loaded.error.has_value());
    EXPECT_EQ(*loaded.error, c.message);
    EXPECT_EQ(loaded.options.Count(), c.optionsKept);
    EXPECT_EQ(loaded.title, c.title);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ParseTemplateFailures,
    ::testing::Values(
        FailureCase{"NoSpaceAfterColonLosesTheLabel", {"Pelko-Speed:3"},
                    "リストのインデックスが範囲を超えています (1)", 0, ""},
        FailureCase{"NoLabel", {"Pelko-A: x,TEXT,1", "Pelko-B: "},
                    "リストのインデックスが範囲を超えています (1)", 1, ""},
        FailureCase{"FileWithOneField", {"Pelko-File: 画像"},
                    "リストのインデックスが範囲を超えています (2)", 0, ""},
        FailureCase{"FileWithNoFieldFailsOnTheTypeFirst", {"Pelko-File: "},
                    "リストのインデックスが範囲を超えています (2)", 0, ""},
        FailureCase{"LinesAfterTheFailureAreNotRead",
                    {"MIDlet-Name: Before", "Pelko-A: a,TEXT,1", "Pelko-B:", "MIDlet-Name: After",
                     "Pelko-C: c,TEXT,1"},
                    "リストのインデックスが範囲を超えています (1)", 1, "Before"}),
    test::RowName<FailureCase>);

TEST(LoadTemplateFile, UnreadableDescriptorRaisesTheOpenError) {
    test::ScratchDir dir;
    try {
        LoadTemplateFile(dir / "missing.jad");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + (dir / "missing.jad") + " は開けません");
    }
}

TEST(LoadTemplateFile, SameFileTwiceGivesTheSameRecords) {
    test::ScratchDir dir;
    test::WriteFile(dir / "block.jad", test::SjisText(test::worked::TemplateLines()));
    LoadedTemplate first = LoadTemplateFile(dir / "block.jad");
    LoadedTemplate second = LoadTemplateFile(dir / "block.jad");
    ASSERT_EQ(first.options.Count(), 5);
    ASSERT_EQ(second.options.Count(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(RecordTexts(first, i), RecordTexts(second, i));
}

// The worked example as the fixture keeps it, and the sample, which adds the
// handset profile lines its archive's manifest declares after MIDlet-Version.
TEST(SampleTemplates, BlockDescriptorsHoldTheWorkedExampleInCp932) {
    const std::vector<std::string>& worked = test::worked::TemplateLines();
    std::vector<std::string> sample = worked;
    sample.insert(sample.begin() + 4, {"MicroEdition-Profile: MIDP-2.0", "MicroEdition-Configuration: CLDC-1.1"});
    const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
        {test::worked::FixtureFile("block.jad"), worked},
        {std::string(PELKO_SAMPLES_DIR) + "/block.jad", sample},
    };
    for (const auto& [path, lines] : cases) EXPECT_EQ(test::ReadFile(path), test::SjisText(lines)) << path;
}

TEST(RecordOf, BadIndexRaisesTheListError) {
    StringList options;
    EXPECT_THROW(RecordOf(options, 0), Error);
    options.Add("no record");
    EXPECT_THROW(RecordOf(options, 0), Error);
}

}  // namespace
}  // namespace pelko
