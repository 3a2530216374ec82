// Choosing a template: the controls it fills and the option records it makes.
#include <gtest/gtest.h>

#include "RowName.h"
#include "ScriptedView.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

using Lines = std::vector<std::string>;
using Texts = std::vector<std::string>;
using Records = std::vector<std::vector<std::string>>;

TEST(FormLoading, BlockTemplateFillsTheWindow) {
    ScratchDir dir;
    WriteJad(dir / "block.jad", BlockDescriptor());
    ScriptedView view(dir.Path());
    view.TypeOver(view.EditAuthor, "someone");
    view.ChooseTemplate("block.jad");

    EXPECT_EQ(view.EditTitle.text, "Block Game");
    EXPECT_TRUE(view.CheckCopy.checked);
    EXPECT_EQ(view.EditAuthor.text, "");
    EXPECT_EQ(view.ComboOptions.items, (Texts{"速度", "背景色", "効果音", "説明", "背景画像"}));
    EXPECT_EQ(view.ComboOptions.index, 0);
    const Records expected{
        {"Speed", "速度", "INT", "3"},
        {"BackColor", "背景色", "COLOR", "16777215"},
        {"Sound", "効果音", "BOOL", "1"},
        {"MIDlet-Description", "説明", "TEXT", "FallingBlocks"},
        {"File", "背景画像", "back.png", "back.png"},
    };
    EXPECT_EQ(view.AllRecords(), expected);
    // The first option's integer editor is shown.
    EXPECT_EQ(view.EditorState(), "EditValue ButtonBrowse");
    EXPECT_EQ(view.EditValue.text, "3");
    EXPECT_TRUE(view.dialogs.calls.empty());
}

TEST(FormLoading, SampleTemplatesLoad) {
    ScratchDir dir;
    CopySample(dir.Path(), "block.jad");
    CopySample(dir.Path(), "puzzle.jad");
    ScriptedView view(dir.Path());
    EXPECT_EQ(view.ComboTemp.Count(), 2);
    view.ChooseTemplate("block.jad");
    EXPECT_EQ(view.ComboOptions.items, (Texts{"速度", "背景色", "効果音", "説明", "背景画像"}));
    view.ChooseTemplate("puzzle.jad");
    EXPECT_GT(view.ComboOptions.Count(), 0);
    EXPECT_TRUE(view.dialogs.calls.empty());
}

TEST(FormLoading, LoadingAgainStartsAfresh) {
    ScratchDir dir;
    WriteJad(dir / "block.jad", BlockDescriptor());
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    const Records first = view.AllRecords();
    view.TypeOver(view.EditValue, "9");
    view.TypeOver(view.EditTitle, "Mine");
    EXPECT_EQ(view.RecordTexts(0).at(3), "9");

    view.ChooseTemplate("block.jad");
    EXPECT_EQ(view.AllRecords(), first);
    EXPECT_EQ(view.ComboOptions.Count(), 5);
    EXPECT_EQ(view.EditTitle.text, "Block Game");
    EXPECT_EQ(view.EditValue.text, "3");
}

struct ControlsCase {
    std::string name;
    Lines lines;
    std::string title;
    bool copyright;
};

class DescriptorLinesFillTheControls : public ::testing::TestWithParam<ControlsCase> {};

