// What the file system says about a path: kinds through links, errors that
// name the path, and identity that tells one file from an equal copy.
#include "system/FileStatus.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

class FileStatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(dir_ / "file", "12345");
        chmod((dir_ / "file").c_str(), 0640);
        fs::create_directory(dir_ / "dir");
        mkfifo((dir_ / "fifo").c_str(), 0600);
        fs::create_symlink(dir_ / "file", dir_ / "link");
        fs::create_hard_link(dir_ / "file", dir_ / "hard");
        test::WriteFile(dir_ / "copy", "12345");
    }
    ScratchDir dir_;
};

TEST_F(FileStatusTest, KindsFollowLinks) {
    struct Case {
        const char* name;
        FileKind kind;
    };
    const Case cases[] = {
        {"file", FileKind::Regular}, {"link", FileKind::Regular}, {"dir", FileKind::Directory},
        {"fifo", FileKind::Other},   {"missing", FileKind::Missing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KindOf(dir_ / c.name), c.kind);
    }
}

TEST_F(FileStatusTest, StatusHasTheSizeAndModeOfTheFileALinkNames) {
    const Outcome<FileStatus> status = StatusOf(dir_ / "link");
    ASSERT_TRUE(status);
    EXPECT_EQ(status->size, 5u);
    EXPECT_EQ(status->unixMode, static_cast<std::uint32_t>(S_IFREG | 0640));
    EXPECT_GT(status->modified, 1600000000);
}

TEST_F(FileStatusTest, AMissingPathIsAnErrorThatNamesIt) {
    const Outcome<FileStatus> status = StatusOf(dir_ / "missing");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.Error().subject, dir_ / "missing");
    EXPECT_TRUE(IsNotFound(status.Error()));
    EXPECT_EQ(status.Error().reason, "No such file or directory");
}

TEST_F(FileStatusTest, SameFileMeansOneFileNotEqualBytes) {
    struct Case {
        const char* what;
        const char* other;
        bool same;
    };
    const Case cases[] = {
        {"the path itself", "file", true},     {"a link to it", "link", true},
        {"a hard link to it", "hard", true},   {"a copy of it", "copy", false},
        {"a path that is not there", "missing", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(SameFile(dir_ / "file", dir_ / c.other), c.same);
    }
}

}  // namespace
}  // namespace pelko
