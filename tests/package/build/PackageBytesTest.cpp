// Packages are the same bytes whichever way the archive travels. The
// reference here makes them the way the build used to: copy the template's
// archive into a work directory, edit that copy in place with the same
// command lines, then copy it into the container in 1024-byte blocks. The
// build now reads the template where it lies and writes the edited archive
// straight into the package.
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "package/archive/Archive.h"
#include "package/kjx/Compose.h"
#include "package/build/Build.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"
#include "text/Lines.h"
#include "text/Paths.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ScratchDir;

struct FileOption {
    std::string entry;   // the option's type field: the entry it replaces
    std::string source;  // the file put in its place
};

const AppSettings kSettings{"Byte Game", "dev01", true};

// The old container writer: header, descriptor, then the archive in
// 1024-byte reads and writes.
std::string OldContainer(const std::string& base, const std::string& descriptor, const std::string& archivePath) {
    const std::string k = base + ".kjx";
    const std::string j = base + ".jad";
    std::string bytes = "KJX";
    bytes += static_cast<char>(8 + k.size() + j.size());
    bytes += static_cast<char>(k.size());
    bytes += k;
    bytes += static_cast<char>(descriptor.size() >> 8);
    bytes += static_cast<char>(descriptor.size() & 0xFF);
    bytes += static_cast<char>(j.size());
    bytes += j;
    bytes += descriptor;
    std::FILE* archive = std::fopen(archivePath.c_str(), "rb");
    EXPECT_NE(archive, nullptr);
    if (archive == nullptr) return bytes;
    char block[1024];
    for (std::size_t got; (got = std::fread(block, 1, sizeof block, archive)) > 0;) bytes.append(block, got);
    std::fclose(archive);
    return bytes;
}

// The build as it was, for templates whose options are all file options.
std::string ReferencePackage(const std::string& templatePath, const std::vector<FileOption>& options) {
    ScratchDir work;
    const std::string base = WithExtension(FileNameOf(templatePath), "");
    const std::string tmp = base + ".tmp";
    fs::copy_file(WithExtension(templatePath, ".jar"), work / tmp);
    ArchiveSession session(work.Path(), tmp);
    char output[kArchiveOutputSize] = {};
    StringList templateLines;
    LoadLines(templateLines, templatePath);
    StringList lines = ComposeManifestLines(templateLines, kSettings);
    fs::create_directory(work / "META-INF");
    SaveLines(lines, work / "META-INF/MANIFEST.MF");
    session.Run(ArchiveCommandLine("-Xqu9", tmp, "META-INF\\MANIFEST.MF"), output, sizeof output);
    fs::remove(work / "META-INF/MANIFEST.MF");
    for (const FileOption& option : options) {
        fs::copy_file(option.source, work / option.entry, fs::copy_options::overwrite_existing);
        session.Run(ArchiveCommandLine("-qd", tmp, option.entry), output, sizeof output);
        session.Run(ArchiveCommandLine("-Xqju9", tmp, option.entry), output, sizeof output);
        fs::remove(work / option.entry);
    }
    session.Commit(output, sizeof output);
    PrependArchiveLines(lines, static_cast<std::int64_t>(fs::file_size(work / tmp)), base + ".jar");
    return OldContainer(base, JoinLines(lines), work / tmp);
}

std::string NewPackage(const std::string& templatePath, const std::vector<FileOption>& options,
                       const ScratchDir& out) {
    StringList records;
    for (const FileOption& option : options) {
        records.Add("label", std::make_unique<OptionRecord>(OptionRecord{"File", "label", option.entry, option.source}));
    }
    ScratchDir work;
    BuildRequest request;
    request.templatePath = templatePath;
    request.settings = kSettings;
    request.options = &records;
    request.outputPath = out / "new.kjx";
    request.templateDirectory = out.Path();
    request.workParent = work.Path();
    std::vector<std::string> log;
    EXPECT_TRUE(MakePackage(request, [&](const LogLine& line) { log.push_back(Formatted(line)); }));
    // Only the success line, or before it a warning that the archive is larger
    // than handsets install: the bytes are what this test is about.
    if (log.empty()) {
        ADD_FAILURE() << "no log line";
        return {};
    }
    EXPECT_EQ(log.back().rfind("[O]", 0), 0u) << log.back();
    for (std::size_t i = 0; i + 1 < log.size(); ++i) {
        EXPECT_EQ(log[i].rfind("[!]JARが", 0), 0u) << log[i];
    }
    return test::ReadFile(out / "new.kjx");
}

