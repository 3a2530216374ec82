// The handset checks end to end, on one table of templates: the "[!]" lines
// of make, the lines of check and the problems inspect finds in the package
// that make wrote. The samples give none, and Java's own readers accept what
// the build writes.
#include <algorithm>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::CliResult;
using test::OutputLines;
using test::Sjis;
using Lines = std::vector<std::string>;

const std::string kSamples = PELKO_SAMPLES_DIR;

// A template that breaks no rule: what every case below starts from.
const Lines kCleanTemplate = {
    "MIDlet-1: Tiny, /icon.png, Tiny",       // 1
    "MIDlet-Name: Tiny Game",                // 2
    "MIDlet-Vendor: someone",                // 3
    "MIDlet-Version: 1.0",                   // 4
    "MicroEdition-Profile: MIDP-2.0",        // 5
    "MicroEdition-Configuration: CLDC-1.1",  // 6
    "Pelko-Name: 小さいゲーム",              // 7
    "Pelko-Speed: 速度,INT,3",               // 8
};
const Lines kArchiveManifest = {
    "Manifest-Version: 1.0",
    "MIDlet-1: Tiny, /icon.png, Tiny",
    "MIDlet-Name: Tiny Game",
    "MIDlet-Vendor: someone",
    "MIDlet-Version: 1.0",
    "MicroEdition-Profile: MIDP-2.0",
    "MicroEdition-Configuration: CLDC-1.1",
};

// The clean template with line number `at` (1-based) replaced by `lines`
// (none: removed); at 0 the lines go at the end.
Lines Changed(int at, const Lines& lines) {
    Lines changed = kCleanTemplate;
    if (at == 0) {
        changed.insert(changed.end(), lines.begin(), lines.end());
    } else {
        changed.erase(changed.begin() + at - 1);
        changed.insert(changed.begin() + at - 1, lines.begin(), lines.end());
    }
    return changed;
}
Lines Inserted(int before, const Lines& lines) {
    Lines changed = kCleanTemplate;
    changed.insert(changed.begin() + before - 1, lines.begin(), lines.end());
    return changed;
}

struct Expected {
    int line;               // of the template; 0 when the problem has no line
    std::string text;       // the "[!]" or "[i]" line; "{size}" stands for the archive's size
    bool inPackage = true;  // inspect reports it too (the lost attributes need the template)
    bool inBuild = true;    // the build logs it too (what only the author can mend is check's)
};

// A note is told by check and inspect, and changes neither's exit status.
bool IsNote(const Expected& expected) { return expected.text.rfind("[i]", 0) == 0; }

struct Case {
    std::string name;
    Lines templateLines;
    std::vector<Expected> expected;  // in the build's order
    std::string base = "tiny";
    std::size_t padding = 0;  // bytes of random data added to the archive
};

const std::string kLong71(71, 'k');
const std::string kLongValue(504, 'v');  // "X-Long: " + 504 bytes: a 512-byte line

