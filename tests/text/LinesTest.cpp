#include "text/Lines.h"

#ifndef _WIN32
#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "text/Errors.h"

namespace pelko {
namespace {

using namespace std::string_literals;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;
using Items = std::vector<std::string>;

struct SplitCase {
    std::string bytes;
    Items items;
};

const std::vector<SplitCase>& SplitCases() {
    static const std::vector<SplitCase> cases = {
        {"a\r\nb", {"a", "b"}},
        {"a\r\nb\r\n", {"a", "b"}},
        {"\r\n", {""}},
        {"", {}},
        {"a\n\rb", {"a", "", "b"}},
        {"a\r\r\nb", {"a", "", "b"}},
        {"a\0b\r\nc"s, {"a"}},
        {"a\rb\nc", {"a", "b", "c"}},
        {"\n\n", {"", ""}},
        {"a\r\n\r\nb", {"a", "", "b"}},
        {"a\r\n\0b"s, {"a"}},
        {"\0a"s, {""}},
        {"a\r\n\r", {"a", ""}},
        {"\x83\x5C\x95\x5C\r\n\xFF", {"\x83\x5C\x95\x5C", "\xFF"}},  // bytes stay as read
    };
    return cases;
}

// The one rule of what ends a line, for byte texts and the window's texts
// alike: exactly the characters at which SplitLines cuts.
TEST(IsLineEnd, IsCrLfAndNulOnly) {
    struct Case {
        const char* name;
        char32_t character;
        bool ends;
    };
    const std::vector<Case> cases = {
        {"carriage return", U'\r', true}, {"line feed", U'\n', true},      {"NUL", U'\0', true},
        {"tab", U'\t', false},            {"form feed", U'\f', false},     {"next line", U'\u0085', false},
        {"line separator", U'\u2028', false}, {"a CP932 lead byte", 0x8D, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsLineEnd(c.character), c.ends) << c.name;
        if (c.character < 0x80) {
            const std::string text = "a" + std::string(1, static_cast<char>(c.character)) + "b";
            EXPECT_EQ(HasLineEnd(text), c.ends) << c.name;
            StringList lines;
            SplitLines(lines, text);
            EXPECT_EQ(lines.Count() != 1 || lines.Item(0) != text, c.ends) << c.name;
        }
    }
}

TEST(SplitLines, CutsAtCrLfAndNul) {
    for (const auto& c : SplitCases()) {
        StringList list{"old"};
        SplitLines(list, c.bytes);
        EXPECT_EQ(list.Texts(), c.items) << ::testing::PrintToString(c.bytes);
    }
}

TEST(LoadLines, ReadsTheSameItemsFromAFile) {
    ScratchDir dir;
    for (const auto& c : SplitCases()) {
        const std::string path = (dir / "lines.txt");
        WriteFile(path, c.bytes);
        StringList list{"old"};
        LoadLines(list, path);
        EXPECT_EQ(list.Texts(), c.items) << ::testing::PrintToString(c.bytes);
    }
}

TEST(LoadLines, ReadsAFileLargerThanOneRead) {
    ScratchDir dir;
    std::string bytes;
    Items expected;
    for (int i = 0; i < 30000; ++i) {
        expected.push_back("line " + std::to_string(i));
        bytes += expected.back() + "\r\n";
    }
    WriteFile((dir / "big.txt"), bytes);
    StringList list;
    LoadLines(list, (dir / "big.txt"));
    EXPECT_EQ(list.Texts(), expected);
}

TEST(LoadLines, MissingFileRaisesAndLeavesTheList) {
    ScratchDir dir;
    const std::string path = (dir / "missing.jad");
    StringList list{"keep", "these"};
    try {
        LoadLines(list, path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル " + path + " は開けません");
        EXPECT_EQ(e.Reason(), test::NotFoundReason()) << "kept apart from the fixed text";
    }
    EXPECT_EQ(list.Texts(), (Items{"keep", "these"}));
}

TEST(LoadLines, ReadFailureRaisesClosesAndLeavesTheList) {
    ScratchDir dir;  // a directory opens for reading, but reading it fails
    StringList list{"keep"};
    const int before = test::OpenDescriptorCount();
    try {
        LoadLines(list, dir.Path());
        ADD_FAILURE() << "no error";
    } catch (const Error& e) {
#ifdef _WIN32
        EXPECT_EQ(e.Reason(), "Invalid function");
#else
        EXPECT_EQ(e.Reason(), "Is a directory");
#endif
    }
    EXPECT_EQ(test::OpenDescriptorCount(), before);
    EXPECT_EQ(list.Texts(), Items{"keep"});
}

struct JoinCase {
    Items items;
    std::string text;
};

TEST(JoinLines, EndsEveryItemWithCrLf) {
    const std::vector<JoinCase> cases = {
        {{"a", "b"}, "a\r\nb\r\n"},
        {{""}, "\r\n"},
        {{}, ""},
        {{"", ""}, "\r\n\r\n"},
        {{"a\nb"}, "a\nb\r\n"},  // items are not inspected
    };
    for (const auto& c : cases) {
        StringList list;
        for (const auto& item : c.items) list.Add(item);
        EXPECT_EQ(JoinLines(list), c.text);
    }
}

TEST(SaveLines, WritesJoinedLinesOverAnExistingFile) {
    ScratchDir dir;
    const std::string path = (dir / "out.txt");
    WriteFile(path, std::string(5000, 'x'));
    SaveLines(StringList{"a", "\x83\x5C"}, path);
    EXPECT_EQ(ReadFile(path), "a\r\n\x83\x5C\r\n");

    SaveLines(StringList{}, path);
    EXPECT_EQ(ReadFile(path), "");

    StringList back;
    SaveLines(StringList{"x", "", "y"}, path);
    LoadLines(back, path);
    EXPECT_EQ(back.Texts(), (Items{"x", "", "y"}));
}

TEST(SaveLines, UncreatableFileRaisesCreateError) {
    ScratchDir dir;
    const std::string path = (dir / "no/such/dir/out.txt");
    try {
        SaveLines(StringList{"a"}, path);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "ファイル " + path + " を作成できません");
    }
}

TEST(SaveLines, FailedWriteRaisesStreamWriteError) {
    PELKO_SKIP_ON_WINDOWS("no device that is always full");
#ifndef _WIN32
    if (::access("/dev/full", W_OK) != 0) GTEST_SKIP() << "no /dev/full";
    try {
        SaveLines(StringList{"a"}, "/dev/full");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(std::string(e.what()), "ストリームへの書き込みエラー");
    }
#endif
}

#ifndef _WIN32
// Saves under a file size limit of 10 bytes and exits 0 when the save raised
// the write error and the file kept the 10 bytes written.
[[noreturn]] void SaveUnderSizeLimit(const std::string& path) {
    ::signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{10, 10};
    ::setrlimit(RLIMIT_FSIZE, &limit);
    bool raised = false;
    try {
        SaveLines(StringList{"0123456789abcdef"}, path);
    } catch (const Error& e) {
        raised = std::string(e.what()) == "ストリームへの書き込みエラー";
    }
    std::_Exit(raised && ReadFile(path) == "0123456789" ? 0 : 1);
}

#endif

// The limit makes the single write come back short. It runs in a child
// process so that the limit does not outlive the test.
TEST(SaveLinesDeathTest, ShortWriteRaisesAndKeepsThePartlyWrittenFile) {
    PELKO_SKIP_ON_WINDOWS("no limit on the size of a file a process writes");
#ifndef _WIN32
    ScratchDir dir;
    EXPECT_EXIT(SaveUnderSizeLimit((dir / "short.txt")), ::testing::ExitedWithCode(0), "");
#endif
}

}  // namespace
}  // namespace pelko
