// Streaming an archive into a package: every way copies every byte, the
// fallbacks take over where a way does not work for the files at hand, and
// a failed read or write is never taken for the end.
#include "system/StreamCopy.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

#include <functional>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/TestFiles.h"
#include "support/ZipTools.h"
#include "system/Files.h"
#include "system/Pipe.h"

namespace pelko {
namespace {

using test::Pipe;
using test::ScratchDir;

// The way that copies on this system: Windows has no kernel way, so
// everything is read and written there.
CopyWay WayHere(CopyWay way) {
#ifdef _WIN32
    (void)way;
    return CopyWay::ReadWrite;
#else
    return way;
#endif
}

const char* NameOf(CopyWay way) {
    switch (way) {
        case CopyWay::KernelCopy: return "copy_file_range";
        case CopyWay::Sendfile: return "sendfile";
        case CopyWay::ReadWrite: return "read/write";
    }
    return "?";
}

std::string ReadAll(File& file) {
    std::string bytes;
    char chunk[4096];
    for (long got; (got = ReadFileBytes(file.Get(), chunk, sizeof chunk)) > 0;) {
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
    return bytes;
}

TEST(StreamCopy, EveryWayCopiesFromThePositionToTheEnd) {
    const std::size_t sizes[] = {0, 1, 1023, 1024, kStreamBufferSize - 1, kStreamBufferSize, kStreamBufferSize + 1,
                                 3 * kStreamBufferSize + 12345};
    for (CopyWay way : {CopyWay::KernelCopy, CopyWay::Sendfile, CopyWay::ReadWrite}) {
        for (std::size_t size : sizes) {
            SCOPED_TRACE(std::string(NameOf(way)) + ", " + std::to_string(size) + " bytes");
            ScratchDir dir;
            const std::string bytes = "skipped" + test::RandomBytes(size, static_cast<unsigned>(size));
            test::WriteFile(dir / "in", bytes);
            File input(OpenForReading(dir / "in"));
            File output(CreateForWriting(dir / "out"));
            ASSERT_EQ(SeekFile(input.Get(), 7, 0), 7);
            ASSERT_EQ(WriteFileBytes(output.Get(), "head", 4), 4);
            const Outcome<StreamCopied> result = StreamCopy(input, output, way);
            ASSERT_TRUE(result);
            EXPECT_EQ(result->way, WayHere(way)) << "regular files on one file system need no fallback";
            EXPECT_EQ(result->copied, size);
            output.Close();
            EXPECT_TRUE(test::ReadFile(dir / "out") == "head" + bytes.substr(7));
        }
    }
}

// Each row: the files at hand, and the way that can copy them.
TEST(StreamCopy, FallsBackToTheWayThatWorksForTheFiles) {
    const std::string bytes = test::RandomBytes(200000, 5);  // more than a pipe holds
    struct Case {
        const char* what;
        bool inputIsPipe;
        bool outputIsPipe;
        CopyWay expected;
    };
    const Case cases[] = {
        {"file to file", false, false, CopyWay::KernelCopy},
        {"file to pipe: no copy_file_range", false, true, CopyWay::Sendfile},
        {"pipe to file: neither kernel way", true, false, CopyWay::ReadWrite},
        {"pipe to pipe", true, true, CopyWay::ReadWrite},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        test::WriteFile(dir / "in", bytes);
        File file(OpenForReading(dir / "in"));
        File target(CreateForWriting(dir / "out"));
        Pipe in, out;
        std::thread feeder, drainer;
        std::string drained;
        if (c.inputIsPipe) {
            feeder = std::thread([&] {
                std::size_t done = 0;
                while (done < bytes.size()) {
                    const long put = WriteFileBytes(in.write.Get(), bytes.data() + done, bytes.size() - done);
                    if (put <= 0) break;
                    done += static_cast<std::size_t>(put);
                }
                in.write.Close();
            });
        }
        if (c.outputIsPipe) drainer = std::thread([&] { drained = ReadAll(out.read); });
        File& input = c.inputIsPipe ? in.read : file;
        File& output = c.outputIsPipe ? out.write : target;
        const Outcome<StreamCopied> result = StreamCopy(input, output);
        if (c.outputIsPipe) out.write.Close();
        if (feeder.joinable()) feeder.join();
        if (drainer.joinable()) drainer.join();
        ASSERT_TRUE(result);
        EXPECT_EQ(result->way, WayHere(c.expected));
        EXPECT_EQ(result->copied, bytes.size());
        target.Close();
        EXPECT_TRUE((c.outputIsPipe ? drained : test::ReadFile(dir / "out")) == bytes);
    }
}

// Each row opens the input and the output as the row says.
struct FailureCase {
    const char* what;
    std::function<File()> input;
    std::function<File()> output;
};

#ifdef _WIN32
File Opened(const std::string& path, DWORD access, DWORD disposition) {
    const HANDLE handle = CreateFileW(test::HostPath(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, disposition, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    return File(handle == INVALID_HANDLE_VALUE ? kNoFile : FileHandle(reinterpret_cast<std::intptr_t>(handle)), path);
}

std::vector<FailureCase> FailureCases(const ScratchDir& dir) {
    return {
        {"an input not open for reading", [&] { return Opened(dir / "in", GENERIC_WRITE, OPEN_EXISTING); },
         [&] { return Opened(dir / "out", GENERIC_WRITE, CREATE_ALWAYS); }},
        {"an output not open for writing", [&] { return Opened(dir / "in", GENERIC_READ, OPEN_EXISTING); },
         [&] { return Opened(dir / "in", GENERIC_READ, OPEN_EXISTING); }},
        {"a directory as input", [&] { return Opened(dir.Path(), GENERIC_READ, OPEN_EXISTING); },
         [&] { return Opened(dir / "out", GENERIC_WRITE, CREATE_ALWAYS); }},
    };
}
#else
File Opened(const std::string& path, int flags) {
    return File(FileHandle(open(path.c_str(), flags, 0644)), path);
}

std::vector<FailureCase> FailureCases(const ScratchDir& dir) {
    return {
        {"a full disk", [&] { return Opened(dir / "in", O_RDONLY); }, [] { return Opened("/dev/full", O_WRONLY); }},
        {"an input not open for reading", [&] { return Opened(dir / "in", O_WRONLY); },
         [&] { return Opened(dir / "out", O_WRONLY | O_CREAT); }},
        {"an output not open for writing", [&] { return Opened(dir / "in", O_RDONLY); },
         [&] { return Opened(dir / "in", O_RDONLY); }},
        {"a directory as input", [&] { return Opened(dir.Path(), O_RDONLY); },
         [&] { return Opened(dir / "out", O_WRONLY | O_CREAT); }},
    };
}
#endif

TEST(StreamCopy, AFailedReadOrWriteIsNoEnd) {
    ScratchDir dir;
    test::WriteFile(dir / "in", test::RandomBytes(5000, 9));
    for (const FailureCase& c : FailureCases(dir)) {
        SCOPED_TRACE(c.what);
        File input = c.input();
        File output = c.output();
        if (!output.IsOpen() && output.Name() == "/dev/full") GTEST_SKIP() << "no /dev/full here";
        ASSERT_TRUE(input.IsOpen() && output.IsOpen());
        for (CopyWay way : {CopyWay::KernelCopy, CopyWay::Sendfile, CopyWay::ReadWrite}) {
            SeekFile(input.Get(), 0, kSeekFromStart);  // a failed way may have moved it
            EXPECT_FALSE(StreamCopy(input, output, way)) << NameOf(way);
        }
    }
}

}  // namespace
}  // namespace pelko
