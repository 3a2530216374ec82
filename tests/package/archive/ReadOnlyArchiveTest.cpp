// The archive read without changing it, however it is given, as the checks,
// the build's verification and the package reader see it.
#include "package/archive/ReadOnlyArchive.h"

#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko {
namespace {

const std::string kManifest = "MIDlet-Name: Game\r\n";
constexpr std::size_t kBigSize = 200 * 1024;

// Text that deflates, and differs wherever a byte of it is changed.
std::string BigText() {
    std::string text;
    for (int line = 0; text.size() < kBigSize; ++line) text += "line " + std::to_string(line) + "\n";
    return text.substr(0, kBigSize);
}

class ReadOnlyArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveProgram("zip")) GTEST_SKIP() << "needs Info-ZIP zip";
        std::filesystem::create_directories(dir / "META-INF");
        test::WriteFile(dir / "META-INF/MANIFEST.MF", kManifest);
        test::WriteFile(dir / "big.txt", BigText());
        ASSERT_EQ(test::RunIn(dir.Path(), "zip -q -X a.jar META-INF/MANIFEST.MF big.txt"), 0);
        jar = test::ReadFile(dir / "a.jar");
    }

    test::ScratchDir dir;
    std::string jar;
};

TEST_F(ReadOnlyArchiveTest, EveryWayOfOpeningReadsTheSameArchive) {
    const std::string wrapped = "HEAD" + jar + "TAIL";
    test::WriteFile(dir / "p.kjx", wrapped);
    Outcome<File> package = OpenToRead(dir / "p.kjx");
    ASSERT_TRUE(package) << package.Error().reason;
    struct Case {
        const char* name;
        std::function<ReadOnlyArchive()> open;
    };
    const std::vector<Case> cases = {
        {"a whole file", [&] { return ReadOnlyArchive::OpenFile(dir / "a.jar"); }},
        {"part of a file", [&] { return ReadOnlyArchive::OpenFile(dir / "p.kjx", 4, jar.size()); }},
        {"part of an open file", [&] { return ReadOnlyArchive::OpenPart(*package, 4, jar.size()); }},
        {"bytes in memory", [&] { return ReadOnlyArchive::OpenBytes(std::string_view(wrapped).substr(4, jar.size())); }},
    };
    for (const Case& c : cases) {
        const ReadOnlyArchive archive = c.open();
        ASSERT_TRUE(archive.IsOpen()) << c.name << ": " << archive.OpenFailure();
        ASSERT_EQ(archive.EntryCount(), 2u) << c.name;
        const EntryRecord big = archive.Record(1);
        ASSERT_TRUE(big.entry) << c.name;
        EXPECT_EQ(big.entry->name, "big.txt") << c.name;
        EXPECT_EQ(big.entry->size, kBigSize) << c.name;
        EXPECT_LT(big.entry->compressedSize, kBigSize / 2) << c.name;
        EXPECT_EQ(big.unusable, "") << c.name;
        ASSERT_EQ(archive.Find(kManifestEntry), 0u) << c.name;
        const EntryData manifest = ReadManifestEntry(archive, 0);
        EXPECT_TRUE(manifest.complete) << c.name;
        EXPECT_EQ(manifest.bytes, kManifest) << c.name;
        EXPECT_EQ(archive.Find("META-INF/manifest.mf"), std::nullopt) << c.name << ": names match byte for byte";
    }
    EXPECT_EQ(lseek(static_cast<int>(package->Get().Native()), 0, SEEK_CUR), 0) << "the open file was not moved";
}

TEST_F(ReadOnlyArchiveTest, WhatIsNoArchiveSaysWhy) {
    test::WriteFile(dir / "empty.jar", "");
    test::WriteFile(dir / "text.jar", "no zip at all, only text");
    std::string cut = jar.substr(0, jar.size() - 10);
    struct Case {
        const char* name;
        ReadOnlyArchive archive;
        std::string failure;
    };
    Case cases[] = {
        {"an empty file", ReadOnlyArchive::OpenFile(dir / "empty.jar"), "Not a zip archive"},
        {"no bytes at all", ReadOnlyArchive::OpenBytes(""), "Not a zip archive"},
        {"text", ReadOnlyArchive::OpenFile(dir / "text.jar"), "Not a zip archive"},
        {"cut before its end record", ReadOnlyArchive::OpenBytes(cut), "Not a zip archive"},
        {"a missing file", ReadOnlyArchive::OpenFile(dir / "none.jar"), "No such file"},
    };
    for (const Case& c : cases) {
        EXPECT_FALSE(c.archive.IsOpen()) << c.name;
        EXPECT_NE(c.archive.OpenFailure().find(c.failure), std::string::npos) << c.name << ": " << c.archive.OpenFailure();
        EXPECT_EQ(c.archive.EntryCount(), 0u) << c.name;
        EXPECT_EQ(c.archive.Find(kManifestEntry), std::nullopt) << c.name;
        EXPECT_FALSE(c.archive.Record(0).entry) << c.name;
        EXPECT_EQ(c.archive.ReadData(0, 1, true).outcome, EntryData::Outcome::NotOpened) << c.name;
    }
}

TEST_F(ReadOnlyArchiveTest, DataIsReadUpToItsLimitAndThroughItsChecks) {
    std::string damaged = jar;
    const std::size_t data = damaged.find("big.txt") + 7;  // the local header's name, then the data
    damaged[data + 100] = static_cast<char>(damaged[data + 100] ^ 0x55);
    struct Case {
        const char* name;
        std::string bytes;
        std::uint64_t limit;
        EntryData::Outcome outcome;
        bool complete;
    };
    const std::vector<Case> cases = {
        {"to its end", jar, kBigSize, EntryData::Outcome::Read, true},
        {"a limit short of its end", jar, kBigSize / 2, EntryData::Outcome::Read, false},
        {"damaged data", damaged, kBigSize, EntryData::Outcome::Damaged, false},
    };
    for (const Case& c : cases) {
        const ReadOnlyArchive archive = ReadOnlyArchive::OpenBytes(c.bytes);
        ASSERT_TRUE(archive.IsOpen()) << c.name;
        const EntryData read = archive.ReadData(1, c.limit, false);
        EXPECT_EQ(read.outcome, c.outcome) << c.name << ": " << read.failure;
        EXPECT_EQ(read.complete, c.complete) << c.name;
        EXPECT_EQ(read.bytes, "") << c.name << ": nothing kept unless asked";
        if (c.outcome == EntryData::Outcome::Read) {
            EXPECT_GE(read.count, c.limit) << c.name;
        }
    }
}

}  // namespace
}  // namespace pelko