std::uint32_t Le32At(const std::string& bytes, std::size_t at) {
    auto b = [&](std::size_t i) { return static_cast<std::uint32_t>(static_cast<unsigned char>(bytes.at(at + i))); };
    return b(0) | b(1) << 8 | b(2) << 16 | b(3) << 24;
}
std::uint16_t Le16At(const std::string& bytes, std::size_t at) {
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes.at(at)) |
                                      static_cast<unsigned char>(bytes.at(at + 1)) << 8);
}

// The entries a build writes take their times from the moment of the build;
// every DOS time and date of the archive (from archiveOffset on) is zeroed so
// that two builds compare. Everything else stays.
std::string WithoutEntryTimes(std::string package, std::size_t archiveOffset) {
    const std::size_t end = package.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos || end < archiveOffset) return package;  // not a ZIP archive
    const std::size_t entries = Le16At(package, end + 10);
    std::size_t central = archiveOffset + Le32At(package, end + 16);
    for (std::size_t i = 0; i < entries; ++i) {
        const std::size_t local = archiveOffset + Le32At(package, central + 42);
        package.replace(central + 12, 4, 4, '\0');
        package.replace(local + 10, 4, 4, '\0');
        central += 46 + Le16At(package, central + 28) + Le16At(package, central + 30) + Le16At(package, central + 32);
    }
    return package;
}

std::size_t ArchiveOffsetOf(const std::string& package) {
    const auto at = [&](std::size_t i) { return static_cast<std::size_t>(static_cast<unsigned char>(package.at(i))); };
    return at(3) + at(5 + at(4)) * 256 + at(6 + at(4));
}

class PackageBytesTest : public ::testing::Test {
protected:
    // A template named base in program: a descriptor and an archive made
    // by Info-ZIP from files (name, bytes), stored (-0) or deflated.
    std::string MakeTemplate(const std::string& base, const std::vector<std::pair<std::string, std::string>>& files,
                             bool stored, const std::string& comment = "") {
        ScratchDir tree;
        std::string names;
        for (const auto& [name, bytes] : files) {
            fs::create_directories(fs::path(tree / name).parent_path());
            test::WriteFile(tree / name, bytes);
            test::SetFileTime(tree / name, test::LocalTime(2020, 5, 17));
            names += " " + test::ShellQuoted(name);
        }
        const std::string jar = program / (base + ".jar");
        EXPECT_EQ(test::RunIn(tree.Path(), std::string("zip -q -X ") + (stored ? "-0 " : "-9 ") +
                                               test::ShellQuoted(jar) + names),
                  0);
        if (!comment.empty()) {
            EXPECT_EQ(test::RunIn(tree.Path(), "printf %s " + test::ShellQuoted(comment) + " | zip -q -z " +
                                                   test::ShellQuoted(jar)),
                      0);
        }
        test::WriteFile(program / (base + ".jad"),
                        test::CrLf({"MIDlet-Name: " + base, "MIDlet-Vendor: dev01", "MIDlet-Version: 1.0",
                                  "MIDlet-1: " + base + ", /icon.png, Main"}));
        return program / (base + ".jad");
    }

    void ExpectSameBytes(const std::string& templatePath, const std::vector<FileOption>& options) {
        const std::string reference = ReferencePackage(templatePath, options);
        const std::string made = NewPackage(templatePath, options, out);
        ASSERT_EQ(made.size(), reference.size());
        const std::size_t offset = ArchiveOffsetOf(reference);
        EXPECT_TRUE(WithoutEntryTimes(made, offset) == WithoutEntryTimes(reference, offset))
            << "the packages differ from byte " << std::mismatch(made.begin(), made.end(), reference.begin()).first -
                                                       made.begin();
    }

    void SetUp() override {
        if (!test::HaveProgram("zip")) GTEST_SKIP() << "needs Info-ZIP zip";
        test::WriteFile(pictures / "new.png", test::RandomBytes(40000, 3));
        test::WriteFile(pictures / "new.txt", std::string(30000, 'a') + "level data" + std::string(30000, 'b'));
    }

