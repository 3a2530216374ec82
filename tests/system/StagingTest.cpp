// The files a build keeps for its own duration: what they replace only once
// complete, what they leave when dropped, and which path their errors name.
#include "system/Staging.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <cerrno>
#include <optional>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/RowName.h"
#include "support/TestFiles.h"
#include "system/TemporaryFiles.h"

namespace pelko {
namespace {

using test::ScratchDir;
using Names = std::vector<std::string>;

TEST(Staging, ErrorsNameWhatTheCallerAskedFor) {
    ScratchDir dir;
    std::filesystem::create_directory(dir / "folder");
    const Outcome<WorkDirectory> work = WorkDirectory::Create(dir / "no-such-parent");
    ASSERT_FALSE(work);
    EXPECT_EQ(work.Error().subject, (dir / "no-such-parent") + test::kSeparator);
    EXPECT_TRUE(IsNotFound(work.Error()));

    const Outcome<AtomicOutput> output = AtomicOutput::Create(dir / "folder");
    ASSERT_FALSE(output);
    EXPECT_EQ(output.Error().subject, dir / "folder");
#ifdef _WIN32
    EXPECT_EQ(output.Error().code, 5) << "ERROR_ACCESS_DENIED, as Windows refuses to write a folder";
#else
    EXPECT_EQ(output.Error().code, EISDIR);
#endif
}

TEST(ReplacingFile, TakesThePathsPlaceOnlyWhenCommitted) {
    struct Case {
        const char* what;
        bool commit;
        std::string expected;
    };
    const Case cases[] = {
        {"committed", true, "new bytes"},
        {"dropped", false, "old bytes"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        test::WriteFile(dir / "archive", "old bytes");
        {
            Outcome<ReplacingFile> file = ReplacingFile::Create(dir / "archive");
            ASSERT_TRUE(file);
            ASSERT_TRUE(WriteAll(file->Output(), "new bytes", 9));
            EXPECT_EQ(test::ListDir(dir.Path()).size(), 2u) << "a new file beside the old one";
            if (c.commit) {
                ASSERT_TRUE(file->Commit());
            }
        }
        EXPECT_EQ(test::ReadFile(dir / "archive"), c.expected);
        EXPECT_EQ(test::ListDir(dir.Path()), Names{"archive"});
    }
}

// What is at the output's name before, and what each way of replacing makes
// of it: a link is followed only by the way packages replace.
struct ReplacingCase {
    std::string name;
    Replacing replacing;
    bool link;               // the output's name is a link to a file beside it
    bool appearsMeanwhile;   // the name is taken between Create and Commit
    bool created;            // Create succeeds
    bool committed;          // Commit succeeds
    std::string atName;      // the bytes read through the output's name afterwards
    std::string linkTarget;  // the bytes of the file the link pointed to afterwards
};

class Replacings : public ::testing::TestWithParam<ReplacingCase> {};

TEST_P(Replacings, TouchOnlyWhatTheyMayReplace) {
    const ReplacingCase& c = GetParam();
    if (c.link) PELKO_SKIP_ON_WINDOWS("symbolic links need a privilege that tests do not have");
    ScratchDir dir;
    const std::string output = dir / "out.jad";
    test::WriteFile(dir / "target", "target");
    if (c.link) {
        std::filesystem::create_symlink(dir / "target", output);
    } else if (!c.appearsMeanwhile) {
        test::WriteFile(output, "old");
    }
    {
        Outcome<AtomicOutput> made = AtomicOutput::Create(output, c.replacing);
        ASSERT_EQ(static_cast<bool>(made), c.created);
        if (made) {
            ASSERT_TRUE(WriteAll(made->Output(), "new", 3));
            if (c.appearsMeanwhile) test::WriteFile(output, "theirs");
            const Outcome<void> committed = made->Commit();
            EXPECT_EQ(static_cast<bool>(committed), c.committed);
            if (!committed) {
                EXPECT_EQ(ErrorNumberOf(committed.Error()), EEXIST);
            }
        } else {
            EXPECT_EQ(ErrorNumberOf(made.Error()), EEXIST);
        }
    }
    EXPECT_EQ(test::ReadFile(output), c.atName);
    EXPECT_EQ(test::ReadFile(dir / "target"), c.linkTarget);
    EXPECT_EQ(std::filesystem::is_symlink(output), c.link && c.replacing != Replacing::EntryAtName);
    EXPECT_EQ(test::ListDir(dir.Path()), (Names{"out.jad", "target"})) << "no staging file stays";
}

INSTANTIATE_TEST_SUITE_P(
    AtomicOutput, Replacings,
    ::testing::Values(
        ReplacingCase{"PackageReplacesAFile", Replacing::FileThroughLinks, false, false, true, true, "new", "target"},
        ReplacingCase{"PackageFollowsALink", Replacing::FileThroughLinks, true, false, true, true, "new", "new"},
        ReplacingCase{"EntryReplacesAFile", Replacing::EntryAtName, false, false, true, true, "new", "target"},
        ReplacingCase{"EntryReplacesTheLinkItself", Replacing::EntryAtName, true, false, true, true, "new",
                      "target"},
        ReplacingCase{"NothingRefusesAFile", Replacing::Nothing, false, false, false, false, "old", "target"},
        ReplacingCase{"NothingRefusesALink", Replacing::Nothing, true, false, false, false, "target", "target"},
        ReplacingCase{"NothingKeepsAFileMadeMeanwhile", Replacing::Nothing, false, true, true, false, "theirs",
                      "target"}),
    test::RowName<ReplacingCase>);

TEST(AtomicOutput, ReplacingNothingMakesANewFileWhereNoneIs) {
    ScratchDir dir;
    {
        Outcome<AtomicOutput> made = AtomicOutput::Create(dir / "new.jar", Replacing::Nothing);
        ASSERT_TRUE(made);
        ASSERT_TRUE(WriteAll(made->Output(), "bytes", 5));
        ASSERT_TRUE(made->Commit());
    }
    EXPECT_EQ(test::ReadFile(dir / "new.jar"), "bytes");
    EXPECT_EQ(test::ListDir(dir.Path()), Names{"new.jar"});
}

// Windows cannot take the name away while the file is open: there the name
// goes when the file is closed.
TEST(ScratchFile, HasNoNameAndHoldsWhatWasWritten) {
    ScratchDir dir;
    Outcome<File> scratch = CreateScratchFile(dir / "archive");
    ASSERT_TRUE(scratch);
#ifndef _WIN32
    EXPECT_EQ(test::ListDir(dir.Path()), Names{});
#endif
    ASSERT_TRUE(WriteAll(*scratch, "data", 4));
    ASSERT_TRUE(SeekTo(*scratch, 0));
    const Outcome<std::string> bytes = ReadWholeFile(*scratch);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "data");
    scratch->Close();
    EXPECT_EQ(test::ListDir(dir.Path()), Names{});
}

// A process id that belonged to a process that is gone now, and one of a
// process that runs.
#ifdef _WIN32
unsigned long GoneProcess() {
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    wchar_t commandLine[] = L"cmd.exe /c exit";
    if (!CreateProcessW(nullptr, commandLine, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr, &startup,
                        &process)) {
        return 0;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return process.dwProcessId;
}
unsigned long RunningProcess() { return GetCurrentProcessId(); }
#else
pid_t GoneProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}
pid_t RunningProcess() { return getppid(); }
#endif

// A build killed between writing its package and renaming it leaves the
// staging file; the next build into that folder removes it, and only it.
TEST(AtomicOutput, RemovesTheStagingFilesOfGoneProcessesOnly) {
    struct Case {
        const char* what;
        std::string name;
        bool folder;
        bool removed;
    };
    const auto goneProcess = GoneProcess();
    ASSERT_TRUE(goneProcess > 0) << "no process to end";
    const std::string gone = std::to_string(goneProcess);
    const std::string alive = std::to_string(RunningProcess());
    const Case cases[] = {
        {"its process is gone", ".pelko-" + gone + "-a1B2c3", false, true},
        {"its process still runs", ".pelko-" + alive + "-a1B2c3", false, false},
        {"not our pattern", ".pelko-" + gone + "-short", false, false},
        {"a folder of that name", ".pelko-" + gone + "-d4E5f6", true, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        if (c.folder) {
            std::filesystem::create_directory(dir / c.name);
        } else {
            test::WriteFile(dir / c.name, "a package, cut short");
        }
        {
            Outcome<AtomicOutput> output = AtomicOutput::Create(dir / "game.kjx");
            ASSERT_TRUE(output);
        }
        EXPECT_EQ(test::ListDir(dir.Path()), c.removed ? Names{} : Names{c.name});
    }
}

#ifndef _WIN32
// The package replaces the earlier one with the earlier one's permissions;
// a new package gets those of any new file.
TEST(AtomicOutput, KeepsTheEarlierPackagesModeOrTakesTheUmasks) {
    struct Case {
        const char* what;
        std::optional<mode_t> earlier;
        mode_t mask;
        mode_t expected;
    };
    const Case cases[] = {
        {"earlier readable by the group", 0640, 022, 0640},
        {"earlier private", 0600, 022, 0600},
        {"new under the usual mask", std::nullopt, 022, 0644},
        {"new under a private mask", std::nullopt, 077, 0600},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        if (c.earlier) {
            test::WriteFile(dir / "game.kjx", "earlier");
            chmod((dir / "game.kjx").c_str(), *c.earlier);
        }
        const mode_t mask = umask(c.mask);
        Outcome<AtomicOutput> output = AtomicOutput::Create(dir / "game.kjx");
        umask(mask);
        ASSERT_TRUE(output);
        ASSERT_TRUE(WriteAll(output->Output(), "new", 3));
        ASSERT_TRUE(output->Commit());
        struct stat info {};
        ASSERT_EQ(stat((dir / "game.kjx").c_str(), &info), 0);
        EXPECT_EQ(info.st_mode & 07777, c.expected);
        EXPECT_EQ(test::ReadFile(dir / "game.kjx"), "new");
    }
}
#endif

}  // namespace
}  // namespace pelko
