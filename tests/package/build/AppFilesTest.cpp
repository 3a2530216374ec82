// The names an application's two files get on the disk from a package, and
// the two lines of its descriptor that describe the archive.
#include "package/build/AppFiles.h"

#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/RowName.h"
#include "support/TestFiles.h"

namespace pelko {
namespace {

struct NameCase {
    std::string name;
    std::string stored;                  // CP932, as in a package
    std::optional<std::string> host;     // UTF-8; nullopt: refused
};

class HostFileNames : public ::testing::TestWithParam<NameCase> {};

TEST_P(HostFileNames, OnlyAPlainFileNamePasses) {
    EXPECT_EQ(HostFileName(GetParam().stored), GetParam().host);
}

INSTANTIATE_TEST_SUITE_P(
    AppFiles, HostFileNames,
    ::testing::Values(NameCase{"Plain", "block.jad", "block.jad"},
                      NameCase{"Japanese", test::Sjis("ブロック.jad"), "ブロック.jad"},
                      // ソ is 0x83 0x5C in CP932: its trail byte is no backslash.
                      NameCase{"TrailByteLikeABackslash", test::Sjis("ソフト.jar"), "ソフト.jar"},
                      NameCase{"Empty", "", std::nullopt}, NameCase{"Dot", ".", std::nullopt},
                      NameCase{"DotDot", "..", std::nullopt},
                      NameCase{"ParentFolder", "../block.jad", std::nullopt},
                      NameCase{"AbsolutePath", "/tmp/block.jad", std::nullopt},
                      NameCase{"WindowsFolder", "sub\\block.jad", std::nullopt},
                      NameCase{"WindowsDrive", "C:block.jad", std::nullopt},
                      NameCase{"Url", "http://example.com/block.jar", std::nullopt},
                      NameCase{"LineBreak", "block\n.jad", std::nullopt},
                      NameCase{"NotCp932", "\x81\x20.jad", std::nullopt}),
    test::RowName<NameCase>);

struct ArchiveNameCase {
    std::string name;
    std::vector<std::string> lines;
    std::string archive;
};

class ArchiveNames : public ::testing::TestWithParam<ArchiveNameCase> {};

TEST_P(ArchiveNames, FollowTheJarUrlWhenItIsAPlainName) {
    StringList lines;
    for (const std::string& line : GetParam().lines) lines.Add(line);
    EXPECT_EQ(ArchiveNameBeside(lines, "app.jad"), GetParam().archive);
}

INSTANTIATE_TEST_SUITE_P(
    AppFiles, ArchiveNames,
    ::testing::Values(ArchiveNameCase{"PlainUrl", {"MIDlet-Name: A", "MIDlet-Jar-URL: game.jar"}, "game.jar"},
                      ArchiveNameCase{"UrlWithBlanks", {"MIDlet-Jar-URL:  game.jar "}, "game.jar"},
                      ArchiveNameCase{"FirstUrlCounts", {"MIDlet-Jar-URL: a.jar", "MIDlet-Jar-URL: b.jar"}, "a.jar"},
                      ArchiveNameCase{"WebAddress", {"MIDlet-Jar-URL: http://example.com/game.jar"}, "app.jar"},
                      ArchiveNameCase{"Folder", {"MIDlet-Jar-URL: apps/game.jar"}, "app.jar"},
                      ArchiveNameCase{"EmptyUrl", {"MIDlet-Jar-URL:"}, "app.jar"},
                      ArchiveNameCase{"NoUrl", {"MIDlet-Name: A"}, "app.jar"}),
    test::RowName<ArchiveNameCase>);

struct LinesCase {
    std::string name;
    std::vector<std::string> before;
    std::vector<std::string> after;
};

class ArchiveLines : public ::testing::TestWithParam<LinesCase> {};

TEST_P(ArchiveLines, AreSetWhereTheyAreAndAddedAtTheTopOtherwise) {
    StringList lines;
    for (const std::string& line : GetParam().before) lines.Add(line);
    SetArchiveLines(lines, 20480, "app.jar");
    EXPECT_EQ(lines.Texts(), GetParam().after);
}

INSTANTIATE_TEST_SUITE_P(
    AppFiles, ArchiveLines,
    ::testing::Values(
        LinesCase{"BothInPlace",
                  {"MIDlet-Name: A", "MIDlet-Jar-URL: old.jar", "MIDlet-Jar-Size:1", "MIDlet-1: A,,Main"},
                  {"MIDlet-Name: A", "MIDlet-Jar-URL: app.jar", "MIDlet-Jar-Size: 20480", "MIDlet-1: A,,Main"}},
        LinesCase{"BothMissing",
                  {"MIDlet-Name: A"},
                  {"MIDlet-Jar-Size: 20480", "MIDlet-Jar-URL: app.jar", "MIDlet-Name: A"}},
        LinesCase{"SizeMissing",
                  {"MIDlet-Name: A", "MIDlet-Jar-URL: app.jar"},
                  {"MIDlet-Jar-Size: 20480", "MIDlet-Name: A", "MIDlet-Jar-URL: app.jar"}},
        LinesCase{"UrlMissing",
                  {"MIDlet-Name: A", "MIDlet-Jar-Size: 7"},
                  {"MIDlet-Jar-URL: app.jar", "MIDlet-Name: A", "MIDlet-Jar-Size: 20480"}},
        LinesCase{"OtherLinesUntouched",
                  {"MIDlet-Jar-Size-Note: x", "Pelko-Name: y", "MIDlet-Jar-Size: 1", "MIDlet-Jar-URL: a.jar"},
                  {"MIDlet-Jar-Size-Note: x", "Pelko-Name: y", "MIDlet-Jar-Size: 20480",
                   "MIDlet-Jar-URL: app.jar"}}),
    test::RowName<LinesCase>);

}  // namespace
}  // namespace pelko