std::vector<Case> Cases() {
    return {
        {"clean", kCleanTemplate, {}},
        {"a name option that agrees", Changed(0, {"Pelko-MIDlet-Name: 名前,TEXT,\"Tiny Game\""}), {}},
        {"colon and nothing",
         Changed(0, {"MIDlet-Info-URL:"}),
         {{9, "[!]Manifestの値がない(MIDlet-Info-URL:)"}, {9, "[!]JADの値が空(MIDlet-Info-URL:)"}}},
        {"colon, space and nothing",
         Changed(0, {"MIDlet-Info-URL: "}),
         {{9, "[!]JADの値が空(MIDlet-Info-URL: )"}}},
        {"no space after the colon",
         Changed(0, {"MIDlet-Data:1"}),
         {{9, "[!]Manifestのコロンの後に空白がない(MIDlet-Data:1)"}}},
        {"no colon",
         Changed(0, {"hello"}),
         {{9, "[!]Manifestの行にコロンがない(hello)"}, {9, "[!]JADの行にコロンがない(hello)"}}},
        {"empty key",
         Changed(0, {": x"}),
         {{9, "[!]Manifestの属性名が不正(: x)"}, {9, "[!]JADの属性名が空(: x)"}}},
        {"blank in the name", Changed(0, {"My Key: x"}), {{9, "[!]Manifestの属性名が不正(My Key: x)"}}},
        {"name of 71 bytes",
         Changed(0, {kLong71 + ": x"}),
         {{9, "[!]Manifestの属性名が70バイトを超える(" + std::string(64, 'k') + "...)"}}},
        {"line of 512 bytes",
         Changed(0, {"X-Long: " + kLongValue}),
         {{9, "[!]Manifestの行が510バイトを超える(X-Long: " + std::string(56, 'v') + "...)"}}},
        {"continuation first",
         Inserted(1, {" more"}),
         {{1, "[!]Manifestの継続行の位置が不正( more)"}, {1, "[!]JADの行にコロンがない( more)"}}},
        {"same name in other case",
         Changed(0, {"midlet-version: 1.0"}),
         {{9, "[!]Manifestに同じ属性が2つある(midlet-version: 1.0)"}}},
        {"blank line in the middle",
         Inserted(5, {""}),
         {{5, "[!]Manifestの空行でセクションが終わる(MicroEdition-Profile: MIDP-2.0)"},
          {0, "[!]Manifestに必須属性がない(MIDlet-Name)"},
          {0, "[!]Manifestに必須属性がない(MIDlet-Vendor)"},
          {0, "[!]Manifestから属性が消える(MIDlet-Name: Tiny Game)", false},
          {0, "[!]Manifestから属性が消える(MIDlet-Vendor: someone)", false},
          {0, "[!]Manifestから属性が消える(MicroEdition-Profile: MIDP-2.0)", false},
          {0, "[!]Manifestから属性が消える(MicroEdition-Configuration: CLDC-1.1)", false},
          {5, "[!]JADの行にコロンがない(空行)"}}},
        {"no version",
         Changed(4, {}),
         {{0, "[!]Manifestに必須属性がない(MIDlet-Version)"},
          {0, "[!]Manifestから属性が消える(MIDlet-Version: 1.0)", false},
          {0, "[!]JADに必須属性がない(MIDlet-Version)", false}}},
        {"no MIDlet-1",
         Changed(1, {}),
         {{0, "[!]Manifestに必須属性がない(MIDlet-1)"},
          {0, "[!]Manifestから属性が消える(MIDlet-1: Tiny, /icon.png, Tiny)", false},
          {0, "[!]JADに必須属性がない(MIDlet-1)"}}},
        {"four-part version",
         Changed(4, {"MIDlet-Version: 1.0.0.0"}),
         {{4, "[!]ManifestのMIDlet-Versionが不正(MIDlet-Version: 1.0.0.0)"},
          {4, "[!]JADのMIDlet-Versionが不正(MIDlet-Version: 1.0.0.0)"}}},
        {"platform lines missing",
         Changed(5, {"X-Other: 1"}),
         {{0, "[!]Manifestから属性が消える(MicroEdition-Profile: MIDP-2.0)", false},
          {0, "[!]JADとManifestに必須属性がない(MicroEdition-Profile)", true, false}}},
        {"a version option",
         Changed(0, {"Pelko-MIDlet-Version: 版,TEXT,2.0"}),
         {{9, "[!]JADに値の違う同じ属性がある(MIDlet-Version: 2.0)"},
          {9, "[!]JADとManifestで値が違う(MIDlet-Version: 2.0)"}}},
        {"archive name too long",
         kCleanTemplate,
         {{0, "[!]MIDlet-Jar-URLが24バイトを超える(MIDlet-Jar-URL: abcdefghijklmnopqrstu.jar)"}},
         "abcdefghijklmnopqrstu"},
        {"archive name not ASCII",
         kCleanTemplate,
         {{0, "[!]MIDlet-Jar-URLがASCIIでない(MIDlet-Jar-URL: 小さい.jar)"}},
         "小さい"},
        {"archive too large",
         kCleanTemplate,
         {{0, "[i]JARが51200バイトを超える(MIDlet-Jar-Size: {size})", true, false}},
         "tiny",
         60000},
    };
}

std::string Replaced(std::string text, const std::string& size) {
    const std::size_t at = text.find("{size}");
    if (at != std::string::npos) text.replace(at, 6, size);
    return text;
}

Lines WarningsOf(const std::string& log) {
    Lines warnings;
    for (const std::string& line : OutputLines(log)) {
        if (line.rfind("[!]", 0) == 0) warnings.push_back(line);
    }
    return warnings;
}

class HandsetCliTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveProgram("zip")) GTEST_SKIP() << "needs Info-ZIP zip to make the templates' archives";
    }
    // Writes base.jad and base.jar, the archive with the manifest given.
    void WriteTemplate(const std::string& base, const Lines& lines, const Lines& manifest = kArchiveManifest,
                       std::size_t padding = 0) {
        Lines cp932;
        for (const std::string& line : lines) cp932.push_back(Sjis(line));
        test::WriteFile(dir / (base + ".jad"), test::CrLf(cp932));
        test::ScratchDir root;
        fs::create_directory(root / "META-INF");
        test::WriteFile(root / "META-INF/MANIFEST.MF", test::CrLf(manifest));
        test::WriteFile(root / "icon.png", "\x89PNG\r\n\x1a\nicon");
        std::string entries = "META-INF/MANIFEST.MF icon.png";
        if (padding > 0) {
            test::WriteFile(root / "data.bin", test::RandomBytes(padding, 7));
            entries += " data.bin";
        }
        ASSERT_EQ(
            test::RunIn(root.Path(), "zip -q -X " + test::ShellQuoted(dir / (base + ".jar")) + " " + entries),
            0);
    }
    CliResult Cli(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }

    test::ScratchDir dir;
};

