#include "package/archive/Archive.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#include <zip.h>

#include <algorithm>
#include <csignal>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/TestFiles.h"
#include "support/ZipExpectations.h"
#include "support/ZipTools.h"
#include "text/Utf8.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ExpectSameContents;
using test::ZipEntry;

const std::string kManifestPath = "META-INF\\MANIFEST.MF";
const std::string kManifestEntry = "META-INF/MANIFEST.MF";
const std::string kOldManifest = "Manifest-Version: 1.0\r\nMIDlet-Name: Old\r\n";

// Long and repetitive enough that deflate clearly shrinks it.
std::string NewManifest() {
    std::string text = "Manifest-Version: 1.0\r\nMIDlet-Name: Block\r\nMIDlet-Vendor: Pelko\r\n";
    for (int i = 0; i < 40; ++i) text += "Pelko-Line-" + std::to_string(i) + ": some repeated value\r\n";
    return text;
}

const std::time_t kLongAgo = test::LocalTime(2001, 2, 3);

// A work directory for ArchiveCommand and a twin for Info-ZIP's zip, both
// holding the same files and the same archive a.zip.
class Twins {
public:
    explicit Twins(const std::string& root) : ours_(root + "ours/"), theirs_(root + "theirs/") {
        fs::create_directories(ours_);
        fs::create_directories(theirs_);
    }

    void Put(const std::string& name, std::string_view bytes, std::time_t time = 0) {
        for (const std::string& directory : {ours_, theirs_}) {
            const std::string path = directory + name;
            fs::create_directories(fs::path(path).parent_path());
            test::WriteFile(path, bytes);
            if (time != 0) test::SetFileTime(path, time);
        }
    }

    // zip run in our directory; the archive is then copied to the twin.
    void MakeArchive(const std::string& zipArguments) {
        std::string out;
        ASSERT_EQ(test::RunIn(ours_, "zip -q a.zip " + zipArguments + " 2>&1", &out), 0) << out;
        fs::copy_file(OurArchive(), TheirArchive(), fs::copy_options::overwrite_existing);
    }

    int Ours(const std::string& switches, const std::string& name, std::string* message = nullptr) {
        char output[kArchiveOutputSize];
        std::memset(output, 'x', sizeof output);
        const int result =
            ArchiveCommand(ours_, ArchiveCommandLine(switches, "a.zip", name), output, sizeof output);
        if (message) *message = output;
        return result;
    }

    // The same command through Info-ZIP, with the name in the file system's form.
    int Theirs(const std::string& switches, const std::string& unixName) {
        std::string out;
        const int status =
            test::RunIn(theirs_, "zip " + switches + " a.zip " + test::ShellQuoted(unixName) + " 2>&1", &out);
        if (status != 0) std::cerr << "zip said: " << out;
        return status;
    }

    std::string OurArchive() const { return ours_ + "a.zip"; }
    std::string TheirArchive() const { return theirs_ + "a.zip"; }
    const std::string& OurDirectory() const { return ours_; }
    std::vector<ZipEntry> OurEntries() const { return test::ReadZip(OurArchive()); }
    std::vector<ZipEntry> TheirEntries() const { return test::ReadZip(TheirArchive()); }

private:
    std::string ours_;
    std::string theirs_;
};

// An entry the command did not touch is carried over exactly.
void ExpectCarried(const ZipEntry& now, const ZipEntry& before) {
    SCOPED_TRACE("carried " + now.name);
    EXPECT_EQ(now.name, before.name);
    EXPECT_EQ(now.method, before.method);
    EXPECT_EQ(now.compressedSize, before.compressedSize);
    EXPECT_EQ(now.crc, before.crc);
    EXPECT_EQ(now.time, before.time);
    EXPECT_EQ(now.localExtraFields, before.localExtraFields);
    EXPECT_EQ(now.centralExtraFields, before.centralExtraFields);
    EXPECT_EQ(now.comment, before.comment);
    EXPECT_EQ(now.utf8Flag, before.utf8Flag);
    EXPECT_EQ(now.system, before.system);
    EXPECT_EQ(now.attributes, before.attributes);
}

void ExpectFresh(const ZipEntry& entry, std::string_view data) {
    SCOPED_TRACE("written " + entry.name);
    EXPECT_EQ(entry.data, data);
    EXPECT_FALSE(entry.encrypted);
    EXPECT_EQ(entry.localExtraFields, 0);
    EXPECT_EQ(entry.centralExtraFields, 0);
}

// Readers other than libzip accept it: Info-ZIP's test and, for names the
// JDK can decode, its jar tool.
void ExpectSound(const std::string& archive, bool askJar = true) {
    std::string out;
    EXPECT_EQ(test::Run("unzip -tq " + test::ShellQuoted(archive) + " 2>&1", &out), 0) << out;
    if (askJar && test::HaveProgram("jar")) {
        EXPECT_EQ(test::Run("jar tf " + test::ShellQuoted(archive) + " 2>&1", &out), 0) << out;
    }
}

class ArchiveTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveProgram("zip") || !test::HaveProgram("unzip")) {
            GTEST_SKIP() << "needs Info-ZIP zip and unzip";
        }
    }

    Twins MakeTwins() { return Twins(scratch_ / ("case" + std::to_string(cases_++) + "/")); }

    // The usual template: a manifest, a text and an image, all written long ago.
    Twins MakeTemplate(const std::string& manifest = kOldManifest, const std::string& zipOptions = "-r") {
        Twins twins = MakeTwins();
        twins.Put(kManifestEntry, manifest, kLongAgo);
        twins.Put("a.txt", std::string(3000, 'a'), kLongAgo);
        twins.Put("back.png", test::RandomBytes(5000, 1), kLongAgo);
        twins.MakeArchive(zipOptions + " META-INF a.txt back.png");
        return twins;
    }

    test::ScratchDir scratch_;
    int cases_ = 0;
};

// ----------------------------------------------------------------- manifest

TEST_F(ArchiveTest, ReplacedManifestKeepsItsPlaceAndLosesItsExtraFields) {
    for (const std::string& name : {kManifestPath, kManifestEntry}) {
        SCOPED_TRACE(name);
        Twins twins = MakeTemplate();
        const std::vector<ZipEntry> before = twins.OurEntries();
        ASSERT_EQ(test::NamesOf(before),
                  (std::vector<std::string>{"META-INF/", kManifestEntry, "a.txt", "back.png"}));
        ASSERT_GT(before[1].centralExtraFields, 0);  // zip writes time and owner fields
        twins.Put(kManifestEntry, NewManifest());

        ASSERT_EQ(twins.Ours("-Xqu9", name), kArchiveOk);
        ASSERT_EQ(twins.Theirs("-Xqu9", kManifestEntry), 0);

        const std::vector<ZipEntry> ours = twins.OurEntries();
        ExpectSameContents(ours, twins.TheirEntries());
        ASSERT_EQ(ours.size(), 4u);
        ExpectFresh(ours[1], NewManifest());
        EXPECT_EQ(ours[1].method, ZIP_CM_DEFLATE);
        for (std::size_t i : {0u, 2u, 3u}) ExpectCarried(ours[i], before[i]);
        ExpectSound(twins.OurArchive());
    }
}

TEST_F(ArchiveTest, AddedManifestBecomesTheFirstEntryAndTheRestIsCarried) {
    Twins twins = MakeTwins();
    twins.Put("a.txt", std::string(3000, 'a'), kLongAgo);
    twins.Put("back.png", test::RandomBytes(5000, 2), kLongAgo);
    twins.Put("sub/c.txt", "see", kLongAgo);
    twins.Put("plain.txt", std::string(20000, 'p'), kLongAgo);
    fs::permissions(twins.OurDirectory() + "sub/c.txt", fs::perms(0751));
    twins.MakeArchive("-r a.txt back.png sub");
    twins.MakeArchive("-0 plain.txt");  // stored though deflate would shrink it
    std::string out;
    ASSERT_EQ(test::RunIn(twins.OurDirectory(), "printf 'a note\\n' | zip -qc a.zip a.txt", &out), 0);
    ASSERT_EQ(test::RunIn(twins.OurDirectory(), "printf 'archive note\\n' | zip -qz a.zip", &out), 0);
    fs::copy_file(twins.OurArchive(), twins.TheirArchive(), fs::copy_options::overwrite_existing);
    const std::vector<ZipEntry> before = twins.OurEntries();
    ASSERT_EQ(before[0].comment, "a note");
    twins.Put(kManifestEntry, NewManifest());

    ASSERT_EQ(twins.Ours("-Xqu9", kManifestPath), kArchiveOk);
    ASSERT_EQ(twins.Theirs("-Xqu9", kManifestEntry), 0);

    const std::vector<ZipEntry> ours = twins.OurEntries();
    std::vector<ZipEntry> theirs = twins.TheirEntries();
    ASSERT_EQ(test::NamesOf(theirs).back(), kManifestEntry);  // zip appends
    std::rotate(theirs.begin(), theirs.end() - 1, theirs.end());
    ExpectSameContents(ours, theirs);
    ASSERT_EQ(ours.size(), before.size() + 1);
    ExpectFresh(ours[0], NewManifest());
    for (std::size_t i = 0; i < before.size(); ++i) ExpectCarried(ours[i + 1], before[i]);
    ExpectSound(twins.OurArchive());
    std::string comment;
    test::RunIn(twins.OurDirectory(), "unzip -z a.zip", &comment);
    EXPECT_NE(comment.find("archive note"), std::string::npos) << comment;
}

