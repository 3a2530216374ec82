// The files a build keeps for its own duration: what they replace only once
// complete, what they leave when dropped, and which path their errors name.
#include "system/Staging.h"

#include <cerrno>
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

}  // namespace
}  // namespace pelko
