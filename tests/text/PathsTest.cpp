#include "text/Paths.h"

#include "support/TestFiles.h"

#include <filesystem>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelko {
namespace {

struct PathCase {
    std::string path;
    std::string directory;
    std::string name;
    std::string extension;
};

void ExpectParts(const std::vector<PathCase>& cases, PathSyntax syntax) {
    for (const auto& c : cases) {
        SCOPED_TRACE(::testing::PrintToString(c.path));
        EXPECT_EQ(DirectoryOf(c.path, syntax), c.directory);
        EXPECT_EQ(FileNameOf(c.path, syntax), c.name);
        EXPECT_EQ(ExtensionOf(c.path, syntax), c.extension);
    }
}

struct ExtensionCase {
    std::string path;
    std::string extension;
    std::string result;
};

void ExpectWithExtension(const std::vector<ExtensionCase>& cases, PathSyntax syntax) {
    for (const auto& c : cases) {
        EXPECT_EQ(WithExtension(c.path, c.extension, syntax), c.result)
            << ::testing::PrintToString(c.path) << " + " << c.extension;
    }
}

TEST(WindowsPaths, SplitAtBackslashAndColon) {
    ExpectParts({
        {"C:\\kit\\block.jad", "C:\\kit\\", "block.jad", ".jad"},
        {"block", "", "block", ""},
        {"C:\\my.kit\\readme", "C:\\my.kit\\", "readme", ""},
        {"C:block.jad", "C:", "block.jad", ".jad"},
        {"C:\\kit\\", "C:\\kit\\", "", ""},
        {"archive.tar.gz", "", "archive.tar.gz", ".gz"},
        {"name.", "", "name.", "."},
        {".jad", "", ".jad", ".jad"},
        {"", "", "", ""},
        {"kit/block.jad", "", "kit/block.jad", ".jad"},  // a slash is an ordinary byte
    }, PathSyntax::Windows);
}

TEST(WindowsPaths, NeverTakeASecondByteForADelimiter) {
    ExpectParts({
        // C:\ソ: the last byte 0x5C belongs to ソ.
        {"C:\\\x83\x5C", "C:\\", "\x83\x5C", ""},
        {"\x95\x5C\\x.txt", "\x95\x5C\\", "x.txt", ".txt"},
        {"\x83\x5C\x95\x5C", "", "\x83\x5C\x95\x5C", ""},
        // 0x83 0x83 is one pair, so the 0x5C after it is a real backslash;
        // looking only at the byte before would take it for a second byte.
        {"\x83\x83\\name", "\x83\x83\\", "name", ""},
        {"a\\\x83\x5C.jad", "a\\", "\x83\x5C.jad", ".jad"},
        {"dir\\\x83", "dir\\", "\x83", ""},  // a lead byte at the end stands alone
    }, PathSyntax::Windows);
}

TEST(WindowsPaths, ReplaceTheExtension) {
    ExpectWithExtension({
        {"C:\\kit\\block.jad", ".jar", "C:\\kit\\block.jar"},
        {"C:\\kit\\block.jad", "", "C:\\kit\\block"},
        {"block", ".tmp", "block.tmp"},
        {"C:\\my.kit\\readme", ".txt", "C:\\my.kit\\readme.txt"},
        {"name.", ".jad", "name.jad"},
        {".jad", "", ""},
        {"archive.tar.gz", ".bz2", "archive.tar.bz2"},
        {"C:\\\x83\x5C", ".jad", "C:\\\x83\x5C.jad"},
    }, PathSyntax::Windows);
}

TEST(PosixPaths, SplitAtSlashOnly) {
    ExpectParts({
        {"/kit/block.jad", "/kit/", "block.jad", ".jad"},
        {"block", "", "block", ""},
        {"/my.kit/readme", "/my.kit/", "readme", ""},
        {"/kit/", "/kit/", "", ""},
        {"/", "/", "", ""},
        {"archive.tar.gz", "", "archive.tar.gz", ".gz"},
        {"name.", "", "name.", "."},
        {".jad", "", ".jad", ".jad"},
        {"/home/u/.config", "/home/u/", ".config", ".config"},
        {"C:\\kit\\block.jad", "", "C:\\kit\\block.jad", ".jad"},
        {"C:\\\x83\x5C", "", "C:\\\x83\x5C", ""},
        // UTF-8 names: no CP932 pairing, so 0x83 does not swallow the slash.
        {"/\xE3\x82\xBD/\x83/x", "/\xE3\x82\xBD/\x83/", "x", ""},
    }, PathSyntax::Posix);
    ExpectWithExtension({
        {"/kit/block.jad", ".jar", "/kit/block.jar"},
        {"/kit/block.jad", "", "/kit/block"},
        {"/my.kit/readme", ".txt", "/my.kit/readme.txt"},
        {"name.", ".jad", "name.jad"},
        {".jad", "", ""},
    }, PathSyntax::Posix);
}

TEST(ArchivePaths, SplitAtBackslashAndSlash) {
    ExpectParts({
        {"res/img.png", "res/", "img.png", ".png"},
        {"res\\img.png", "res\\", "img.png", ".png"},
        {"a\\b/c.d", "a\\b/", "c.d", ".d"},
        {"a/b\\c", "a/b\\", "c", ""},
        {"C:img.png", "", "C:img.png", ".png"},  // a colon is an ordinary byte
        {"res/\x83\x5C.png", "res/", "\x83\x5C.png", ".png"},
        {"\x83\x5C", "", "\x83\x5C", ""},
        {"\x83\x83\\x", "\x83\x83\\", "x", ""},
    }, PathSyntax::Archive);
}

TEST(AbsolutePaths, StartAtARootOrADrive) {
    struct Case {
        const char* name;
        std::string path;
        PathSyntax syntax;
        bool absolute;
    };
    const Case cases[] = {
        {"posix root", "/kit/back.png", PathSyntax::Posix, true},
        {"posix relative", "kit/back.png", PathSyntax::Posix, false},
        {"posix backslash is a name byte", "\\kit\\back.png", PathSyntax::Posix, false},
        {"posix drive is a name", "C:back.png", PathSyntax::Posix, false},
        {"empty", "", PathSyntax::Posix, false},
        {"windows drive and backslash", "C:\\kit\\back.png", PathSyntax::Windows, true},
        {"windows drive in lower case", "d:/kit", PathSyntax::Windows, true},
        {"windows root of the drive", "\\kit", PathSyntax::Windows, true},
        {"windows share", "\\\\host\\kit", PathSyntax::Windows, true},
        {"windows slash", "/kit", PathSyntax::Windows, true},
        {"windows relative", "kit\\back.png", PathSyntax::Windows, false},
        {"windows colon alone", ":kit", PathSyntax::Windows, false},
        {"windows lead byte before colon", "\x83:", PathSyntax::Windows, false},
        {"archive slash", "/res/a.png", PathSyntax::Archive, true},
        {"archive relative", "res/a.png", PathSyntax::Archive, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsAbsolutePath(c.path, c.syntax), c.absolute) << c.name;
    }
}

TEST(ProgramPath, NamesThisExecutable) {
    const std::string path = ProgramPath();
    ASSERT_FALSE(path.empty());
    EXPECT_TRUE(IsAbsolutePath(path));
    const std::filesystem::path native = test::HostPath(path);
    EXPECT_TRUE(std::filesystem::is_regular_file(native));
#ifdef _WIN32
    EXPECT_EQ(ExtensionOf(path), ".exe");
#else
    EXPECT_NE(std::filesystem::status(native).permissions() & std::filesystem::perms::owner_exec,
              std::filesystem::perms::none);
#endif
    const std::string directory = ProgramDirectory();
    EXPECT_EQ(directory.back(), test::kSeparator);
    EXPECT_EQ(directory + FileNameOf(path), path);
}

}  // namespace
}  // namespace pelko
