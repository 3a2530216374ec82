// The package reader on byte buffers: fields read right, every check
// firing alone, and no damaged or hostile input read out of bounds.
#include "package/checks/Inspect.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "support/CliRunner.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"
#include "text/Errors.h"

namespace pelko {
namespace {

using Texts = std::vector<std::string>;

// The problems as inspect prints them.
Texts TextsOf(const Problems& problems) {
    Texts texts;
    for (const Problem& problem : problems) texts.push_back(InspectText(problem));
    return texts;
}

using test::AssembleKjx;
using test::KjxParts;

const std::string kSampleArchive = std::string(PELKO_SAMPLES_DIR) + "/block.jar";

std::string Descriptor(const std::string& jarSize) {
    return test::CrLf({"MIDlet-Jar-Size: " + jarSize, "MIDlet-Jar-URL: block.jar", "MIDlet-Name: Block Game",
                       "MIDlet-Vendor: dev01/rivo", "MIDlet-Version: 1.0"});
}

// A sound package put together by hand around the block sample's archive.
KjxParts SoundParts() {
    KjxParts parts;
    parts.containerName = "block.kjx";
    parts.descriptorName = "block.jad";
    parts.archive = test::ReadFile(kSampleArchive);
    parts.descriptor = Descriptor(std::to_string(parts.archive.size()));
    return parts;
}

// Inspects a copy that ends exactly where the bytes end, so that the
// sanitizer sees any read past them.
InspectReport InspectExactly(const std::string& bytes) {
    std::vector<char> exact(bytes.begin(), bytes.end());
    return InspectPackage(std::string_view(exact.data(), exact.size()));
}

TEST(InspectTest, ReadsEveryFieldOfASoundPackage) {
    const KjxParts parts = SoundParts();
    const InspectReport report = InspectExactly(AssembleKjx(parts));
    EXPECT_EQ(TextsOf(report.problems), Texts{});
    EXPECT_TRUE(report.Sound());
    EXPECT_EQ(report.header.magic, "KJX");
    EXPECT_EQ(report.header.headerLength, 26u);
    EXPECT_EQ(report.header.containerName, "block.kjx");
    EXPECT_EQ(report.header.descriptorLength, parts.descriptor.size());
    EXPECT_EQ(report.header.descriptorName, "block.jad");
    EXPECT_EQ(report.descriptor, parts.descriptor);
    EXPECT_EQ(report.archiveOffset, 26 + parts.descriptor.size());
    EXPECT_EQ(report.archiveSize, parts.archive.size());
    EXPECT_EQ(report.fileSize, 26 + parts.descriptor.size() + parts.archive.size());
    ASSERT_TRUE(report.archiveIsZip);

    const std::vector<test::ZipEntry> expected = test::ReadZip(kSampleArchive);
    ASSERT_EQ(report.entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(report.entries[i].name, expected[i].name);
        EXPECT_EQ(report.entries[i].size, expected[i].data.size()) << expected[i].name;
        EXPECT_EQ(report.entries[i].compressedSize, expected[i].compressedSize) << expected[i].name;
    }
}

TEST(InspectTest, NamesCountTheirBytesInTheHeader) {
    KjxParts parts = SoundParts();
    parts.containerName = test::Sjis("落ち物.kjx");
    parts.descriptorName = test::Sjis("落ち物.jad");
    const InspectReport report = InspectExactly(AssembleKjx(parts));
    EXPECT_EQ(TextsOf(report.problems), Texts{});
    EXPECT_EQ(report.header.headerLength, 8u + 10 + 10);
    EXPECT_EQ(report.header.containerName, parts.containerName);
}

TEST(InspectTest, EveryCutShortPackageIsAProblemNeverACrash) {
    const std::string bytes = AssembleKjx(SoundParts());
    for (std::size_t length = 0; length < bytes.size(); ++length) {
        const InspectReport report = InspectExactly(bytes.substr(0, length));
        EXPECT_FALSE(report.Sound()) << length;
    }
}

TEST(InspectTest, EveryFlippedHeaderOrDescriptorByteIsSurvived) {
    const KjxParts parts = SoundParts();
    const std::string bytes = AssembleKjx(parts);
    const std::size_t end = 26 + parts.descriptor.size() + 64;  // into the archive's first entry
    for (std::size_t at = 0; at < end; ++at) {
        std::string flipped = bytes;
        flipped[at] = static_cast<char>(flipped[at] ^ 0xFF);
        const InspectReport report = InspectExactly(flipped);
        // Every fixed field is checked; a flipped name or value byte may pass.
        const bool fixedField = at < 5 || at == 14 || at == 15 || at == 16;
        if (fixedField) {
            EXPECT_FALSE(report.Sound()) << at;
        }
    }
}

// Every check alone: the good package with one thing wrong gives exactly
// the one problem, so no check hides or repeats another.
struct DamageCase {
    const char* what;
    std::string bytes;
    Texts problems;
};

std::string WithDescriptorText(std::string descriptor) {
    KjxParts parts = SoundParts();
    parts.descriptor = std::move(descriptor);
    return AssembleKjx(parts);
}

std::string WithJarSizeLine(const std::string& line) {
    return WithDescriptorText(test::CrLf({line, "MIDlet-Jar-URL: block.jar", "MIDlet-Name: Block Game",
                                          "MIDlet-Vendor: dev01/rivo", "MIDlet-Version: 1.0"}));
}

std::vector<DamageCase> DamageCases() {
    const KjxParts parts = SoundParts();
    const std::string good = AssembleKjx(parts);
    const std::string size = std::to_string(parts.archive.size());
    std::string longer = good;
    longer[3] = 40;
    KjxParts noArchive = parts;
    noArchive.archive.clear();
    noArchive.descriptor = Descriptor("0");
    KjxParts lengthyName = parts;
    lengthyName.containerName = std::string(255, 'n');
    return {
        {"empty", "", {"the file is empty"}},
        {"two bytes of the magic", "KJ", {"the file ends inside the header, at the magic (the file has 2 bytes)"}},
        {"another magic", "PK\x03\x04", {"the file does not begin with \"KJX\": it is no KJX package"}},
        {"magic alone", "KJX", {"the file ends inside the header, at the header length (the file has 3 bytes)"}},
        {"no container name length", "KJX\x1a", {"the file ends inside the header, at the container name length (the file has 4 bytes)"}},
        {"container name cut", good.substr(0, 9), {"the file ends inside the header, at the container name (the file has 9 bytes)"}},
        {"a name longer than the file", AssembleKjx(lengthyName).substr(0, 200),
         {"the file ends inside the header, at the container name (the file has 200 bytes)"}},
        {"descriptor length cut", good.substr(0, 15), {"the file ends inside the header, at the descriptor length (the file has 15 bytes)"}},
        {"descriptor name length missing", good.substr(0, 16), {"the file ends inside the header, at the descriptor name length (the file has 16 bytes)"}},
        {"descriptor name cut", good.substr(0, 20), {"the file ends inside the header, at the descriptor name (the file has 20 bytes)"}},
        {"header length wrong", longer, {"the header length is 40, but 8 + K + J is 26"}},
        {"descriptor past the end", AssembleKjx(parts, std::nullopt, 65535),
         {"the descriptor length 65535 goes past the end of the file (" +
          std::to_string(parts.descriptor.size() + parts.archive.size()) + " bytes follow the header)"}},
        {"Jar-Size too large", WithJarSizeLine("MIDlet-Jar-Size: 19876"),
         {"MIDlet-Jar-Size says 19876 bytes, but the archive has " + size}},
        {"Jar-Size not decimal", WithJarSizeLine("MIDlet-Jar-Size: 0x46B"),
         {"the MIDlet-Jar-Size value \"0x46B\" is not a byte count"}},
        {"Jar-Size signed", WithJarSizeLine("MIDlet-Jar-Size: +" + size),
         {"the MIDlet-Jar-Size value \"+" + size + "\" is not a byte count"}},
        {"Jar-Size empty", WithJarSizeLine("MIDlet-Jar-Size: "), {"the descriptor's MIDlet-Jar-Size line is empty"}},
        {"Jar-Size in other letter case", WithJarSizeLine("midlet-jar-size: " + size),
         {"the descriptor has no MIDlet-Jar-Size line"}},
        {"no descriptor at all", WithDescriptorText(""),
         {"the descriptor has no MIDlet-Name line", "the descriptor has no MIDlet-Vendor line",
          "the descriptor has no MIDlet-Version line", "the descriptor has no MIDlet-Jar-URL line",
          "the descriptor has no MIDlet-Jar-Size line"}},
        {"no archive", AssembleKjx(noArchive), {"no archive follows the descriptor"}},
    };
}

TEST(InspectTest, EachDamageGivesItsOneProblem) {
    for (const DamageCase& c : DamageCases()) {
        const InspectReport report = InspectExactly(c.bytes);
        EXPECT_EQ(TextsOf(report.problems), c.problems) << c.what;
    }
}

TEST(InspectTest, BlanksAroundAValueAndNoSpaceAfterTheColonAreFine) {
    const std::string size = std::to_string(SoundParts().archive.size());
    EXPECT_EQ(TextsOf(InspectExactly(WithJarSizeLine("MIDlet-Jar-Size:\t " + size + "  ")).problems), Texts{});
    EXPECT_EQ(TextsOf(InspectExactly(WithJarSizeLine("MIDlet-Jar-Size:" + size)).problems), Texts{});
}

TEST(InspectTest, ADescriptorCutShortKeepsTheArchiveUnread) {
    const KjxParts parts = SoundParts();
    const InspectReport report = InspectExactly(AssembleKjx(parts).substr(0, 26 + parts.descriptor.size() - 1));
    EXPECT_FALSE(report.descriptor);
    EXPECT_FALSE(report.archiveOffset);
    EXPECT_FALSE(report.archiveIsZip);
    EXPECT_EQ(report.problems.size(), 1u);
}

// Finds an entry's data in a ZIP archive by its local header.
std::size_t LocalDataOffset(const std::string& archive, const std::string& name) {
    for (std::size_t at = archive.find("PK\x03\x04"); at != std::string::npos; at = archive.find("PK\x03\x04", at + 1)) {
        auto little = [&](std::size_t i) {
            return static_cast<unsigned char>(archive[i]) | static_cast<unsigned char>(archive[i + 1]) << 8;
        };
        const std::size_t nameLength = little(at + 26);
        const std::size_t extraLength = little(at + 28);
        if (archive.compare(at + 30, nameLength, name) == 0) return at + 30 + nameLength + extraLength;
    }
    ADD_FAILURE() << "no local header for " << name;
    return 0;
}

TEST(InspectTest, DamagedEntryDataIsFound) {
    KjxParts parts = SoundParts();
    const std::size_t data = LocalDataOffset(parts.archive, "back.png");
    parts.archive[data + 100] = static_cast<char>(parts.archive[data + 100] ^ 0x55);
    const InspectReport report = InspectExactly(AssembleKjx(parts));
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].message.rfind("the archive entry back.png is damaged (", 0), 0u)
        << report.problems[0].message;
    EXPECT_EQ(report.entries.size(), test::ReadZip(kSampleArchive).size()) << "the other entries are still listed";
}

