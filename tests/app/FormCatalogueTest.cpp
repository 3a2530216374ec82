// The template selector: what the window lists when it opens.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>

#include "ScriptedView.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

using Texts = std::vector<std::string>;

// Sets XDG_DATA_HOME for one test, so the user's own templates are the
// test's and never those of whoever runs it.
class UserDataHome {
public:
    explicit UserDataHome(const std::string& path) {
        if (const char* old = std::getenv(kName)) old_ = old;
        Set(path.c_str());
    }
    ~UserDataHome() { Set(old_ ? old_->c_str() : nullptr); }
    UserDataHome(const UserDataHome&) = delete;
    UserDataHome& operator=(const UserDataHome&) = delete;

private:
    static constexpr const char* kName = "XDG_DATA_HOME";
    static void Set(const char* value) {
#ifdef _WIN32
        _putenv_s(kName, value ? value : "");
#else
        if (value) {
            setenv(kName, value, 1);
        } else {
            unsetenv(kName);
        }
#endif
    }
    std::optional<std::string> old_;
};

TEST(FormCatalogue, ListsDisplayNamesInFileNameOrder) {
    ScratchDir dir;
    const std::map<std::string, std::string> names{
        {"block.jad", "落ち物ゲーム"}, {"plain.jad", "plain"},    {"blank.jad", "blank"},
        {"lower.jad", "lower"},        {"twice.jad", "一番目"}, {"same1.jad", "同じ名前"},
        {"same2.jad", "同じ名前"},
    };
    WriteJad(dir / "block.jad", BlockDescriptor());
    WriteJad(dir / "plain.jad", {"MIDlet-Name: Plain"});
    WriteJad(dir / "blank.jad", {"Pelko-Name: "});
    WriteJad(dir / "lower.jad", {"pelko-name: Game", "PELKO-NAME: Game"});
    WriteJad(dir / "twice.jad", {"MIDlet-Version: 1.0", Sjis("Pelko-Name: 一番目"), Sjis("Pelko-Name: 二番目")});
    WriteJad(dir / "same1.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: First"});
    WriteJad(dir / "same2.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: Second"});
    // Not templates: hidden, a directory, another extension.
    WriteJad(dir / ".hidden.jad", {"Pelko-Name: Hidden"});
    std::filesystem::create_directory(dir / "folder.jad");
    WriteJad(dir / "notes.txt", {"Pelko-Name: Notes"});

    ScriptedView view(dir.Path());
    Texts expectedNames;
    Texts expectedPaths;
    for (const char* file :
         {"blank.jad", "block.jad", "lower.jad", "plain.jad", "same1.jad", "same2.jad", "twice.jad"}) {
        expectedNames.push_back(names.at(file));
        expectedPaths.push_back(dir / file);
    }
    EXPECT_EQ(expectedNames.size(), names.size());
    EXPECT_EQ(view.ComboTemp.items, expectedNames);
    EXPECT_EQ(view.form->TemplatePaths(), expectedPaths);
    EXPECT_EQ(view.ComboTemp.index, -1);
    EXPECT_EQ(view.ComboOptions.Count(), 0);
    EXPECT_TRUE(view.dialogs.calls.empty());
}

TEST(FormCatalogue, ListsProgramTemplatesThenTheUsersEachInFileNameOrder) {
#ifdef _WIN32
    GTEST_SKIP() << "the user's templates come from %LOCALAPPDATA% on Windows";
#endif
    ScratchDir program;
    ScratchDir data;
    std::filesystem::create_directories(data / "pelko/templates");
    WriteJad(program / "puzzle.jad", {"Pelko-Name: Puzzle"});
    WriteJad(program / "Block.jad", {"Pelko-Name: Block"});
    WriteJad(program / "_first.jad", {"MIDlet-Name: First"});
    WriteJad(data / "pelko/templates/mine.jad", {Sjis("Pelko-Name: 私の")});
    WriteJad(data / "pelko/templates/Another.jad", {"Pelko-Name: Another"});
    WriteJad(data / "pelko/templates/block.jad", {"Pelko-Name: Block"});
    WriteJad(data / "pelko/templates/a.txt", {"Pelko-Name: Not a template"});
    // With a trailing "/" as a user may well write it.
    const UserDataHome home(data.Path());

    ScriptedView view(program.Path());
    EXPECT_EQ(view.ComboTemp.items, (Texts{"_first", "Block", "Puzzle", "Another", "Block", "私の"}));
    const std::string user = data / "pelko/templates/";
    EXPECT_EQ(view.form->TemplatePaths(),
              (Texts{program / "_first.jad", program / "Block.jad", program / "puzzle.jad",
                     user + "Another.jad", user + "block.jad", user + "mine.jad"}));
    EXPECT_EQ(view.ComboTemp.index, -1);
    EXPECT_TRUE(view.dialogs.calls.empty());
}