TEST_F(ArchiveTest, AddedManifestKeepsUtf8NamesOfAJarMarkedAsUtf8) {
    if (!test::HaveProgram("jar")) GTEST_SKIP() << "needs the JDK's jar";
    Twins twins = MakeTwins();
    const std::string name = "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF.txt";  // "データ.txt" in UTF-8
    twins.Put(name, "data");
    std::string out;
    ASSERT_EQ(test::RunIn(twins.OurDirectory(), "jar cfM a.zip " + test::ShellQuoted(name) + " 2>&1", &out),
              0)
        << out;
    const std::vector<ZipEntry> before = twins.OurEntries();
    ASSERT_TRUE(before.at(0).utf8Flag);
    twins.Put(kManifestEntry, NewManifest());

    ASSERT_EQ(twins.Ours("-Xqu9", kManifestPath), kArchiveOk);

    const std::vector<ZipEntry> ours = twins.OurEntries();
    ASSERT_EQ(test::NamesOf(ours), (std::vector<std::string>{kManifestEntry, name}));
    ExpectCarried(ours[1], before[0]);
    ASSERT_EQ(test::Run("jar tf " + test::ShellQuoted(twins.OurArchive()), &out), 0);
    EXPECT_EQ(out, kManifestEntry + "\n" + name + "\n");
}

TEST_F(ArchiveTest, ManifestIsReplacedWhateverItsTimeStampSays) {
    Twins twins = MakeTwins();
    twins.Put(kManifestEntry, kOldManifest, test::LocalTime(2099, 12, 31));
    twins.Put("a.txt", "a", kLongAgo);
    twins.MakeArchive("META-INF/MANIFEST.MF a.txt");
    twins.Put(kManifestEntry, NewManifest());  // older than the entry

    ASSERT_EQ(twins.Ours("-Xqu9", kManifestPath), kArchiveOk);

    const std::vector<ZipEntry> ours = twins.OurEntries();
    ASSERT_EQ(test::NamesOf(ours), (std::vector<std::string>{kManifestEntry, "a.txt"}));
    ExpectFresh(ours[0], NewManifest());
}