TEST_F(HandsetCliTest, MakeCheckAndInspectReportEveryRuleOfTheTable) {
    for (const Case& c : Cases()) {
        SCOPED_TRACE(c.name);
        const std::string& base = c.base;  // a host name, UTF-8
        WriteTemplate(base, c.templateLines, kArchiveManifest, c.padding);

        const CliResult made = Cli({"make", base + ".jad", "-o", "out.kjx"});
        ASSERT_EQ(made.code, 0) << made.out << made.err;
        const std::optional<test::KjxParts> package = test::SplitKjx(test::ReadFile(dir / "out.kjx"));
        ASSERT_TRUE(package);
        const std::string packageSize = std::to_string(package->archive.size());
        const std::string templateSize = std::to_string(fs::file_size(dir / (base + ".jar")));

        Lines build;
        for (const Expected& e : c.expected) {
            if (e.inBuild) build.push_back(Replaced(e.text, packageSize));
        }
        EXPECT_EQ(WarningsOf(made.out), build) << made.out;
        EXPECT_EQ(OutputLines(made.out).back(), "[O]作成完了(" + (dir / "out.kjx") + ")");

        const CliResult checked = Cli({"check", base + ".jad"});
        Lines check;
        bool templateProblem = false;
        for (const Expected& e : c.expected) {
            const std::string where = base + ".jad:" + (e.line > 0 ? std::to_string(e.line) + ":" : "") + " ";
            check.push_back(where + Replaced(e.text, templateSize));
            templateProblem = templateProblem || !IsNote(e);
        }
        if (!templateProblem) check.push_back("ok");
        Lines printed = OutputLines(checked.out);
        std::sort(check.begin(), check.end());
        std::sort(printed.begin(), printed.end());
        EXPECT_EQ(printed, check);
        EXPECT_EQ(checked.code, templateProblem ? 1 : 0);

        const CliResult inspected = Cli({"inspect", "out.kjx"});
        bool packageProblem = false;
        for (const Expected& e : c.expected) {
            if (!e.inPackage) continue;
            packageProblem = packageProblem || !IsNote(e);
            const std::string message = Replaced(e.text, packageSize).substr(3);
            const std::size_t at = inspected.out.find(message + "\n");
            ASSERT_NE(at, std::string::npos) << message << "\n" << inspected.out;
            const std::size_t start = inspected.out.rfind('\n', at) + 1;
            EXPECT_EQ(inspected.out.substr(start, at - start).rfind(IsNote(e) ? "note: " : "problem: ", 0), 0u)
                << inspected.out;
        }
        EXPECT_EQ(inspected.code, packageProblem ? 1 : 0) << inspected.out;
        for (const std::string& name : {base + ".jad", base + ".jar", std::string("out.kjx")})
            fs::remove(dir / name);
    }
}

TEST_F(HandsetCliTest, InspectNamesTheLineOfThePackagesOwnTexts) {
    WriteTemplate("tiny", Changed(0, {"MIDlet-Info-URL:"}));
    ASSERT_EQ(Cli({"make", "tiny.jad", "-o", "out.kjx"}).code, 0);
    const CliResult inspected = Cli({"inspect", "out.kjx"});
    // The manifest: four carried lines, then this one; the descriptor: two archive lines before them.
    EXPECT_NE(inspected.out.find("\nproblem: manifest line 5: Manifestの値がない(MIDlet-Info-URL:)\n"),
              std::string::npos)
        << inspected.out;
    EXPECT_NE(inspected.out.find("\nproblem: descriptor line 7: JADの値が空(MIDlet-Info-URL:)\n"),
              std::string::npos)
        << inspected.out;
}

