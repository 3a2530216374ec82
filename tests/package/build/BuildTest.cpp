#include "package/build/Build.h"

#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/TestFiles.h"
#include "support/WorkedExample.h"
#include "support/ZipTools.h"
#include "text/Errors.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;
using test::Sjis;

using test::EntryData;
using test::ReadKjx;

class BuildTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const char* name : {"block.jad", "block.jar", "puzzle.jad", "puzzle.jar"}) {
            fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/" + name, program / name);
        }
        test::WriteFile(pictures / "sky.png", "\x89PNG\r\n\x1a\nnot really a picture, but new bytes");
    }

    // The worked example's options with another Speed and File value.
    StringList BlockOptions(const std::string& speed, const std::string& file) {
        test::worked::Records records = test::worked::BuildRecords(file);
        records[0][kRecordValue] = speed;
        return test::OptionList(records);
    }

    std::vector<std::string> Make(const std::string& templateName, const StringList& options,
                                  const std::string& outputPath, bool* finished = nullptr,
                                  AppSettings settings = test::worked::Settings()) {
        BuildRequest request;
        request.templatePath = program / templateName;
        request.settings = std::move(settings);
        request.options = &options;
        request.outputPath = outputPath;
        request.templateDirectory = program.Path();
        request.workParent = work.Path();
        std::vector<std::string> lines;
        std::vector<Severity> severities;
        bool ok = MakePackage(request, [&](const LogLine& line) {
            lines.push_back(Formatted(line));
            severities.push_back(line.severity);
        });
        if (finished) *finished = ok;
        ExpectOneEnding(severities, ok);
        return lines;
    }

    // A build ends with one success line or one stop line, and only when it
    // made its package does it end with success.
    static void ExpectOneEnding(const std::vector<Severity>& severities, bool made) {
        ASSERT_FALSE(severities.empty()) << "a build that returns has said how it ended";
        for (std::size_t i = 0; i + 1 < severities.size(); ++i) {
            EXPECT_EQ(severities[i], Severity::Problem) << "line " << i + 1 << " ends the build too early";
        }
        EXPECT_EQ(severities.back(), made ? Severity::Success : Severity::Stop);
    }

    void ExpectNoWorkLeft() {
        EXPECT_TRUE(test::ListDir(work.Path()).empty()) << "work items left behind";
        EXPECT_EQ(test::ListDir(program.Path()),
                  (std::vector<std::string>{"block.jad", "block.jar", "puzzle.jad", "puzzle.jar"}));
    }

    ScratchDir program, work, out, pictures;
};

TEST_F(BuildTest, WorkedExampleMakesACompletePackage) {
    // The worked example's thirteen lines; the block sample adds two.
    for (const char* name : {"block.jad", "block.jar"}) {
        fs::copy_file(test::worked::FixtureFile(name), program / name, fs::copy_options::overwrite_existing);
    }
    StringList options = BlockOptions("5", pictures / "sky.png");
    bool finished = false;
    auto lines = Make("block.jad", options, out / "game.kjx", &finished);
    EXPECT_TRUE(finished);
    EXPECT_EQ(lines, std::vector<std::string>{"[O]作成完了(" + (out / "game.kjx") + ")"});

    test::KjxParts p = ReadKjx(out / "game.kjx");
    EXPECT_EQ(p.containerName, "block.kjx");
    EXPECT_EQ(p.descriptorName, "block.jad");
    // The worked example's descriptor, but for the size of this archive.
    std::vector<std::string> descriptor = test::worked::DescriptorLines();
    descriptor[0] = "MIDlet-Jar-Size: " + std::to_string(p.archive.size());
    EXPECT_EQ(p.descriptor, test::CrLf(descriptor));

    EXPECT_EQ(EntryData(p.archive, "back.png"), test::ReadFile(pictures / "sky.png"));
    EXPECT_EQ(EntryData(p.archive, "META-INF/MANIFEST.MF"), test::CrLf(test::worked::ManifestLines()));
    EXPECT_EQ(test::NamesOf(test::ReadZipBytes(p.archive)).at(0), "META-INF/MANIFEST.MF");
    test::WriteFile(out / "check.zip", p.archive);
    EXPECT_EQ(test::Run("unzip -tq '" + (out / "check.zip") + "' >/dev/null"), 0);
    ExpectNoWorkLeft();
}

