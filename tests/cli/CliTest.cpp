// pelko-cli as a user runs it: the real executable in a scratch directory.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "pelko/Version.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::Contains;
using test::EntryData;
using test::KjxParts;
using test::Sjis;

const std::string kSamples = PELKO_SAMPLES_DIR;
const std::string kNewPicture = "\x89PNG\r\n\x1a\nnew picture bytes";

bool Has(const std::vector<std::string>& lines, const std::string& line) {
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// The bare names of the sample templates: block, puzzle, ...
std::vector<std::string> SampleNames() {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(kSamples)) {
        if (entry.path().extension() == ".jad") names.push_back(entry.path().stem().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

void CopySamples(const std::string& to) {
    for (const std::string& name : SampleNames()) {
        for (const char* extension : {".jad", ".jar"}) {
            fs::copy_file(kSamples + "/" + name + extension, to + name + extension);
        }
    }
}

class CliTest : public ::testing::Test {
protected:
    void SetUp() override { CopySamples(dir.Path()); }

    CliResult Cli(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }
    // make of the block sample into game.kjx, with extra arguments.
    CliResult MakeBlock(const std::vector<std::string>& extra) {
        std::vector<std::string> args = {"make", "block.jad", "-o", "game"};
        args.insert(args.end(), extra.begin(), extra.end());
        return Cli(args);
    }
    KjxParts Package(const std::string& name) { return test::ReadKjx(dir / name); }
    std::vector<std::string> DescriptorLines(const std::string& name) {
        return test::CrLfLines(Package(name).descriptor);
    }

    test::ScratchDir dir;
};

// ---- usage --------------------------------------------------------------------------

TEST_F(CliTest, HelpAndVersionPrintToStdoutAndSucceed) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"--help"}, {"-h"}, {"make", "--help"}, {"options", "--help"}, {"inspect", "-h"}}) {
        const CliResult result = Cli(args);
        EXPECT_EQ(result.code, 0) << args.front();
        EXPECT_TRUE(Contains(result.out, "pelko-cli make TEMPLATE.jad -o OUTPUT")) << args.front();
        EXPECT_TRUE(Contains(result.out, "template's own directory")) << "the relative defaults are documented";
        EXPECT_EQ(result.err, "");
    }
    const CliResult version = Cli({"--version"});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, "pelko-cli " PELKO_VERSION "\n");
}

struct UsageCase {
    std::vector<std::string> args;
    std::string message;  // part of stderr
};

TEST_F(CliTest, UsageErrorsExitTwoAndBuildNothing) {
    const std::vector<UsageCase> cases = {
        {{}, "no command"},
        {{"build", "block.jad"}, "unknown command \"build\""},
        {{"--frobnicate"}, "unknown option --frobnicate"},
        {{"make"}, "needs a template"},
        {{"make", "-o", "game"}, "needs a template"},
        {{"make", "block.jad"}, "needs -o OUTPUT"},
        {{"make", "block.jad", "-o"}, "-o needs a value"},
        {{"make", "block.jad", "-o", ""}, "-o needs a path"},
        {{"make", "block.jad", "puzzle.jad", "-o", "game"}, "\"puzzle.jad\" follows"},
        {{"make", "block.jad", "-o", "game", "--copyright", "--no-copyright"}, "--copyright and --no-copyright"},
        {{"make", "block.jad", "-o", "game", "--no-copyright", "--copyright"}, "--copyright and --no-copyright"},
        {{"make", "block.jad", "-o", "game", "--copyright=yes"}, "--copyright takes no value"},
        {{"make", "block.jad", "-o", "game", "--colour", "red"}, "no option --colour"},
        {{"make", "block.jad", "-o", "game", "--set", "Speed"}, "NAME=VALUE"},
        {{"make", "block.jad", "-o", "game", "--set", "=5"}, "NAME=VALUE"},
        {{"make", "block.jad", "-o", "game", "--title", "a", "--title", "b"}, "--title is given twice"},
        {{"make", "block.jad", "-o", "game", "-o", "other"}, "-o is given twice"},
        {{"make", "block.jar", "-o", "game"}, ".jad descriptor"},
        {{"make", "block.jad", "-o", "out/"}, "names a directory"},
        {{"options"}, "needs a template"},
        {{"options", "block.jad", "puzzle.jad"}, "follows"},
        {{"options", "block.jar"}, ".jad descriptor"},
        {{"inspect"}, "needs a package"},
        {{"inspect", "a.kjx", "b.kjx"}, "follows"},
        {{"inspect", "--deep", "a.kjx"}, "no option --deep"},
    };
    const std::vector<std::string> before = test::ListDir(dir.Path());
    for (const UsageCase& c : cases) {
        const CliResult result = Cli(c.args);
        const std::string shown = c.args.empty() ? "(none)" : c.args.front() + " ... " + c.args.back();
        EXPECT_EQ(result.code, 2) << shown;
        EXPECT_TRUE(Contains(result.err, c.message)) << shown << "\n" << result.err;
        EXPECT_EQ(result.out, "") << shown;
    }
    EXPECT_EQ(test::ListDir(dir.Path()), before);
}