    ScratchDir program, out, pictures;
};

TEST_F(PackageBytesTest, TheSampleTemplates) {
    for (const char* name : {"block", "puzzle"}) {
        for (const char* extension : {".jad", ".jar"}) {
            fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/" + name + extension, program / (name + std::string(extension)));
        }
    }
    ExpectSameBytes(program / "block.jad", {});
    ExpectSameBytes(program / "block.jad", {{"back.png", pictures / "new.png"}});
    ExpectSameBytes(program / "puzzle.jad", {{"back.png", pictures / "new.txt"}, {"extra.bin", pictures / "new.png"}});
}

TEST_F(PackageBytesTest, TemplatesOfEveryShape) {
    const std::string manifest = "Manifest-Version: 1.0\r\n";
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> files;
        bool stored;
        std::string comment;
        std::vector<FileOption> options;
    };
    std::vector<std::pair<std::string, std::string>> many = {{"META-INF/MANIFEST.MF", manifest}};
    for (int i = 0; i < 400; ++i) {
        many.emplace_back("c/C" + std::to_string(i) + ".class", test::RandomBytes(300 + i * 7, i) + std::string(500, 'x'));
    }
    many.emplace_back("movie.bin", test::RandomBytes(3 * 1024 * 1024 + 17, 99));  // more than one write block
    const std::vector<Case> cases = {
        {"deflated, manifest replaced in place", {{"META-INF/MANIFEST.MF", manifest}, {"a.txt", std::string(5000, 'a')}, {"bg.png", test::RandomBytes(9000, 1)}}, false, "", {{"bg.png", pictures / "new.png"}}},
        {"stored, new entry added", {{"META-INF/MANIFEST.MF", manifest}, {"bg.png", test::RandomBytes(9000, 1)}}, true, "", {{"stage.dat", pictures / "new.txt"}}},
        {"no manifest: the archive is written anew, manifest first", {{"a.txt", std::string(5000, 'a')}, {"bg.png", test::RandomBytes(9000, 1)}}, false, "kept comment", {}},
        {"no manifest and a file option", {{"bg.png", test::RandomBytes(9000, 1)}, {"z.txt", "z"}}, true, "", {{"bg.png", pictures / "new.txt"}}},
        {"many entries and megabytes", many, true, "", {{"movie.bin", pictures / "new.png"}, {"C7.class", pictures / "new.txt"}}},
        // The archive's size has another number of digits than the template's,
        // so the descriptor in front of it is longer or shorter than planned.
        {"archive grows from 4 digits to 5", {{"META-INF/MANIFEST.MF", manifest}, {"bg.png", test::RandomBytes(9000, 4)}}, true, "", {{"bg.png", pictures / "new.png"}}},
        {"archive shrinks from 5 digits to 4", {{"META-INF/MANIFEST.MF", manifest}, {"bg.png", test::RandomBytes(12000, 5)}}, true, "", {{"bg.png", pictures / "new.txt"}}},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ExpectSameBytes(MakeTemplate("t" + std::to_string(n++), c.files, c.stored, c.comment), c.options);
    }
}

TEST_F(PackageBytesTest, AnArchiveThatIsNoZipIsRefusedAndNeverWritten) {
    test::WriteFile(program / "odd.jad", test::CrLf({"MIDlet-Name: odd"}));
    test::WriteFile(program / "odd.jar", "not a zip archive at all");
    StringList none;
    ScratchDir work;
    BuildRequest request = RequestFor(program / "odd.jad", kSettings, none, out / "odd.kjx", program.Path());
    request.workParent = work.Path();
    std::vector<std::string> log;
    EXPECT_FALSE(MakePackage(request, [&](const LogLine& line) { log.push_back(Formatted(line)); }));
    ASSERT_FALSE(log.empty());
    EXPECT_EQ(log.back(), "[X]アーカイブが壊れています(odd.tmp)");
    EXPECT_FALSE(test::Exists(out / "odd.kjx"));
    EXPECT_EQ(test::ReadFile(program / "odd.jar"), "not a zip archive at all") << "the template is never written";
}

}  // namespace
}  // namespace pelko
