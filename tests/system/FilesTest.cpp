#include "system/Files.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#endif

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "system/Directories.h"
#include "system/FileStatus.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ReadFile;
using test::ScratchDir;
using test::WriteFile;

bool IsOpenDescriptor(FileHandle handle) {
#ifdef _WIN32
    DWORD flags = 0;
    return GetHandleInformation(reinterpret_cast<HANDLE>(handle.Native()), &flags) != 0;
#else
    return ::fcntl(static_cast<int>(handle.Native()), F_GETFD) != -1;
#endif
}

// The mode a file of the given mode reports: Windows keeps only whether it
// may be written, and reports 0644 or 0444.
std::uint32_t ModeReported(std::uint32_t mode) {
#ifdef _WIN32
    return (mode & 0200) ? 0644 : 0444;
#else
    return mode;
#endif
}

TEST(Files, SeekAndReadAtTheEndOfA1000ByteFile) {
    ScratchDir dir;
    const std::string path = (dir / "data.bin");
    WriteFile(path, std::string(1000, 'z'));
    File file(OpenForReading(path));
    ASSERT_TRUE(file.IsOpen());
    char buffer[2000];
    EXPECT_EQ(SeekFile(file.Get(), 0, kSeekFromEnd), 1000);
    EXPECT_EQ(ReadFileBytes(file.Get(), buffer, sizeof buffer), 0);
    EXPECT_EQ(SeekFile(file.Get(), 10, kSeekFromStart), 10);
    EXPECT_EQ(SeekFile(file.Get(), -4, kSeekFromCurrent), 6);
    EXPECT_EQ(SeekFile(file.Get(), -1, kSeekFromEnd), 999);
    EXPECT_EQ(ReadFileBytes(file.Get(), buffer, sizeof buffer), 1);
    EXPECT_EQ(SeekFile(file.Get(), 0, kSeekFromStart), 0);
    EXPECT_EQ(ReadFileBytes(file.Get(), buffer, sizeof buffer), 1000);  // short read, as is
    EXPECT_EQ(SeekFile(file.Get(), -1, kSeekFromStart), -1);                         // before the start
    EXPECT_EQ(SeekFile(file.Get(), 0, 3), -1);                          // no such origin
    static_assert(kSeekFromStart == 0 && kSeekFromCurrent == 1 && kSeekFromEnd == 2);  // the numbers callers pass
    EXPECT_EQ(WriteFileBytes(file.Get(), "x", 1), -1);                  // opened for reading
}

TEST(Files, MissingFileAndInvalidHandleReportMinusOne) {
    ScratchDir dir;
    char buffer[4];
    EXPECT_EQ(OpenForReading((dir / "missing")), kNoFile);
    EXPECT_EQ(CreateForWriting((dir / "no/dir/file")), kNoFile);
    EXPECT_EQ(SeekFile(kNoFile, 0, kSeekFromEnd), -1);
    EXPECT_EQ(ReadFileBytes(kNoFile, buffer, sizeof buffer), -1);
    EXPECT_EQ(WriteFileBytes(kNoFile, buffer, sizeof buffer), -1);
    CloseFileHandle(kNoFile);  // harmless
}

TEST(Files, CreateCutsAnExistingFileAndOpensForReadAndWrite) {
    ScratchDir dir;
    const std::string path = (dir / "out.bin");
    WriteFile(path, "old contents");
    File file(CreateForWriting(path));
    ASSERT_TRUE(file.IsOpen());
    EXPECT_EQ(SeekFile(file.Get(), 0, kSeekFromEnd), 0);
    EXPECT_EQ(ReadFile(path), "");
    EXPECT_EQ(WriteFileBytes(file.Get(), "abc", 3), 3);
    EXPECT_EQ(SeekFile(file.Get(), 0, kSeekFromStart), 0);
    char buffer[8] = {};
    EXPECT_EQ(ReadFileBytes(file.Get(), buffer, sizeof buffer), 3);
    EXPECT_EQ(std::string(buffer, 3), "abc");
    file.Close();
    EXPECT_EQ(ReadFile(path), "abc");
}

TEST(Files, DeleteRemovesFilesOnly) {
    ScratchDir dir;
    const std::string path = (dir / "gone.txt");
    WriteFile(path, "x");
    EXPECT_TRUE(DeleteFileAt(path));
    EXPECT_FALSE(std::filesystem::exists(path));
    EXPECT_FALSE(DeleteFileAt(path));
    std::filesystem::create_directory((dir / "sub"));
    EXPECT_FALSE(DeleteFileAt((dir / "sub")));
    EXPECT_TRUE(std::filesystem::is_directory((dir / "sub")));
}