TEST(InspectTest, AnArchiveWithoutManifestOrNotZipAtAll) {
    KjxParts parts = SoundParts();
    parts.archive = "PK\x05\x06 but nothing that holds together";
    parts.descriptor = Descriptor(std::to_string(parts.archive.size()));
    InspectReport report = InspectExactly(AssembleKjx(parts));
    ASSERT_EQ(report.problems.size(), 1u);
    EXPECT_EQ(report.problems[0].message.rfind("the archive is not a ZIP file (", 0), 0u)
        << report.problems[0].message;

    // An empty ZIP archive: just the end-of-central-directory record.
    parts.archive = std::string("PK\x05\x06", 4) + std::string(18, '\0');
    parts.descriptor = Descriptor(std::to_string(parts.archive.size()));
    report = InspectExactly(AssembleKjx(parts));
    EXPECT_TRUE(report.archiveIsZip);
    EXPECT_EQ(TextsOf(report.problems), Texts{"the archive has no META-INF/MANIFEST.MF"});
}

TEST(InspectTest, AFileThatCannotBeReadRaisesTheOpenError) {
    test::ScratchDir dir;
    try {
        InspectPackageFile(dir / "gone.kjx");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_EQ(std::string(error.what()), "ファイル " + dir / "gone.kjx" + " は開けません");
    }
    test::WriteFile(dir / "game.kjx", AssembleKjx(SoundParts()));
    EXPECT_TRUE(InspectPackageFile(dir / "game.kjx").Sound());
}

// The handset checks read the archive again from the file; when that read
// fails the package is not sound, whatever the first read found.
TEST(InspectTest, AnArchiveThatCannotBeReadAgainIsAProblem) {
    struct Case {
        const char* what;
        void (*change)(const std::string& path);
    };
    const Case cases[] = {
        {"file gone", [](const std::string& path) { std::filesystem::remove(path); }},
        {"folder in its place",
         [](const std::string& path) {
             std::filesystem::remove(path);
             std::filesystem::create_directory(path);
         }},
        {"archive cut off", [](const std::string& path) { std::filesystem::resize_file(path, 300); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchDir dir;
        test::WriteFile(dir / "game.kjx", AssembleKjx(SoundParts()));
        InspectReport report = InspectPackageFile(dir / "game.kjx");
        ASSERT_TRUE(report.Sound());
        c.change(dir / "game.kjx");
        AddHandsetProblems(dir / "game.kjx", report);
        EXPECT_FALSE(report.Sound());
    }
}

}  // namespace
}  // namespace pelko
