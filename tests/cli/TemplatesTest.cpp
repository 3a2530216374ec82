// pelko-cli over the template catalogue: "templates" and TEMPLATE given by
// its bare file name, with the user's folder in a scratch XDG_DATA_HOME.
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/TestFiles.h"
#include "text/Paths.h"

namespace pelko {
namespace {

using test::CliResult;
using test::Sjis;

// pelko-cli's program directory: the build puts the samples beside it.
const std::string kProgramDirectory = DirectoryOf(test::CliPath());

// Where the user's templates are found, under the folder the variable names.
#ifdef _WIN32
constexpr const char* kUserDataVariable = "LOCALAPPDATA";
constexpr const char* kUserTemplates = "Pelko\\templates\\";
#else
constexpr const char* kUserDataVariable = "XDG_DATA_HOME";
constexpr const char* kUserTemplates = "pelko/templates/";
#endif

// The user's data folder for one test; the child pelko-cli inherits it.
class UserDataHome {
public:
    explicit UserDataHome(const std::string& path) {
        if (const char* old = std::getenv(kUserDataVariable)) old_ = old;
        test::SetEnvironment(kUserDataVariable, path);
    }
    ~UserDataHome() { test::SetEnvironment(kUserDataVariable, old_); }
    UserDataHome(const UserDataHome&) = delete;
    UserDataHome& operator=(const UserDataHome&) = delete;

private:
    std::optional<std::string> old_;
};

// A template whose single option's label tells which copy was read.
std::string DescriptorLabelled(const std::string& label) {
    return test::CrLf({"MIDlet-Name: X", "Pelko-Name: " + label, "Pelko-Speed: " + label + ",INT,1"});
}

class TemplatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(std::filesystem::create_directories(test::HostPath(user())));
    }
    std::string user() const { return data / kUserTemplates; }

    test::ScratchDir data;
    test::ScratchDir work;
    UserDataHome home{data.Path()};
};

TEST_F(TemplatesTest, ListsTheProgramDirectoryThenTheUsersEachInFileNameOrder) {
    test::WriteFile(user() + "zeta.jad", DescriptorLabelled("Zeta"));
    test::WriteFile(user() + "Alpha.jad", Sjis("Pelko-Name: 私の\r\n"));
    test::WriteFile(user() + "beta.jad", "MIDlet-Name: B\r\n");
    test::WriteFile(user() + "notes.txt", "Pelko-Name: Notes\r\n");

    const CliResult result = test::RunCli(work.Path(), {"templates"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    EXPECT_EQ(result.out, "落ち物ゲーム\t" + kProgramDirectory + "block.jad\n"
                          "スライドパズル\t" + kProgramDirectory + "puzzle.jad\n"
                          "私の\t" + user() + "Alpha.jad\n"
                          "beta\t" + user() + "beta.jad\n"
                          "Zeta\t" + user() + "zeta.jad\n");
}

TEST_F(TemplatesTest, WrongCommandLinesAreUsageErrors) {
    struct Case {
        std::vector<std::string> args;
        int code;
        std::string errStart;
    };
    const std::vector<Case> cases = {
        {{"templates", "extra"}, 2, "pelko-cli: templates takes no operand, but \"extra\" follows it\n"},
        {{"templates", "--all"}, 2, "pelko-cli: templates has no option --all\n"},
        {{"templates", "--help"}, 0, ""},
    };
    for (const Case& c : cases) {
        const CliResult result = test::RunCli(work.Path(), c.args);
        EXPECT_EQ(result.code, c.code) << c.args.back();
        EXPECT_EQ(result.err.substr(0, c.errStart.size()), c.errStart) << result.err;
        if (c.code == 0) {
            EXPECT_NE(result.out.find("pelko-cli templates"), std::string::npos);
        }
    }
}

// The label of the first option "options" lists (position, key, label, ...),
// which names the copy read.
std::string FirstLabel(const CliResult& result) {
    const std::size_t key = result.out.find('\t');
    const std::size_t label = key == std::string::npos ? key : result.out.find('\t', key + 1);
    const std::size_t end = label == std::string::npos ? label : result.out.find('\t', label + 1);
    if (result.code != 0 || end == std::string::npos) {
        return "exit " + std::to_string(result.code) + ": " + result.err;
    }
    return result.out.substr(label + 1, end - label - 1);
}

TEST_F(TemplatesTest, ABareNameIsTakenFromHereThenFromTheTemplates) {
    test::WriteFile(user() + "mine.jad", DescriptorLabelled("User"));
    test::WriteFile(user() + "block.jad", DescriptorLabelled("UserBlock"));
    EXPECT_EQ(FirstLabel(test::RunCli(work.Path(), {"options", "mine.jad"})), "User");
    // The program directory's template comes before the user's of that name.
    EXPECT_EQ(FirstLabel(test::RunCli(work.Path(), {"options", "block.jad"})), "速度");
    // A file of that name in the current directory comes first of all.
    test::WriteFile(work / "mine.jad", DescriptorLabelled("Here"));
    EXPECT_EQ(FirstLabel(test::RunCli(work.Path(), {"options", "mine.jad"})), "Here");
    // A path with a folder in it is taken as it is written.
    const CliResult withFolder = test::RunCli(work.Path(), {"options", "sub/mine.jad"});
    EXPECT_EQ(withFolder.code, 1);
    EXPECT_NE(withFolder.err.find("sub/mine.jad"), std::string::npos) << withFolder.err;
    // Unknown everywhere: the path from the current directory is reported.
    const CliResult missing = test::RunCli(work.Path(), {"options", "none.jad"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_NE(missing.err.find(work / "none.jad"), std::string::npos) << missing.err;
}

TEST_F(TemplatesTest, MakeFindsAUsersTemplateAndItsFilesBesideIt) {
    test::WriteFile(user() + "mine.jad", test::ReadFile(std::string(PELKO_SAMPLES_DIR) + "/block.jad"));
    test::WriteFile(user() + "mine.jar", test::ReadFile(std::string(PELKO_SAMPLES_DIR) + "/block.jar"));
    test::WriteFile(user() + "back.png", "the user's picture");
    const CliResult result = test::RunCli(work.Path(), {"make", "mine.jad", "-o", "game"});
    EXPECT_EQ(result.code, 0) << result.out << result.err;
    EXPECT_EQ(result.out, "[O]作成完了(" + work / "game.kjx" + ")\n");
}

}  // namespace
}  // namespace pelko