// The method follows the new data, not the entry being replaced.
TEST_F(ArchiveTest, ReplacedManifestTakesTheMethodItsNewDataNeeds) {
    struct Case {
        const char* what;
        const char* zipOptions;  // how the old manifest was stored
        std::string newManifest;
        std::uint16_t method;
    };
    const Case cases[] = {
        {"stored, now compressible", "-0 -r", NewManifest(), ZIP_CM_DEFLATE},
        {"deflated, now incompressible", "-9 -r", "MIDlet-Name: " + test::RandomBytes(20000, 3),
         ZIP_CM_STORE},
        {"deflated, now compressible", "-1 -r", NewManifest(), ZIP_CM_DEFLATE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Twins twins = MakeTemplate(std::string(4000, 'm'), c.zipOptions);
        twins.Put(kManifestEntry, c.newManifest);

        ASSERT_EQ(twins.Ours("-Xqu9", kManifestPath), kArchiveOk);
        ASSERT_EQ(twins.Theirs("-Xqu9", kManifestEntry), 0);

        const std::vector<ZipEntry> ours = twins.OurEntries();
        const std::vector<ZipEntry> theirs = twins.TheirEntries();
        ExpectSameContents(ours, theirs);
        ExpectFresh(ours[1], c.newManifest);
        EXPECT_EQ(ours[1].method, c.method);
        EXPECT_EQ(theirs[1].method, c.method);
    }
}

TEST_F(ArchiveTest, EncryptedManifestIsReplacedByAPlainOne) {
    Twins twins = MakeTwins();
    twins.Put(kManifestEntry, kOldManifest, kLongAgo);
    twins.Put("a.txt", "a", kLongAgo);
    twins.MakeArchive("-P secret META-INF/MANIFEST.MF");
    twins.MakeArchive("a.txt");
    ASSERT_TRUE(twins.OurEntries().at(0).encrypted);
    twins.Put(kManifestEntry, NewManifest());

    ASSERT_EQ(twins.Ours("-Xqu9", kManifestPath), kArchiveOk);

    const std::vector<ZipEntry> ours = twins.OurEntries();
    ASSERT_EQ(test::NamesOf(ours), (std::vector<std::string>{kManifestEntry, "a.txt"}));
    ExpectFresh(ours[0], NewManifest());
}

TEST_F(ArchiveTest, JavaReadsTheManifestWhetherReplacedOrAdded) {
    if (!test::HaveProgram("java")) GTEST_SKIP() << "needs java";
    const char* checker =
        "import java.io.FileInputStream;\n"
        "import java.util.jar.JarInputStream;\n"
        "import java.util.jar.Manifest;\n"
        "public class Check {\n"
        "    public static void main(String[] args) throws Exception {\n"
        "        try (JarInputStream in = new JarInputStream(new FileInputStream(args[0]))) {\n"
        "            Manifest manifest = in.getManifest();\n"
        "            System.out.print(manifest == null ? \"(none)\" : "
        "manifest.getMainAttributes().getValue(\"MIDlet-Name\"));\n"
        "        }\n"
        "    }\n"
        "}\n";
    Twins replaced = MakeTemplate();
    Twins added = MakeTwins();
    added.Put("back.png", test::RandomBytes(100, 4));
    added.Put("a.txt", "a");
    added.MakeArchive("back.png a.txt");
    for (Twins* twins : {&replaced, &added}) {
        twins->Put(kManifestEntry, NewManifest());
        twins->Put("Check.java", checker);
        ASSERT_EQ(twins->Ours("-Xqu9", kManifestPath), kArchiveOk);
        std::string out;
        EXPECT_EQ(test::RunIn(twins->OurDirectory(), "java Check.java a.zip 2>&1", &out), 0) << out;
        EXPECT_EQ(out, "Block");
    }
}

// ------------------------------------------------------------------- delete

TEST_F(ArchiveTest, DeleteRemovesOnlyTheRootEntryOfThatName) {
    const std::string cp932 = "\x94\x77\x8C\x69.png";  // 背景.png
    const std::string trail5C = "\x95\x5C.png";         // 表.png: its second byte is a backslash
    const std::vector<std::string> all = {"META-INF/", kManifestEntry, "a.txt",  "back.png",
                                          "sub/",      "sub/back.png", cp932, trail5C};
    struct Case {
        const char* what;
        std::string name;      // as the command line gives it
        std::string unixName;  // as zip is given it
        std::string gone;
    };
    const Case cases[] = {
        {"root entry", "back.png", "back.png", "back.png"},
        {"directory part ignored", "img\\back.png", "back.png", "back.png"},
        {"CP932 name", cp932, cp932, cp932},
        {"CP932 name with a 0x5C trail byte", "img\\" + trail5C, trail5C, trail5C},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Twins twins = MakeTemplate();
        twins.Put("sub/back.png", "under", kLongAgo);
        twins.Put(cp932, "named", kLongAgo);
        twins.Put(trail5C, "table", kLongAgo);
        twins.MakeArchive("-r sub " + test::ShellQuoted(cp932) + " " + test::ShellQuoted(trail5C));
        const std::vector<ZipEntry> before = twins.OurEntries();
        ASSERT_EQ(test::NamesOf(before), all);

        ASSERT_EQ(twins.Ours("-qd", c.name), kArchiveOk);
        ASSERT_EQ(twins.Theirs("-qd", c.unixName), 0);

        const std::vector<ZipEntry> ours = twins.OurEntries();
        std::vector<std::string> left = all;
        std::erase(left, c.gone);
        EXPECT_EQ(test::NamesOf(ours), left);
        ExpectSameContents(ours, twins.TheirEntries());
        for (const ZipEntry& entry : ours) {
            const auto old = std::find_if(before.begin(), before.end(),
                                          [&](const ZipEntry& e) { return e.name == entry.name; });
            ExpectCarried(entry, *old);
        }
        ExpectSound(twins.OurArchive(), false);
    }
}

// A build stores a file for an entry in a folder with -Xqu9, as zip -u
// stores it: under its path, in place of the entry there or added at the end.
TEST_F(ArchiveTest, UpdateStoresAFileUnderItsPathInAFolder) {
    const std::string trail5C = "\x95\x5C.png";  // 表.png: its second byte is a backslash
    struct Case {
        const char* what;
        std::string name;   // as the command line gives it
        std::string entry;  // as the archive and zip have it
    };
    const Case cases[] = {
        {"entry replaced in place", "sub\\back.png", "sub/back.png"},
        {"entry added", "img/new.png", "img/new.png"},
        {"CP932 name with a 0x5C trail byte", "img\\" + trail5C, "img/" + trail5C},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Twins twins = MakeTemplate();
        twins.Put("sub/back.png", "under", kLongAgo);
        twins.MakeArchive("sub/back.png");
        std::vector<std::string> names = test::NamesOf(twins.OurEntries());
        if (std::find(names.begin(), names.end(), c.entry) == names.end()) names.push_back(c.entry);
        twins.Put(c.entry, "new bytes for " + c.entry);

        ASSERT_EQ(twins.Ours("-Xqu9", c.name), kArchiveOk);
        ASSERT_EQ(twins.Theirs("-Xqu9", c.entry), 0);

        const std::vector<ZipEntry> ours = twins.OurEntries();
        EXPECT_EQ(test::NamesOf(ours), names);
        ExpectSameContents(ours, twins.TheirEntries());
        ExpectSound(twins.OurArchive(), false);
    }
}

TEST_F(ArchiveTest, DeletingAnAbsentEntrySucceedsAndChangesNothing) {
    Twins twins = MakeTemplate();
    const std::string before = test::ReadFile(twins.OurArchive());
    for (const char* name : {"none.png", "BACK.PNG", "a.tx", "META-INF/MANIFEST"}) {
        SCOPED_TRACE(name);
        std::string message;
        EXPECT_EQ(twins.Ours("-qd", name, &message), kArchiveOk);
        EXPECT_EQ(message, "");
        EXPECT_EQ(twins.Theirs("-qd", name), 12);  // zip: nothing to do
        EXPECT_EQ(test::ReadFile(twins.OurArchive()), before);
    }
    // Names match byte for byte: unlike zip, which takes "META-INF" for the
    // directory entry "META-INF/", a bare name never names a directory.
    EXPECT_EQ(twins.Ours("-qd", "META-INF"), kArchiveOk);
    EXPECT_EQ(test::ReadFile(twins.OurArchive()), before);
}

TEST_F(ArchiveTest, DeletingTheLastEntryLeavesAnEmptyArchiveForTheNextAdd) {
    Twins twins = MakeTwins();
    twins.Put("back.png", "old image", kLongAgo);
    twins.MakeArchive("back.png");

    ASSERT_EQ(twins.Ours("-qd", "back.png"), kArchiveOk);
    ASSERT_EQ(twins.Theirs("-qd", "back.png"), 0);
    const std::string empty = test::ReadFile(twins.OurArchive());
    EXPECT_EQ(empty.size(), 22u);
    EXPECT_EQ(empty, test::ReadFile(twins.TheirArchive()));
    EXPECT_TRUE(twins.OurEntries().empty());

    twins.Put("back.png", NewManifest());
    ASSERT_EQ(twins.Ours("-Xqju9", "back.png"), kArchiveOk);
    ASSERT_EQ(twins.Theirs("-Xqju9", "back.png"), 0);
    ExpectSameContents(twins.OurEntries(), twins.TheirEntries());
    ExpectSound(twins.OurArchive());
}

// -------------------------------------------------------------- add at root

TEST_F(ArchiveTest, StoreAtRootAddsOrReplacesTheEntryOfTheBareName) {
    struct Case {
        const char* what;
        std::string name;      // as the command line gives it
        std::string diskPath;  // where the file lies in the work directory
        std::string entry;     // the entry it must become
        bool ascii;
    };
    const Case cases[] = {
        {"replaces in place", "back.png", "back.png", "back.png", true},
        {"adds at the end", "front.png", "front.png", "front.png", true},
        {"directory part dropped", "img\\front.png", "img/front.png", "front.png", true},
        {"slash separates too", "img/back.png", "img/back.png", "back.png", true},
        {"CP932 name kept", "\x94\x77\x8C\x69.png", "\x94\x77\x8C\x69.png", "\x94\x77\x8C\x69.png", false},
        {"trail byte 0x5C is no separator", "\x95\x5C.png", "\x95\x5C.png", "\x95\x5C.png", false},
        {"CP932 directory with a 0x5C trail byte", "\x95\x5C\\\x94\x77.png", "\x95\x5C/\x94\x77.png",
         "\x94\x77.png", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Twins twins = MakeTemplate();
        const std::vector<ZipEntry> before = twins.OurEntries();
        const std::string image = test::RandomBytes(3000, 5) + std::string(3000, 'z');
        twins.Put(c.diskPath, image);

        ASSERT_EQ(twins.Ours("-Xqju9", c.name), kArchiveOk);
        ASSERT_EQ(twins.Theirs("-Xqju9", c.diskPath), 0);

        const std::vector<ZipEntry> ours = twins.OurEntries();
        ExpectSameContents(ours, twins.TheirEntries());
        std::vector<std::string> expected = test::NamesOf(before);
        if (std::find(expected.begin(), expected.end(), c.entry) == expected.end()) {
            expected.push_back(c.entry);
        }
        ASSERT_EQ(test::NamesOf(ours), expected);
        for (std::size_t i = 0; i < ours.size(); ++i) {
            if (ours[i].name == c.entry) {
                ExpectFresh(ours[i], image);
                EXPECT_EQ(ours[i].method, ZIP_CM_DEFLATE);
                EXPECT_FALSE(ours[i].utf8Flag);
            } else {
                ExpectCarried(ours[i], before[i]);
            }
        }
        ExpectSound(twins.OurArchive(), c.ascii);
    }
}

TEST_F(ArchiveTest, NewDataIsStoredWhenDeflateWouldNotShrinkIt) {
    // zip stores only what fits into one deflate block (32 KiB); a larger
    // file that does not shrink it keeps as deflate's stored blocks, a little
    // larger than the file. Here such a file is stored.
    struct Case {
        const char* what;
        std::string data;
        std::uint16_t method;
        std::uint16_t zipMethod;
    };
    const Case cases[] = {
        {"random, beyond one block", test::RandomBytes(200000, 6), ZIP_CM_STORE, ZIP_CM_DEFLATE},
        {"random, within one block", test::RandomBytes(30000, 12), ZIP_CM_STORE, ZIP_CM_STORE},
        {"random, small", test::RandomBytes(100, 7), ZIP_CM_STORE, ZIP_CM_STORE},
        {"empty", "", ZIP_CM_STORE, ZIP_CM_STORE},
        {"three bytes", "abc", ZIP_CM_STORE, ZIP_CM_STORE},
        {"repetitive, large", std::string(200000, 'r'), ZIP_CM_DEFLATE, ZIP_CM_DEFLATE},
        {"random then repetitive", test::RandomBytes(50000, 8) + std::string(50000, 'r'), ZIP_CM_DEFLATE,
         ZIP_CM_DEFLATE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Twins twins = MakeTemplate();
        twins.Put("data.bin", c.data);

        ASSERT_EQ(twins.Ours("-Xqju9", "data.bin"), kArchiveOk);
        ASSERT_EQ(twins.Theirs("-Xqju9", "data.bin"), 0);

        const std::vector<ZipEntry> ours = twins.OurEntries();
        const std::vector<ZipEntry> theirs = twins.TheirEntries();
        ExpectSameContents(ours, theirs);
        ExpectFresh(ours.back(), c.data);
        EXPECT_EQ(ours.back().method, c.method);
        EXPECT_EQ(theirs.back().method, c.zipMethod);
        if (c.method == ZIP_CM_STORE) {
            EXPECT_EQ(ours.back().compressedSize, c.data.size());
        }
    }
}

// ------------------------------------------------------------------ failures

TEST_F(ArchiveTest, FailuresSayWhyAndLeaveTheArchiveAsItWas) {
    struct Case {
        const char* what;
        std::function<void(Twins&)> prepare;
        std::string switches;
        std::string name;
        int result;
        std::string message;
    };
    const auto plainTemplate = [](Twins& twins) {
        twins.Put("a.txt", "a");
        twins.MakeArchive("a.txt");
    };
    const auto notZip = [](Twins& twins) { twins.Put("a.zip", "This is a text, not an archive.\n"); };
    const auto truncated = [](Twins& twins) {
        twins.Put("a.txt", std::string(1000, 'a'));
        twins.MakeArchive("a.txt");
        const std::string bytes = test::ReadFile(twins.OurArchive());
        twins.Put("a.zip", bytes.substr(0, bytes.size() - 10));
    };
    const auto noArchive = [](Twins& twins) { twins.Put("back.png", "image"); };
    const Case cases[] = {
        {"not a ZIP archive, update", notZip, "-Xqu9", kManifestPath, kArchiveNotZip,
         "\"a.zip\" is not a ZIP archive"},
        {"not a ZIP archive, delete", notZip, "-qd", "back.png", kArchiveNotZip,
         "\"a.zip\" is not a ZIP archive"},
        {"not a ZIP archive, add", notZip, "-Xqju9", "a.zip", kArchiveNotZip,
         "\"a.zip\" is not a ZIP archive"},
        {"cut short", truncated, "-qd", "a.txt", kArchiveNotZip, "\"a.zip\""},
        {"missing archive, update", noArchive, "-Xqu9", kManifestPath, kArchiveMissing,
         "archive \"a.zip\" does not exist"},
        {"missing archive, delete", noArchive, "-qd", "back.png", kArchiveMissing,
         "archive \"a.zip\" does not exist"},
        {"missing archive, add", noArchive, "-Xqju9", "back.png", kArchiveMissing,
         "archive \"a.zip\" does not exist"},
        {"missing file to add", plainTemplate, "-Xqju9", "back.png", kArchiveFileUnreadable,
         "file \"back.png\" does not exist"},
        {"missing manifest file", plainTemplate, "-Xqu9", kManifestPath, kArchiveFileUnreadable,
         "file \"META-INF\\MANIFEST.MF\" does not exist"},
        {"directory to add",
         [&](Twins& twins) {
             plainTemplate(twins);
             twins.Put("img/x", "x");
         },
         "-Xqju9", "img", kArchiveFileUnreadable, "\"img\" is not a file"},
        {"CP932 name in the message", plainTemplate, "-Xqju9", "\x94\x77\x8C\x69.png", kArchiveFileUnreadable,
         "file \"\xE8\x83\x8C\xE6\x99\xAF.png\" does not exist"},
        {"manifest path leading upwards", plainTemplate, "-Xqu9", "..\\MANIFEST.MF", kArchiveBadCommand,
         "the name must be a relative path"},
        {"absolute manifest path", plainTemplate, "-Xqu9", "/etc/passwd", kArchiveBadCommand,
         "the name must be a relative path"},
        {"no bare name", plainTemplate, "-qd", "img\\", kArchiveBadCommand, "no file name in \"img\\\""},
        {"encrypted entry cannot move behind a new manifest",
         [](Twins& twins) {
             twins.Put("a.txt", "a");
             twins.MakeArchive("-P secret a.txt");
             twins.Put(kManifestEntry, NewManifest());
         },
         "-Xqu9", kManifestPath, kArchiveUnsupported, "cannot move the encrypted entry \"a.txt\""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Twins twins = MakeTwins();
        c.prepare(twins);
        const bool hadArchive = fs::exists(twins.OurArchive());
        const std::string before = hadArchive ? test::ReadFile(twins.OurArchive()) : "";
        const std::vector<std::string> files = test::ListDir(twins.OurDirectory());

        std::string message;
        EXPECT_EQ(twins.Ours(c.switches, c.name, &message), c.result);
        EXPECT_NE(message.find(c.message), std::string::npos) << message;
        EXPECT_TRUE(IsUtf8(message)) << message;
        EXPECT_EQ(fs::exists(twins.OurArchive()), hadArchive);
        if (hadArchive) {
            EXPECT_EQ(test::ReadFile(twins.OurArchive()), before);
        }
        EXPECT_EQ(test::ListDir(twins.OurDirectory()), files);  // no temporary file left
    }
}

TEST_F(ArchiveTest, MalformedCommandLinesAreRefused) {
    struct Case {
        std::string line;
        std::string message;
    };
    const Case cases[] = {
        {"", "malformed command line"},
        {"-qd", "malformed command line"},
        {"-qd \"a.zip\"", "the second name must follow one space"},
        {"-qd a.zip back.png", "the archive name must follow one space"},
        {"-qd  \"a.zip\" \"back.png\"", "malformed command line"},
        {" -qd \"a.zip\" \"back.png\"", "malformed command line"},
        {"-qd \"a.zip\"  \"back.png\"", "the second name must follow one space"},
        {"-qd \"a.zip\"\"back.png\"", "the second name must follow one space"},
        {"-qd \"a.zip\" \"back.png\" ", "text follows the second name"},
        {"-qd \"a.zip\" \"back.png\" \"more\"", "text follows the second name"},
        {"-qd \"a.zip\" back.png", "the second name must follow one space"},
        {"-qd \"a.zip\" \"back.png", "the second name has no closing double quote"},
        {"-qd \"a.zip", "the archive name has no closing double quote"},
        {"-qd \"\" \"back.png\"", "the archive name is empty"},
        {"-qd \"a.zip\" \"\"", "the second name is empty"},
        {std::string("-qd \"a.zip\" \"back\0.png\"", 23), "NUL"},
        {"-d \"a.zip\" \"back.png\"", "unsupported switches \"-d\""},
        {"-Xqu \"a.zip\" \"META-INF\\MANIFEST.MF\"", "unsupported switches \"-Xqu\""},
        {"-xqd \"a.zip\" \"back.png\"", "unsupported switches"},
        {"\"a.zip\" \"back.png\"", "malformed command line"},
    };
    Twins twins = MakeTemplate();
    const std::string before = test::ReadFile(twins.OurArchive());
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        char output[kArchiveOutputSize];
        EXPECT_EQ(ArchiveCommand(twins.OurDirectory(), c.line, output, sizeof output), kArchiveBadCommand);
        EXPECT_NE(std::string(output).find(c.message), std::string::npos) << output;
    }
    EXPECT_EQ(test::ReadFile(twins.OurArchive()), before);
}

TEST_F(ArchiveTest, MessageIsCutToTheBufferAndAlwaysEndsWithNul) {
    Twins twins = MakeTwins();
    const std::string line = ArchiveCommandLine("-Xqju9", "a.zip", "back.png");
    const std::string full = "archive \"a.zip\" does not exist";
    for (std::size_t size : {1u, 2u, 8u, 30u, 31u, 32u, 40u}) {
        SCOPED_TRACE(size);
        char output[40];
        std::memset(output, '#', sizeof output);
        EXPECT_EQ(ArchiveCommand(twins.OurDirectory(), line, output, size), kArchiveMissing);
        const std::size_t length = std::min(size - 1, full.size());
        EXPECT_EQ(std::string(output), full.substr(0, length));
        if (size < sizeof output) {
            EXPECT_EQ(output[size], '#');  // nothing written past the buffer
        }
    }
    char untouched[4] = {'#', '#', '#', '#'};
    EXPECT_EQ(ArchiveCommand(twins.OurDirectory(), line, untouched, 0), kArchiveMissing);
    EXPECT_EQ(std::string(untouched, 4), "####");
    EXPECT_EQ(ArchiveCommand(twins.OurDirectory(), line, nullptr, 0), kArchiveMissing);
}

TEST_F(ArchiveTest, MessageIsNeverCutInsideACharacter) {
    Twins twins = MakeTwins();
    twins.Put("a.txt", "a");
    twins.MakeArchive("a.txt");
    const std::string line = ArchiveCommandLine("-Xqju9", "a.zip", "\x94\x77\x8C\x69.png");
    const std::string full = "file \"\xE8\x83\x8C\xE6\x99\xAF.png\" does not exist";
    for (std::size_t size = 1; size <= full.size() + 1; ++size) {
        SCOPED_TRACE(size);
        char output[64];
        ASSERT_EQ(ArchiveCommand(twins.OurDirectory(), line, output, size), kArchiveFileUnreadable);
        const std::string got = output;
        EXPECT_LT(got.size(), size);
        EXPECT_EQ(full.compare(0, got.size(), got), 0);
        EXPECT_TRUE(IsUtf8(got)) << got;
        EXPECT_GE(got.size() + 2, std::min(size - 1, full.size()));  // at most a partial character dropped
    }
}

TEST_F(ArchiveTest, SuccessLeavesAnEmptyMessage) {
    Twins twins = MakeTemplate();
    char output[kArchiveOutputSize];
    std::strcpy(output, "an earlier message");
    EXPECT_EQ(ArchiveCommand(twins.OurDirectory(), ArchiveCommandLine("-qd", "a.zip", "a.txt"), output,
                             sizeof output),
              kArchiveOk);
    EXPECT_STREQ(output, "");
}

TEST_F(ArchiveTest, NamesAreTakenRelativeToTheWorkDirectoryOrAsAbsolutePaths) {
    Twins twins = MakeTemplate();
    twins.Put(kManifestEntry, NewManifest());
    std::string directory = twins.OurDirectory();
    directory.pop_back();  // without its trailing slash
    char output[kArchiveOutputSize];
    EXPECT_EQ(
        ArchiveCommand(directory, ArchiveCommandLine("-Xqu9", "a.zip", kManifestPath), output, sizeof output),
        kArchiveOk)
        << output;
    EXPECT_EQ(
        ArchiveCommand("", ArchiveCommandLine("-qd", twins.OurArchive(), "a.txt"), output, sizeof output),
        kArchiveOk)
        << output;
    twins.Put("sub/img.png", "img");
    EXPECT_EQ(
        ArchiveCommand("/nonexistent",
                       ArchiveCommandLine("-Xqju9", twins.OurArchive(), twins.OurDirectory() + "sub/img.png"),
                       output, sizeof output),
        kArchiveOk)
        << output;
    const std::vector<ZipEntry> ours = twins.OurEntries();
    EXPECT_EQ(test::NamesOf(ours),
              (std::vector<std::string>{"META-INF/", kManifestEntry, "back.png", "img.png"}));
    EXPECT_EQ(ours[1].data, NewManifest());
}

// Runs the command in a child whose files may not grow beyond limit bytes,
// as on a full disk; returns its result and message.
std::pair<int, std::string> RunWithFileSizeLimit(const std::string& directory, const std::string& line,
                                                 rlim_t limit) {
    int ends[2];
    if (pipe(ends) != 0) return {-1, "no pipe"};
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit then fails with EFBIG
        const rlimit files{limit, limit};
        setrlimit(RLIMIT_FSIZE, &files);
        char output[kArchiveOutputSize];
        const int result = ArchiveCommand(directory, line, output, sizeof output);
        const ssize_t written = write(ends[1], output, std::strlen(output));
        _exit(written < 0 ? 100 : result);
    }
    close(ends[1]);
    std::string message;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(ends[0], buffer, sizeof buffer)) > 0) {
        message.append(buffer, static_cast<std::size_t>(got));
    }
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return {WIFEXITED(status) ? WEXITSTATUS(status) : -1, message};
}