// What only check can tell: option lines the window cannot use, file options
// that replace nothing, keys given twice, names the header cannot hold and
// archives that are no ZIP.
TEST_F(HandsetCliTest, CheckFindsWhatTheTemplateWillDoWrong) {
    struct CheckCase {
        std::string name;
        Lines templateLines;
        Lines printed;  // without the "NAME.jad:" in front
        std::string base = "tiny";
    };
    test::WriteFile(dir / "pic.png", "a default picture beside the template");
    const std::vector<CheckCase> cases = {
        {"no label", Changed(0, {"Pelko-Size:3"}), {"9: [!]項目のラベルがない(Pelko-Size:3)"}},
        {"file without its entry",
         Changed(0, {"Pelko-File: 画像"}),
         {"9: [!]Fileの項目にエントリ名がない(Pelko-File: 画像)"}},
        {"short record",
         Changed(0, {"Pelko-Size: 大きさ,INT"}),
         {"9: [!]項目の型か既定値がない(Pelko-Size: 大きさ,INT)"}},
        {"entry not in the archive",
         Changed(0, {"Pelko-File: 画像,back.png,pic.png"}),
         {"9: [!]アーカイブにないエントリ(back.png)"}},
        {"entry that is there", Changed(0, {"Pelko-File: 画像,icon.png,pic.png"}), {}},
        {"entry in a folder the archive lacks, as written",
         Changed(0, {"Pelko-File: 画像,img\\icon.png,pic.png"}),
         {"9: [!]アーカイブにないエントリ(img\\icon.png)"}},
        {"entry that leads out of the archive",
         Changed(0, {"Pelko-File: 画像,..\\icon.png,pic.png"}),
         {"9: [!]Fileのエントリ名が使えない(..\\icon.png)"}},
        {"default not beside the template",
         Changed(0, {"Pelko-File: 画像,icon.png"}),
         {"9: [!]Fileの既定値のファイルがない(icon.png)"}},
        {"one entry twice",
         Changed(0, {"Pelko-File: 画像,icon.png,pic.png", "Pelko-File: 絵,icon.png,pic.png"}),
         {"10: [!]同じエントリを置き換える項目がある(icon.png)"}},
        {"shared key",
         Changed(0, {"Pelko-Speed: 速さ,INT,4"}),
         {"9: [!]JADに値の違う同じ属性がある(Pelko-Speed: 4)", "9: [!]同じキーの項目がある(Speed)"}},
        {"lines after a faulty one are checked too",
         Changed(0, {"Pelko-Bad:", "Pelko-File: 画像,gone.png,pic.png"}),
         {"9: [!]項目のラベルがない(Pelko-Bad:)", "10: [!]アーカイブにないエントリ(gone.png)"}},
        {"base name too long",
         kCleanTemplate,
         {" [X]名前が長すぎます(" + std::string(120, 'n') + ".kjx)",
          " [!]MIDlet-Jar-URLが24バイトを超える(MIDlet-Jar-URL: " + std::string(64 - 16, 'n') + "...)"},
         std::string(120, 'n')},
    };
    for (const CheckCase& c : cases) {
        SCOPED_TRACE(c.name);
        WriteTemplate(c.base, c.templateLines);
        const CliResult checked = Cli({"check", c.base + ".jad"});
        Lines expected;
        for (const std::string& line : c.printed) expected.push_back(c.base + ".jad:" + line);
        if (expected.empty()) expected.push_back("ok");
        EXPECT_EQ(OutputLines(checked.out), expected);
        EXPECT_EQ(checked.code, c.printed.empty() ? 0 : 1);
        EXPECT_EQ(checked.err, "");
        fs::remove(dir / (c.base + ".jad"));
        fs::remove(dir / (c.base + ".jar"));
    }
}

TEST_F(HandsetCliTest, CheckSaysWhenTheArchiveIsNoZip) {
    WriteTemplate("tiny", kCleanTemplate);
    test::WriteFile(dir / "tiny.jar", "not a zip");
    CliResult checked = Cli({"check", "tiny.jad"});
    EXPECT_EQ(checked.code, 1);
    EXPECT_EQ(checked.out.rfind("tiny.jad: [!]アーカイブがZIPとして読めない(tiny.jar: ", 0), 0u)
        << checked.out;
    EXPECT_EQ(OutputLines(checked.out).size(), 1u) << checked.out;

    fs::remove(dir / "tiny.jar");
    checked = Cli({"check", "tiny.jad"});
    EXPECT_EQ(checked.code, 1);
    EXPECT_EQ(checked.out.rfind("tiny.jad: [!]アーカイブがZIPとして読めない(tiny.jar: ", 0), 0u)
        << checked.out;

    const CliResult unreadable = Cli({"check", "gone.jad"});
    EXPECT_EQ(unreadable.code, 1);
    EXPECT_EQ(unreadable.err, "pelko-cli: ファイル " + (dir / "gone.jad") + " は開けません: " + test::NotFoundReason() + "\n");
    EXPECT_EQ(Cli({"check", "tiny.jar"}).code, 2) << "a template is given by its descriptor";
}