TEST_P(DescriptorLinesFillTheControls, AndResetTheAuthor) {
    const ControlsCase& c = GetParam();
    ScratchDir dir;
    WriteJad(dir / "t.jad", c.lines);
    ScriptedView view(dir.Path());
    view.TypeOver(view.EditAuthor, "author");
    view.Click(view.CheckCopy);
    ASSERT_TRUE(view.CheckCopy.checked);

    view.ChooseTemplate("t.jad");
    EXPECT_EQ(view.EditTitle.text, c.title);
    EXPECT_EQ(view.CheckCopy.checked, c.copyright);
    EXPECT_EQ(view.EditAuthor.text, "");
    EXPECT_TRUE(view.dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DescriptorLinesFillTheControls,
    ::testing::Values(
        ControlsCase{"NameAndCopyright", {"MIDlet-Name: Game", "MIDlet-X-Copyright: ON"}, "Game", true},
        ControlsCase{"NameWithNothingAfterIt", {"MIDlet-Name: "}, "", false},
        ControlsCase{"ALaterNameWins", {"MIDlet-Name: First", "MIDlet-Name: Second"}, "Second", false},
        ControlsCase{"CopyrightOff", {"MIDlet-X-Copyright: OFF"}, "", false},
        ControlsCase{"CopyrightInLowerCase", {"MIDlet-X-Copyright: on"}, "", false},
        ControlsCase{"VendorIsNoAuthor", {"MIDlet-Vendor: someone"}, "", false},
        ControlsCase{"NameInJapanese", {Sjis("MIDlet-Name: 落ち物")}, "落ち物", false},
        ControlsCase{"NameLineTakenAsAnOption", {"Pelko-MIDlet-Name: x,TEXT,y"}, "", false}),
    RowName<ControlsCase>);

struct RecordsCase {
    std::string name;
    Lines lines;
    Records records;
};

class OptionLinesMakeRecords : public ::testing::TestWithParam<RecordsCase> {};

TEST_P(OptionLinesMakeRecords, AndSelectTheFirst) {
    const RecordsCase& c = GetParam();
    ScratchDir dir;
    WriteJad(dir / "t.jad", c.lines);
    ScriptedView view(dir.Path());
    view.ChooseTemplate("t.jad");
    EXPECT_EQ(view.AllRecords(), c.records);
    EXPECT_EQ(view.ComboOptions.Count(), static_cast<int>(c.records.size()));
    EXPECT_EQ(view.ComboOptions.index, c.records.empty() ? -1 : 0);
    EXPECT_TRUE(view.dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, OptionLinesMakeRecords,
    ::testing::Values(
        RecordsCase{"FileWithItsOwnValue",
                    {Sjis("Pelko-File: 画像,icon.png,C:\\data\\icon.png")},
                    {{"File", "画像", "icon.png", "C:\\data\\icon.png"}}},
        RecordsCase{"FileWithoutAValue", {Sjis("Pelko-File: 画像,icon.png")},
                    {{"File", "画像", "icon.png", "icon.png"}}},
        RecordsCase{"QuotedValueWithSpaces", {Sjis("Pelko-Text: 説明,TEXT,\"Falling Blocks\"")},
                    {{"Text", "説明", "TEXT", "Falling Blocks"}}},
        RecordsCase{"UnquotedWordsAreFurtherTexts", {Sjis("Pelko-Text: 説明,TEXT,Falling Blocks")},
                    {{"Text", "説明", "TEXT", "Falling", "Blocks"}}},
        RecordsCase{"KeyWithASpace", {Sjis("Pelko-My Key: 値,TEXT,v")}, {{"My Key", "値", "TEXT", "v"}}},
        RecordsCase{"LineWithoutColon", {"Pelko-Speed 3"}, {}},
        RecordsCase{"NameLine", {"Pelko-Name: x,TEXT,y"}, {}},
        RecordsCase{"SharedKeys", {Sjis("Pelko-File: 一,a.png"), Sjis("Pelko-File: 二,b.png")},
                    {{"File", "一", "a.png", "a.png"}, {"File", "二", "b.png", "b.png"}}}),
    RowName<RecordsCase>);

struct StayCase {
    std::string name;
    int option;
    std::string editors;
};

class WithoutOptionsTheEditorsStay : public ::testing::TestWithParam<StayCase> {};

TEST_P(WithoutOptionsTheEditorsStay, AsTheyWere) {
    const StayCase& c = GetParam();
    ScratchDir dir;
    WriteJad(dir / "block.jad", BlockDescriptor());
    WriteJad(dir / "plain.jad", {"MIDlet-Name: Plain"});
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    view.Choose(view.ComboOptions, c.option);
    EXPECT_EQ(view.EditorState(), c.editors);

    view.ChooseTemplate("plain.jad");
    EXPECT_EQ(view.ComboOptions.Count(), 0);
    EXPECT_EQ(view.form->OptionRecords().Count(), 0);
    EXPECT_EQ(view.EditorState(), c.editors);
    EXPECT_EQ(view.EditValue.text, "");
    // Nothing is selected, so edits and drops reach no record and fail nowhere.
    view.Type(view.EditValue, "12x");
    view.Click(view.CheckValue);
    const bool dropped = view.Drop({"/tmp/a.png"});
    EXPECT_EQ(dropped, c.editors.find("drops") != std::string::npos);
    if (dropped) {
        EXPECT_EQ(view.EditValue.text, "/tmp/a.png");
    }
    EXPECT_TRUE(view.dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Editors, WithoutOptionsTheEditorsStay,
                         ::testing::Values(StayCase{"File", 4, "EditValue ButtonBrowse enabled drops"},
                                           StayCase{"YesNo", 2, "CheckValue"},
                                           StayCase{"Colour", 1, "EditValue ButtonBrowse enabled"}),
                         RowName<StayCase>);

// Records are freed once each, by the next load and by the window's end;
// the sanitizer build turns a leak or a double free into a failure.
TEST(FormLoading, ManyLoadsAndCloseFreeEveryRecordOnce) {
    ScratchDir dir;
    WriteJad(dir / "block.jad", BlockDescriptor());
    WriteJad(dir / "bad.jad", {Sjis("Pelko-Speed: 速度,INT,3"), "Pelko-Level:3"});
    ScriptedView view(dir.Path());
    for (int round = 0; round < 20; ++round) {
        view.ChooseTemplate("block.jad");
        view.Choose(view.ComboOptions, round % 5);
        view.TypeOver(view.EditValue, std::to_string(round));
        view.ChooseTemplate("bad.jad");
    }
    view.ChooseTemplate("block.jad");
    EXPECT_EQ(view.form->OptionRecords().Count(), 5);
    EXPECT_EQ(view.dialogs.Errors().size(), 20u);
    view.form.reset();
}

}  // namespace
}  // namespace pelko::test
