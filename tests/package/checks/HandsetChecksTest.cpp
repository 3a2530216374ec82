// The handset rules on the texts themselves: their limits at the exact
// byte, the worked example breaking none of them, and the manifest rules
// agreeing with what the JDK's own manifest reader does.
#include "package/checks/HandsetChecks.h"

#include <sys/stat.h>

#include <ctime>
#include <filesystem>

#include <gtest/gtest.h>

#include "package/archive/ArchiveContents.h"
#include "package/checks/Wording.h"
#include "package/kjx/Compose.h"
#include "support/TestFiles.h"
#include "support/WorkedExample.h"
#include "support/ZipTools.h"

namespace pelko {
namespace {

using Lines = std::vector<std::string>;
using test::Sjis;

Lines Messages(const Problems& problems) {
    Lines messages;
    for (const Problem& problem : problems) messages.push_back(Formatted(LogLineOf(problem)));
    return messages;
}

// Manifest lines with the attributes every handset needs after them.
Lines Manifest(const Lines& lines) {
    Lines manifest = {"MIDlet-1: A, /a.png, A", "MIDlet-Version: 1.0"};
    manifest.insert(manifest.end(), lines.begin(), lines.end());
    manifest.insert(manifest.end(), {"MIDlet-Name: Game", "MIDlet-Vendor: me"});
    return manifest;
}

Lines Descriptor(const Lines& lines) {
    Lines descriptor = {"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL: a.jar"};
    const Lines manifest = Manifest({});
    descriptor.insert(descriptor.end(), manifest.begin(), manifest.end());
    descriptor.insert(descriptor.end(), lines.begin(), lines.end());
    return descriptor;
}

TEST(HandsetChecks, TheWorkedExampleBreaksNoRule) {
    const Lines& manifest = test::worked::ManifestLines();
    EXPECT_EQ(Messages(CheckManifest(manifest)), Lines{});
    EXPECT_EQ(Messages(CheckDescriptor(test::worked::DescriptorLines(), manifest)), Lines{});

    // An archive whose own manifest names the platform loses those lines.
    const Lines declaring = {"Manifest-Version: 1.0", "MicroEdition-Profile: MIDP-2.0",
                             "MicroEdition-Configuration: CLDC-1.1"};
    EXPECT_EQ(Messages(CheckManifest(manifest, declaring)),
              (Lines{"[!]Manifestから属性が消える(MicroEdition-Profile: MIDP-2.0)",
                     "[!]Manifestから属性が消える(MicroEdition-Configuration: CLDC-1.1)"}));
    Lines keeping = manifest;
    keeping.insert(keeping.begin(),
                   {"MicroEdition-Configuration: CLDC-1.0", "MicroEdition-Profile: MIDP-1.0"});
    EXPECT_EQ(Messages(CheckManifest(keeping, declaring)), Lines{}) << "a value of its own is no loss";
}

// Whatever the archive's own manifest declares and the new one lacks is
// named, letter case aside, but for what only build tools write and the
// archive lines every package's descriptor holds.
TEST(HandsetChecks, EveryDeclaredAttributeTheNewManifestLacksIsLost) {
    const Lines declaring = {"Manifest-Version: 1.0",        "Created-By: 1.4.2_19-b04 (Sun Microsystems Inc.)",
                             "Ant-Version: Apache Ant 1.7.1", "built-by: someone",
                             "Build-Jdk: 1.6.0",              "MIDlet-Touch-Support: true",
                             "midlet-name: Other Name",       "ReverseSoftkeys: true",
                             "MIDlet-Landscape-Support: " + std::string(80, 'v'),
                             "MIDlet-Jar-URL: old.jar",       "midlet-jar-size: 1234"};
    EXPECT_EQ(Messages(CheckManifest(Manifest({"midlet-touch-support: false"}), declaring)),
              (Lines{"[!]Manifestから属性が消える(ReverseSoftkeys: true)",
                     "[!]Manifestから属性が消える(MIDlet-Landscape-Support: " + std::string(38, 'v') + "...)"}));
}

TEST(HandsetChecks, AuthorsHearOfAPlatformNamedNowhereAndOfALargeArchive) {
    struct Case {
        const char* name;
        Lines descriptor;  // after the usual lines
        Lines manifest;    // after the usual lines
        std::string size;
        Lines messages;
    };
    const std::string profile = "MicroEdition-Profile: MIDP-2.0";
    const std::string configuration = "MicroEdition-Configuration: CLDC-1.1";
    const std::vector<Case> cases = {
        {"one in each text", {profile}, {configuration}, "51200", {}},
        {"a name in other letter case counts for nothing", {"microedition-profile: MIDP-2.0"}, {configuration},
         "100", {"[!]JADとManifestに必須属性がない(MicroEdition-Profile)"}},
        {"an archive of 51201 bytes", {profile, configuration}, {}, "51201",
         {"[i]JARが51200バイトを超える(MIDlet-Jar-Size: 51201)"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Lines descriptor = Descriptor(c.descriptor);
        descriptor[0] = "MIDlet-Jar-Size: " + c.size;
        const Problems problems = CheckForAuthors(descriptor, Manifest(c.manifest));
        EXPECT_EQ(Messages(problems), c.messages);
    }
}

TEST(HandsetChecks, ManifestLimitsHoldToTheByte) {
    const std::string name70(70, 'n');
    struct Case {
        Lines lines;
        Lines messages;
    };
    const std::vector<Case> cases = {
        {{name70 + ": x"}, {}},
        {{name70 + "n: x"}, {"[!]Manifestの属性名が70バイトを超える(" + std::string(64, 'n') + "...)"}},
        {{"X: " + std::string(507, 'v')}, {}},
        {{"X: " + std::string(508, 'v')},
         {"[!]Manifestの行が510バイトを超える(X: " + std::string(61, 'v') + "...)"}},
        {{"X: first", " continued"}, {}},
        {{"Under_score-9: x"}, {}},
        {{"X:  two spaces"}, {}},
        {{"X:\tx"}, {"[!]Manifestのコロンの後に空白がない(X:\\x09x)"}},
        {{"X\x01: x"}, {"[!]Manifestの属性名が不正(X\\x01: x)"}},
        {{Sjis("名前: x")}, {"[!]Manifestの属性名が不正(名前: x)"}},
        {{"X: 1", "x: 2"}, {"[!]Manifestに同じ属性が2つある(x: 2)"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Messages(CheckManifest(Manifest(c.lines))), c.messages) << c.lines.front();
    }
}

TEST(HandsetChecks, SectionsAfterABlankLineFollowTheReader) {
    // Blank lines at the end, or a "Name:" section after one, are sound;
    // the main attributes are then only those before the blank line.
    Lines trailing = Manifest({});
    trailing.insert(trailing.end(), {"", ""});
    EXPECT_EQ(Messages(CheckManifest(trailing)), Lines{});
    Lines sections = Manifest({});
    sections.insert(sections.end(), {"", "", "name: a.png", "X: 1", "", "Name: b.png", "X: 2"});
    EXPECT_EQ(Messages(CheckManifest(sections)), Lines{}) << "an attribute per section";
    const Lines split = {
        "MIDlet-1: A, /a.png, A", "", "Name: a.png", "MIDlet-Version: 1.0", "MIDlet-Name: Game",
        "MIDlet-Vendor: me"};
    EXPECT_EQ(Messages(CheckManifest(split)),
              (Lines{"[!]Manifestに必須属性がない(MIDlet-Name)", "[!]Manifestに必須属性がない(MIDlet-Vendor)",
                     "[!]Manifestに必須属性がない(MIDlet-Version)"}));
    const Lines leading = {"", "MIDlet-1: A, /a.png, A"};
    const Problems problems = CheckManifest(leading);
    ASSERT_FALSE(problems.empty());
    EXPECT_EQ(Formatted(LogLineOf(problems.front())), "[!]Manifestの空行でセクションが終わる(MIDlet-1: A, /a.png, A)");
    EXPECT_EQ(problems.front().line, 1);
}

TEST(HandsetChecks, VersionsAreOneToThreeNumbers) {
    for (const char* good : {"1", "1.0", "1.0.0", "01.22.333", " 1.0 "}) {
        Lines manifest = Manifest({});
        manifest[1] = std::string("MIDlet-Version: ") + good;
        EXPECT_EQ(Messages(CheckManifest(manifest)), Lines{}) << good;
    }
    for (const char* bad : {"", "1.", ".1", "1..0", "1.0.0.0", "1.0a", "v1", "1,0", "-1"}) {
        Lines manifest = Manifest({});
        manifest[1] = std::string("MIDlet-Version: ") + bad;
        EXPECT_EQ(Messages(CheckManifest(manifest)),
                  Lines{"[!]ManifestのMIDlet-Versionが不正(MIDlet-Version: " + std::string(bad) + ")"})
            << bad;
    }
}

TEST(HandsetChecks, DescriptorRulesAndPlatformLimits) {
    const Lines manifest = Manifest({});
    struct Case {
        Lines changed;  // replacing the descriptor's first lines, then appended
        Lines messages;
    };
    const std::vector<Case> cases = {
        {{"MIDlet-Jar-Size: 51200", "MIDlet-Jar-URL: " + std::string(20, 'u') + ".jar"}, {}},
        // The size is a note for authors (CheckForAuthors), not a warning of the build.
        {{"MIDlet-Jar-Size: 51201", "MIDlet-Jar-URL: a.jar"}, {}},
        {{"MIDlet-Jar-Size: 0x10", "MIDlet-Jar-URL: a.jar"}, {}},
        {{"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL: " + std::string(21, 'u') + ".jar"},
         {"[!]MIDlet-Jar-URLが24バイトを超える(MIDlet-Jar-URL: " + std::string(21, 'u') + ".jar)"}},
        {{"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL: a\x7F.jar"},
         {"[!]MIDlet-Jar-URLがASCIIでない(MIDlet-Jar-URL: a\\x7F.jar)"}},
        {{"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL:a.jar"}, {}},
        {{"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL: a.jar", "MIDlet-Name:  Game "}, {}},
        {{"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL: a.jar", "MIDlet-Vendor: you"},
         {"[!]JADに値の違う同じ属性がある(MIDlet-Vendor: you)",
          "[!]JADとManifestで値が違う(MIDlet-Vendor: you)"}},
        {{"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL: a.jar", "X: 1", "X: 1", "X: 2"},
         {"[!]JADに値の違う同じ属性がある(X: 2)"}},
        {{"MIDlet-Jar-Size: 100", "MIDlet-Jar-URL: a.jar", "  : x", "X:\t"},
         {"[!]JADの属性名が空(  : x)", "[!]JADの値が空(X:\\x09)"}},
    };
    for (const Case& c : cases) {
        Lines descriptor = Descriptor({});
        descriptor[0] = c.changed[0];
        descriptor[1] = c.changed[1];
        descriptor.insert(descriptor.end(), c.changed.begin() + 2, c.changed.end());
        EXPECT_EQ(Messages(CheckDescriptor(descriptor, manifest)), c.messages) << c.changed[1];
    }
    EXPECT_EQ(Messages(CheckDescriptor({}, manifest)),
              (Lines{"[!]JADに必須属性がない(MIDlet-Name)", "[!]JADに必須属性がない(MIDlet-Vendor)",
                     "[!]JADに必須属性がない(MIDlet-Version)", "[!]JADに必須属性がない(MIDlet-1)",
                     "[!]JADに必須属性がない(MIDlet-Jar-URL)", "[!]JADに必須属性がない(MIDlet-Jar-Size)"}));
}

TEST(HandsetChecks, ProblemsKnowTheirLineAndKey) {
    const Problems problems = CheckDescriptor(Descriptor({"MIDlet-Info-URL:"}), Manifest({}));
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_EQ(problems[0].rule, ProblemRule::DescriptorGrammar);
    EXPECT_EQ(problems[0].place, ProblemPlace::Descriptor);
    EXPECT_EQ(problems[0].line, 7);
    EXPECT_EQ(problems[0].key, "MIDlet-Info-URL");
    EXPECT_EQ(ShownSubject(Sjis("落ち物\x1b[2J")), "落ち物\\x1B[2J");
}

TEST(HandsetChecks, ArchiveContentsAreReadWithoutTrustingTheArchive) {
    test::ScratchDir dir;
    std::filesystem::create_directories(dir / "META-INF");
    test::WriteFile(dir / "META-INF/MANIFEST.MF", "A: 1\r\nB: 2\r\n");
    test::WriteFile(dir / "icon.png", "icon");
    ASSERT_EQ(test::RunIn(dir.Path(), "zip -q -X a.jar META-INF/MANIFEST.MF icon.png"), 0);
    ArchiveContents contents = ReadArchiveContents(dir / "a.jar");
    EXPECT_FALSE(contents.error);
    EXPECT_EQ(contents.entryNames, (Lines{"META-INF/MANIFEST.MF", "icon.png"}));
    EXPECT_EQ(contents.manifest, (Lines{"A: 1", "B: 2"}));

    // The same archive inside a larger file, as in a package.
    test::WriteFile(dir / "p.kjx", "HEAD" + test::ReadFile(dir / "a.jar") + "TAIL");
    contents = ReadArchiveContents(dir / "p.kjx", 4, test::ReadFile(dir / "a.jar").size());
    EXPECT_EQ(contents.manifest, (Lines{"A: 1", "B: 2"}));

    // A manifest that inflates beyond any handset's is not read.
    test::WriteFile(dir / "META-INF/MANIFEST.MF", std::string(kManifestReadLimit + 1, 'A'));
    ASSERT_EQ(test::RunIn(dir.Path(), "zip -q -X b.jar META-INF/MANIFEST.MF"), 0);
    contents = ReadArchiveContents(dir / "b.jar");
    EXPECT_FALSE(contents.error);
    EXPECT_FALSE(contents.manifest);

    test::WriteFile(dir / "c.jar", "no zip");
    EXPECT_TRUE(ReadArchiveContents(dir / "c.jar").error);
    EXPECT_TRUE(ReadArchiveContents(dir / "none.jar").error);
    EXPECT_EQ(ManifestLinesOf(dir / "c.jar"), Lines{});
    ASSERT_EQ(mkfifo((dir / "fifo.jar").c_str(), 0600), 0);
    EXPECT_EQ(ReadArchiveContents(dir / "fifo.jar").error, "not a regular file") << "read without blocking";
}

TEST(HandsetChecks, ADescriptorAsLongAsAPackageHoldsIsCheckedQuickly) {
    // 16383 lines of "k:v" fill the 65535 bytes a package's descriptor can have.
    Lines descriptor = Descriptor({});
    for (int i = 0; i < 16383; ++i) descriptor.push_back("k" + std::to_string(i % 2) + ": v" + std::to_string(i));
    // The processor time it takes, not the time on the clock: the test
    // machine is shared, and a busy one must not fail a quick check.
    const std::clock_t start = std::clock();
    const Problems problems = CheckDescriptor(descriptor, Manifest({}));
    const double seconds = static_cast<double>(std::clock() - start) / CLOCKS_PER_SEC;
    EXPECT_EQ(problems.size(), 16381u) << "every line after the first two differs";
    EXPECT_LT(seconds, 1.0 * test::kTimeLimitFactor);
}

// Every manifest the rules call sound, java.util.jar.Manifest reads without
// a warning; every one they call broken, it refuses or warns about.
TEST(HandsetChecks, ManifestGrammarAgreesWithTheJdk) {
    if (!test::HaveProgram("javac") || !test::HaveProgram("java")) GTEST_SKIP() << "no JDK";
    test::ScratchDir dir;
    test::WriteFile(dir / "ReadManifest.java", R"(import java.io.*; import java.util.jar.*;
public class ReadManifest {
    public static void main(String[] args) throws Exception {
        try (InputStream in = new FileInputStream(args[0])) {
            new Manifest(in);
            System.out.print("read");
        } catch (IOException e) {
            System.out.print("refused");
        }
    }
}
)");
    ASSERT_EQ(test::RunIn(dir.Path(), "javac ReadManifest.java"), 0);
    const std::vector<Lines> manifests = {
        Manifest({}),
        Manifest({"MIDlet-Info-URL:"}),
        Manifest({"MIDlet-Info-URL: "}),
        Manifest({"X:1"}),
        Manifest({"X:\t1"}),
        Manifest({"no colon"}),
        Manifest({"My Key: x"}),
        Manifest({": x"}),
        Manifest({std::string(70, 'n') + ": x"}),
        Manifest({std::string(71, 'n') + ": x"}),
        Manifest({"X: " + std::string(507, 'v')}),
        Manifest({"X: " + std::string(508, 'v')}),
        Manifest({"X: " + std::string(509, 'v')}),
        Manifest({"X: 1", " continued"}),
        Manifest({"", "X: 1"}),
        Manifest({"", "Name: a.png"}),
        Manifest({"X: 1", "x: 2"}),
        Lines{" first", "MIDlet-1: A"},
    };
    for (const Lines& manifest : manifests) {
        test::WriteFile(dir / "MANIFEST.MF", test::CrLf(manifest));
        std::string said;
        test::RunIn(dir.Path(), "java -cp . ReadManifest MANIFEST.MF 2>warnings", &said);
        const bool warned = !test::ReadFile(dir / "warnings").empty();
        bool broken = false;
        for (const Problem& problem : CheckManifest(manifest)) {
            if (problem.rule == ProblemRule::ManifestGrammar) broken = true;
        }
        EXPECT_EQ(broken, said != "read" || warned) << test::CrLf(manifest) << said;
    }
}

}  // namespace
}  // namespace pelko