TEST_F(HandsetCliTest, CheckTakesOneTemplateAndIsInTheHelp) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> usage = {
        {{"check"}, "check needs a template"},
        {{"check", "a.jad", "b.jad"}, "\"b.jad\" follows"},
        {{"check", "--strict", "a.jad"}, "check has no option --strict"},
    };
    for (const auto& [args, message] : usage) {
        const CliResult result = Cli(args);
        EXPECT_EQ(result.code, 2) << message;
        EXPECT_NE(result.err.find(message), std::string::npos) << result.err;
        EXPECT_EQ(result.out, "");
    }
    const CliResult help = Cli({"check", "--help"});
    EXPECT_EQ(help.code, 0);
    EXPECT_NE(help.out.find("pelko-cli check TEMPLATE.jad"), std::string::npos);
    EXPECT_NE(help.out.find("NAME.jad:LINE:"), std::string::npos);
}

// The samples carry the attributes their archives declare and ship the
// pictures their File options name by default.
TEST_F(HandsetCliTest, TheSamplesGiveNoWarning) {
    for (const char* picture : {"back.png", "bg.png", "chara.png"}) {
        fs::copy_file(kSamples + "/" + picture, dir / picture);
    }
    for (const char* name : {"block", "puzzle"}) {
        SCOPED_TRACE(name);
        for (const char* extension : {".jad", ".jar"}) {
            fs::copy_file(kSamples + "/" + name + extension, dir / (std::string(name) + extension),
                          fs::copy_options::overwrite_existing);
        }
        const CliResult checked = Cli({"check", std::string(name) + ".jad"});
        EXPECT_EQ(checked.out, "ok\n");
        EXPECT_EQ(checked.code, 0);
        const CliResult made = Cli({"make", std::string(name) + ".jad", "-o", "out.kjx", "--strict"});
        ASSERT_EQ(made.code, 0) << made.out;
        EXPECT_EQ(WarningsOf(made.out), Lines{});
        const CliResult inspected = Cli({"inspect", "out.kjx"});
        EXPECT_EQ(inspected.code, 0) << inspected.out;
    }
}

// The archives the build writes go through the JDK's own readers: jar lists
// them without a word on stderr, and JarInputStream reads their manifest
// with the main attributes in it.
TEST_F(HandsetCliTest, JavasReadersAcceptThePackagesArchives) {
    if (!test::HaveProgram("jar") || !test::HaveProgram("java")) GTEST_SKIP() << "no JDK";
    test::WriteFile(dir / "ReadJar.java", R"(import java.io.*; import java.util.jar.*;
public class ReadJar {
    public static void main(String[] args) throws Exception {
        for (String path : args) {
            try (JarInputStream in = new JarInputStream(new FileInputStream(path), true)) {
                Manifest manifest = in.getManifest();
                if (manifest == null) throw new IOException(path + ": no manifest");
                String name = manifest.getMainAttributes().getValue("MIDlet-Name");
                if (name == null) throw new IOException(path + ": no MIDlet-Name");
                while (in.getNextJarEntry() != null) { in.readAllBytes(); }
            }
        }
    }
}
)");
    WriteTemplate("tiny", kCleanTemplate);
    std::vector<std::string> archives;
    for (const char* name : {"tiny", "block", "puzzle"}) {
        if (std::string(name) != "tiny") {
            for (const char* extension : {".jad", ".jar"}) {
                fs::copy_file(kSamples + "/" + name + extension, dir / (std::string(name) + extension));
            }
        }
        ASSERT_EQ(Cli({"make", std::string(name) + ".jad", "-o", std::string(name) + "-out.kjx"}).code, 0);
        const std::optional<test::KjxParts> package =
            test::SplitKjx(test::ReadFile(dir / (std::string(name) + "-out.kjx")));
        ASSERT_TRUE(package);
        archives.push_back(std::string(name) + "-out.jar");
        test::WriteFile(dir / archives.back(), package->archive);
    }
    for (const std::string& archive : archives) {
        std::string listed;
        EXPECT_EQ(
            test::RunIn(dir.Path(), "jar tf " + archive + " 2>jar-err >/dev/null; cat jar-err", &listed), 0);
        EXPECT_EQ(listed, "") << archive;
    }
    std::string command = "java ReadJar.java";
    for (const std::string& archive : archives) command += " " + archive;
    std::string errors;
    EXPECT_EQ(test::RunIn(dir.Path(), command + " 2>&1", &errors), 0) << errors;
    EXPECT_EQ(errors, "");
}

}  // namespace
}  // namespace pelko
