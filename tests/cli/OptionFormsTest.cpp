// The option forms a GNU command takes, read by every command alike.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "cli/Commands.h"
#include "support/RowName.h"

namespace pelko::cli {
namespace {

struct FormCase {
    std::string name;
    Words words;           // after "make"
    std::string path;      // the operand read
    std::string output;    // -o as read
    std::string refusal;   // the start of the UsageError; empty when none
};

class OptionForms : public ::testing::TestWithParam<FormCase> {};

TEST_P(OptionForms, AreReadAsTheirLongForm) {
    const FormCase& c = GetParam();
    try {
        const std::optional<Request> request = MakeCommand().parse(c.words);
        ASSERT_TRUE(request);
        EXPECT_TRUE(c.refusal.empty()) << "accepted";
        EXPECT_EQ(request->path, c.path);
        EXPECT_EQ(request->outputPath, c.output);
    } catch (const UsageError& error) {
        EXPECT_FALSE(c.refusal.empty()) << error.what();
        EXPECT_EQ(std::string(error.what()).rfind(c.refusal, 0), 0u) << error.what();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Make, OptionForms,
    ::testing::Values(
        FormCase{"ShortNameAndValue", {"a.jad", "-o", "game"}, "a.jad", "game", ""},
        FormCase{"ValueAttachedToShortName", {"a.jad", "-ogame"}, "a.jad", "game", ""},
        FormCase{"AttachedValueBeginningWithADash", {"-o-game", "a.jad"}, "a.jad", "-game", ""},
        FormCase{"LongNameWithEquals", {"a.jad", "--output=game"}, "a.jad", "game", ""},
        FormCase{"PrefixOfALongName", {"a.jad", "--out", "game"}, "a.jad", "game", ""},
        FormCase{"PrefixWithEquals", {"--o=game", "a.jad"}, "a.jad", "game", ""},
        FormCase{"DoubleDashEndsTheOptions", {"-o", "game", "--", "--a.jad"}, "--a.jad", "game", ""},
        FormCase{"AmbiguousPrefix", {"a.jad", "-o", "g", "--s", "A=1"}, "", "",
                 "option --s is ambiguous; it may be --set, --strict"},
        FormCase{"PrefixOfASwitchTakesNoValue", {"a.jad", "-o", "g", "--str=1"}, "", "", "--strict takes no value"},
        FormCase{"UnknownLongName", {"a.jad", "-o", "g", "--outline"}, "", "", "make has no option --outline"},
        FormCase{"ShortNameOfNoOption", {"a.jad", "-x", "g"}, "", "", "make has no option -x"}),
    test::RowName<FormCase>);

TEST(OptionForms, APrefixOfHelpOrVersionIsEnoughBeforeAnyCommand) {
    std::ostringstream out;
    std::ostringstream err;
    EXPECT_EQ(RunCommandLine({"--vers"}, out, err), kExitOk);
    EXPECT_EQ(out.str().rfind("pelko-cli ", 0), 0u);
    out.str("");
    EXPECT_EQ(RunCommandLine({"inspect", "--he"}, out, err), kExitOk);
    EXPECT_EQ(out.str(), HelpText());
    EXPECT_EQ(RunCommandLine({"--ver", "x"}, out, err), kExitOk) << "what follows them is not read";
}

}  // namespace
}  // namespace pelko::cli
