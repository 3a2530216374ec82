#include "templates/Catalogue.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <set>

#include "support/TestFiles.h"
#include "text/Errors.h"

namespace pelko {
namespace {

using test::Sjis;

std::vector<CatalogueEntry> Scan(const std::string& dir) {
    std::vector<CatalogueEntry> entries;
    ScanTemplates(dir, [&](CatalogueEntry entry) { entries.push_back(std::move(entry)); });
    return entries;
}

TEST(DisplayNameOf, FollowsTheFirstNameLineOrTheFileName) {
    struct Case {
        std::vector<std::string> lines;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{"Pelko-Name: 落ち物ゲーム"}, "落ち物ゲーム"},
        {{"MIDlet-Name: X", "Pelko-Name: First", "Pelko-Name: Second"}, "First"},
        {{"Pelko-Name: "}, "game"},
        {{"pelko-name: Game"}, "game"},
        {{"Pelko-Name:Game"}, "game"},
        {{}, "game"},
        {{"Pelko-Name:  two spaces"}, " two spaces"},
    };
    for (const auto& c : cases) {
        StringList lines;
        for (const auto& line : c.lines) lines.Add(Sjis(line));
        EXPECT_EQ(DisplayNameOf(lines, "game.jad"), Sjis(c.expected));
    }
}

TEST(ScanTemplates, ListsEveryVisibleDescriptorOnce) {
    test::ScratchDir dir;
    test::WriteFile(dir / "a.jad", Sjis("Pelko-Name: 甲\r\n"));
    test::WriteFile(dir / "b.jad", "MIDlet-Name: B\r\n");
    test::WriteFile(dir / "c.jad", Sjis("Pelko-Name: 甲\r\n"));  // same display name
    test::WriteFile(dir / ".hidden.jad", "Pelko-Name: Hidden\r\n");
    test::WriteFile(dir / "notes.txt", "Pelko-Name: Notes\r\n");
#ifndef _WIN32  // Windows matches names without case: it would be listed
    test::WriteFile(dir / "upper.JAD", "Pelko-Name: Upper\r\n");
#endif
    std::filesystem::create_directory(dir / "d.jad");

    std::vector<CatalogueEntry> entries = Scan(dir.Path());
    std::multiset<std::pair<std::string, std::string>> got;
    for (const auto& e : entries) got.insert({e.displayName, e.path});
    std::multiset<std::pair<std::string, std::string>> expected = {
        {Sjis("甲"), dir / "a.jad"}, {"b", dir / "b.jad"}, {Sjis("甲"), dir / "c.jad"}};
    EXPECT_EQ(got, expected);
}

TEST(DisplayNameOf, AJapaneseFileNameBecomesCp932LikeEveryDisplayName) {
    EXPECT_EQ(DisplayNameOf({}, "ゲーム.jad"), Sjis("ゲーム"));
    EXPECT_EQ(DisplayNameOf({}, "한국.jad"), "한국");  // no CP932 form: left as it is
}

TEST(ScanTemplates, EmptyOrMissingDirectoryListsNothing) {
    test::ScratchDir dir;
    EXPECT_TRUE(Scan(dir.Path()).empty());
    EXPECT_TRUE(Scan(dir / "missing/").empty());
}

TEST(ScanTemplates, UnreadableDescriptorRaisesAfterEarlierEntries) {
    PELKO_SKIP_ON_WINDOWS("symbolic links need a privilege that tests do not have");
    test::ScratchDir dir;
    test::WriteFile(dir / "good.jad", "Pelko-Name: Good\r\n");
    // A link to nothing is listed by name but cannot be opened, even by root.
    std::filesystem::create_symlink(dir / "nowhere", dir / "bad.jad");
    std::vector<CatalogueEntry> entries;
    bool failed = false;
    try {
        ScanTemplates(dir.Path(), [&](CatalogueEntry entry) { entries.push_back(std::move(entry)); });
    } catch (const Error& error) {
        failed = true;
        EXPECT_EQ(std::string(error.what()), "ファイル " + (dir / "bad.jad") + " は開けません");
    }
    // The dangling link is skipped by the listing (it is no file), or it is
    // listed and fails to open; either way the good entry survives.
    EXPECT_LE(entries.size(), 1u);
    if (!failed) {
        EXPECT_EQ(entries.size(), 1u);
    }
}

TEST(FileNameBefore, FoldsAsciiLettersThenBreaksTiesByBytes) {
    struct Case {
        std::string a, b;
        bool before;
    };
    const std::vector<Case> cases = {
        {"a.jad", "B.jad", true},   {"B.jad", "a.jad", false},  // letter case ignored first
        {"B.jad", "b.jad", true},   {"b.jad", "B.jad", false},  // then the bytes decide
        {"a.jad", "a.jad", false},                              // irreflexive
        {"10.jad", "9.jad", true},                              // no number order
        {"_.jad", "A.jad", true},                               // '_' before every letter, either case
        {"Z.jad", "_.jad", false},
        {"a.jad", "ab.jad", true},  {"ab", "a", false},         // a prefix first
        {"Zebra.jad", "\xC3\xA9t\xC3\xA9.jad", true},            // bytes beyond ASCII after letters
        {"\xC3\x89.jad", "\xC3\xA9.jad", true},                  // and not folded
    };
    for (const Case& c : cases) {
        EXPECT_EQ(FileNameBefore(c.a, c.b), c.before) << c.a << " / " << c.b;
    }
}

std::vector<std::string> Paths(const std::vector<CatalogueEntry>& entries) {
    std::vector<std::string> paths;
    for (const CatalogueEntry& entry : entries) paths.push_back(entry.path);
    return paths;
}

TEST(ScanTemplates, ListsInFileNameOrderWhateverTheCreationOrder) {
    test::ScratchDir dir;
    const std::vector<std::string> created = {"b.jad", "\xC3\xA9.jad", "a.jad", "Z.jad",
                                              "A.jad", "_.jad", "9.jad",         "10.jad"};
    for (const std::string& name : created) test::WriteFile(dir / name, "MIDlet-Name: X\r\n");
    std::vector<std::string> expected;
    for (const char* name : {"10.jad", "9.jad", "_.jad", "A.jad", "a.jad", "b.jad", "Z.jad", "\xC3\xA9.jad"}) {
        expected.push_back(dir / name);
    }
#ifdef _WIN32  // names without case: "A.jad" is the "a.jad" made before it
    std::erase(expected, dir / "A.jad");
#endif
    EXPECT_EQ(Paths(Scan(dir.Path())), expected);
}

TEST(ScanTemplates, ProgramDirectoryFirstThenTheUsersEachInOrder) {
    test::ScratchDir program;
    test::ScratchDir user;
    test::WriteFile(program / "puzzle.jad", "Pelko-Name: Puzzle\r\n");
    test::WriteFile(program / "Block.jad", "Pelko-Name: Block\r\n");
    test::WriteFile(user / "mine.jad", "Pelko-Name: Mine\r\n");
    test::WriteFile(user / "Another.jad", "Pelko-Name: Another\r\n");
    test::WriteFile(user / "block.jad", "Pelko-Name: Block\r\n");  // same name as a program template
    std::vector<CatalogueEntry> entries;
    ScanTemplates({program.Path(), user.Path(), user / "missing/"},
                  [&](CatalogueEntry entry) { entries.push_back(std::move(entry)); });
    const std::vector<std::string> expected = {program / "Block.jad", program / "puzzle.jad",
                                               user / "Another.jad", user / "block.jad",
                                               user / "mine.jad"};
    EXPECT_EQ(Paths(entries), expected);
    ASSERT_EQ(entries.size(), 5u);
    EXPECT_EQ(entries[3].displayName, "Block");
}

TEST(UserTemplateDirectory, FollowsXdgDataHomeOrElseHome) {
    struct Case {
        std::string xdgDataHome, home, expected;
    };
    const std::vector<Case> cases = {
        {"/data", "/home/u", "/data/pelko/templates/"},
        {"/data//", "/home/u", "/data/pelko/templates/"},
        {"/", "/home/u", "/pelko/templates/"},
        {"", "/home/u", "/home/u/.local/share/pelko/templates/"},
        {"", "/home/u/", "/home/u/.local/share/pelko/templates/"},
        {"data", "/home/u", "/home/u/.local/share/pelko/templates/"},  // relative: ignored
        {"", "", ""},
        {"data", "home", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(UserTemplateDirectory(c.xdgDataHome, c.home), c.expected)
            << "XDG_DATA_HOME=" << c.xdgDataHome << " HOME=" << c.home;
    }
}

// Sets one environment variable for the life of the object.
class ScopedEnvironment {
public:
    ScopedEnvironment(const char* name, const char* value) : name_(name) {
        if (const char* old = std::getenv(name)) old_ = old;
        test::SetEnvironment(name, value ? std::optional<std::string>(value) : std::nullopt);
    }
    ~ScopedEnvironment() { test::SetEnvironment(name_, old_); }
    ScopedEnvironment(const ScopedEnvironment&) = delete;
    ScopedEnvironment& operator=(const ScopedEnvironment&) = delete;

private:
    const char* name_;
    std::optional<std::string> old_;
};

TEST(WindowsUserTemplateDirectory, FollowsLocalAppDataWhenItIsAbsolute) {
    struct Case {
        const char* name;
        std::string localAppData, expected;
    };
    const Case cases[] = {
        {"a drive path", "C:\\Users\\u\\AppData\\Local", "C:\\Users\\u\\AppData\\Local\\Pelko\\templates\\"},
        {"trailing separators", "C:\\Local\\/", "C:\\Local\\Pelko\\templates\\"},
        {"a share", "\\\\host\\share", "\\\\host\\share\\Pelko\\templates\\"},
        {"Japanese folder names", "C:\\ユーザー\\表", "C:\\ユーザー\\表\\Pelko\\templates\\"},
        {"relative: ignored", "Local", ""},
        {"unset or empty", "", ""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(WindowsUserTemplateDirectory(c.localAppData), c.expected) << c.name;
    }
}

#ifdef _WIN32
TEST(TemplateDirectories, ProgramDirectoryThenTheUsersFromLocalAppData) {
    {
        ScopedEnvironment local("LOCALAPPDATA", "D:\\u");
        EXPECT_EQ(TemplateDirectories("C:\\Pelko\\"),
                  (std::vector<std::string>{"C:\\Pelko\\", "D:\\u\\Pelko\\templates\\"}));
        EXPECT_EQ(TemplateDirectories("D:\\u\\Pelko\\templates\\"),
                  std::vector<std::string>{"D:\\u\\Pelko\\templates\\"});
    }
    {
        ScopedEnvironment local("LOCALAPPDATA", nullptr);
        EXPECT_EQ(TemplateDirectories("C:\\Pelko\\"), std::vector<std::string>{"C:\\Pelko\\"});
    }
}
#else
TEST(TemplateDirectories, ProgramDirectoryThenTheUsersFromTheEnvironment) {
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", "/data");
        ScopedEnvironment home("HOME", "/home/u");
        EXPECT_EQ(TemplateDirectories("/usr/lib/pelko/"),
                  (std::vector<std::string>{"/usr/lib/pelko/", "/data/pelko/templates/"}));
        // A program directory that is the user's folder is listed once.
        EXPECT_EQ(TemplateDirectories("/data/pelko/templates/"),
                  std::vector<std::string>{"/data/pelko/templates/"});
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", nullptr);
        ScopedEnvironment home("HOME", "/home/u");
        EXPECT_EQ(TemplateDirectories("/p/"),
                  (std::vector<std::string>{"/p/", "/home/u/.local/share/pelko/templates/"}));
    }
    {
        ScopedEnvironment xdg("XDG_DATA_HOME", nullptr);
        ScopedEnvironment home("HOME", nullptr);
        EXPECT_EQ(TemplateDirectories("/p/"), std::vector<std::string>{"/p/"});
    }
}
#endif

TEST(FindTemplate, TakesTheFirstDirectoryThatHoldsTheFile) {
    test::ScratchDir program;
    test::ScratchDir user;
    test::WriteFile(program / "block.jad", "Pelko-Name: Program\r\n");
    test::WriteFile(user / "block.jad", "Pelko-Name: User\r\n");
    test::WriteFile(user / "mine.jad", "Pelko-Name: Mine\r\n");
    std::filesystem::create_directory(program / "mine.jad");  // a directory is no template
    const std::vector<std::string> directories = {program.Path(), user.Path()};
    EXPECT_EQ(FindTemplate(directories, "block.jad"), program / "block.jad");
    EXPECT_EQ(FindTemplate(directories, "mine.jad"), user / "mine.jad");
#ifndef _WIN32  // where the file system matches names without case, it finds it
    EXPECT_EQ(FindTemplate(directories, "Block.jad"), std::nullopt);  // names are exact
#endif
    EXPECT_EQ(FindTemplate(directories, "none.jad"), std::nullopt);
    EXPECT_EQ(FindTemplate({}, "block.jad"), std::nullopt);
}

}  // namespace
}  // namespace pelko