TEST_F(CliTest, DoubleDashLetsAnOperandBeginWithADash) {
    fs::copy_file(dir / "block.jad", dir / "-odd.jad");
    fs::copy_file(dir / "block.jar", dir / "-odd.jar");
    const CliResult result = Cli({"make", "-o", "game", "--", "-odd.jad"});
    EXPECT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(Package("game.kjx").containerName, "-odd.kjx");
}

// ---- make ---------------------------------------------------------------------------

TEST_F(CliTest, MakeStartsFromWhatTheTemplateGives) {
    const CliResult result = MakeBlock({});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.err, "");
    // The default file value names a file beside the template, which is not there.
    EXPECT_EQ(result.out, "[!]コピー失敗(back.png)\n[O]作成完了(" + dir / "game.kjx" + ")\n");
    const std::vector<std::string> lines = DescriptorLines("game.kjx");
    for (const char* line : {"MIDlet-X-Copyright: ON", "MIDlet-Name: Block Game", "X-Powered-By: Rivo software",
                             "Pelko-Speed: 3", "Pelko-BackColor: 16777215", "Pelko-Sound: 1",
                             "MIDlet-Description: FallingBlocks"}) {
        EXPECT_TRUE(Has(lines, line)) << line;
    }
    EXPECT_TRUE(Has(lines, "MIDlet-Vendor: " + Sjis("名無しさん") + "/rivo")) << "the author starts empty";
}

TEST_F(CliTest, CopyrightFlagsOverrideTheTemplate) {
    ASSERT_EQ(MakeBlock({"--no-copyright"}).code, 0);
    EXPECT_FALSE(Has(DescriptorLines("game.kjx"), "MIDlet-X-Copyright: ON"));
    ASSERT_EQ(Cli({"make", "puzzle.jad", "-o", "p", "--copyright"}).code, 0);
    EXPECT_TRUE(Has(DescriptorLines("p.kjx"), "MIDlet-X-Copyright: ON"));
    ASSERT_EQ(Cli({"make", "puzzle.jad", "-o", "q"}).code, 0);
    EXPECT_FALSE(Has(DescriptorLines("q.kjx"), "MIDlet-X-Copyright: ON"));
}

