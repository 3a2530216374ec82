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
        std::vector<std::string> added;  // UTF-8 lines after the sample's 15, written in CP932
        std::vector<Expected> problems;
        std::vector<std::string> addedAsUtf8 = {};  // after those, written as they are
    };
    const std::string longBase(120, 'n');
    const std::vector<Case> cases = {
        {"the sample", "block", {}, {}},
        {"a file option without its entry", "block", {"Pelko-File: X"},
         {{16, Severity::Problem, "Fileの項目にエントリ名がない(Pelko-File: X)"}}},
        {"a record without type or default", "block", {"Pelko-Bar: lab"},
         {{16, Severity::Problem, "項目の型か既定値がない(Pelko-Bar: lab)"}}},
        {"an entry the archive lacks", "block", {"Pelko-File: 画,nothere.png"},
         {{16, Severity::Problem, "アーカイブにないエントリ(nothere.png)"},
          {16, Severity::Problem, "Fileの既定値のファイルがない(nothere.png)"}}},
        {"a line saved as UTF-8", "block", {},
         {{16, Severity::Problem, "JADがCP932でなくUTF-8で書かれている(X-Comment: 落ち物ゲーム)"}},
         {"X-Comment: 落ち物ゲーム"}},
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
        lines.insert(lines.end(), c.addedAsUtf8.begin(), c.addedAsUtf8.end());
        test::WriteFile(dir / (c.base + ".jad"), test::CrLf(lines));
        std::filesystem::copy_file(std::string(PELKO_SAMPLES_DIR) + "/block.jar", dir / (c.base + ".jar"));
        // The picture the sample's File option names by default lies beside it.
        std::filesystem::copy_file(std::string(PELKO_SAMPLES_DIR) + "/back.png", dir / "back.png");

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
