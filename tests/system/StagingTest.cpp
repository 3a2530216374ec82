// The files a build keeps for its own duration: what they replace only once
// complete, what they leave when dropped, and which path their errors name.
#include "system/Staging.h"

#ifndef _WIN32
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
    EXPECT_EQ(work.Error().subject, dir / "no-such-parent/");
    EXPECT_TRUE(IsNotFound(work.Error()));

    const Outcome<AtomicOutput> output = AtomicOutput::Create(dir / "folder");
    ASSERT_FALSE(output);
    EXPECT_EQ(output.Error().subject, dir / "folder");
    EXPECT_EQ(output.Error().code, EISDIR);
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

TEST(ScratchFile, HasNoNameAndHoldsWhatWasWritten) {
    ScratchDir dir;
    Outcome<File> scratch = CreateScratchFile(dir / "archive");
    ASSERT_TRUE(scratch);
    EXPECT_EQ(test::ListDir(dir.Path()), Names{});
    ASSERT_TRUE(WriteAll(*scratch, "data", 4));
    ASSERT_TRUE(SeekTo(*scratch, 0));
    const Outcome<std::string> bytes = ReadWholeFile(*scratch);
    ASSERT_TRUE(bytes);
    EXPECT_EQ(*bytes, "data");
}

#ifndef _WIN32
// A process id that belonged to a process that is gone now.
pid_t GoneProcess() {
    const pid_t child = fork();
    if (child == 0) _exit(0);
    waitpid(child, nullptr, 0);
    return child;
}

// A build killed between writing its package and renaming it leaves the
// staging file; the next build into that folder removes it, and only it.
TEST(AtomicOutput, RemovesTheStagingFilesOfGoneProcessesOnly) {
    struct Case {
        const char* what;
        std::string name;
        bool folder;
        bool removed;
    };
    const std::string gone = std::to_string(GoneProcess());
    const std::string alive = std::to_string(getppid());
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