TEST_F(CliTest, MakeFailuresExitOneWithTheWindowsErrorTextAndTheReason) {
    const CliResult missing = Cli({"make", "gone.jad", "-o", "game"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "pelko-cli: ファイル " + dir / "gone.jad" + " は開けません: " + test::NotFoundReason() + "\n");
    EXPECT_EQ(missing.out, "");

    fs::copy_file(dir / "block.jad", dir / "lonely.jad");
    const CliResult noArchive = Cli({"make", "lonely.jad", "-o", "game"});
    EXPECT_EQ(noArchive.code, 1);
    EXPECT_EQ(noArchive.out, "[!]テンプレートのアーカイブを読めません(" + dir / "lonely.jar" +
                                 ": " + test::NotFoundReason() + ")\n[X]一時ファイル作成失敗(lonely.tmp)\n");

    const CliResult unwritable = Cli({"make", "block.jad", "-o", "no/such/folder/game"});
    EXPECT_EQ(unwritable.code, 1);
    EXPECT_TRUE(Contains(unwritable.out, "[X]ファイル作成失敗(" + dir / "no/such/folder/game.kjx" + ")"));
    EXPECT_FALSE(test::Exists(dir / "game.kjx"));
}

TEST_F(CliTest, TemplateWhoseLoadStopsIsRefusedByBothCommands) {
    // The second option line has no space after the colon: its field list is empty.
    test::WriteFile(dir / "bad.jad", test::CrLf({"MIDlet-Name: Bad", "Pelko-Speed: " + Sjis("速度") + ",INT,3",
                                                 "Pelko-Level:3", "Pelko-Sound: " + Sjis("効果音") + ",BOOL,1"}));
    fs::copy_file(dir / "block.jar", dir / "bad.jar");
    const std::string error = "pelko-cli: " + dir / "bad.jad" + ": リストのインデックスが範囲を超えています (1)\n";

    const CliResult make = Cli({"make", "bad.jad", "-o", "game"});
    EXPECT_EQ(make.code, 1);
    EXPECT_EQ(make.err, error);
    EXPECT_FALSE(test::Exists(dir / "game.kjx"));

    const CliResult options = Cli({"options", "bad.jad"});
    EXPECT_EQ(options.code, 1);
    EXPECT_EQ(options.err, error);
    EXPECT_EQ(options.out, "1\tSpeed\t速度\tINT\t3\n") << "the options read before the faulty line";

    const CliResult unreadable = Cli({"options", "gone.jad"});
    EXPECT_EQ(unreadable.code, 1);
    EXPECT_EQ(unreadable.err, "pelko-cli: ファイル " + dir / "gone.jad" + " は開けません: " + test::NotFoundReason() + "\n");
}

TEST_F(CliTest, AnExistingOutputIsReplaced) {
    test::WriteFile(dir / "game.kjx", "an older file");
    ASSERT_EQ(MakeBlock({}).code, 0);
    EXPECT_EQ(test::ReadFile(dir / "game.kjx").substr(0, 3), "KJX");
}

TEST_F(CliTest, OutputNameGetsKjxUnlessItHasIt) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"game", "game.kjx"},         {"game.KJX", "game.KJX"}, {"game.Kjx", "game.Kjx"},
        {"game.txt", "game.txt.kjx"}, {"game.kjx", "game.kjx"}, {"sub.dir/game", "sub.dir/game.kjx"},
    };
    fs::create_directory(dir / "sub.dir");
    for (const auto& [typed, written] : cases) {
        const std::vector<std::string> before = test::ListDir(dir.Path());
        const CliResult result = Cli({"make", "block.jad", "-o", typed});
        EXPECT_EQ(result.code, 0) << typed << result.err;
        EXPECT_TRUE(test::Exists(dir / written)) << typed;
        EXPECT_TRUE(Contains(result.out, "[O]作成完了(" + dir / written + ")\n")) << typed;
        if (typed.find('/') == std::string::npos && typed != written) {
            EXPECT_FALSE(test::Exists(dir / typed)) << typed << ": nothing under the name as typed";
        }
        fs::remove(dir / written);
        EXPECT_EQ(test::ListDir(dir.Path()), before) << typed << ": no work file left behind";
    }
}

