// The option editors: what each option shows and what every edit stores.
#include <gtest/gtest.h>

#include "RowName.h"
#include "ScriptedView.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

using Lines = std::vector<std::string>;

// The editor's text, or the check box's state for a yes/no option.
std::string Shown(const ScriptedView& view) {
    if (view.CheckValue.visible) return view.CheckValue.checked ? "checked" : "unchecked";
    return view.EditValue.text;
}

// The view with one template of these lines chosen.
// The program directory of dir, holding t.jad of these lines.
std::string WithJad(const ScratchDir& dir, const Lines& lines) {
    WriteJad(dir / "t.jad", lines);
    return dir.Path();
}

struct WithTemplate {
    explicit WithTemplate(const Lines& lines) : view(WithJad(dir, lines)) { view.ChooseTemplate("t.jad"); }
    ScratchDir dir;
    ScriptedView view;
};

struct EditorCase {
    std::string name;
    int option;
    std::string editors;
    std::string shown;
};

class EachOption : public ::testing::TestWithParam<EditorCase> {};

TEST_P(EachOption, GetsItsEditor) {
    const EditorCase& c = GetParam();
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    // Come from another editor, so that every control had to change.
    view.Choose(view.ComboOptions, c.option == 4 ? 2 : 4);
    view.Choose(view.ComboOptions, c.option);
    EXPECT_EQ(view.EditorState(), c.editors);
    EXPECT_FALSE(view.ComboValue.visible);
    EXPECT_EQ(Shown(view), c.shown);
    EXPECT_TRUE(view.dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Block, EachOption,
    ::testing::Values(EditorCase{"Integer", 0, "EditValue ButtonBrowse", "3"},
                      EditorCase{"Colour", 1, "EditValue ButtonBrowse enabled", "16777215"},
                      EditorCase{"YesNo", 2, "CheckValue", "checked"},
                      EditorCase{"Text", 3, "EditValue ButtonBrowse", "FallingBlocks"},
                      EditorCase{"File", 4, "EditValue ButtonBrowse enabled drops", "back.png"}),
    RowName<EditorCase>);

struct TypingCase {
    std::string name;
    int option;
    std::string typed;
    std::string stored;
};

class TypingKeepsIntegers : public ::testing::TestWithParam<TypingCase> {};

TEST_P(TypingKeepsIntegers, Canonical) {
    const TypingCase& c = GetParam();
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    view.Choose(view.ComboOptions, c.option);
    view.TypeOver(view.EditValue, c.typed);
    EXPECT_EQ(view.EditValue.text, c.stored);
    EXPECT_EQ(view.RecordTexts(c.option).at(3), c.stored);
    EXPECT_TRUE(view.dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Typed, TypingKeepsIntegers,
                         ::testing::Values(TypingCase{"LeadingZeros", 0, "007", "7"},
                                           TypingCase{"PlusSign", 0, "+5", "5"},
                                           TypingCase{"LoneMinusKept", 0, "-", "-"},
                                           TypingCase{"Negative", 0, "-5", "-5"},
                                           TypingCase{"MinusZero", 0, "-0", "0"},
                                           TypingCase{"LetterClears", 0, "x", ""},
                                           TypingCase{"LetterAfterDigitsClears", 0, "12x", ""},
                                           TypingCase{"Emptied", 0, "", ""},
                                           TypingCase{"ColourToo", 1, "0255", "255"}),
                         RowName<TypingCase>);

struct ShowingCase {
    std::string name;
    Lines lines;
    std::string shown;
    std::string stored;
};

class ShowingNormalises : public ::testing::TestWithParam<ShowingCase> {};

TEST_P(ShowingNormalises, OnlyAChangedText) {
    const ShowingCase& c = GetParam();
    WithTemplate window(c.lines);
    ScriptedView& view = window.view;
    view.Choose(view.ComboOptions, 1);
    EXPECT_EQ(Shown(view), c.shown);
    EXPECT_EQ(view.RecordTexts(1).at(3), c.stored);
    EXPECT_TRUE(view.dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Values, ShowingNormalises,
    ::testing::Values(
        ShowingCase{"HexAfterAnotherNumber", {"Pelko-A: a,INT,5", "Pelko-B: b,INT,$1F"}, "31", "31"},
        ShowingCase{"HexWhileTheSameNumberShows", {"Pelko-A: a,INT,31", "Pelko-B: b,INT,$1F"}, "31", "$1F"},
        ShowingCase{"NoIntegerAfterAnotherNumber", {"Pelko-A: a,INT,5", "Pelko-B: b,COLOR,zz"}, "", ""},
        ShowingCase{"NoIntegerWhileTheFieldIsEmpty", {"Pelko-A: a,INT,x", "Pelko-B: b,INT,zz"}, "", "zz"},
        ShowingCase{"YesNoOtherValueWhileUnchecked", {"Pelko-A: a,BOOL,0", "Pelko-B: b,BOOL,yes"}, "unchecked",
                    "yes"},
        ShowingCase{"YesNoOtherValueWhileChecked", {"Pelko-A: a,BOOL,1", "Pelko-B: b,BOOL,yes"}, "unchecked",
                    "0"}),
    RowName<ShowingCase>);

TEST(FormEditors, FirstOptionKeepsItsUnparsableValue) {
    WithTemplate window({"Pelko-B: b,INT,zz"});
    EXPECT_EQ(window.view.EditValue.text, "");
    EXPECT_EQ(window.view.RecordTexts(0).at(3), "zz");
}

TEST(FormEditors, YesNoOptionsKeepTheirOwnValues) {
    WithTemplate window({"Pelko-A: a,BOOL,1", "Pelko-B: b,BOOL,0"});
    ScriptedView& view = window.view;
    EXPECT_TRUE(view.CheckValue.checked);
    view.Choose(view.ComboOptions, 1);
    EXPECT_FALSE(view.CheckValue.checked);
    EXPECT_EQ(view.RecordTexts(0).at(3), "1");
    EXPECT_EQ(view.RecordTexts(1).at(3), "0");

    view.Click(view.CheckValue);
    EXPECT_EQ(view.RecordTexts(1).at(3), "1");
    view.Click(view.CheckValue);
    EXPECT_EQ(view.RecordTexts(1).at(3), "0");
    EXPECT_EQ(view.RecordTexts(0).at(3), "1");
    view.Choose(view.ComboOptions, 0);
    EXPECT_TRUE(view.CheckValue.checked);
}

TEST(FormEditors, TextOptionStoresWhatIsTyped) {
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    view.Choose(view.ComboOptions, 3);
    view.TypeOver(view.EditValue, "落ちる ブロック");
    EXPECT_EQ(view.ValueBytes(3), Sjis("落ちる ブロック"));
}

TEST(FormEditors, ColourDialogRoundTrip) {
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    view.Choose(view.ComboOptions, 1);
    view.dialogs.colorAnswers = {0x000000FF};  // pure red, in dialog order
    view.ClickBrowse();
    EXPECT_EQ(view.EditValue.text, "16711680");
    EXPECT_EQ(view.RecordTexts(1).at(3), "16711680");

    view.TypeOver(view.EditValue, "255");  // pure blue
    view.ClickBrowse();                    // cancelled
    EXPECT_EQ(view.RecordTexts(1).at(3), "255");

    const auto picks = view.dialogs.CallsOf("PickColor");
    ASSERT_EQ(picks.size(), 2u);
    EXPECT_EQ(picks[0].arguments, std::vector<std::string>{"ffffff"});
    EXPECT_EQ(picks[1].arguments, std::vector<std::string>{"ff0000"});
}

TEST(FormEditors, SystemColourIsResolvedThroughTheView) {
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    view.colors.colors[5] = 0x563412;  // the window colour, in dialog order
    view.Choose(view.ComboOptions, 1);
    view.dialogs.colorAnswers = {static_cast<std::int32_t>(0x80000005u)};
    view.ClickBrowse();
    EXPECT_EQ(view.RecordTexts(1).at(3), std::to_string(0x123456));
}

TEST(FormEditors, ColourThatIsNoIntegerOpensOnBlack) {
    WithTemplate window({"Pelko-C: c,COLOR,zz"});
    window.view.ClickBrowse();
    EXPECT_EQ(window.view.dialogs.CallsOf("PickColor").at(0).arguments, std::vector<std::string>{"0"});
    EXPECT_EQ(window.view.RecordTexts(0).at(3), "zz");
}

// Only the file editor's value is a host path; every other editor, and the
// name and author, accept only what CP932 holds.
TEST(FormEditors, EditsAcceptWhatTheirValueCanHold) {
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    EXPECT_EQ(view.EditTitle.accepts, TextEncoding::Cp932);
    EXPECT_EQ(view.EditAuthor.accepts, TextEncoding::Cp932);
    for (const int option : {0, 1, 3}) {
        view.Choose(view.ComboOptions, 4);
        view.Choose(view.ComboOptions, option);
        EXPECT_EQ(view.EditValue.accepts, TextEncoding::Cp932) << option;
    }
    view.Choose(view.ComboOptions, 4);
    EXPECT_EQ(view.EditValue.accepts, TextEncoding::HostPath);
}

}  // namespace
}  // namespace pelko::test