TEST(Files, PathExistsForFilesFoldersAndLinkTargets) {
    PELKO_SKIP_ON_WINDOWS("symbolic links need a privilege that tests do not have");
    ScratchDir dir;
    WriteFile(dir / "file", "x");
    std::filesystem::create_directory(dir / "folder");
    std::filesystem::create_symlink(dir / "file", dir / "link");
    std::filesystem::create_symlink(dir / "missing", dir / "dangling");
    const std::pair<const char*, bool> cases[] = {
        {"file", true}, {"folder", true}, {"link", true}, {"dangling", false}, {"missing", false},
    };
    for (const auto& [name, exists] : cases) EXPECT_EQ(PathExists(dir / name), exists) << name;
    EXPECT_FALSE(PathExists(""));
}

TEST(File, ClosesOnEveryWayOut) {
    ScratchDir dir;
    WriteFile((dir / "f"), "x");
    FileHandle fd = kNoFile;
    {
        File file(OpenForReading((dir / "f")));
        fd = file.Get();
        ASSERT_TRUE(IsOpenDescriptor(fd));
        File moved(std::move(file));
        EXPECT_FALSE(file.IsOpen());
        EXPECT_EQ(moved.Get(), fd);
    }
    EXPECT_FALSE(IsOpenDescriptor(fd));

    File first(OpenForReading((dir / "f")));
    const FileHandle firstFd = first.Get();
    File second(OpenForReading((dir / "f")));
    first = std::move(second);  // the handle it held is closed
    EXPECT_FALSE(IsOpenDescriptor(firstFd));
    EXPECT_TRUE(IsOpenDescriptor(first.Get()));
    first.Close();
    first.Close();
    EXPECT_FALSE(first.IsOpen());
}

// A file a build puts into an archive keeps its bytes and, for the entry's
// attributes, its permissions.
TEST(CopyRegularFile, CopiesBytesAndPermissionsOverWhatWasThere) {
    struct Case {
        const char* what;
        std::uint32_t mode;
        bool targetThere;
    };
    const Case cases[] = {
        {"a private file to a new name", 0600, false},
        {"an executable over an older copy", 0755, true},
        {"a read-only file", 0444, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        const std::string bytes(70000, 'q');
        WriteFile(dir / "from", bytes);
        fs::permissions(dir / "from", fs::perms(c.mode));
        if (c.targetThere) WriteFile(dir / "to", std::string(100000, 'z'));
        ASSERT_TRUE(CopyRegularFile(dir / "from", dir / "to"));
        EXPECT_TRUE(ReadFile(dir / "to") == bytes);
        EXPECT_EQ(StatusOf(dir / "to")->unixMode & 07777, ModeReported(c.mode));
    }
}

TEST(CopyRegularFile, RefusesWhatIsNoFileToCopy) {
    ScratchDir dir;
    WriteFile(dir / "file", "x");
    std::filesystem::create_directory(dir / "dir");
    struct Case {
        const char* what;
        std::string from;
        std::string to;
    };
    const Case cases[] = {
        {"a directory", dir / "dir", dir / "to"},
        {"a missing file", dir / "missing", dir / "to"},
        {"onto itself", dir / "file", dir / "file"},
        {"onto a directory", dir / "file", dir / "dir"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const Outcome<void> copied = CopyRegularFile(c.from, c.to);
        EXPECT_FALSE(copied);
        EXPECT_EQ(ReadFile(dir / "file"), "x");
    }
    EXPECT_FALSE(test::Exists(dir / "to"));
}

TEST(MakeDirectory, AnExistingDirectoryIsNoFailureAFileIs) {
    ScratchDir dir;
    EXPECT_TRUE(MakeDirectory(dir / "new"));
    EXPECT_TRUE(std::filesystem::is_directory(dir / "new"));
    EXPECT_TRUE(MakeDirectory(dir / "new"));
    WriteFile(dir / "file", "x");
    const Outcome<void> made = MakeDirectory(dir / "file");
    ASSERT_FALSE(made);
    EXPECT_EQ(made.Error().subject, dir / "file");
}

// Lists every entry a scan yields, in the file system's order.
std::vector<std::string> Scan(const std::string& pattern, unsigned attributes, int* firstResult = nullptr) {
    std::vector<std::string> names;
    FileScan scan;
    int result = scan.First(pattern, attributes);
    if (firstResult != nullptr) *firstResult = result;
    while (result == 0) {
        names.push_back(scan.Name());
        result = scan.Next();
    }
    scan.Close();
    std::sort(names.begin(), names.end());
    return names;
}

using Names = std::vector<std::string>;

// Links to a file (e.g.jad), to nothing (f.jad) and to a folder (g.jad) only
// where tests may make them: not on Windows, where it takes a privilege.
class FileScanTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"a.jad", "b.jad", ".c.jad", "C.JAD", "a.jar", "x.jadx"}) {
            WriteFile((dir_ / name), "x");
        }
        std::filesystem::create_directory((dir_ / "d.jad"));