TEST_F(CliTest, RelativePathsAreTakenFromTheCurrentDirectory) {
    fs::create_directories(dir / "tpl");
    fs::create_directories(dir / "pics");
    fs::create_directories(dir / "out");
    fs::rename(dir / "block.jad", dir / "tpl/block.jad");
    fs::rename(dir / "block.jar", dir / "tpl/block.jar");
    test::WriteFile(dir / "pics/sky.png", kNewPicture);

    const CliResult result = Cli({"make", "tpl/block.jad", "-o", "out/game", "--set", "背景画像=pics/sky.png"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_EQ(result.out, "[O]作成完了(" + dir / "out/game.kjx" + ")\n");
    EXPECT_EQ(EntryData(Package("out/game.kjx").archive, "back.png"), kNewPicture);

    const CliResult inside = test::RunCli(dir / "pics", {"make", "../tpl/block.jad", "-o", "../out/two",
                                                         "--set", "File=./sky.png"});
    ASSERT_EQ(inside.code, 0) << inside.err;
    EXPECT_EQ(EntryData(Package("out/two.kjx").archive, "back.png"), kNewPicture);
}

TEST_F(CliTest, DefaultFileValuesNameFilesBesideTheTemplate) {
    fs::create_directories(dir / "tpl");
    fs::create_directories(dir / "elsewhere");
    fs::rename(dir / "block.jad", dir / "tpl/block.jad");
    fs::rename(dir / "block.jar", dir / "tpl/block.jar");
    test::WriteFile(dir / "tpl/back.png", kNewPicture);
    test::WriteFile(dir / "elsewhere/back.png", "the current directory's file, not the one meant");

    const CliResult result = test::RunCli(dir / "elsewhere", {"make", "../tpl/block.jad", "-o", "game"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_FALSE(Contains(result.out, "[!]")) << result.out;
    EXPECT_EQ(EntryData(Package("elsewhere/game.kjx").archive, "back.png"), kNewPicture);
}

// ---- --set --------------------------------------------------------------------------

TEST_F(CliTest, SetFindsAnOptionByPositionKeyOrLabel) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"1=5", "Pelko-Speed: 5"},
        {"Speed=6", "Pelko-Speed: 6"},
        {"速度=9", "Pelko-Speed: 9"},
        {"01=4", "Pelko-Speed: 4"},
        {"4=Hello", "MIDlet-Description: Hello"},
        {"MIDlet-Description=Hi", "MIDlet-Description: Hi"},
        {"説明=a=b", "MIDlet-Description: a=b"},
        {"背景色=0xFF0000", "Pelko-BackColor: 16711680"},
        {"BackColor=255", "Pelko-BackColor: 255"},
        {"Speed=007", "Pelko-Speed: 7"},
        {"Speed=+5", "Pelko-Speed: 5"},
        {"Speed=-12", "Pelko-Speed: -12"},
        {"Speed=$1F", "Pelko-Speed: 31"},
        {"Speed= 8", "Pelko-Speed: 8"},
    };
    for (const auto& [setting, line] : cases) {
        const CliResult result = MakeBlock({"--set", setting});
        ASSERT_EQ(result.code, 0) << setting << "\n" << result.err;
        EXPECT_TRUE(Has(DescriptorLines("game.kjx"), line)) << setting;
    }
}

TEST_F(CliTest, TheLastSetOfAnOptionWins) {
    ASSERT_EQ(MakeBlock({"--set", "Speed=1", "--set", "1=2"}).code, 0);
    const std::vector<std::string> lines = DescriptorLines("game.kjx");
    EXPECT_TRUE(Has(lines, "Pelko-Speed: 2"));
    EXPECT_FALSE(Has(lines, "Pelko-Speed: 1"));
}

TEST_F(CliTest, AnEmptyValueIsNotFilledIn) {
    for (const char* setting : {"Speed=", "説明=", "効果音="}) {
        const CliResult result = MakeBlock({"--set", setting});
        ASSERT_EQ(result.code, 0) << setting;
        const std::string label = std::string(setting).substr(0, std::string(setting).size() - 1);
        const std::string shown = label == "Speed" ? "速度" : label;
        EXPECT_TRUE(Contains(result.out, "[!]" + shown + " が未入力\n")) << setting << result.out;
    }
    const std::vector<std::string> lines = DescriptorLines("game.kjx");
    EXPECT_TRUE(Has(lines, "Pelko-Speed: 3")) << "only the last build's option was emptied";
    EXPECT_TRUE(std::none_of(lines.begin(), lines.end(),
                             [](const std::string& l) { return l.rfind("Pelko-Sound", 0) == 0; }));
}

// For batch scripts that want every option filled: any "[!]" line fails the
// command, yet the package is written as without --strict.
TEST_F(CliTest, StrictTurnsAnyWarningIntoExitOne) {
    struct Case {
        std::vector<std::string> args;
        int code;
        const char* warning;  // nullptr: the log has no "[!]" line
    };
    const std::vector<Case> cases = {
        {{"--strict", "--set", "File=sky.png"}, 0, nullptr},
        {{"--set", "File=sky.png", "--set", "Speed="}, 0, "[!]速度 が未入力\n"},
        {{"--set", "File=sky.png", "--set", "Speed=", "--strict"}, 1, "[!]速度 が未入力\n"},
        // The template's default names a picture that is not beside it.
        {{"--strict"}, 1, "[!]コピー失敗(back.png)\n"},
        {{"--strict", "--set", "File=no-such-picture.png"}, 2, nullptr},
    };
    test::WriteFile(dir / "sky.png", kNewPicture);
    for (const Case& c : cases) {
        fs::remove(dir / "game.kjx");
        const CliResult result = MakeBlock(c.args);
        EXPECT_EQ(result.code, c.code) << c.args.back() << result.out << result.err;
        if (c.code == 2) continue;  // a usage error builds nothing
        EXPECT_TRUE(Contains(result.out, "[O]作成完了(")) << result.out;
        EXPECT_EQ(Contains(result.out, "[!]"), c.warning != nullptr) << result.out;
        if (c.warning) {
            EXPECT_TRUE(Contains(result.out, c.warning)) << result.out;
        }
        EXPECT_TRUE(test::Exists(dir / "game.kjx"));
    }
    EXPECT_EQ(Cli({"make", "block.jad", "-o", "game", "--strict=yes"}).code, 2);
}

TEST_F(CliTest, ValuesThatDoNotSuitTheOptionAreRefused) {
    const std::vector<std::string> settings = {
        "Speed=fast", "Speed=1.5", "Speed=-", "Speed=99999999999", "Speed=５", "BackColor=red",
        "BackColor=#FF0000", "Sound=maybe", "Sound=2", "Sound=y", "File=missing.png", "File=.",
        "9=1", "0=1", "Nope=1", "速さ=1"};
    for (const std::string& setting : settings) {
        const CliResult result = MakeBlock({"--set", setting});
        EXPECT_EQ(result.code, 2) << setting;
        EXPECT_TRUE(Contains(result.err, "--set " + setting + ":")) << setting << "\n" << result.err;
        EXPECT_EQ(result.out, "") << setting;
        EXPECT_FALSE(test::Exists(dir / "game.kjx")) << setting;
    }
}

TEST_F(CliTest, YesNoWordsBecomeOneOrZero) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"yes", "1"}, {"YES", "1"}, {"On", "1"}, {"true", "1"}, {"1", "1"},
        {"no", "0"},  {"Off", "0"}, {"FALSE", "0"}, {"0", "0"}, {"nO", "0"}};
    for (const auto& [word, stored] : cases) {
        ASSERT_EQ(MakeBlock({"--set", "Sound=" + word}).code, 0) << word;
        EXPECT_TRUE(Has(DescriptorLines("game.kjx"), "Pelko-Sound: " + stored)) << word;
    }
}

