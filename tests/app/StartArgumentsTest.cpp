// The window program's command line.
#include <gtest/gtest.h>

#include "app/StartArguments.h"
#include "support/RowName.h"

namespace pelko::test {
namespace {

using Kind = StartRequest::Kind;
using Words = std::vector<std::string>;

struct StartCase {
    std::string name;
    Words words;
    Kind kind;
    Words files;
};

class StartArguments : public ::testing::TestWithParam<StartCase> {};

TEST_P(StartArguments, AreRead) {
    const StartCase& row = GetParam();
    const StartRequest request = ReadStartArguments(row.words);
    EXPECT_EQ(request.kind, row.kind);
    EXPECT_EQ(request.files, row.files);
    EXPECT_EQ(request.message.empty(), row.kind != Kind::Wrong);
}

INSTANTIATE_TEST_SUITE_P(
    Rows, StartArguments,
    ::testing::Values(StartCase{"NothingOpensTheCatalogueAlone", {}, Kind::Open, {}},
                      StartCase{"FilesInOrder", {"b.jad", "a.jad", "-"}, Kind::Open, {"b.jad", "a.jad", "-"}},
                      StartCase{"Help", {"a.jad", "--help"}, Kind::Help, {}},
                      StartCase{"ShortHelp", {"-h"}, Kind::Help, {}},
                      StartCase{"HelpPrefix", {"--he"}, Kind::Help, {}},
                      StartCase{"VersionPrefix", {"--vers"}, Kind::Version, {}},
                      StartCase{"HelpWinsOverAWrongOption", {"--bad", "--version"}, Kind::Version, {}},
                      StartCase{"UnknownOption", {"a.jad", "--verbose"}, Kind::Wrong, {"a.jad"}},
                      StartCase{"DashesAloneAreNoPrefix", {"--"}, Kind::Open, {}},
                      StartCase{"AfterDashesAllAreFiles", {"--", "--help", "-x.jad"}, Kind::Open,
                                {"--help", "-x.jad"}}),
    RowName<StartCase>);

}  // namespace
}  // namespace pelko::test