#ifdef _WIN32
        WriteFile(dir_ / "e.jad", "x");  // listed as the link would be
#else
        std::filesystem::create_symlink((dir_ / "a.jad"), (dir_ / "e.jad"));
        std::filesystem::create_symlink((dir_ / "nowhere"), (dir_ / "f.jad"));
        std::filesystem::create_directory_symlink((dir_ / "d.jad"), (dir_ / "g.jad"));
#endif
    }
    // Names only POSIX lists: those that differ from "*.jad" in case alone
    // (Windows matches file names without case), and the link to a folder.
    static Names PosixOnly(Names names) {
#ifdef _WIN32
        std::erase_if(names, [](const std::string& name) { return name == "g.jad"; });
#endif
        return names;
    }
    static Names WindowsOnly(Names posix, const std::vector<std::string>& more) {
#ifdef _WIN32
        posix.insert(posix.end(), more.begin(), more.end());
        std::sort(posix.begin(), posix.end());
#else
        (void)more;
#endif
        return posix;
    }
    ScratchDir dir_;
};

TEST_F(FileScanTest, ListsVisibleFilesOnly) {
    EXPECT_EQ(Scan((dir_ / "*.jad"), 0), WindowsOnly({"a.jad", "b.jad", "e.jad"}, {"C.JAD"}));
    EXPECT_EQ(Scan((dir_ / "?.jad"), 0), WindowsOnly({"a.jad", "b.jad", "e.jad"}, {"C.JAD"}));
    EXPECT_EQ(Scan((dir_ / "a.jad"), 0), (Names{"a.jad"}));
    EXPECT_EQ(Scan((dir_ / "*"), 0), (Names{"C.JAD", "a.jad", "a.jar", "b.jad", "e.jad", "x.jadx"}));
}

// On Windows, as its own listing does, letters match without case.
TEST_F(FileScanTest, PatternCaseIsSignificantOnPosixOnly) {
    EXPECT_EQ(Scan((dir_ / "*.JAD"), 0), WindowsOnly({"C.JAD"}, {"a.jad", "b.jad", "e.jad"}));
    EXPECT_EQ(Scan((dir_ / "A.*"), 0), WindowsOnly({}, {"a.jad", "a.jar"}));
}

TEST_F(FileScanTest, AttributesAdmitHiddenEntriesAndDirectories) {
    EXPECT_EQ(Scan((dir_ / "*.jad"), kAttrHidden), WindowsOnly({".c.jad", "a.jad", "b.jad", "e.jad"}, {"C.JAD"}));
    EXPECT_EQ(Scan((dir_ / "*.jad"), kAttrDirectory),
              WindowsOnly(PosixOnly({"a.jad", "b.jad", "d.jad", "e.jad", "g.jad"}), {"C.JAD"}));
    // "." and ".." are never entries, whatever is admitted.
    const Names all = Scan((dir_ / "*"), kAttrHidden | kAttrDirectory);
    EXPECT_EQ(std::count(all.begin(), all.end(), "."), 0);
    EXPECT_EQ(std::count(all.begin(), all.end(), ".."), 0);
    EXPECT_EQ(std::count(all.begin(), all.end(), ".c.jad"), 1);
}

TEST_F(FileScanTest, NoMatchGivesNonZeroAndNothingOpen) {
    int result = 0;
    EXPECT_EQ(Scan((dir_ / "*.txt"), 0, &result), Names{});
    EXPECT_NE(result, 0);
    EXPECT_EQ(Scan((dir_ / "no-such-dir/*.jad"), 0, &result), Names{});
    EXPECT_NE(result, 0);
    EXPECT_EQ(Scan((dir_ / "d.jad"), 0, &result), Names{});  // only a directory matches
    EXPECT_NE(result, 0);

    FileScan scan;
    EXPECT_NE(scan.First((dir_ / "*.txt"), 0), 0);
    EXPECT_NE(scan.Next(), 0);  // nothing left open to read from
    scan.Close();
    scan.Close();
}

TEST_F(FileScanTest, ScanCanBeRestarted) {
    FileScan scan;
    ASSERT_EQ(scan.First((dir_ / "a.jad"), 0), 0);
    EXPECT_EQ(scan.Name(), "a.jad");
    EXPECT_NE(scan.Next(), 0);
    ASSERT_EQ(scan.First((dir_ / "b.jad"), 0), 0);  // a second First closes the first scan
    EXPECT_EQ(scan.Name(), "b.jad");
}

}  // namespace
}  // namespace pelko