TEST_F(CliTest, ASharedKeyIsAmbiguousAndThePositionDecides) {
    const CliResult ambiguous = Cli({"make", "puzzle.jad", "-o", "game", "--set", "File=x.png"});
    EXPECT_EQ(ambiguous.code, 2);
    EXPECT_TRUE(Contains(ambiguous.err, "2 options are called \"File\"")) << ambiguous.err;
    EXPECT_TRUE(Contains(ambiguous.err, "\n  4  File  背景画像")) << ambiguous.err;
    EXPECT_TRUE(Contains(ambiguous.err, "\n  5  File  キャラクター")) << ambiguous.err;
    EXPECT_FALSE(test::Exists(dir / "game.kjx"));

    test::WriteFile(dir / "chara.png", kNewPicture);
    const CliResult byPosition = Cli({"make", "puzzle.jad", "-o", "game", "--set", "5=chara.png"});
    ASSERT_EQ(byPosition.code, 0) << byPosition.err;
    const std::string archive = Package("game.kjx").archive;
    EXPECT_EQ(EntryData(archive, "chara.png"), kNewPicture);
    EXPECT_EQ(EntryData(archive, "bg.png"), EntryData(test::ReadFile(dir / "puzzle.jar"), "bg.png"));
}

TEST_F(CliTest, AKeyAndAnotherOptionsLabelAreAmbiguousToo) {
    test::WriteFile(dir / "clash.jad",
                    test::CrLf({"MIDlet-Name: Clash", "Pelko-Tempo: Speed,INT,1", "Pelko-Speed: " + Sjis("速度") + ",INT,3"}));
    fs::copy_file(dir / "block.jar", dir / "clash.jar");
    const CliResult result = Cli({"make", "clash.jad", "-o", "game", "--set", "Speed=5"});
    EXPECT_EQ(result.code, 2);
    EXPECT_TRUE(Contains(result.err, "\n  1  Tempo  Speed")) << result.err;
    EXPECT_TRUE(Contains(result.err, "\n  2  Speed  速度")) << result.err;
    ASSERT_EQ(Cli({"make", "clash.jad", "-o", "game", "--set", "Tempo=5"}).code, 0);
    EXPECT_TRUE(Has(DescriptorLines("game.kjx"), "Pelko-Tempo: 5"));
}

