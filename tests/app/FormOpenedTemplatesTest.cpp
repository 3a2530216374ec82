// Templates named when the program starts, and what the option editors are
// said to edit.
#include <gtest/gtest.h>

#include "ScriptedView.h"
#include "support/RowName.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

using Texts = std::vector<std::string>;

struct OpenCase {
    std::string name;
    Texts opened;  // file names: block.jad lies in the program directory, the others elsewhere
    Texts items;   // ComboTemp afterwards
    int chosen;
    Texts options;  // ComboOptions afterwards
    std::size_t errors;
};

class FormOpenedTemplates : public ::testing::TestWithParam<OpenCase> {};

TEST_P(FormOpenedTemplates, AreListedAfterTheCatalogueAndTheFirstChosen) {
    const OpenCase& row = GetParam();
    ScratchDir programDir;
    ScratchDir elsewhere;
    WriteJad(programDir / "block.jad", {"Pelko-Name: Block", "Pelko-S: speed,INTEGER,3"});
    WriteJad(elsewhere / "own.jad", {Sjis("Pelko-Name: 自分の"), "Pelko-A: a,BOOL,0"});
    WriteJad(elsewhere / "other.jad", {"Pelko-B: b,TEXT,x"});
    ScriptedView view(programDir.Path());
    std::vector<std::string> paths;
    for (const std::string& file : row.opened) {
        paths.push_back(file == "block.jad" ? programDir / file : elsewhere / file);
    }

    view.form->OpenTemplates(paths);

    EXPECT_EQ(view.ComboTemp.items, row.items);
    EXPECT_EQ(view.ComboTemp.index, row.chosen);
    EXPECT_EQ(view.ComboOptions.items, row.options);  // the chosen one is loaded
    EXPECT_EQ(view.dialogs.Errors().size(), row.errors);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, FormOpenedTemplates,
    ::testing::Values(
        OpenCase{"OneFromElsewhereIsAddedAndLoaded", {"own.jad"}, {"Block", "自分の"}, 1, {"a"}, 0},
        OpenCase{"OneOfTheCatalogueIsChosenNotAddedAgain", {"block.jad"}, {"Block"}, 0, {"speed"}, 0},
        OpenCase{"SeveralKeepTheirOrder", {"other.jad", "own.jad"}, {"Block", "other", "自分の"}, 1, {"b"}, 0},
        OpenCase{"TheSameOneTwiceIsListedOnce", {"own.jad", "own.jad"}, {"Block", "自分の"}, 1, {"a"}, 0},
        OpenCase{"AnUnreadableOneIsShownAndLeftOut", {"nosuch.jad", "own.jad"}, {"Block", "自分の"}, 1, {"a"}, 1},
        OpenCase{"OnlyUnreadableOnesChooseNothing", {"nosuch.jad"}, {"Block"}, -1, {}, 1},
        OpenCase{"NoneChangesNothing", {}, {"Block"}, -1, {}, 0}),
    RowName<OpenCase>);

TEST(FormEditorDescriptions, FollowTheChosenOptionsLabel) {
    ScratchDir dir;
    WriteJad(dir / "t.jad", {"Pelko-A: a,BOOL,0", Sjis("Pelko-B: 効果音,TEXT,x")});
    WriteJad(dir / "u.jad", {"MIDlet-Name: No options"});
    ScriptedView view(dir.Path());

    view.ChooseTemplate("t.jad");
    EXPECT_EQ(view.Descriptions.label, "a");
    view.Choose(view.ComboOptions, 1);
    EXPECT_EQ(view.Descriptions.label, "効果音");
    view.ChooseTemplate("u.jad");
    EXPECT_EQ(view.Descriptions.label, "");
}

}  // namespace
}  // namespace pelko::test