TEST_F(ArchiveTest, AFailedWriteKeepsTheOldArchive) {
    struct Case {
        const char* what;
        std::string switches;
        std::string name;
        bool withManifest;
        rlim_t limit;
    };
    const Case cases[] = {
        {"replacing an entry", "-Xqju9", "back.png", true, 20000},
        {"moving entries behind a new manifest", "-Xqu9", kManifestPath, false, 20000},
        {"writing an empty archive", "-qd", "back.png", false, 10},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Twins twins = MakeTwins();
        twins.Put("back.png", test::RandomBytes(30000, 9), kLongAgo);
        if (c.withManifest) twins.Put(kManifestEntry, kOldManifest, kLongAgo);
        twins.MakeArchive(c.withManifest ? "back.png META-INF/MANIFEST.MF" : "back.png");
        twins.Put("back.png", test::RandomBytes(60000, 10));
        twins.Put(kManifestEntry, NewManifest() + test::RandomBytes(60000, 11));
        const std::string before = test::ReadFile(twins.OurArchive());
        const std::vector<std::string> files = test::ListDir(twins.OurDirectory());

        const auto [result, message] = RunWithFileSizeLimit(
            twins.OurDirectory(), ArchiveCommandLine(c.switches, "a.zip", c.name), c.limit);

        EXPECT_EQ(result, kArchiveWriteError);
        EXPECT_NE(message.find("cannot write archive \"a.zip\": "), std::string::npos) << message;
        EXPECT_EQ(test::ReadFile(twins.OurArchive()), before);
        EXPECT_EQ(test::ListDir(twins.OurDirectory()), files);
    }
}

TEST(ArchiveCommandLineTest, QuotesBothNamesAfterTheSwitches) {
    EXPECT_EQ(ArchiveCommandLine("-Xqu9", "block.tmp", "META-INF\\MANIFEST.MF"),
              "-Xqu9 \"block.tmp\" \"META-INF\\MANIFEST.MF\"");
    EXPECT_EQ(ArchiveCommandLine("-qd", "block.tmp", "back.png"), "-qd \"block.tmp\" \"back.png\"");
    EXPECT_EQ(ArchiveCommandLine("-Xqju9", "\x95\x5C.tmp", "\x95\x5C.png"),
              "-Xqju9 \"\x95\x5C.tmp\" \"\x95\x5C.png\"");
}

}  // namespace
}  // namespace pelko
