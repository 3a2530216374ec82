// Templates shaped like released applications: an icon in a folder,
// attributes only the archive's own manifest declares, a descriptor saved as
// UTF-8, no MicroEdition lines, a File default beside the template or not.
// Each is made with --strict, checked and its package inspected; Info-ZIP and
// the JDK's jar list the package's archive alike, with no stray entry.
#include <algorithm>
#include <filesystem>
#include <utility>

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

const std::string kOldIcon = "\x89PNG\r\n\x1a\nthe application's own icon";
const std::string kNewIcon = "\x89PNG\r\n\x1a\nthe author's icon";

const Lines kAttributes = {
    "MIDlet-1: Star, /icons/app.png, StarMain",     // 1
    "MIDlet-Name: Star Game",                       // 2
    "MIDlet-Vendor: someone",                       // 3
    "MIDlet-Version: 1.2.0",                        // 4
    "MicroEdition-Profile: MIDP-2.0",               // 5
    "MicroEdition-Configuration: CLDC-1.1",         // 6
};

Lines With(Lines lines, const Lines& more) {
    lines.insert(lines.end(), more.begin(), more.end());
    return lines;
}

// The attribute lines without the platform's two.
Lines NoPlatform() { return Lines(kAttributes.begin(), kAttributes.begin() + 4); }

struct RealTemplate {
    std::string name;
    Lines descriptor;      // UTF-8, written in CP932 unless savedAsUtf8
    Lines manifest;        // the archive's own
    Lines beside;          // files beside the template, each holding kNewIcon
    Lines build;           // the "[!]" lines of make, before its "[O]" line
    Lines check;           // check's lines after "star.jad:", or "ok"
    Lines inspect;         // inspect's "problem:" and "note:" lines
    std::string replaced;  // the entry that ends up holding kNewIcon; empty: none
    bool savedAsUtf8 = false;
};

std::vector<RealTemplate> Templates() {
    const Lines manifest = With({"Manifest-Version: 1.0", "Created-By: 1.4.2 (Sun Microsystems Inc.)"}, kAttributes);
    return {
        {"icon in a folder", With(kAttributes, {"Pelko-File: アイコン,icons/app.png"}), manifest,
         {"icons/app.png"}, {}, {"ok"}, {}, "icons/app.png"},
        {"icon in a folder written with a backslash", With(kAttributes, {"Pelko-File: アイコン,icons\\app.png,mine.png"}),
         manifest, {"mine.png"}, {}, {"ok"}, {}, "icons/app.png"},
        {"attributes only in the archive's manifest", kAttributes,
         With(manifest, {"Ant-Version: Apache Ant 1.7.1", "MIDlet-Touch-Support: true", "ReverseSoftkeys: true"}), {},
         {"[!]Manifestから属性が消える(MIDlet-Touch-Support: true)", "[!]Manifestから属性が消える(ReverseSoftkeys: true)"},
         {" [!]Manifestから属性が消える(MIDlet-Touch-Support: true)", " [!]Manifestから属性が消える(ReverseSoftkeys: true)"},
         {}, ""},
        {"descriptor saved as UTF-8", With(kAttributes, {"Pelko-Name: 星のゲーム", "Pelko-Speed: 速さ,INT,3"}), manifest,
         {}, {},
         {"7: [!]JADがCP932でなくUTF-8で書かれている(Pelko-Name: 星のゲーム)",
          "8: [!]JADがCP932でなくUTF-8で書かれている(Pelko-Speed: 速さ,INT,3)"},
         {}, "", true},
        {"no MicroEdition lines anywhere", NoPlatform(), With({"Manifest-Version: 1.0"}, NoPlatform()), {}, {},
         {" [!]JADとManifestに必須属性がない(MicroEdition-Profile)",
          " [!]JADとManifestに必須属性がない(MicroEdition-Configuration)"},
         {"problem: descriptor: JADとManifestに必須属性がない(MicroEdition-Profile)",
          "problem: descriptor: JADとManifestに必須属性がない(MicroEdition-Configuration)"},
         ""},
        {"default file beside the template", With(kAttributes, {"Pelko-File: 背景,back.png"}), manifest, {"back.png"},
         {}, {"ok"}, {}, "back.png"},
        {"default file absent", With(kAttributes, {"Pelko-File: 背景,back.png"}), manifest, {},
         {"[!]コピー失敗(back.png)"}, {"7: [!]Fileの既定値のファイルがない(back.png)"}, {}, ""},
    };
}

