// The real pelko-cli with one of its standard streams on a full disk: the
// lost output makes the exit status non-zero and is told on the other
// stream, as GNU tools do; what the command made stays.
#include <gtest/gtest.h>

#include <string>

#include "cli/Command.h"
#include "support/CliRunner.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko::test {
namespace {

const std::string kSamples = PELKO_SAMPLES_DIR;
const std::string kMake = " make " + kSamples + "/block.jad -o game --title Block --author dev01";

TEST(StandardStreams, AStreamThatCannotBeWrittenFailsTheCommand) {
    struct Case {
        const char* what;
        std::string arguments;
        std::string redirection;  // the other stream goes to the pipe that is read
        int code;
        std::string told;
        bool packageMade;
    };
    const Case cases[] = {
        {"help on a full disk", " --help", " 2>&1 >/dev/full", cli::kExitFailed,
         "pelko-cli: cannot write standard output: No space left on device", false},
        {"the build's log on a full disk", kMake, " 2>&1 >/dev/full", cli::kExitFailed,
         "pelko-cli: cannot write standard output: No space left on device", true},
        {"a usage error on a full disk keeps its status", " bogus", " 2>/dev/full", cli::kExitUsage,
         "pelko-cli: cannot write standard error: No space left on device", false},
        {"nothing written to the full one", kMake, " 2>/dev/full", cli::kExitOk, "[O]", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScratchDir dir;
        std::string told;
        const int code = RunIn(dir.Path(), ShellQuoted(CliPath()) + c.arguments + c.redirection, &told);
        EXPECT_EQ(code, c.code) << told;
        EXPECT_NE(told.find(c.told), std::string::npos) << told;
        EXPECT_EQ(Exists(dir / "game.kjx"), c.packageMade);
    }
}

}  // namespace
}  // namespace pelko::test