TEST_F(BuildTest, SampleManifestsKeepTheHandsetProfileTheirArchivesDeclare) {
    const StringList blockOptions = BlockOptions("5", pictures / "sky.png");
    const StringList noOptions;
    const std::vector<std::pair<std::string, const StringList*>> samples = {{"block", &blockOptions},
                                                                            {"puzzle", &noOptions}};
    for (const auto& [name, options] : samples) {
        const std::string output = out / (name + ".kjx");
        Make(name + ".jad", *options, output);
        const test::KjxParts p = ReadKjx(output);
        const std::string declared = EntryData(test::ReadFile(program / (name + ".jar")), "META-INF/MANIFEST.MF");
        const std::string written = EntryData(p.archive, "META-INF/MANIFEST.MF");
        for (const char* line : {"MicroEdition-Profile: MIDP-2.0\r\n", "MicroEdition-Configuration: CLDC-1.1\r\n"}) {
            EXPECT_NE(declared.find(line), std::string::npos) << name << " archive: " << line;
            EXPECT_NE(written.find(line), std::string::npos) << name << " manifest: " << line;
            EXPECT_NE(p.descriptor.find(line), std::string::npos) << name << " descriptor: " << line;
        }
    }
}

TEST_F(BuildTest, ProblemsAreLoggedInItemOrderAndTheBuildGoesOn) {
    StringList options = BlockOptions("", pictures / "missing.png");
    bool finished = false;
    auto lines = Make("block.jad", options, out / "game.kjx", &finished);
    EXPECT_TRUE(finished);
    EXPECT_EQ(lines, (std::vector<std::string>{"[!]速度 が未入力",
                                               "[!]コピー失敗(" + (pictures / "missing.png") + ")",
                                               "[O]作成完了(" + (out / "game.kjx") + ")"}));
    test::KjxParts p = ReadKjx(out / "game.kjx");
    EXPECT_EQ(p.descriptor.find("Pelko-Speed"), std::string::npos);
    // The template's own picture stays in the archive.
    EXPECT_EQ(EntryData(p.archive, "back.png").substr(0, 4), "\x89PNG");
    ExpectNoWorkLeft();
}

TEST_F(BuildTest, DefaultFileValueIsTakenFromTheProgramDirectory) {
    StringList options = BlockOptions("5", "back.png");
    auto lines = Make("block.jad", options, out / "game.kjx");
    EXPECT_EQ(lines.front(), "[!]コピー失敗(back.png)");
    test::WriteFile(program / "pic.png", "relative picture");
    StringList relative = BlockOptions("5", "pic.png");
    lines = Make("block.jad", relative, out / "game2.kjx");
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(EntryData(ReadKjx(out / "game2.kjx").archive, "back.png"), "relative picture");
}

TEST_F(BuildTest, MissingArchiveStopsWithOneLineAndNoOutput) {
    fs::remove(program / "block.jar");
    StringList options = BlockOptions("5", pictures / "sky.png");
    bool finished = true;
    auto lines = Make("block.jad", options, out / "game.kjx", &finished);
    EXPECT_FALSE(finished);
    // The reason first, in the system's words, then the line that ends the build.
    EXPECT_EQ(lines, (std::vector<std::string>{
                         "[!]テンプレートのアーカイブを読めません(" + (program / "block.jar") +
                             ": No such file or directory)",
                         "[X]一時ファイル作成失敗(block.tmp)"}));
    EXPECT_FALSE(test::Exists(out / "game.kjx"));
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
}

