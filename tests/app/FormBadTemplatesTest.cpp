// Templates that stop the load or fail when an option is shown: the
// error box, and the state the window keeps.
#include <gtest/gtest.h>

#include <cstdio>

#include "RowName.h"
#include "ScriptedView.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

using Lines = std::vector<std::string>;
using Texts = std::vector<std::string>;
using Records = std::vector<std::vector<std::string>>;

// ")" sorts before ".", so the error box adds no full stop to this one.
std::string IndexError(int index) {
    return "リストのインデックスが範囲を超えています (" + std::to_string(index) + ")";
}

struct BadLinesCase {
    std::string name;
    Lines lines;
    std::string error;
    Texts items;
};

class BadOptionLines : public ::testing::TestWithParam<BadLinesCase> {};

TEST_P(BadOptionLines, StopTheLoad) {
    const BadLinesCase& c = GetParam();
    ScratchDir dir;
    WriteJad(dir / "bad.jad", c.lines);
    ScriptedView view(dir.Path());
    view.ChooseTemplate("bad.jad");
    EXPECT_EQ(view.dialogs.Errors(), Texts{c.error});
    EXPECT_EQ(view.ComboOptions.items, c.items);
    EXPECT_EQ(view.form->OptionRecords().Count(), static_cast<int>(c.items.size()));
    EXPECT_EQ(view.ComboOptions.index, -1);
    // The lines before the bad one took effect, the lines after it did not.
    EXPECT_EQ(view.EditTitle.text, "Game");
}

INSTANTIATE_TEST_SUITE_P(
    Lines, BadOptionLines,
    ::testing::Values(
        BadLinesCase{"NoLabel",
                     {"MIDlet-Name: Game", Sjis("Pelko-Speed: 速度,INT,3"), "Pelko-Level:3",
                      "MIDlet-Name: Later", Sjis("Pelko-Sound: 効果音,BOOL,1")},
                     IndexError(1), {"速度"}},
        BadLinesCase{"FileWithOneField",
                     {"MIDlet-Name: Game", Sjis("Pelko-Speed: 速度,INT,3"), Sjis("Pelko-File: 画像"),
                      "MIDlet-Name: Later"},
                     IndexError(2), {"速度"}},
        BadLinesCase{"FirstOptionWithoutLabel", {"MIDlet-Name: Game", "Pelko-Speed: "}, IndexError(1), {}}),
    RowName<BadLinesCase>);

TEST(FormLoading, UnreadableDescriptorLeavesTheControlsReset) {
    ScratchDir dir;
    WriteJad(dir / "block.jad", BlockDescriptor());
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    view.TypeOver(view.EditAuthor, "someone");
    ASSERT_TRUE(std::remove((dir / "block.jad").c_str()) == 0);

    view.ChooseTemplate("block.jad");
    EXPECT_EQ(view.dialogs.Errors(), Texts{"ファイル " + (dir / "block.jad") + " は開けません."});
    EXPECT_EQ(view.EditTitle.text, "");
    EXPECT_EQ(view.EditAuthor.text, "");
    EXPECT_FALSE(view.CheckCopy.checked);
    EXPECT_EQ(view.ComboOptions.Count(), 0);
    EXPECT_EQ(view.form->OptionRecords().Count(), 0);
    EXPECT_EQ(view.EditValue.text, "");
}

struct ShortCase {
    std::string name;
    Lines lines;
    int option;
    Texts errors;
    std::string editors;
    Records records;
};

class ShortRecords : public ::testing::TestWithParam<ShortCase> {};

TEST_P(ShortRecords, FailWhenShown) {
    const ShortCase& c = GetParam();
    ScratchDir dir;
    WriteJad(dir / "short.jad", c.lines);
    ScriptedView view(dir.Path());
    view.ChooseTemplate("short.jad");
    if (c.option != 0) view.Choose(view.ComboOptions, c.option);

    EXPECT_EQ(view.dialogs.Errors(), c.errors);
    EXPECT_EQ(view.EditorState(), c.editors);
    EXPECT_EQ(view.ComboOptions.index, c.option);
    EXPECT_EQ(view.AllRecords(), c.records);
    // A drop that the window still takes only releases itself.
    if (view.Form1.acceptsDrops) {
        EXPECT_TRUE(view.Drop({"/tmp/x.png"}));
        EXPECT_EQ(view.EditValue.text, "");
        EXPECT_EQ(view.AllRecords(), c.records);
        EXPECT_EQ(view.dialogs.Errors(), c.errors);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Records, ShortRecords,
    ::testing::Values(
        ShortCase{"NoType", {Sjis("Pelko-A: 名前")}, 0, {IndexError(2)}, "", {{"A", "名前"}}},
        ShortCase{"TextWithoutValue", {Sjis("Pelko-A: 名前,TEXT")}, 0, {IndexError(3)}, "",
                  {{"A", "名前", "TEXT"}}},
        ShortCase{"YesNoWithoutValue", {Sjis("Pelko-A: 名前,BOOL")}, 0, {IndexError(3)}, "",
                  {{"A", "名前", "BOOL"}}},
        ShortCase{"FileEditorWithoutValueHasDropsOn", {Sjis("Pelko-File2: 画像,a.png")}, 0, {IndexError(3)},
                  "drops", {{"File2", "画像", "a.png"}}},
        ShortCase{"IntegerWithoutValueInAnEmptyFieldShowsEmpty", {Sjis("Pelko-A: 名前,INT")}, 0, {},
                  "EditValue ButtonBrowse", {{"A", "名前", "INT"}}},
        ShortCase{"ColourWithoutValueAfterATextFailsToEmpty",
                  {Sjis("Pelko-T: 文,TEXT,abc"), Sjis("Pelko-A: 名前,COLOR")}, 1, {IndexError(3)}, "",
                  {{"T", "文", "TEXT", "abc"}, {"A", "名前", "COLOR"}}}),
    RowName<ShortCase>);

}  // namespace
}  // namespace pelko::test
