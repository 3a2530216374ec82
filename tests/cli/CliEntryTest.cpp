// The command line's entry function called in process: the same answers as
// the executable gives, without a process of its own.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "pelko/Version.h"
#include "support/TestFiles.h"

namespace pelko::cli {
namespace {

struct Ran {
    int code = -1;
    std::string out;
    std::string err;
};

Ran RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCommandLine(args, out, err);
    return Ran{code, out.str(), err.str()};
}

TEST(CliEntry, UsageAndVersionAnswersWithoutAProcess) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string outStarts;  // what standard output begins with
        std::string errHas;     // a part of the message on standard error
    };
    const std::vector<Case> cases = {
        {{"--version"}, kExitOk, "pelko-cli " PELKO_VERSION, ""},
        {{"--help"}, kExitOk, "Usage:", ""},
        {{}, kExitUsage, "", "pelko-cli --help"},
        {{"bogus"}, kExitUsage, "", "unknown command \"bogus\""},
        {{"make"}, kExitUsage, "", ""},
        {{"make", "missing.jad"}, kExitUsage, "", ""},  // no output given
        {{"inspect"}, kExitUsage, "", ""},
    };
    for (const Case& c : cases) {
        const Ran ran = RunCli(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(ran.code, c.code) << shown;
        EXPECT_EQ(ran.out.rfind(c.outStarts, 0), 0u) << shown << ": " << ran.out;
        EXPECT_NE(ran.err.find(c.errHas), std::string::npos) << shown << ": " << ran.err;
    }
}

// The help is assembled from the commands; every way of asking for it gives
// the one text the manual page and the completion are kept in step with.
// On Windows it names the Windows folder of the user's templates.
#ifdef _WIN32
constexpr const char* kHelpText = "/pelko-cli-help-windows.txt";
#else
constexpr const char* kHelpText = "/pelko-cli-help.txt";
#endif

TEST(CliEntry, EveryWayOfAskingForHelpGivesTheWholeHelpText) {
    const std::string expected = test::ReadFile(std::string(PELKO_FIXTURES_DIR) + kHelpText);
    const std::vector<std::vector<std::string>> asked = {
        {"--help"}, {"-h"}, {"make", "--help"}, {"make", "x.jad", "-h"}, {"options", "--help"},
        {"check", "-h"}, {"inspect", "--help"}, {"templates", "--help"}};
    for (const std::vector<std::string>& args : asked) {
        const Ran ran = RunCli(args);
        EXPECT_EQ(ran.code, kExitOk) << args.front();
        EXPECT_EQ(ran.out, expected) << args.front() << ' ' << args.back();
    }
}

TEST(CliEntry, OptionsOfTheSampleInProcess) {
    const Ran ran = RunCli({std::string(PELKO_SAMPLES_DIR) + "/block.jad", "x"});
    EXPECT_EQ(ran.code, kExitUsage);  // a path is no command
    const Ran listed = RunCli({"options", std::string(PELKO_SAMPLES_DIR) + "/block.jad"});
    ASSERT_EQ(listed.code, kExitOk) << listed.err;
    EXPECT_EQ(listed.out.rfind("1\tSpeed\t", 0), 0u) << listed.out;
    EXPECT_NE(listed.out.find("\tBOOL\t"), std::string::npos) << listed.out;
}

TEST(CliEntry, MakeInProcessWritesThePackage) {
    test::ScratchDir dir;
    const std::string output = dir / "game";
    const Ran ran = RunCli({"make", std::string(PELKO_SAMPLES_DIR) + "/block.jad", "-o", output, "--author", "dev"});
    ASSERT_EQ(ran.code, kExitOk) << ran.out << ran.err;
    EXPECT_NE(ran.out.find("[O]作成完了(" + output + ".kjx)"), std::string::npos) << ran.out;
    EXPECT_EQ(test::ReadFile(output + ".kjx").substr(0, 3), "KJX");
}

TEST(CliEntry, ALineBreakInAnyTextArgumentIsAUsageError) {
    test::ScratchDir dir;
    const std::string jad = std::string(PELKO_SAMPLES_DIR) + "/block.jad";
    struct Case {
        std::vector<std::string> extra;
        std::string named;  // the argument the message names
    };
    const std::vector<Case> cases = {
        {{"--title", "ab\r\nMIDlet-Jar-URL: x"}, "--title"},
        {{"--title", "ab\nc"}, "--title"},
        {{"--author", "dev\r"}, "--author"},
        {{"--set", "Speed=3\n"}, "--set Speed"},
        {{"--set", "MIDlet-Description=one\r\ntwo"}, "--set MIDlet-Description"},
        {{"--set", "Speed=" + std::string("3\0", 2)}, "--set Speed"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"make", jad, "-o", dir / "game"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Ran ran = RunCli(args);
        EXPECT_EQ(ran.code, kExitUsage) << c.named;
        EXPECT_EQ(ran.err.rfind("pelko-cli: " + c.named + ": the text holds a line break", 0), 0u) << ran.err;
        EXPECT_TRUE(ran.out.empty()) << ran.out;
        EXPECT_FALSE(test::Exists(dir / "game.kjx")) << c.named;
    }
}

TEST(CliEntry, SilentChangesAreNotedOnStandardError) {
    test::ScratchDir dir;
    const std::string jad = std::string(PELKO_SAMPLES_DIR) + "/block.jad";
    struct Case {
        std::vector<std::string> extra;
        std::string note;  // a part of the note; empty: no note at all
    };
    const std::vector<Case> cases = {
        {{"--title", "Block Game", "--author", "dev01"}, ""},
        {{"--title", "ab"}, "the title \"ab\" has 2 bytes in CP932, outside 3 to 24; the package is named \"Pelko\""},
        {{"--title", std::string(25, 'x')}, "has 25 bytes in CP932, outside 3 to 24"},
        {{"--title", "Game", "--author", std::string(20, 'a')}, "has 20 bytes in CP932, 20 or more"},
        {{"--title", "Game", "--author", std::string(19, 'a')}, ""},
    };
    for (const Case& c : cases) {
        std::vector<std::string> args = {"make", jad, "-o", dir / "game"};
        args.insert(args.end(), c.extra.begin(), c.extra.end());
        const Ran ran = RunCli(args);
        EXPECT_EQ(ran.code, kExitOk) << ran.err;
        if (c.note.empty()) {
            EXPECT_EQ(ran.err.find("note:"), std::string::npos) << ran.err;
        } else {
            EXPECT_NE(ran.err.find("pelko-cli: note: "), std::string::npos) << ran.err;
            EXPECT_NE(ran.err.find(c.note), std::string::npos) << ran.err;
        }
    }
    // Lines after a NUL byte are never read.
    std::string bytes = test::ReadFile(jad);
    // Not "nul.jad": Windows takes that name for its null device.
    test::WriteFile(dir / "zero.jad", bytes.substr(0, 40) + std::string(1, '\0') + bytes.substr(40));
    std::filesystem::copy_file(std::string(PELKO_SAMPLES_DIR) + "/block.jar", dir / "zero.jar");
    const Ran ran = RunCli({"make", dir / "zero.jad", "-o", dir / "zero", "--title", "Game"});
    EXPECT_NE(ran.err.find("NUL byte at offset 40; the lines after it are not read"), std::string::npos) << ran.err;
}

}  // namespace
}  // namespace pelko::cli