// The archive is read where it lies, so only a file that can be read is
// taken: a directory or a FIFO in its place (the FIFO would wait for a
// writer if opened) stops the build as a missing archive does.
TEST_F(BuildTest, AnArchiveThatIsNoFileStopsLikeAMissingOne) {
    for (const char* what : {"directory", "fifo"}) {
        SCOPED_TRACE(what);
        fs::remove_all(program / "block.jar");
        if (std::string(what) == "directory") {
            fs::create_directory(program / "block.jar");
        } else {
            ASSERT_EQ(mkfifo((program / "block.jar").c_str(), 0644), 0);
        }
        StringList options = BlockOptions("5", pictures / "sky.png");
        bool finished = true;
        auto lines = Make("block.jad", options, out / "game.kjx", &finished);
        EXPECT_FALSE(finished);
        EXPECT_EQ(lines, (std::vector<std::string>{
                             "[!]テンプレートのアーカイブを読めません(" + (program / "block.jar") + ": not a regular file)",
                             "[X]一時ファイル作成失敗(block.tmp)"}));
        EXPECT_FALSE(test::Exists(out / "game.kjx"));
        EXPECT_TRUE(test::ListDir(work.Path()).empty());
    }
}

TEST_F(BuildTest, UserFilesNamedLikeWorkItemsSurvive) {
    test::WriteFile(program / "back.png", "user's own back.png");
    test::WriteFile(program / "block.tmp", "user's own block.tmp");
    fs::create_directory(program / "META-INF");
    test::WriteFile(program / "META-INF/MANIFEST.MF", "user's manifest");
    StringList options = BlockOptions("5", pictures / "sky.png");
    auto lines = Make("block.jad", options, out / "game.kjx");
    EXPECT_EQ(lines.size(), 1u);
    EXPECT_EQ(test::ReadFile(program / "back.png"), "user's own back.png");
    EXPECT_EQ(test::ReadFile(program / "block.tmp"), "user's own block.tmp");
    EXPECT_EQ(test::ReadFile(program / "META-INF/MANIFEST.MF"), "user's manifest");
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
}

TEST_F(BuildTest, NamesComeFromTheTemplateNeverFromTheOutput) {
    StringList options;
    Make("puzzle.jad", options, out / "game.kjx");
    Make("puzzle.jad", options, out / "other.txt.kjx");
    for (const char* name : {"game.kjx", "other.txt.kjx"}) {
        test::KjxParts p = ReadKjx(out / name);
        EXPECT_EQ(p.containerName, "puzzle.kjx");
        EXPECT_EQ(p.descriptorName, "puzzle.jad");
        EXPECT_NE(p.descriptor.find("MIDlet-Jar-URL: puzzle.jar\r\n"), std::string::npos);
    }
}

TEST_F(BuildTest, LaterFileOptionWithTheSameEntryWinsAndFile2IsALine) {
    test::WriteFile(pictures / "first.png", "first");
    test::WriteFile(pictures / "second.png", "second");
    StringList options;
    // One entry, written with either separator.
    options.Add("a", std::make_unique<OptionRecord>(OptionRecord{"File", "a", "img/back.png", pictures / "first.png"}));
    options.Add("b", std::make_unique<OptionRecord>(OptionRecord{"File", "b", "img\\back.png", pictures / "second.png"}));
    options.Add("c", std::make_unique<OptionRecord>(OptionRecord{"File2", "c", "icon.png", pictures / "first.png"}));
    auto lines = Make("block.jad", options, out / "game.kjx");
    ASSERT_EQ(lines.size(), 1u) << lines.front();
    test::KjxParts p = ReadKjx(out / "game.kjx");
    EXPECT_EQ(EntryData(p.archive, "img/back.png"), "second");
    EXPECT_EQ(EntryData(p.archive, "back.png"), EntryData(test::ReadFile(program / "block.jar"), "back.png"));
    EXPECT_NE(EntryData(p.archive, "icon.png"), "first");
    EXPECT_NE(p.descriptor.find("Pelko-File2: " + (pictures / "first.png") + "\r\n"), std::string::npos);
}

