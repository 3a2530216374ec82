// The file editor: browsing, dropped files, and values whose bytes have no
// Unicode form.
#include <gtest/gtest.h>

#include "RowName.h"
#include "ScriptedView.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

using Lines = std::vector<std::string>;
using Texts = std::vector<std::string>;

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

TEST(FormFileEditor, ADefaultPathFromTheDescriptorIsShownReadable) {
    WithTemplate window({Sjis("Pelko-File: 背景,back.png,背景.png")});
    EXPECT_EQ(window.view.EditValue.text, "背景.png");
    EXPECT_EQ(window.view.ValueBytes(0), Sjis("背景.png"));  // untouched until edited
}

struct BrowseCase {
    std::string name;
    Lines lines;
    std::string description;
    std::string pattern;
    std::string proposed;  // "@" stands for the program directory
};

class BrowseForAFile : public ::testing::TestWithParam<BrowseCase> {};

TEST_P(BrowseForAFile, FromTheFileOption) {
    const BrowseCase& c = GetParam();
    WithTemplate window(c.lines);
    ScriptedView& view = window.view;
    const std::string before = view.RecordTexts(0).at(3);
    view.ClickBrowse();  // cancelled
    EXPECT_EQ(view.RecordTexts(0).at(3), before);

    const std::string chosen = window.dir / "選んだ 画像.png";
    view.dialogs.fileAnswers = {chosen};
    view.ClickBrowse();
    EXPECT_EQ(view.EditValue.text, chosen);
    // A host path, in the file system's own bytes.
    EXPECT_EQ(view.ValueBytes(0), chosen);

    const auto opens = view.dialogs.CallsOf("OpenFile");
    ASSERT_EQ(opens.size(), 2u);
    std::string proposed = c.proposed;
    if (proposed.front() == '@') proposed.replace(0, 1, window.dir.Path());
    EXPECT_EQ(opens[0].arguments, (Texts{"参照", c.description, c.pattern, proposed}));
}

INSTANTIATE_TEST_SUITE_P(
    Options, BrowseForAFile,
    ::testing::Values(
        BrowseCase{"File", {Sjis("Pelko-File: 背景画像,back.png")}, "*.pngファイル", "*.png", "@back.png"},
        BrowseCase{"File2", {Sjis("Pelko-File2: 画像,pic.png,/data/pic.png")}, "*.pngファイル", "*.png",
                   "/data/pic.png"},
        BrowseCase{"NoExtension", {Sjis("Pelko-File: データ,data")}, "*ファイル", "*", "@data"},
        BrowseCase{"EntryInAFolder", {Sjis("Pelko-File: 画像,img/a.gif")}, "*.gifファイル", "*.gif",
                   "@img/a.gif"}),
    RowName<BrowseCase>);

TEST(FormFileEditor, DropsSetTheFileOption) {
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    view.Choose(view.ComboOptions, 4);
    const std::string first = "/画像/" + std::string(300, 'a') + ".png";  // longer than 260 bytes
    EXPECT_TRUE(view.Drop({first, "/b.png", "/c.png"}));
    EXPECT_EQ(view.EditValue.text, first);
    EXPECT_EQ(view.ValueBytes(4), first);
    EXPECT_TRUE(view.Drop({"/d.png"}));
    EXPECT_EQ(view.RecordTexts(4).at(3), "/d.png");
    EXPECT_TRUE(view.dialogs.calls.empty());
}

class DropsAreRefused : public ::testing::TestWithParam<int> {};

TEST_P(DropsAreRefused, ByOtherOptions) {
    const int option = GetParam();
    WithTemplate window(BlockDescriptor());
    ScriptedView& view = window.view;
    view.Choose(view.ComboOptions, 4);
    view.Choose(view.ComboOptions, option);
    const Texts before = view.RecordTexts(option);
    const std::string text = view.EditValue.text;
    EXPECT_FALSE(view.Drop({"/a.png"}));
    EXPECT_EQ(view.RecordTexts(option), before);
    EXPECT_EQ(view.RecordTexts(4).at(3), "back.png");
    EXPECT_EQ(view.EditValue.text, text);
}

std::string EditorName(const ::testing::TestParamInfo<int>& info) {
    static const char* const kNames[] = {"Integer", "Colour", "YesNo", "Text"};
    return kNames[info.param];
}

INSTANTIATE_TEST_SUITE_P(Block, DropsAreRefused, ::testing::Values(0, 1, 2, 3), EditorName);

// The path dropped shows exactly as the value already did, so the text
// does not change; the dropped path is stored all the same.
TEST(FormFileEditor, DropOfTheShownPathIsStored) {
    ScratchDir dir;
    const std::string undecodable = dir.Path() + "\x85\x40.png";  // neither UTF-8 nor CP932
    WriteJad(dir / "t.jad", {Sjis("Pelko-File: 画像,a.png,") + undecodable});
    ScriptedView view(dir.Path());
    view.ChooseTemplate("t.jad");
    EXPECT_EQ(view.ValueBytes(0), undecodable);
    const std::string shown = view.EditValue.text;
    EXPECT_NE(shown.find("\xEF\xBF\xBD"), std::string::npos);  // U+FFFD

    EXPECT_TRUE(view.Drop({shown}));
    EXPECT_EQ(view.EditValue.text, shown);
    EXPECT_EQ(view.ValueBytes(0), shown);
}

struct BytesCase {
    std::string name;
    std::string value;
};

class BytesWithoutUnicodeForm : public ::testing::TestWithParam<BytesCase> {};

TEST_P(BytesWithoutUnicodeForm, Survive) {
    const BytesCase& c = GetParam();
    WithTemplate window({"Pelko-A: a,TEXT," + c.value, "Pelko-B: b,TEXT,other"});
    ScriptedView& view = window.view;
    EXPECT_EQ(view.ValueBytes(0), c.value);
    view.Choose(view.ComboOptions, 1);
    view.Choose(view.ComboOptions, 0);
    EXPECT_EQ(view.ValueBytes(0), c.value);
    // Edited, the text is read from what shows.
    view.Type(view.EditValue, "z");
    EXPECT_NE(view.ValueBytes(0), c.value);
    EXPECT_TRUE(view.ValueBytes(0).ends_with('z'));
    EXPECT_TRUE(view.dialogs.calls.empty());
}

INSTANTIATE_TEST_SUITE_P(Values, BytesWithoutUnicodeForm,
                         ::testing::Values(BytesCase{"LoneLeadByte", "A\x82"},
                                           BytesCase{"UndefinedPair", "\x85\x40"},
                                           BytesCase{"NecSelectedIbmExtension", "\xed\x40"}),
                         RowName<BytesCase>);

}  // namespace
}  // namespace pelko::test