TEST_F(CliTest, ShortRecordsGetTheirValueWhenSet) {
    test::WriteFile(dir / "short.jad",
                    test::CrLf({"MIDlet-Name: Short", "Pelko-Note: " + Sjis("メモ"), "Pelko-Level: " + Sjis("段階") + ",INT"}));
    fs::copy_file(dir / "block.jar", dir / "short.jar");

    const CliResult listed = Cli({"options", "short.jad"});
    EXPECT_EQ(listed.code, 0);
    EXPECT_EQ(listed.out, "1\tNote\tメモ\t\t\n2\tLevel\t段階\tINT\t\n");

    const CliResult set = Cli({"make", "short.jad", "-o", "game", "--set", "メモ=覚え書き", "--set", "Level=08"});
    ASSERT_EQ(set.code, 0) << set.err;
    const std::vector<std::string> lines = DescriptorLines("game.kjx");
    EXPECT_TRUE(Has(lines, "Pelko-Note: " + Sjis("覚え書き")));
    EXPECT_TRUE(Has(lines, "Pelko-Level: 8"));
    EXPECT_EQ(Cli({"make", "short.jad", "-o", "game", "--set", "Level=x"}).code, 2) << "the type still counts";

    // As in the window, a build that meets an option without a value stops.
    const CliResult unset = Cli({"make", "short.jad", "-o", "other", "--set", "Level=1"});
    EXPECT_EQ(unset.code, 1);
    EXPECT_EQ(unset.err, "pelko-cli: リストのインデックスが範囲を超えています (3)\n");
    EXPECT_FALSE(test::Exists(dir / "other.kjx"));
}

TEST_F(CliTest, FileValuesAreCheckedAndMadeAbsolute) {
    fs::create_directory(dir / "folder");
    EXPECT_EQ(MakeBlock({"--set", "File=folder"}).code, 2) << "a directory is no file";
    test::WriteFile(dir / "sky.png", kNewPicture);
    const CliResult result = MakeBlock({"--set", "背景画像=sky.png"});
    ASSERT_EQ(result.code, 0) << result.err;
    EXPECT_FALSE(Contains(result.out, "[!]"));
    EXPECT_EQ(EntryData(Package("game.kjx").archive, "back.png"), kNewPicture);
}

// ---- texts --------------------------------------------------------------------------

TEST_F(CliTest, JapaneseArgumentsReachThePackageAsCp932) {
    const CliResult result = MakeBlock({"--title", "ブロック", "--author", "山田", "--set", "説明=落ちる"});
    ASSERT_EQ(result.code, 0) << result.err;
    const KjxParts package = Package("game.kjx");
    const std::vector<std::string> lines = test::CrLfLines(package.descriptor);
    EXPECT_TRUE(Has(lines, "MIDlet-Name: " + Sjis("ブロック")));
    EXPECT_TRUE(Has(lines, "MIDlet-Vendor: " + Sjis("山田") + "/rivo"));
    EXPECT_TRUE(Has(lines, "MIDlet-Description: " + Sjis("落ちる")));
    const std::string manifest = EntryData(package.archive, "META-INF/MANIFEST.MF");
    EXPECT_TRUE(Contains(manifest, "MIDlet-Name: " + Sjis("ブロック") + "\r\n"));
}

TEST_F(CliTest, ACharacterCp932LacksIsRefusedNamingTheArgument) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"--title", "한"}, "--title: the character \"한\" (U+D55C)"},
        {{"--author", "山田한"}, "--author: the character \"한\" (U+D55C)"},
        {{"--set", "説明=落ちる한"}, "--set 説明=落ちる한: the character \"한\""},
#ifndef _WIN32  // Windows hands every program its arguments in Unicode
        {{"--set", "説明=\xff"}, "--set 説明=\xff: the text is not UTF-8"},
#endif
    };
    for (const auto& [args, message] : cases) {
        const CliResult result = MakeBlock(args);
        EXPECT_EQ(result.code, 2) << message;
        EXPECT_TRUE(Contains(result.err, message)) << result.err;
        EXPECT_FALSE(test::Exists(dir / "game.kjx"));
    }
}

// ---- options ------------------------------------------------------------------------