// A File option's entry in a folder replaces exactly that entry; a path
// that leads out of the archive, or onto the work archive or the manifest,
// copies nothing anywhere and leaves the archive's entries as they were.
TEST_F(BuildTest, FileOptionEntriesInFoldersAndEntriesRefused) {
    struct Case {
        const char* name;
        std::string type;
        std::string replaced;  // the entry that holds the picture; empty: refused
    };
    const std::vector<Case> cases = {
        {"root entry", "back.png", "back.png"},
        {"folder written with a backslash", "img\\back.png", "img/back.png"},
        {"nested folders", "a/b/c.png", "a/b/c.png"},
        {"beside the manifest", "META-INF/logo.png", "META-INF/logo.png"},
        {"leads upwards", "../escape.png", ""},
        {"absolute", "/escape.png", ""},
        {"drive", "C:\\escape.png", ""},
        {"the work archive as a folder", "BLOCK.TMP/x.png", ""},
        {"the manifest", "meta-inf\\manifest.mf", ""},
        {"the manifest's folder", "META-INF", ""},
    };
    const std::vector<std::string> templateEntries = test::NamesOf(test::ReadZip(program / "block.jar"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        StringList options;
        options.Add("p", std::make_unique<OptionRecord>(OptionRecord{"File", "p", c.type, pictures / "sky.png"}));
        const std::vector<std::string> lines = Make("block.jad", options, out / "game.kjx");
        const std::string archive = ReadKjx(out / "game.kjx").archive;
        std::vector<std::string> entries = templateEntries;
        if (c.replaced.empty()) {
            EXPECT_EQ(lines.front(), "[!]コピー失敗(" + (pictures / "sky.png") + ")");
        } else {
            EXPECT_EQ(EntryData(archive, c.replaced), test::ReadFile(pictures / "sky.png"));
            if (std::find(entries.begin(), entries.end(), c.replaced) == entries.end()) entries.push_back(c.replaced);
        }
        EXPECT_EQ(lines.size(), c.replaced.empty() ? 2u : 1u);
        EXPECT_EQ(test::NamesOf(test::ReadZipBytes(archive)), entries) << "no stray copy";
        ExpectNoWorkLeft();
    }
}

TEST_F(BuildTest, PathsCrossIntoTheDescriptorAsCp932AndOutOfItAsHostPaths) {
    // A default written in the descriptor (CP932) names a file of the host.
    test::WriteFile(program / "背景.png", "picture named in Japanese");
    test::WriteFile(pictures / "画像.png", "chosen picture");
    StringList options;
    options.Add("a", std::make_unique<OptionRecord>(OptionRecord{"File", "a", "back.png", Sjis("背景.png")}));
    options.Add("b", std::make_unique<OptionRecord>(OptionRecord{"File2", "b", "icon.png", pictures / "画像.png"}));
    auto lines = Make("block.jad", options, out / "game.kjx");
    ASSERT_EQ(lines.size(), 1u) << lines.front();
    test::KjxParts p = ReadKjx(out / "game.kjx");
    EXPECT_EQ(EntryData(p.archive, "back.png"), "picture named in Japanese");
    EXPECT_NE(p.descriptor.find("Pelko-File2: " + Sjis(pictures / "画像.png") + "\r\n"), std::string::npos);

    // A chosen path CP932 cannot write cannot go into the descriptor.
    StringList korean;
    korean.Add("b", std::make_unique<OptionRecord>(OptionRecord{"File2", "b", "icon.png", pictures / "한.png"}));
    bool finished = true;
    lines = Make("block.jad", korean, out / "other.kjx", &finished);
    EXPECT_FALSE(finished);
    EXPECT_EQ(lines, std::vector<std::string>{"[X]名前を変換できません(" + (pictures / "한.png") + ")"});
    EXPECT_FALSE(test::Exists(out / "other.kjx"));
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
}

// A package is only as good as its archive: a template archive a handset
// could not load ends the build before anything is edited or written.
TEST_F(BuildTest, ATemplateArchiveThatIsNoJavaArchiveEndsTheBuild) {
    StringList options = BlockOptions("5", pictures / "sky.png");
    ASSERT_EQ(Make("block.jad", options, out / "game.kjx").size(), 1u);
    const std::string earlier = test::ReadFile(out / "game.kjx");
    const std::string jar = test::ReadFile(program / "block.jar");
    struct Case {
        std::string archive;
        std::string reason;
    };
    const std::vector<Case> cases = {
        {"this is not a zip archive", "[!]ZIPとして開けません(block.jar: "},
        {jar.substr(0, jar.size() / 2), "[!]ZIPとして開けません(block.jar: "},
        {jar.substr(0, jar.size() - 10), "[!]ZIPとして開けません(block.jar: "},
        {"", "[!]ZIPとして開けません(block.jar: "},
        // A ZIP archive without a single entry: nothing a handset could run.
        {std::string("PK\x05\x06", 4) + std::string(18, '\0'), "[!]テンプレートのアーカイブが空です(block.jar)"},
    };
    for (const Case& c : cases) {
        test::WriteFile(program / "block.jar", c.archive);
        bool finished = true;
        auto lines = Make("block.jad", options, out / "game.kjx", &finished);
        EXPECT_FALSE(finished);
        ASSERT_EQ(lines.size(), 2u) << c.reason;
        EXPECT_EQ(lines[0].rfind(c.reason, 0), 0u) << lines[0];
        EXPECT_EQ(lines[1], "[X]アーカイブが壊れています(block.tmp)");
        EXPECT_EQ(test::ReadFile(out / "game.kjx"), earlier);
        EXPECT_EQ(test::ListDir(out.Path()), std::vector<std::string>{"game.kjx"});
        ExpectNoWorkLeft();
    }
}

TEST_F(BuildTest, NamesAndDescriptorsTooBigForTheHeaderStopBeforeAnyOutput) {
    std::string longBase(120, 'n');
    fs::copy_file(program / "puzzle.jad", program / (longBase + ".jad"));
    fs::copy_file(program / "puzzle.jar", program / (longBase + ".jar"));
    fs::copy_file(program / "puzzle.jad", program / "한국.jad");
    fs::copy_file(program / "puzzle.jar", program / "한국.jar");
    StringList none;
    StringList huge;
    huge.Add("big", std::make_unique<OptionRecord>(OptionRecord{"Big", "big", "TEXT", std::string(70000, 'v')}));
    struct Case {
        std::string templateName;
        const StringList* options;
        std::string line;
    };
    const std::vector<Case> cases = {
        {longBase + ".jad", &none, "[X]名前が長すぎます(" + longBase + ".kjx)"},
        {"한국.jad", &none, "[X]名前を変換できません(한국.jad)"},
        {"puzzle.jad", &huge, "[X]記述子が長すぎます("},
    };
    for (const auto& c : cases) {
        bool finished = true;
        auto lines = Make(c.templateName, *c.options, out / "game.kjx", &finished);
        EXPECT_FALSE(finished);
        ASSERT_EQ(lines.size(), 1u);
        // The descriptor's length depends on the template; its prefix is enough.
        EXPECT_EQ(lines[0].rfind(c.line, 0), 0u) << lines[0];
        EXPECT_FALSE(test::Exists(out / "game.kjx"));
        EXPECT_TRUE(test::ListDir(work.Path()).empty());
    }
}

TEST_F(BuildTest, ErrorsRaisedInsideTheBuildComeOutAfterCleanUp) {
    StringList shortRecord;
    shortRecord.Add("s", std::make_unique<OptionRecord>(OptionRecord{"Speed", "s", "INT"}));
    try {
        Make("block.jad", shortRecord, out / "game.kjx");
        FAIL() << "no error";
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "リストのインデックスが範囲を超えています (3)");
    }
    EXPECT_TRUE(test::ListDir(work.Path()).empty());

    // A descriptor that cannot be read: a folder stands where the file should.
    fs::create_directory(program / "folder.jad");
    fs::copy_file(program / "block.jar", program / "folder.jar");
    StringList none;
    EXPECT_THROW(Make("folder.jad", none, out / "game.kjx"), Error);
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
    EXPECT_FALSE(test::Exists(out / "game.kjx"));
}