TEST(FormCatalogue, UserTemplateTakesItsFilesFromItsOwnFolder) {
#ifdef _WIN32
    GTEST_SKIP() << "the user's templates come from %LOCALAPPDATA% on Windows";
#endif
    ScratchDir program;
    ScratchDir data;
    ScratchDir out;
    const std::string user = data / "pelko/templates/";
    std::filesystem::create_directories(user);
    CopySample(user, "block.jad");
    CopySample(user, "block.jar");
    // The file option's default names back.png: only the user's folder has it.
    WriteFile(user + "back.png", "the user's picture");
    const UserDataHome home(data.Path());

    ScriptedView view(program.Path());
    view.ChooseTemplate("block.jad");
    view.dialogs.fileAnswers = {out / "game.kjx"};
    view.ClickMake();
    const Texts& log = view.Log.lines;
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back().rfind("[O]", 0), 0u) << log.back();
    for (const std::string& line : log) EXPECT_NE(line.rfind("[!]", 0), 0u) << line;
    EXPECT_TRUE(Exists(out / "game.kjx"));
}

TEST(FormCatalogue, SameNamesLoadTheirOwnDescriptors) {
    ScratchDir dir;
    WriteJad(dir / "same1.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: First"});
    WriteJad(dir / "same2.jad", {Sjis("Pelko-Name: 同じ名前"), "MIDlet-Name: Second"});
    ScriptedView view(dir.Path());
    view.ChooseTemplate("same1.jad");
    EXPECT_EQ(view.EditTitle.text, "First");
    view.ChooseTemplate("same2.jad");
    EXPECT_EQ(view.EditTitle.text, "Second");
}

TEST(FormCatalogue, EmptyDirectoryListsNothing) {
    ScratchDir dir;
    ScriptedView view(dir.Path());
    EXPECT_EQ(view.ComboTemp.Count(), 0);
    EXPECT_EQ(view.ComboOptions.Count(), 0);
    EXPECT_TRUE(view.form->TemplatePaths().empty());
    EXPECT_TRUE(view.dialogs.calls.empty());
}

TEST(FormCatalogue, UnreadableDescriptorStopsTheList) {
#ifdef _WIN32
    GTEST_SKIP() << "needs /proc/self/mem, a file every read of which fails";
#endif
    ScratchDir dir;
    // Listed as a file, yet every read of it fails, whoever runs the test.
    std::filesystem::create_symlink("/proc/self/mem", dir / "c0.jad");
    for (const char* name : {"a.jad", "b.jad", "c.jad", "d.jad"}) {
        WriteJad(dir / name, {std::string("Pelko-Name: ") + name});
    }
    ScriptedView view(dir.Path());

    // c.jad comes before c0.jad: "." sorts before "0".
    const Texts before{"a.jad", "b.jad", "c.jad"};
    EXPECT_EQ(view.ComboTemp.items, before);
    EXPECT_EQ(view.form->TemplatePaths().size(), before.size());
    EXPECT_EQ(view.dialogs.Errors(), Texts{"ファイル " + (dir / "c0.jad") + " は開けません."});
    // The window still opens, with nothing selected and ComboValue moved.
    EXPECT_EQ(view.ComboTemp.index, -1);
    EXPECT_EQ(view.ComboValue.top, 85);
}

}  // namespace
}  // namespace pelko::test
