// What a build refuses before it writes anything: values that would write
// lines of their own, an output that is the template, and entry names the
// archive command line cannot carry.
#include "package/build/BuildInputs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "package/build/Build.h"
#include "support/TestFiles.h"
#include "templates/Descriptor.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

StringList OneOption(OptionRecord record) {
    StringList options;
    const std::string key = record.Item(kRecordKey);
    options.Add(key, std::make_unique<OptionRecord>(std::move(record)));
    return options;
}

std::vector<std::string> Build(const BuildRequest& request) {
    std::vector<std::string> lines;
    MakePackage(request, [&](const LogLine& line) { lines.push_back(Formatted(line)); });
    return lines;
}

class BuildInputsTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"block.jad", "block.jar"}) {
            fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/" + name, program / name);
        }
        test::WriteFile(out / "game.kjx", "an earlier package");
    }

    BuildRequest Request(AppSettings settings, const StringList& options, const std::string& output) {
        BuildRequest request = RequestFor(program / "block.jad", std::move(settings), options, output, program.Path());
        request.workParent = work.Path();
        return request;
    }

    ScratchDir program, work, out;
};

TEST_F(BuildInputsTest, ALineEndInAnyLineTextStopsTheBuildBeforeAnyOutput) {
    struct Case {
        AppSettings settings;
        OptionRecord option;
        std::string subject;
    };
    const std::vector<Case> cases = {
        {{"ab\r\nMIDlet-Jar-URL: x", "dev", false}, {"Speed", "Speed", "INT", "3"}, "AppName"},
        {{"Game", "dev\nMIDlet-Name: x", false}, {"Speed", "Speed", "INT", "3"}, "Author"},
        {{"Game", "dev", false}, {"Msg", test::Sjis("説明"), "TEXT", "one\rtwo"}, "説明"},
        {{"Game", "dev", false}, {"Msg", "", "TEXT", std::string("one\0two", 7)}, "Msg"},
        {{"Game", "dev", false}, {"File2", "Icon", "icon.png", "/tmp/a\nb.png"}, "Icon"},
    };
    for (const Case& c : cases) {
        const StringList options = OneOption(c.option);
        const auto lines = Build(Request(c.settings, options, out / "game.kjx"));
        EXPECT_EQ(lines, (std::vector<std::string>{"[X]改行を含む値は使えません(" + c.subject + ")"})) << c.subject;
        EXPECT_EQ(test::ReadFile(out / "game.kjx"), "an earlier package");
        EXPECT_TRUE(test::ListDir(work.Path()).empty());
    }
    // A File option's value names a file; it never becomes a line.
    const StringList file = OneOption({"File", "Back", "back.png", ""});
    EXPECT_FALSE(TextWithLineEnd(Request({"Game", "dev", false}, file, out / "x.kjx")));
}

TEST_F(BuildInputsTest, AnOutputThatIsTheTemplateIsNeverWritten) {
    std::vector<std::string> outputs = {program / "block.jar", program / "block.jad", out / "hard.kjx"};
    fs::create_hard_link(program / "block.jad", out / "hard.kjx");
#ifndef _WIN32  // links to files need a privilege there
    fs::create_symlink(program / "block.jar", out / "link.kjx");
    outputs.push_back(out / "link.kjx");
#endif
    const std::string jar = test::ReadFile(program / "block.jar");
    const std::string jad = test::ReadFile(program / "block.jad");
    const StringList none;
    for (const std::string& output : outputs) {
        const auto lines = Build(Request({"Game", "dev", false}, none, output));
        EXPECT_EQ(lines, (std::vector<std::string>{"[X]ファイル作成失敗(" + output + ")"})) << output;
        EXPECT_EQ(test::ReadFile(program / "block.jar"), jar);
        EXPECT_EQ(test::ReadFile(program / "block.jad"), jad);
    }
    for (const std::string& output : {out / "game.kjx", out / "missing.kjx"}) {
        const Outcome<bool> isTemplate = OutputIsTemplate(output, program / "block.jad");
        ASSERT_TRUE(isTemplate) << output;
        EXPECT_FALSE(*isTemplate) << output;
    }
}

TEST_F(BuildInputsTest, AnEntryNameWithAQuoteFailsAsACopy) {
    test::WriteFile(out / "new.png", "new picture");
    for (const std::string& entry : {std::string("a\"b.png"), std::string("\"")}) {
        const StringList options = OneOption({"File", "Back", entry, out / "new.png"});
        const auto lines = Build(Request({"Game", "dev", false}, options, out / "game.kjx"));
        ASSERT_GE(lines.size(), 2u);
        EXPECT_EQ(lines.front(), "[!]コピー失敗(" + (out / "new.png") + ")") << entry;
        EXPECT_EQ(lines.back().rfind("[O]", 0), 0u) << lines.back();
    }
}

}  // namespace
}  // namespace pelko