TEST_F(BuildTest, AnOutputThatCannotBeCreatedIsReported) {
    StringList none;
    fs::create_directory(out / "folder.kjx");
    for (std::string path : {out / "no/such/dir/game.kjx", out / "folder.kjx"}) {
        bool finished = true;
        auto lines = Make("puzzle.jad", none, path, &finished);
        EXPECT_FALSE(finished);
        ASSERT_EQ(lines.size(), 2u);
        EXPECT_EQ(lines[0].rfind("[!]ファイルを作成できません(" + path + ": ", 0), 0u) << lines[0];
        EXPECT_EQ(lines[1], "[X]ファイル作成失敗(" + path + ")");
    }
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
}

TEST_F(BuildTest, AFailedWriteKeepsTheEarlierPackage) {
    StringList none;
    ASSERT_EQ(Make("puzzle.jad", none, out / "game.kjx").size(), 1u);
    std::string earlier = test::ReadFile(out / "game.kjx");

    // Let files grow only to just below the package's size: the package,
    // with the archive written into it, does not fit.
    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = earlier.size() - 10;
    setrlimit(RLIMIT_FSIZE, &small);
    bool finished = true;
    auto lines = Make("puzzle.jad", none, out / "game.kjx", &finished);
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    EXPECT_FALSE(finished);
    EXPECT_EQ(lines, (std::vector<std::string>{"[!]ファイルに書き込めません(" + (out / "game.kjx") + ": File too large)",
                                               "[X]ファイル書き込み失敗(" + (out / "game.kjx") + ")"}));
    EXPECT_EQ(test::ReadFile(out / "game.kjx"), earlier);
    EXPECT_EQ(test::ListDir(out.Path()), std::vector<std::string>{"game.kjx"});
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
}

