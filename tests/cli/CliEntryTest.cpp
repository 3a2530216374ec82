// The command line's entry function called in process: the same answers as
// the executable gives, without a process of its own.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "cli/Commands.h"
#include "pelko/Version.h"
#include "support/TestFiles.h"

namespace pelko::cli {
namespace {

struct Ran {
    int code = -1;
    std::string out;
    std::string err;
};

Ran RunCli(const std::vector<std::string>& args) {
    std::ostringstream out;
    std::ostringstream err;
    const int code = RunCommandLine(args, out, err);
    return Ran{code, out.str(), err.str()};
}

TEST(CliEntry, UsageAndVersionAnswersWithoutAProcess) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string outStarts;  // what standard output begins with
        std::string errHas;     // a part of the message on standard error
    };
    const std::vector<Case> cases = {
        {{"--version"}, kExitOk, "pelko-cli " PELKO_VERSION, ""},
        {{"--help"}, kExitOk, "Usage:", ""},
        {{}, kExitUsage, "", "pelko-cli --help"},
        {{"bogus"}, kExitUsage, "", "unknown command \"bogus\""},
        {{"make"}, kExitUsage, "", ""},
        {{"make", "missing.jad"}, kExitUsage, "", ""},  // no output given
        {{"inspect"}, kExitUsage, "", ""},
    };
    for (const Case& c : cases) {
        const Ran ran = RunCli(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front();
        EXPECT_EQ(ran.code, c.code) << shown;
        EXPECT_EQ(ran.out.rfind(c.outStarts, 0), 0u) << shown << ": " << ran.out;
        EXPECT_NE(ran.err.find(c.errHas), std::string::npos) << shown << ": " << ran.err;
    }
}

TEST(CliEntry, OptionsOfTheSampleInProcess) {
    const Ran ran = RunCli({std::string(PELKO_SAMPLES_DIR) + "/block.jad", "x"});
    EXPECT_EQ(ran.code, kExitUsage);  // a path is no command
    const Ran listed = RunCli({"options", std::string(PELKO_SAMPLES_DIR) + "/block.jad"});
    ASSERT_EQ(listed.code, kExitOk) << listed.err;
    EXPECT_EQ(listed.out.rfind("1\tSpeed\t", 0), 0u) << listed.out;
    EXPECT_NE(listed.out.find("\tBOOL\t"), std::string::npos) << listed.out;
}

TEST(CliEntry, MakeInProcessWritesThePackage) {
    test::ScratchDir dir;
    const std::string output = dir / "game";
    const Ran ran = RunCli({"make", std::string(PELKO_SAMPLES_DIR) + "/block.jad", "-o", output, "--author", "dev"});
    ASSERT_EQ(ran.code, kExitOk) << ran.out << ran.err;
    EXPECT_NE(ran.out.find("[O]作成完了(" + output + ".kjx)"), std::string::npos) << ran.out;
    EXPECT_EQ(test::ReadFile(output + ".kjx").substr(0, 3), "KJX");
}

}  // namespace
}  // namespace pelko::cli
