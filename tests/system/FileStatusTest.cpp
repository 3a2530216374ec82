// What the file system says about a path: kinds through links, errors that
// name the path, and identity that tells one file from an equal copy.
#include "system/FileStatus.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <filesystem>
#include <string>

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

// A fifo and a symbolic link only where tests can make them: on Windows a
// device stands for the one and the file itself for the other.
class FileStatusTest : public ::testing::Test {
protected:
    void SetUp() override {
        test::WriteFile(dir_ / "file", "12345");
        fs::create_directory(dir_ / "dir");
#ifdef _WIN32
        fs::permissions(dir_ / "file", fs::perms::owner_read);
        link_ = dir_ / "file";
        other_ = "NUL";
#else
        chmod((dir_ / "file").c_str(), 0640);
        mkfifo((dir_ / "fifo").c_str(), 0600);
        fs::create_symlink(dir_ / "file", dir_ / "link");
        link_ = dir_ / "link";
        other_ = dir_ / "fifo";
#endif
        fs::create_hard_link(dir_ / "file", dir_ / "hard");
        test::WriteFile(dir_ / "copy", "12345");
    }
    ScratchDir dir_;
    std::string link_;   // a link to file
    std::string other_;  // neither file nor folder
};

TEST_F(FileStatusTest, KindsFollowLinks) {
    struct Case {
        const char* name;
        std::string path;
        FileKind kind;
    };
    const Case cases[] = {
        {"file", dir_ / "file", FileKind::Regular}, {"link", link_, FileKind::Regular},
        {"dir", dir_ / "dir", FileKind::Directory}, {"fifo or device", other_, FileKind::Other},
        {"missing", dir_ / "missing", FileKind::Missing},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(KindOf(c.path), c.kind);
    }
}

// Windows has no mode bits: a read-only file is 0444 there, as any Linux
// file of mode 0444 would be.
TEST_F(FileStatusTest, StatusHasTheSizeAndModeOfTheFileALinkNames) {
    const Outcome<FileStatus> status = StatusOf(link_);
    ASSERT_TRUE(status);
    EXPECT_EQ(status->size, 5u);
#ifdef _WIN32
    EXPECT_EQ(status->unixMode, 0100444u);
#else
    EXPECT_EQ(status->unixMode, static_cast<std::uint32_t>(S_IFREG | 0640));
#endif
    EXPECT_GT(status->modified, 1600000000);
}

TEST_F(FileStatusTest, AMissingPathIsAnErrorThatNamesIt) {
    const Outcome<FileStatus> status = StatusOf(dir_ / "missing");
    ASSERT_FALSE(status);
    EXPECT_EQ(status.Error().subject, dir_ / "missing");
    EXPECT_TRUE(IsNotFound(status.Error()));
#ifdef _WIN32  // the words differ between Windows versions (and wine)
    EXPECT_FALSE(status.Error().reason.empty());
    EXPECT_EQ(status.Error().reason.find_first_of(".\r\n"), std::string::npos) << "the system's line end is cut";
#else
    EXPECT_EQ(status.Error().reason, "No such file or directory");
#endif
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
        const std::string other = std::string_view(c.other) == "link" ? link_ : dir_ / c.other;
        EXPECT_EQ(SameFile(dir_ / "file", other), c.same);
    }
}

}  // namespace
}  // namespace pelko