TEST_F(BuildTest, AnArchiveThatCannotGrowMakesNoPackage) {
    // A template whose archive cannot grow: its new manifest is larger than
    // the old one, and files may not grow past the archive's own size.
    test::WriteFile(program / "t.jad", "MIDlet-1: Tiny, , Tiny\r\nMIDlet-Name: Tiny\r\nMIDlet-Version: 1.0\r\nA: 1\r\n");
    fs::create_directory(pictures / "META-INF");
    test::WriteFile(pictures / "META-INF/MANIFEST.MF", "A: 1\r\n");
    test::WriteFile(pictures / "data.bin", std::string(5000, 'd'));
    ASSERT_EQ(test::Run("cd '" + pictures.Path() + "' && zip -q -0 -X t.jar META-INF/MANIFEST.MF data.bin"), 0);
    fs::copy_file(pictures / "t.jar", program / "t.jar");
    const auto jarSize = fs::file_size(program / "t.jar");

    struct rlimit saved {};
    getrlimit(RLIMIT_FSIZE, &saved);
    auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = jarSize;
    setrlimit(RLIMIT_FSIZE, &small);
    StringList none;
    auto lines = Make("t.jad", none, out / "t.kjx");
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, oldHandler);

    // The edited archive goes straight into the package, which cannot hold
    // it; no package may come of an archive with its old manifest.
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "[!]ファイルに書き込めません(" + (out / "t.kjx") + ": File too large)");
    EXPECT_EQ(lines[1], "[X]ファイル書き込み失敗(" + (out / "t.kjx") + ")");
    EXPECT_FALSE(test::Exists(out / "t.kjx"));
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
}