Lines Beginning(const Lines& lines, const Lines& prefixes) {
    Lines kept;
    for (const std::string& line : lines) {
        for (const std::string& prefix : prefixes) {
            if (line.rfind(prefix, 0) == 0) kept.push_back(line);
        }
    }
    return kept;
}

class RealTemplatesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveProgram("zip")) GTEST_SKIP() << "needs Info-ZIP zip to make the templates' archives";
    }

    // star.jad and star.jar: the archive holds the manifest, the icon in its
    // folder, a root picture and a class.
    void WriteTemplate(const RealTemplate& t) {
        Lines bytes;
        for (const std::string& line : t.descriptor) bytes.push_back(t.savedAsUtf8 ? line : Sjis(line));
        test::WriteFile(dir / "star.jad", test::CrLf(bytes));
        test::ScratchDir root;
        fs::create_directories(root / "META-INF");
        fs::create_directories(root / "icons");
        test::WriteFile(root / "META-INF/MANIFEST.MF", test::CrLf(t.manifest));
        test::WriteFile(root / "icons/app.png", kOldIcon);
        test::WriteFile(root / "back.png", kOldIcon);
        test::WriteFile(root / "StarMain.class", "\xCA\xFE\xBA\xBE not really a class");
        ASSERT_EQ(test::RunIn(root.Path(), "zip -q -X -D " + test::ShellQuoted(dir / "star.jar") +
                                               " META-INF/MANIFEST.MF icons/app.png back.png StarMain.class"),
                  0);
        for (const std::string& file : t.beside) {
            fs::create_directories(fs::path(dir / file).parent_path());
            test::WriteFile(dir / file, kNewIcon);
        }
    }
    CliResult Cli(const std::vector<std::string>& args) { return test::RunCli(dir.Path(), args); }
    // The names a reader lists, in name order: an entry replaced at the
    // root goes to the archive's end.
    Lines Listed(const std::string& command) {
        std::string out;
        EXPECT_EQ(test::RunIn(dir.Path(), command + " 2>&1", &out), 0) << out;
        Lines names = OutputLines(out);
        std::sort(names.begin(), names.end());
        return names;
    }

    test::ScratchDir dir;
};

TEST_F(RealTemplatesTest, MakeCheckAndInspectTellWhatEachTemplateNeeds) {
    const bool haveJar = test::HaveProgram("jar");
    for (const RealTemplate& t : Templates()) {
        SCOPED_TRACE(t.name);
        WriteTemplate(t);

        const CliResult made = Cli({"make", "star.jad", "-o", "out.kjx", "--strict"});
        EXPECT_EQ(Beginning(OutputLines(made.out), {"[!]", "[X]"}), t.build) << made.out;
        EXPECT_EQ(made.code, t.build.empty() ? 0 : 1) << made.out << made.err;

        const CliResult checked = Cli({"check", "star.jad"});
        Lines check;
        for (const std::string& line : t.check) check.push_back(line == "ok" ? line : "star.jad:" + line);
        EXPECT_EQ(OutputLines(checked.out), check);
        EXPECT_EQ(checked.code, t.check == Lines{"ok"} ? 0 : 1);

        const CliResult inspected = Cli({"inspect", "out.kjx"});
        EXPECT_EQ(Beginning(OutputLines(inspected.out), {"problem: ", "note: "}), t.inspect) << inspected.out;
        EXPECT_EQ(inspected.code, t.inspect.empty() ? 0 : 1);

        // The archive holds the template's entries and nothing else, the
        // replaced one with the author's bytes.
        const std::string archive = test::ReadKjx(dir / "out.kjx").archive;
        test::WriteFile(dir / "out.jar", archive);
        const Lines entries = {"META-INF/MANIFEST.MF", "StarMain.class", "back.png", "icons/app.png"};
        EXPECT_EQ(Listed("unzip -Z1 out.jar"), entries);
        if (haveJar) {
            EXPECT_EQ(Listed("jar tf out.jar"), entries);
        }
        for (const std::string entry : {"icons/app.png", "back.png"}) {
            EXPECT_EQ(test::EntryData(archive, entry), entry == t.replaced ? kNewIcon : kOldIcon) << entry;
        }
        fs::remove_all(dir.Path());
        fs::create_directories(dir.Path());
    }
}

}  // namespace
}  // namespace pelko