TEST_F(CliTest, OptionsListsEveryOptionTabSeparated) {
    const CliResult block = Cli({"options", "block.jad"});
    EXPECT_EQ(block.code, 0);
    EXPECT_EQ(block.err, "");
    EXPECT_EQ(block.out,
              "1\tSpeed\t速度\tINT\t3\n"
              "2\tBackColor\t背景色\tCOLOR\t16777215\n"
              "3\tSound\t効果音\tBOOL\t1\n"
              "4\tMIDlet-Description\t説明\tTEXT\tFallingBlocks\n"
              "5\tFile\t背景画像\tback.png\tback.png\n");
    const CliResult puzzle = Cli({"options", "puzzle.jad"});
    EXPECT_EQ(puzzle.code, 0);
    EXPECT_TRUE(Contains(puzzle.out, "3\tMessage\tStart message\tTEXT\tTap to start\n"));
    EXPECT_TRUE(Contains(puzzle.out, "5\tFile\tキャラクター\tchara.png\tchara.png\n"));
}

TEST_F(CliTest, OptionsShowsControlCharactersHarmlessly) {
    test::WriteFile(dir / "odd.jad", test::CrLf({"Pelko-Odd: \"a\tb\x1b[31m\",TEXT,x"}));
    const CliResult result = Cli({"options", "odd.jad"});
    EXPECT_EQ(result.code, 0);
    EXPECT_EQ(result.out, "1\tOdd\ta\xEF\xBF\xBD" "b\xEF\xBF\xBD[31m\tTEXT\tx\n");
}

// ---- make and inspect ---------------------------------------------------------------

TEST_F(CliTest, EverySampleMakesAPackageThatInspectFindsSound) {
    for (const std::string& name : SampleNames()) {
        const CliResult made = Cli({"make", name + ".jad", "-o", name + "-out"});
        ASSERT_EQ(made.code, 0) << name << made.err;
        const CliResult inspected = Cli({"inspect", name + "-out.kjx"});
        EXPECT_EQ(inspected.code, 0) << name << inspected.out;
        EXPECT_EQ(inspected.err, "");
        EXPECT_TRUE(Contains(inspected.out, "\nok\n")) << inspected.out;
        EXPECT_TRUE(Contains(inspected.out, "container name: " + name + ".kjx (")) << inspected.out;
        EXPECT_TRUE(Contains(inspected.out, "descriptor name: " + name + ".jad (")) << inspected.out;

        // The entries it lists are those an independent reader finds.
        const KjxParts package = Package(name + "-out.kjx");
        test::WriteFile(dir / "check.zip", package.archive);
        for (const test::ZipEntry& entry : test::ReadZip(dir / "check.zip")) {
            EXPECT_TRUE(Contains(inspected.out, " " + std::to_string(entry.data.size()) + "  ")) << entry.name;
            EXPECT_TRUE(Contains(inspected.out, "  " + entry.name + "\n")) << entry.name;
        }
        EXPECT_TRUE(Contains(inspected.out, "MIDlet-Jar-Size: " + std::to_string(package.archive.size()) + "\n"));
    }
}

class InspectCliTest : public CliTest {
protected:
    void SetUp() override {
        CliTest::SetUp();
        ASSERT_EQ(MakeBlock({}).code, 0);
        good = Package("game.kjx");
    }
    CliResult InspectBytes(const std::string& bytes) {
        test::WriteFile(dir / "broken.kjx", bytes);
        return Cli({"inspect", "broken.kjx"});
    }
    // The good package's descriptor with one attribute changed (lengths follow).
    std::string WithDescriptor(std::string descriptor) {
        KjxParts parts = good;
        parts.descriptor = std::move(descriptor);
        return test::AssembleKjx(parts);
    }
    // The good descriptor around another archive, its Jar-Size made to fit.
    std::string WithArchive(const std::string& archive) {
        KjxParts parts = good;
        parts.archive = archive;
        parts.descriptor = test::WithAttribute(good.descriptor, "MIDlet-Jar-Size", std::to_string(archive.size()));
        return test::AssembleKjx(parts);
    }

    KjxParts good;
};

