// The make button: the save dialog, the replace question and the build's log.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>

#include "RowName.h"
#include "ScriptedView.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

using Texts = std::vector<std::string>;

// The block sample with its archive, and the picture its file option names.
void CopyBlockSample(const ScratchDir& dir) {
    CopySample(dir.Path(), "block.jad");
    CopySample(dir.Path(), "block.jar");
    WriteFile(dir / "back.png", "a picture");
}

bool Contains(const std::string& bytes, const std::string& part) {
    return bytes.find(part) != std::string::npos;
}

TEST(FormMake, WithoutATemplateNothingHappens) {
    ScratchDir dir;
    CopyBlockSample(dir);
    ScriptedView view(dir.Path());
    view.ClickMake();
    EXPECT_TRUE(view.dialogs.calls.empty());
    EXPECT_EQ(view.Log.lines, TForm1::StartLines());
}

TEST(FormMake, CancelledSaveKeepsTheLog) {
    ScratchDir dir;
    CopyBlockSample(dir);
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    view.ClickMake();
    const auto saves = view.dialogs.CallsOf("SaveFile");
    ASSERT_EQ(saves.size(), 1u);
    EXPECT_EQ(saves[0].arguments, (Texts{"作成", "ezplus(*.kjx)", "*.kjx", ""}));
    EXPECT_EQ(view.dialogs.calls.size(), 1u);
    EXPECT_EQ(view.Log.lines, TForm1::StartLines());
}

TEST(FormMake, AddedExtensionAsksBeforeReplacing) {
    ScratchDir dir;
    CopyBlockSample(dir);
    ScratchDir out;
    WriteFile(out / "game.kjx", "a picture");
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    view.dialogs.fileAnswers = {out / "game", std::nullopt};
    view.dialogs.replaceAnswers = {false};
    view.ClickMake();

    ASSERT_EQ(view.dialogs.CallsOf("ConfirmReplace").size(), 1u);
    EXPECT_EQ(view.dialogs.CallsOf("ConfirmReplace")[0].arguments, Texts{out / "game.kjx"});
    EXPECT_EQ(view.Log.lines, TForm1::StartLines());
    EXPECT_EQ(ReadFile(out / "game.kjx"), "a picture");
    // The dialog proposes the name with its extension next time.
    EXPECT_EQ(view.form->SaveFileName(), out / "game.kjx");
    view.ClickMake();
    EXPECT_EQ(view.dialogs.CallsOf("SaveFile").at(1).arguments.at(3), out / "game.kjx");
}

TEST(FormMake, ReplacingTheExtendedNameWhenTheUserAgrees) {
    ScratchDir dir;
    CopyBlockSample(dir);
    ScratchDir out;
    WriteFile(out / "game.kjx", "a picture");
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    view.dialogs.fileAnswers = {out / "game"};
    view.dialogs.replaceAnswers = {true};
    view.ClickMake();
    EXPECT_EQ(view.Log.lines, Texts{"[O]作成完了(" + (out / "game.kjx") + ")"});
    EXPECT_EQ(ReadFile(out / "game.kjx").substr(0, 3), "KJX");
}

struct OutputCase {
    std::string name;
    std::string typed;
    std::string output;
};

class MakeWritesThePackage : public ::testing::TestWithParam<OutputCase> {};

TEST_P(MakeWritesThePackage, UnderItsName) {
    const OutputCase& c = GetParam();
    ScratchDir dir;
    CopyBlockSample(dir);
    ScratchDir out;
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    view.TypeOver(view.EditValue, "9");
    view.TypeOver(view.EditAuthor, "作者");
    view.dialogs.fileAnswers = {out / c.typed};
    view.ClickMake();

    const std::string path = out / c.output;
    EXPECT_EQ(view.Log.lines, Texts{"[O]作成完了(" + path + ")"});
    EXPECT_TRUE(view.dialogs.CallsOf("ConfirmReplace").empty());
    EXPECT_TRUE(view.dialogs.Errors().empty());
    const std::string package = ReadFile(path);
    EXPECT_EQ(package.substr(0, 3), "KJX");
    EXPECT_TRUE(Contains(package, "Pelko-Speed: 9\r\n"));
    EXPECT_TRUE(Contains(package, "Block Game"));
    EXPECT_TRUE(Contains(package, Sjis("作者")));
    // Nothing of the build is left in the program directory.
    EXPECT_FALSE(Exists(dir / "block.tmp"));
    EXPECT_FALSE(Exists(dir / "META-INF"));
}

INSTANTIATE_TEST_SUITE_P(Names, MakeWritesThePackage,
                         ::testing::Values(OutputCase{"NameAsTyped", "game.kjx", "game.kjx"},
                                           OutputCase{"ExtensionAdded", "game", "game.kjx"},
                                           OutputCase{"UpperCaseExtensionKept", "game.KJX", "game.KJX"},
                                           OutputCase{"OtherExtensionKept", "game.txt", "game.txt.kjx"}),
                         RowName<OutputCase>);

TEST(FormMake, MissingValuesAreReportedAboveTheResult) {
    ScratchDir dir;
    CopyBlockSample(dir);
    ScratchDir out;
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    view.TypeOver(view.EditValue, "");
    view.dialogs.fileAnswers = {out / "game.kjx"};
    view.ClickMake();
    EXPECT_EQ(view.Log.lines, (Texts{"[!]速度 が未入力", "[O]作成完了(" + (out / "game.kjx") + ")"}));
    EXPECT_FALSE(Contains(ReadFile(out / "game.kjx"), "Pelko-Speed"));
}

// A title whose bytes have no exact Unicode round trip goes into the
// package byte for byte.
TEST(FormMake, TitleBytesReachThePackageUnchanged) {
    ScratchDir dir;
    CopyBlockSample(dir);
    const std::string title = "Game \xed\x40";
    WriteJad(dir / "odd.jad", {"MIDlet-Name: " + title, Sjis("Pelko-File: 背景画像,back.png")});
    WriteFile(dir / "odd.jar", ReadFile(dir / "block.jar"));
    ScratchDir out;
    ScriptedView view(dir.Path());
    view.ChooseTemplate("odd.jad");
    view.dialogs.fileAnswers = {out / "odd.kjx"};
    view.ClickMake();
    // The template lacks the attributes handsets need: warned about, still made.
    ASSERT_FALSE(view.Log.lines.empty());
    EXPECT_EQ(view.Log.lines.back().rfind("[O]作", 0), 0u);
    EXPECT_TRUE(Contains(ReadFile(out / "odd.kjx"), title + "\r\n"));
}

TEST(FormMake, BuildErrorsGoToTheErrorBox) {
    ScratchDir dir;
    CopyBlockSample(dir);
    ScratchDir out;
    ScriptedView view(dir.Path());
    view.ChooseTemplate("block.jad");
    ASSERT_EQ(std::remove((dir / "block.jad").c_str()), 0);
    view.dialogs.fileAnswers = {out / "game.kjx"};
    view.ClickMake();
    EXPECT_EQ(view.dialogs.Errors(), Texts{"ファイル " + (dir / "block.jad") + " は開けません."});
    // The log was cleared for the build, which then stopped.
    EXPECT_EQ(std::ranges::find(view.Log.lines, TForm1::StartLines().front()), view.Log.lines.end());
    EXPECT_FALSE(Exists(out / "game.kjx"));
}

}  // namespace
}  // namespace pelko::test
