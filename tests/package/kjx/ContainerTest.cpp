#include "package/kjx/Container.h"

#ifndef _WIN32
#include <fcntl.h>
#endif

#include <cerrno>

#include <gtest/gtest.h>

#include "support/TestFiles.h"
#include "support/WorkedExample.h"
#include "system/Files.h"

namespace pelko {
namespace {

using test::ScratchDir;

std::string Pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 7 + i / 251) & 0xFF);
    return bytes;
}

// Writes a container into dir/out.kjx from an archive of the given bytes and
// returns the file's bytes.
std::string Container(const ScratchDir& dir, std::string_view name, std::string_view descriptorName,
                      std::string_view text, const std::string& archiveBytes, bool* ok = nullptr) {
    test::WriteFile(dir / "a.tmp", archiveBytes);
    File archive(OpenForReading(dir / "a.tmp"));
    File output(CreateForWriting(dir / "out.kjx"));
    EXPECT_TRUE(archive.IsOpen() && output.IsOpen());
    SeekFile(archive.Get(), 0, 2);  // the writer must go back to the start itself
    const bool written = static_cast<bool>(WriteContainer(output, name, descriptorName, text, archive));
    if (ok) *ok = written;
    output.Close();
    return test::ReadFile(dir / "out.kjx");
}

TEST(WriteContainer, WorkedExampleHeaderAndSize) {
    ScratchDir dir;
    const std::string descriptor = test::CrLf(test::worked::DescriptorLines());
    std::string archive = Pattern(test::worked::kArchiveBytes);
    bool ok = false;
    std::string file = Container(dir, "block.kjx", "block.jad", descriptor, archive, &ok);
    EXPECT_TRUE(ok);
    ASSERT_EQ(file.size(), test::worked::kPackageBytes);
    const unsigned char expected[26] = {0x4B, 0x4A, 0x58, 0x1A, 0x09, 0x62, 0x6C, 0x6F, 0x63,
                                        0x6B, 0x2E, 0x6B, 0x6A, 0x78, 0x01, 0x3B, 0x09, 0x62,
                                        0x6C, 0x6F, 0x63, 0x6B, 0x2E, 0x6A, 0x61, 0x64};
    EXPECT_EQ(file.substr(0, 26), std::string(reinterpret_cast<const char*>(expected), 26));
    EXPECT_EQ(file.substr(26, 315), descriptor);
    EXPECT_EQ(file.substr(341), archive);
}

TEST(WriteContainer, ArchiveIsCopiedWholeWhateverItsSize) {
    for (std::size_t size : {0u, 1u, 1023u, 1024u, 1025u, 2048u, 3000u, 65536u}) {
        ScratchDir dir;
        std::string archive = Pattern(size);
        std::string file = Container(dir, "a.kjx", "a.jad", "X: 1\r\n", archive);
        std::size_t header = 8 + 5 + 5;
        ASSERT_EQ(file.size(), header + 6 + size) << size;
        EXPECT_EQ(file.substr(header, 6), "X: 1\r\n") << size;
        EXPECT_EQ(file.substr(header + 6), archive) << size;
    }
}

TEST(WriteContainer, DescriptorLengthIsStoredHighByteFirst) {
    const std::vector<std::pair<std::size_t, std::pair<unsigned char, unsigned char>>> cases = {
        {0, {0x00, 0x00}},   {255, {0x00, 0xFF}},   {256, {0x01, 0x00}},
        {300, {0x01, 0x2C}}, {65535, {0xFF, 0xFF}},
    };
    for (const auto& [length, bytes] : cases) {
        ScratchDir dir;
        std::string file = Container(dir, "b.kjx", "b.jad", std::string(length, 'x'), "PK");
        EXPECT_EQ(static_cast<unsigned char>(file[5 + 5]), bytes.first) << length;
        EXPECT_EQ(static_cast<unsigned char>(file[6 + 5]), bytes.second) << length;
        EXPECT_EQ(file.size(), 8 + 10 + length + 2) << length;
    }
}

TEST(WriteContainer, JapaneseNamesCountTheirBytes) {
    ScratchDir dir;
    std::string name = test::Sjis("落ち物.kjx");     // 10 bytes
    std::string jad = test::Sjis("落ち物.jad");
    std::string file = Container(dir, name, jad, "", "");
    EXPECT_EQ(static_cast<unsigned char>(file[3]), 8 + 10 + 10);
    EXPECT_EQ(static_cast<unsigned char>(file[4]), 10);
    EXPECT_EQ(file.substr(5, 10), name);
    EXPECT_EQ(file.substr(18, 10), jad);
    EXPECT_EQ(file.size(), 28u);
}

TEST(WriteContainer, LongestBaseNameGivesHeaderLength254) {
    ScratchDir dir;
    std::string base(119, 'n');
    std::string file = Container(dir, base + ".kjx", base + ".jad", "", "");
    EXPECT_EQ(static_cast<unsigned char>(file[3]), 254);
    EXPECT_TRUE(NamesFitHeader(123, 123));
    EXPECT_TRUE(NamesFitHeader(124, 123));  // 255
    EXPECT_FALSE(NamesFitHeader(124, 124)); // 256
    EXPECT_FALSE(NamesFitHeader(256, 0));
    EXPECT_TRUE(NamesFitHeader(0, 247));
}

// The error names the file that failed and the system's reason.
TEST(WriteContainer, AFullDiskIsReported) {
    ScratchDir dir;
    test::WriteFile(dir / "a.tmp", Pattern(5000));
    PELKO_SKIP_ON_WINDOWS("no device that is always full");
#ifndef _WIN32
    File archive(OpenForReading(dir / "a.tmp"), dir / "a.tmp");
    File full(FileHandle(open("/dev/full", O_WRONLY)), "/dev/full");
    if (!full.IsOpen()) GTEST_SKIP() << "no /dev/full here";
    const Outcome<void> written = WriteContainer(full, "a.kjx", "a.jad", "X: 1\r\n", archive);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.Error().subject, "/dev/full");
    EXPECT_EQ(written.Error().code, ENOSPC);
    EXPECT_EQ(written.Error().reason, "No space left on device");
#endif
}

TEST(WriteContainer, AnUnreadableArchiveIsReported) {
    ScratchDir dir;
    File output(CreateForWriting(dir / "out.kjx"), dir / "out.kjx");
    File notReadable(test::OpenWriteOnly(dir / "out.kjx").Release(), dir / "archive");
    const Outcome<void> written = WriteContainer(output, "a.kjx", "a.jad", "", notReadable);
    ASSERT_FALSE(written);
    EXPECT_EQ(written.Error().subject, dir / "archive") << "the read failed, not the write";
    EXPECT_EQ(written.Error().code, test::kWrongAccessCode);
}

}  // namespace
}  // namespace pelko
