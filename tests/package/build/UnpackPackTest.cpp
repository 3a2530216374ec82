// A package taken apart into its descriptor and archive, and put together
// again from them: the way back gives the same bytes, and what cannot be
// taken apart safely is refused with nothing written.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "package/build/Build.h"
#include "package/build/Pack.h"
#include "package/build/Unpack.h"
#include "support/CliRunner.h"
#include "support/RowName.h"
#include "support/TestFiles.h"
#include "templates/Descriptor.h"
#include "text/Paths.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::KjxParts;
using test::ScratchDir;

const std::string kSamples = std::string(PELKO_SAMPLES_DIR) + "/";

// A package of the sample as the window makes it right after choosing it.
std::string MakeSample(const std::string& sample, const ScratchDir& dir) {
    const std::string jad = kSamples + sample + ".jad";
    LoadedTemplate loaded = LoadTemplateFile(jad);
    const std::string output = dir / (sample + "-made.kjx");
    const BuildRequest request =
        RequestFor(jad, {loaded.title, "dev01", loaded.copyright}, loaded.options, output, DirectoryOf(jad));
    EXPECT_TRUE(MakePackage(request, [](const LogLine&) {})) << sample;
    return test::ReadFile(output);
}

// Packs and keeps the log; the package's bytes, or empty when none was made.
std::string Pack(const std::string& jad, const std::string& output, std::vector<LogLine>* log = nullptr) {
    std::vector<LogLine> lines;
    const bool made = PackApplication(jad, output, [&lines](const LogLine& line) { lines.push_back(line); });
    if (log) *log = lines;
    EXPECT_EQ(made, !lines.empty() && lines.back().severity == Severity::Success);
    return made ? test::ReadFile(output) : std::string();
}

class RoundTrip : public ::testing::TestWithParam<std::string> {};

TEST_P(RoundTrip, PackOfWhatUnpackWroteIsTheSamePackage) {
    const std::string sample = GetParam();
    ScratchDir dir;
    const std::string package = MakeSample(sample, dir);
    test::WriteFile(dir / "in.kjx", package);
    fs::create_directory(dir / "apart");

    const Unpacked unpacked = UnpackPackage(dir / "in.kjx", dir / "apart", false);
    ASSERT_TRUE(unpacked.refusals.empty()) << unpacked.refusals.front().what;
    const KjxParts parts = test::ReadKjx(dir / "in.kjx");
    EXPECT_EQ(unpacked.descriptorPath, dir / ("apart/" + sample + ".jad"));
    EXPECT_EQ(unpacked.archivePath, dir / ("apart/" + sample + ".jar"));
    EXPECT_EQ(test::ReadFile(unpacked.descriptorPath), parts.descriptor);
    EXPECT_EQ(test::ReadFile(unpacked.archivePath), parts.archive);

    EXPECT_EQ(Pack(unpacked.descriptorPath, dir / "again.kjx"), package);
}

INSTANTIATE_TEST_SUITE_P(Samples, RoundTrip, ::testing::Values("block", "puzzle"),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

TEST(Pack, ADescriptorWithoutTheArchiveLinesGetsThemAtTheTopAndThenComesBackWhole) {
    ScratchDir dir;
    test::WriteFile(dir / "made.kjx", MakeSample("block", dir));
    KjxParts parts = test::ReadKjx(dir / "made.kjx");
    const std::string complete = parts.descriptor;
    parts.descriptor = test::WithAttribute(test::WithAttribute(complete, "MIDlet-Jar-Size", std::nullopt),
                                           "MIDlet-Jar-URL", std::nullopt);
    ASSERT_NE(parts.descriptor, complete);
    test::WriteFile(dir / "bare.kjx", test::AssembleKjx(parts));

    ASSERT_TRUE(UnpackPackage(dir / "bare.kjx", dir.Path(), false).refusals.empty());
    const std::string packed = Pack(dir / "block.jad", dir / "packed.kjx");
    KjxParts expected = parts;
    expected.descriptor = complete;  // the build put them first, size then name
    EXPECT_EQ(packed, test::AssembleKjx(expected));

    fs::create_directory(dir / "again");
    ASSERT_TRUE(UnpackPackage(dir / "packed.kjx", dir / "again", false).refusals.empty());
    EXPECT_EQ(Pack(dir / "again/block.jad", dir / "again.kjx"), packed);
}

TEST(Pack, NeverWritesOverItsOwnInputsAndNeedsTheArchiveItsDescriptorNames) {
    ScratchDir dir;
    // The sample names block.jar in its MIDlet-Jar-URL line.
    test::WriteFile(dir / "app.jad", test::ReadFile(kSamples + "block.jad"));
    test::WriteFile(dir / "app.jar", test::ReadFile(kSamples + "puzzle.jar"));
    std::vector<LogLine> log;
    EXPECT_EQ(Pack(dir / "app.jad", dir / "out.kjx", &log), "");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0], ProblemLine("アーカイブを読めません(" + dir / "block.jar" + ": " + test::NotFoundReason() + ")"));
    EXPECT_EQ(log[1], StopLine("ファイル作成失敗(" + dir / "out.kjx" + ")"));

    const std::string archive = test::ReadFile(kSamples + "block.jar");
    test::WriteFile(dir / "block.jar", archive);
