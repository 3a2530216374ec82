// The template check as the core gives it to both front ends: each problem
// at the descriptor line that causes it, with the severity the build would
// give it. The command line's own table (tests/cli/HandsetCliTest.cpp)
// covers the handset rules one by one.
#include "package/checks/TemplateCheck.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "support/TestFiles.h"
#include "text/Lines.h"

namespace pelko {
namespace {

using test::Sjis;

struct Expected {
    int line;
    Severity severity;
    std::string text;  // UTF-8
};

std::vector<std::string> BlockLines() {
    std::vector<std::string> lines;
    StringList sample;
    LoadLines(sample, std::string(PELKO_SAMPLES_DIR) + "/block.jad");
    for (const std::string& line : sample.Texts()) lines.push_back(line);
    return lines;
}

TEST(TemplateCheck, EachProblemAtItsLineWithTheBuildsSeverity) {
    struct Case {
        const char* name;
        std::string base;                // the template's file name without ".jad"
        std::vector<std::string> added;  // UTF-8 lines after the sample's 15
        std::vector<Expected> problems;
    };
    const std::string longBase(120, 'n');
    const std::vector<Case> cases = {
        {"the sample", "block", {}, {}},
        {"a file option without its entry", "block", {"Pelko-File: X"},
         {{16, Severity::Problem, "Fileの項目にエントリ名がない(Pelko-File: X)"}}},
        {"a record without type or default", "block", {"Pelko-Bar: lab"},
         {{16, Severity::Problem, "項目の型か既定値がない(Pelko-Bar: lab)"}}},
        {"an entry the archive lacks", "block", {"Pelko-File: 画,nothere.png"},
         {{16, Severity::Problem, "アーカイブにないエントリ(nothere.png)"}}},
        {"a carried line both texts refuse", "block", {"MIDlet-Info-URL:"},
         {{16, Severity::Problem, "Manifestの値がない(MIDlet-Info-URL:)"},
          {16, Severity::Problem, "JADの値が空(MIDlet-Info-URL:)"}}},
        {"a name too long for the header", longBase, {},
         {{0, Severity::Stop, "名前が長すぎます(" + longBase + ".kjx)"},
          {0, Severity::Problem, "MIDlet-Jar-URLが24バイトを超える(MIDlet-Jar-URL: " + longBase.substr(0, 48) + "...)"}}},
    };
    for (const Case& c : cases) {
        test::ScratchDir dir;
        std::vector<std::string> lines = BlockLines();
        for (const std::string& line : c.added) lines.push_back(Sjis(line));
        test::WriteFile(dir / (c.base + ".jad"), test::CrLf(lines));
        std::filesystem::copy_file(std::string(PELKO_SAMPLES_DIR) + "/block.jar", dir / (c.base + ".jar"));

        const Problems problems = CheckTemplateFile(dir / (c.base + ".jad"));
        ASSERT_EQ(problems.size(), c.problems.size()) << c.name;
        for (std::size_t i = 0; i < problems.size(); ++i) {
            EXPECT_EQ(problems[i].place, ProblemPlace::Template) << c.name;
            EXPECT_EQ(problems[i].line, c.problems[i].line) << c.name << ' ' << i;
            EXPECT_EQ(problems[i].severity, c.problems[i].severity) << c.name << ' ' << i;
            EXPECT_EQ(problems[i].message, c.problems[i].text) << c.name << ' ' << i;
        }
    }
}

}  // namespace
}  // namespace pelko