TEST_F(InspectCliTest, EveryKindOfDamageIsReportedWithExitOne) {
    if (!test::HaveProgram("zip")) GTEST_SKIP() << "needs Info-ZIP zip for a plain archive";
    test::WriteFile(dir / "hello.txt", "hello");
    ASSERT_EQ(test::RunIn(dir.Path(), "zip -q -X plain.zip hello.txt"), 0);
    const std::string bytes = test::AssembleKjx(good);
    std::string wrongLength = bytes;
    wrongLength[3] = static_cast<char>(wrongLength[3] + 1);
    const std::string size = std::to_string(good.archive.size());

    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "the file is empty"},
        {"KJX", "the file ends inside the header, at the header length"},
        {bytes.substr(0, 12), "the file ends inside the header, at the container name"},
        {"KJY" + bytes.substr(3), "the file does not begin with \"KJX\""},
        {bytes.substr(0, bytes.size() / 2 + 200),
         "MIDlet-Jar-Size says " + size + " bytes, but the archive has " +
             std::to_string(bytes.size() / 2 + 200 - 8 - 18 - good.descriptor.size())},
        {wrongLength, "the header length is 27, but 8 + K + J is 26"},
        {test::AssembleKjx(good, std::nullopt, 0xFFFF), "the descriptor length 65535 goes past the end"},
        {WithDescriptor(test::WithAttribute(good.descriptor, "MIDlet-Jar-Size", std::to_string(good.archive.size() + 1))),
         "MIDlet-Jar-Size says " + std::to_string(good.archive.size() + 1) + " bytes, but the archive has " + size},
        {WithArchive("this is no ZIP archive at all"), "the archive is not a ZIP file"},
        {WithArchive(test::ReadFile(dir / "plain.zip")), "the archive has no META-INF/MANIFEST.MF"},
        {WithDescriptor(test::WithAttribute(good.descriptor, "MIDlet-Vendor", std::nullopt)),
         "the descriptor has no MIDlet-Vendor line"},
        {WithDescriptor(test::WithAttribute(good.descriptor, "MIDlet-Jar-URL", std::nullopt)),
         "the descriptor has no MIDlet-Jar-URL line"},
    };
    for (const auto& [broken, problem] : cases) {
        const CliResult result = InspectBytes(broken);
        EXPECT_EQ(result.code, 1) << problem;
        EXPECT_TRUE(Contains(result.out, "\nproblem: " + problem)) << problem << "\n" << result.out;
        EXPECT_FALSE(Contains(result.out, "\nok\n")) << problem;
    }
}

TEST_F(InspectCliTest, TheGoodPackageAndItsUnreadableNeighbours) {
    const CliResult sound = InspectBytes(test::AssembleKjx(good));
    EXPECT_EQ(sound.code, 0) << "the independent assembler agrees with the build";
    EXPECT_TRUE(Contains(sound.out, "header length: 26\n"));
    EXPECT_TRUE(Contains(sound.out, "descriptor length: " + std::to_string(good.descriptor.size()) + "\n"));
    EXPECT_TRUE(Contains(sound.out, "\n  MIDlet-Jar-URL: block.jar\n"));

    const CliResult missing = Cli({"inspect", "gone.kjx"});
    EXPECT_EQ(missing.code, 1);
    EXPECT_EQ(missing.err, "pelko-cli: ファイル gone.kjx は開けません: " + test::NotFoundReason() + "\n");
    fs::create_directory(dir / "folder.kjx");
    const CliResult folder = Cli({"inspect", "folder.kjx"});
    EXPECT_EQ(folder.code, 1);
    EXPECT_TRUE(Contains(folder.out, "problem: this is not a regular file")) << folder.out;
    // A device would be read without end; it is refused unread.
#ifdef _WIN32
    const CliResult device = Cli({"inspect", "NUL"});
#else
    const CliResult device = Cli({"inspect", "/dev/zero"});
#endif
    EXPECT_EQ(device.code, 1);
    EXPECT_TRUE(Contains(device.out, "problem: this is not a regular file")) << device.out;
}

TEST_F(InspectCliTest, ProblemsNeverCarryControlBytesToTheTerminal) {
    const std::string hostile = "\x1b[2J\x1b]0;owned\x07";
    const CliResult result =
        InspectBytes(WithDescriptor(test::WithAttribute(good.descriptor, "MIDlet-Jar-Size", hostile)));
    EXPECT_EQ(result.code, 1);
    EXPECT_TRUE(Contains(result.out, "problem: the MIDlet-Jar-Size value")) << result.out;
    EXPECT_EQ(result.out.find('\x1b'), std::string::npos) << result.out;
    EXPECT_EQ(result.out.find('\x07'), std::string::npos) << result.out;
}

}  // namespace
}  // namespace pelko