#ifndef _WIN32  // symbolic links need a privilege that tests do not have there
    fs::create_symlink(dir / "block.jar", dir / "link.kjx");
    EXPECT_EQ(Pack(dir / "app.jad", dir / "link.kjx", &log), "");
    EXPECT_EQ(log.back(), StopLine("ファイル作成失敗(" + dir / "link.kjx" + ")"));
    EXPECT_EQ(test::ReadFile(dir / "block.jar"), archive);
#endif

    const KjxParts packed = test::ReadKjx((Pack(dir / "app.jad", dir / "out.kjx"), dir / "out.kjx"));
    EXPECT_EQ(packed.containerName, "app.kjx");
    EXPECT_EQ(packed.descriptorName, "app.jad");
    EXPECT_EQ(packed.archive, archive);
}

// ---- refusals ------------------------------------------------------------------

struct RefusalCase {
    std::string name;
    std::string descriptorName;          // stored in the header
    std::optional<std::string> jarSize;  // the MIDlet-Jar-Size value; nullopt: as made
    std::optional<std::string> jarUrl;   // the MIDlet-Jar-URL value; nullopt: as made
    std::optional<unsigned> headerLength;
    std::optional<unsigned> descriptorLength;
    std::string refusal;  // part of the first refusal
};

class UnpackRefusals : public ::testing::TestWithParam<RefusalCase> {};

TEST_P(UnpackRefusals, WriteNothing) {
    const RefusalCase& c = GetParam();
    ScratchDir dir;
    test::WriteFile(dir / "made.kjx", MakeSample("block", dir));
    KjxParts parts = test::ReadKjx(dir / "made.kjx");
    parts.descriptorName = c.descriptorName;
    if (c.jarSize) parts.descriptor = test::WithAttribute(parts.descriptor, "MIDlet-Jar-Size", c.jarSize);
    if (c.jarUrl) parts.descriptor = test::WithAttribute(parts.descriptor, "MIDlet-Jar-URL", c.jarUrl);
    test::WriteFile(dir / "in.kjx", test::AssembleKjx(parts, c.headerLength, c.descriptorLength));
    fs::create_directory(dir / "out");

    const Unpacked unpacked = UnpackPackage(dir / "in.kjx", dir / "out", false);
    ASSERT_FALSE(unpacked.refusals.empty());
    EXPECT_TRUE(test::Contains(unpacked.refusals.front().what, c.refusal)) << unpacked.refusals.front().what;
    EXPECT_EQ(test::ListDir(dir / "out"), std::vector<std::string>{});
    EXPECT_EQ(test::ListDir(dir.Path()), (std::vector<std::string>{"block-made.kjx", "in.kjx", "made.kjx", "out"}));
}

INSTANTIATE_TEST_SUITE_P(
    Unpack, UnpackRefusals,
    ::testing::Values(
        RefusalCase{"WrongHeaderLength", "block.jad", {}, {}, 30, {}, "the header length is 30"},
        RefusalCase{"DescriptorPastTheEnd", "block.jad", {}, {}, {}, 65535, "goes past the end of the file"},
        RefusalCase{"JarSizeOfAnotherArchive", "block.jad", "12", {}, {}, {}, "MIDlet-Jar-Size says 12 bytes"},
        RefusalCase{"JarSizeNoNumber", "block.jad", "0x10", {}, {}, {}, "is not a byte count"},
        RefusalCase{"DescriptorInTheParentFolder", "../block.jad", {}, {}, {}, {}, "is no plain file name"},
        RefusalCase{"DescriptorAtAnAbsolutePath", "/tmp/block.jad", {}, {}, {}, {}, "is no plain file name"},
        RefusalCase{"ArchiveNamedAsTheDescriptor", "block.jad", {}, "BLOCK.JAD", {}, {}, "would both be"}),
    test::RowName<RefusalCase>);

TEST(Unpack, ReplacesAFileOnlyWhenToldAndThenNeverThroughALink) {
    ScratchDir dir;
    test::WriteFile(dir / "in.kjx", MakeSample("block", dir));
    fs::create_directory(dir / "out");
    test::WriteFile(dir / "out/block.jar", "theirs");

    const Unpacked kept = UnpackPackage(dir / "in.kjx", dir / "out", false);
    ASSERT_EQ(kept.refusals.size(), 1u);
    EXPECT_EQ(kept.refusals[0].what, "cannot create " + dir / "out/block.jar");
    EXPECT_EQ(kept.refusals[0].reason, "File exists");
    EXPECT_EQ(test::ListDir(dir / "out"), std::vector<std::string>{"block.jar"}) << "nor the descriptor";
    EXPECT_EQ(test::ReadFile(dir / "out/block.jar"), "theirs");

    PELKO_SKIP_ON_WINDOWS("symbolic links need a privilege that tests do not have");
    // A link in the folder that leads out of it is replaced, not followed.
    test::WriteFile(dir / "elsewhere.jad", "outside");
    fs::create_symlink(dir / "elsewhere.jad", dir / "out/block.jad");
    const Unpacked replaced = UnpackPackage(dir / "in.kjx", dir / "out", true);
    ASSERT_TRUE(replaced.refusals.empty()) << replaced.refusals.front().what;
    EXPECT_FALSE(fs::is_symlink(dir / "out/block.jad"));
    EXPECT_EQ(test::ReadFile(dir / "elsewhere.jad"), "outside");
    EXPECT_EQ(test::ReadFile(dir / "out/block.jar"), test::ReadKjx(dir / "in.kjx").archive);
}

}  // namespace
}  // namespace pelko
