// Streaming an archive into a package: every way copies every byte, the
// fallbacks take over where a way does not work for the files at hand, and
// a failed read or write is never taken for the end.
#include "system/StreamCopy.h"

#include <fcntl.h>
#include <unistd.h>

#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "support/TestFiles.h"
#include "support/ZipTools.h"
#include "system/Files.h"
#include "system/posix/Posix.h"

namespace pelko {
namespace {

using test::ScratchDir;

const char* NameOf(CopyWay way) {
    switch (way) {
        case CopyWay::KernelCopy: return "copy_file_range";
        case CopyWay::Sendfile: return "sendfile";
        case CopyWay::ReadWrite: return "read/write";
    }
    return "?";
}

// Both ends of a pipe, closed on every way out.
struct Pipe {
    Pipe() {
        int fds[2] = {-1, -1};
        EXPECT_EQ(pipe(fds), 0);
        read = File(posix::HandleOf(fds[0]), "pipe");
        write = File(posix::HandleOf(fds[1]), "pipe");
    }
    int ReadEnd() const { return posix::Descriptor(read); }
    int WriteEnd() const { return posix::Descriptor(write); }
    File read;
    File write;
};

std::string ReadAll(int fd) {
    std::string bytes;
    char chunk[4096];
    for (ssize_t got; (got = read(fd, chunk, sizeof chunk)) > 0;) bytes.append(chunk, static_cast<std::size_t>(got));
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
            EXPECT_EQ(result->way, way) << "regular files on one file system need no fallback";
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
                    const ssize_t put = ::write(in.WriteEnd(), bytes.data() + done, bytes.size() - done);
                    if (put <= 0) break;
                    done += static_cast<std::size_t>(put);
                }
                in.write.Close();
            });
        }
        if (c.outputIsPipe) drainer = std::thread([&] { drained = ReadAll(out.ReadEnd()); });
        File& input = c.inputIsPipe ? in.read : file;
        File& output = c.outputIsPipe ? out.write : target;
        const Outcome<StreamCopied> result = StreamCopy(input, output);
        if (c.outputIsPipe) out.write.Close();
        if (feeder.joinable()) feeder.join();
        if (drainer.joinable()) drainer.join();
        ASSERT_TRUE(result);
        EXPECT_EQ(result->way, c.expected);
        EXPECT_EQ(result->copied, bytes.size());
        target.Close();
        EXPECT_TRUE((c.outputIsPipe ? drained : test::ReadFile(dir / "out")) == bytes);
    }
}

TEST(StreamCopy, AFailedReadOrWriteIsNoEnd) {
    ScratchDir dir;
    test::WriteFile(dir / "in", test::RandomBytes(5000, 9));
    struct Case {
        const char* what;
        std::string input;
        int inputFlags;
        std::string output;
        int outputFlags;
    };
    const Case cases[] = {
        {"a full disk", dir / "in", O_RDONLY, "/dev/full", O_WRONLY},
        {"an input not open for reading", dir / "in", O_WRONLY, dir / "out", O_WRONLY | O_CREAT},
        {"an output not open for writing", dir / "in", O_RDONLY, dir / "in", O_RDONLY},
        {"a directory as input", dir.Path(), O_RDONLY, dir / "out", O_WRONLY | O_CREAT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        File input(posix::HandleOf(open(c.input.c_str(), c.inputFlags)));
        File output(posix::HandleOf(open(c.output.c_str(), c.outputFlags, 0644)));
        if (!output.IsOpen() && c.output == "/dev/full") GTEST_SKIP() << "no /dev/full here";
        ASSERT_TRUE(input.IsOpen() && output.IsOpen());
        for (CopyWay way : {CopyWay::KernelCopy, CopyWay::Sendfile, CopyWay::ReadWrite}) {
            lseek(posix::Descriptor(input), 0, SEEK_SET);  // a failed way may have moved it
            EXPECT_FALSE(StreamCopy(input, output, way)) << NameOf(way);
        }
    }
}

}  // namespace
}  // namespace pelko
