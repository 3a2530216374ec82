#include "templates/Catalogue.h"

#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

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
    test::WriteFile(dir / "upper.JAD", "Pelko-Name: Upper\r\n");
    mkdir((dir / "d.jad").c_str(), 0755);

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
    test::ScratchDir dir;
    test::WriteFile(dir / "good.jad", "Pelko-Name: Good\r\n");
    // A link to nothing is listed by name but cannot be opened, even by root.
    ASSERT_EQ(symlink((dir / "nowhere").c_str(), (dir / "bad.jad").c_str()), 0);
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

}  // namespace
}  // namespace pelko
