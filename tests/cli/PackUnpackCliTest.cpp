// pelko-cli unpack and pack as a user runs them: a package taken apart into
// a folder and packed again, and the command lines they refuse.
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/RowName.h"
#include "support/TestFiles.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::Contains;

class PackUnpackCli : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"block.jad", "block.jar"}) {
            fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/" + name, dir / name);
        }
        ASSERT_EQ(Cli({"make", "block.jad", "-o", "game", "--author", "dev01"}).code, 0);
    }
    CliResult Cli(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }

    test::ScratchDir dir;
};

TEST_F(PackUnpackCli, UnpackIntoAFolderThenPackGivesThePackageBack) {
    const CliResult unpacked = Cli({"unpack", "game.kjx", "-dapart"});
    ASSERT_EQ(unpacked.code, 0) << unpacked.err;
    EXPECT_EQ(unpacked.out, "apart/block.jad\napart/block.jar\n");
    EXPECT_EQ(unpacked.err, "");

    const CliResult packed = Cli({"pack", "apart/block.jad", "--out=again"});
    ASSERT_EQ(packed.code, 0) << packed.err << packed.out;
    EXPECT_EQ(packed.out, "[O]作成完了(" + dir / "again.kjx" + ")\n");
    EXPECT_EQ(test::ReadFile(dir / "again.kjx"), test::ReadFile(dir / "game.kjx"));

    // Without -o the package lands beside the descriptor.
    ASSERT_EQ(Cli({"pack", "apart/block.jad"}).code, 0);
    EXPECT_EQ(test::ReadFile(dir / "apart/block.kjx"), test::ReadFile(dir / "game.kjx"));
}

TEST_F(PackUnpackCli, UnpackReplacesNothingUnlessForced) {
    ASSERT_EQ(Cli({"unpack", "game.kjx", "-d", "apart"}).code, 0);
    test::WriteFile(dir / "apart/block.jad", "edited");
    const CliResult again = Cli({"unpack", "game.kjx", "--directory", "apart"});
    EXPECT_EQ(again.code, 1);
    EXPECT_EQ(again.err, "pelko-cli: cannot create apart/block.jar: File exists\n");
    EXPECT_EQ(again.out, "");
    EXPECT_EQ(test::ReadFile(dir / "apart/block.jad"), "edited");

    EXPECT_EQ(Cli({"unpack", "--force", "game.kjx", "-d", "apart"}).code, 0);
    EXPECT_EQ(test::ReadFile(dir / "apart/block.jad"), test::ReadKjx(dir / "game.kjx").descriptor);
}

TEST_F(PackUnpackCli, FailuresNameWhatFailedAndWhy) {
    const CliResult missing = Cli({"unpack", "gone.kjx"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "pelko-cli: cannot read gone.kjx: " + test::NotFoundReason() + "\n");

    const CliResult noParent = Cli({"unpack", "game.kjx", "-d", "no/such"});
    EXPECT_EQ(noParent.code, 1);
    EXPECT_EQ(noParent.err, "pelko-cli: cannot make the folder no/such: " + test::MissingFolderReason() + "\n");

    test::WriteFile(dir / "broken.kjx", "KJX\x05");
    const std::vector<std::string> before = test::ListDir(dir.Path());
    const CliResult broken = Cli({"unpack", "broken.kjx"});
    EXPECT_EQ(broken.code, 1);
    EXPECT_TRUE(Contains(broken.err, "pelko-cli: broken.kjx: the file ends inside the header")) << broken.err;
    EXPECT_EQ(test::ListDir(dir.Path()), before);
}

struct UsageRow {
    std::string name;
    std::vector<std::string> args;
    std::string message;  // part of stderr
};

class PackUnpackUsage : public ::testing::TestWithParam<UsageRow> {};

TEST_P(PackUnpackUsage, ExitsTwoAndWritesNothing) {
    test::ScratchDir dir;
    const CliResult result = test::RunCli(dir.Path(), GetParam().args);
    EXPECT_EQ(result.code, 2);
    EXPECT_TRUE(Contains(result.err, GetParam().message)) << result.err;
    EXPECT_EQ(test::ListDir(dir.Path()), std::vector<std::string>{});
}

INSTANTIATE_TEST_SUITE_P(
    Cli, PackUnpackUsage,
    ::testing::Values(UsageRow{"UnpackWithoutPackage", {"unpack"}, "unpack needs a package"},
                      UsageRow{"UnpackTwoPackages", {"unpack", "a.kjx", "b.kjx"}, "\"b.kjx\" follows"},
                      UsageRow{"UnpackFolderMissing", {"unpack", "a.kjx", "-d"}, "-d needs a value"},
                      UsageRow{"UnpackFolderEmpty", {"unpack", "a.kjx", "--directory="}, "-d needs a folder"},
                      UsageRow{"UnpackForceWithValue", {"unpack", "a.kjx", "--force=yes"}, "--force takes no value"},
                      UsageRow{"UnpackUnknownOption", {"unpack", "a.kjx", "-o", "x"}, "unpack has no option -o"},
                      UsageRow{"PackWithoutDescriptor", {"pack"}, "pack needs a descriptor"},
                      UsageRow{"PackAnArchive", {"pack", "a.jar"}, ".jad descriptor"},
                      UsageRow{"PackOutputTwice", {"pack", "a.jad", "-o", "x", "-oy"}, "-o is given twice"}),
    test::RowName<UsageRow>);

}  // namespace
}  // namespace pelko