TEST_F(BuildTest, TheOutputIsReplacedTheWayAUserExpects) {
    StringList none;
    // A name at the file system's limit of 255 bytes.
    const std::string longName = std::string(251, 'n') + ".kjx";
    EXPECT_EQ(Make("puzzle.jad", none, out / longName),
              std::vector<std::string>{"[O]作成完了(" + (out / longName) + ")"});

    // A link keeps pointing at the package, which is written where it points.
    test::WriteFile(out / "real.kjx", "older package");
    ASSERT_EQ(symlink((out / "real.kjx").c_str(), (out / "link.kjx").c_str()), 0);
    Make("puzzle.jad", none, out / "link.kjx");
    EXPECT_TRUE(fs::is_symlink(out / "link.kjx"));
    EXPECT_EQ(ReadKjx(out / "real.kjx").containerName, "puzzle.kjx");

    // A package replaced keeps the permissions its owner gave it.
    ASSERT_EQ(chmod((out / "real.kjx").c_str(), 0640), 0);
    Make("puzzle.jad", none, out / "real.kjx");
    struct stat status {};
    ASSERT_EQ(stat((out / "real.kjx").c_str(), &status), 0);
    EXPECT_EQ(status.st_mode & 07777, 0640u);

    std::vector<std::string> left = test::ListDir(out.Path());
    EXPECT_EQ(left, (std::vector<std::string>{"link.kjx", longName, "real.kjx"}));
}

TEST(OutputPathFor, AppendsKjxUnlessTheExtensionIsKjxInAnyCase) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"game", "game.kjx"},         {"game.kjx", "game.kjx"},         {"game.KJX", "game.KJX"},
        {"game.Kjx", "game.Kjx"},     {"game.txt", "game.txt.kjx"},     {"/a.b/game", "/a.b/game.kjx"},
        {"/out/.kjx", "/out/.kjx"},   {"/out/game.kjx.bak", "/out/game.kjx.bak.kjx"},
        {"game.", "game..kjx"},
    };
    for (const auto& [chosen, path] : cases) EXPECT_EQ(OutputPathFor(chosen), path) << chosen;
}

// Every way a build can go closes every file it opened: the archive written
// into the package, moved because its size gained a digit, written through
// the work archive, and the ways that fail.
TEST_F(BuildTest, EveryWayABuildGoesClosesItsFiles) {
    StringList none;
    const StringList withFile = BlockOptions("5", pictures / "sky.png");
    // An option file large enough to take the puzzle's archive past a power of ten.
    test::WriteFile(pictures / "big.bin", test::RandomBytes(6000, 11));
    StringList bigFile;
    bigFile.Add("label", std::make_unique<OptionRecord>(OptionRecord{"File", "label", "extra.bin", pictures / "big.bin"}));
    fs::create_directory(out / "taken.kjx");
    struct Case {
        const char* what;
        const char* templateName;
        const StringList* options;
        std::string output;
        bool succeeds;
    };
    const std::vector<Case> cases = {
        {"into the package", "block.jad", &withFile, out / "a.kjx", true},
        {"moved for another number of digits", "puzzle.jad", &bigFile, out / "b.kjx", true},
        {"an output that is a folder", "block.jad", &withFile, out / "taken.kjx", false},
        {"a missing template archive", "gone.jad", &none, out / "c.kjx", false},
    };
    test::WriteFile(program / "gone.jad", "MIDlet-Name: Gone\r\n");
    const int before = test::OpenDescriptorCount();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        bool finished = !c.succeeds;
        const std::vector<std::string> lines = Make(c.templateName, *c.options, c.output, &finished);
        EXPECT_EQ(finished, c.succeeds) << (lines.empty() ? "" : lines.back());
        EXPECT_EQ(test::OpenDescriptorCount(), before);
    }
    EXPECT_TRUE(test::ListDir(work.Path()).empty());
}

}  // namespace
}  // namespace pelko
