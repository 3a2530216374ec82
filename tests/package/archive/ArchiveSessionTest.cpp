#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif
#include <zip.h>

#include <csignal>
#include <cstring>
#include <filesystem>
#include <string>
#include <utility>
#include <vector>

#include "package/archive/Archive.h"
#include "support/TestFiles.h"
#include "support/ZipExpectations.h"
#include "support/ZipTools.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using test::ExpectSameEntries;
using test::ZipEntry;

const std::string kManifestPath = "META-INF\\MANIFEST.MF";
const std::string kManifestEntry = "META-INF/MANIFEST.MF";
const std::time_t kWritten = test::LocalTime(2010, 5, 6);

std::string Compressible(const std::string& word, int times = 400) {
    std::string text;
    for (int i = 0; i < times; ++i) text += word + " " + std::to_string(i % 7) + "\r\n";
    return text;
}

// One step of a sequence: a file written or removed in the work directory,
// or a command line for the archive a.zip.
struct Step {
    enum Kind { Write, Remove, Command } kind;
    std::string first;   // path, or switches
    std::string second;  // bytes, or the command's name
};

Step Put(const std::string& path, const std::string& bytes) { return {Step::Write, path, bytes}; }
Step Gone(const std::string& path) { return {Step::Remove, path, ""}; }
Step Cmd(const std::string& switches, const std::string& name) { return {Step::Command, switches, name}; }

struct Outcome {
    int result;
    std::string message;
    bool operator==(const Outcome&) const = default;
};

void PrintTo(const Outcome& outcome, std::ostream* out) { *out << outcome.result << " \"" << outcome.message << '"'; }

void Apply(const std::string& directory, const Step& step) {
    const std::string path = directory + step.first;
    if (step.kind == Step::Remove) {
        fs::remove(path);
        return;
    }
    fs::create_directories(fs::path(path).parent_path());
    test::WriteFile(path, step.second);
    test::SetFileTime(path, kWritten);
}

// The same sequence once through one session and once command by command,
// each in its own copy of the work directory; and once more through a
// session that reads the archive from elsewhere, as a build reads its
// template, which must give the same outcomes and write the same bytes.
class Comparison {
public:
    Comparison(const std::string& root, const std::vector<Step>& setUp, const std::string& zipArguments)
        : session_(root + "session/"), single_(root + "single/"), elsewhere_(root + "elsewhere/"),
          source_(root + "template.zip") {
        for (const std::string& directory : {session_, single_, elsewhere_}) {
            fs::create_directories(directory);
            for (const Step& step : setUp) Apply(directory, step);
        }
        std::string out;
        EXPECT_EQ(test::RunIn(session_, "zip -q -X a.zip " + zipArguments + " 2>&1", &out), 0) << out;
        fs::copy_file(session_ + "a.zip", single_ + "a.zip", fs::copy_options::overwrite_existing);
        fs::copy_file(session_ + "a.zip", source_, fs::copy_options::overwrite_existing);
        sourceBytes_ = test::ReadFile(source_);
    }

    // Runs the steps, comparing each command's outcome, then commits.
    void Run(const std::vector<Step>& steps) {
        ArchiveSession session(session_, "a.zip");
        ArchiveSession fromElsewhere(elsewhere_, "a.zip", source_);
        for (const Step& step : steps) {
            if (step.kind != Step::Command) {
                Apply(session_, step);
                Apply(single_, step);
                Apply(elsewhere_, step);
                continue;
            }
            SCOPED_TRACE(step.first + " " + step.second);
            const std::string line = ArchiveCommandLine(step.first, "a.zip", step.second);
            char output[kArchiveOutputSize];
            const int result = session.Run(line, output, sizeof output);
            const Outcome ours{result, output};
            const int read = fromElsewhere.Run(line, output, sizeof output);
            EXPECT_EQ(ours, (Outcome{read, output})) << "read from elsewhere";
            const int alone = ArchiveCommand(single_, line, output, sizeof output);
            EXPECT_EQ(ours, (Outcome{alone, output}));
        }
        char output[kArchiveOutputSize];
        EXPECT_EQ(session.Commit(output, sizeof output), kArchiveOk) << output;
        EXPECT_EQ(fromElsewhere.Commit(output, sizeof output), kArchiveOk) << output;
        EXPECT_TRUE(test::ReadFile(elsewhere_ + "a.zip") == test::ReadFile(session_ + "a.zip"))
            << "the archive read from elsewhere is written with other bytes";
        EXPECT_TRUE(test::ReadFile(source_) == sourceBytes_) << "the source was written";
    }

    std::string SessionArchive() const { return session_ + "a.zip"; }
    std::string SingleArchive() const { return single_ + "a.zip"; }
    const std::string& SessionDirectory() const { return session_; }

private:
    std::string session_;
    std::string single_;
    std::string elsewhere_;
    std::string source_;
    std::string sourceBytes_;
};

const ZipEntry& EntryNamed(const std::vector<ZipEntry>& entries, const std::string& name) {
    for (const ZipEntry& entry : entries) {
        if (entry.name == name) return entry;
    }
    throw std::runtime_error("no entry " + name);
}

class ArchiveSessionTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!test::HaveProgram("zip") || !test::HaveProgram("unzip")) GTEST_SKIP() << "needs Info-ZIP";
    }

    // A template with a manifest, a text and a picture.
    std::vector<Step> Template(bool withManifest = true) const {
        std::vector<Step> steps = {Put("a.txt", Compressible("text")), Put("back.png", test::RandomBytes(5000, 1))};
        if (withManifest) steps.push_back(Put(kManifestEntry, "Manifest-Version: 1.0\r\n"));
        return steps;
    }

    std::string NextRoot() { return scratch_ / ("case" + std::to_string(cases_++) + "/"); }

    test::ScratchDir scratch_;
    int cases_ = 0;
};

TEST_F(ArchiveSessionTest, ManyCommandsAndOneCommitLeaveWhatTheCommandsOneByOneLeave) {
    const std::string first = test::RandomBytes(3000, 2);
    const std::string second = Compressible("second");
    struct Case {
        const char* what;
        bool withManifest;
        std::vector<Step> steps;
        std::vector<std::string> names;  // in the end
    };
    const std::vector<Case> cases = {
        {"a build: manifest, then delete and add per file",
         true,
         {Put(kManifestEntry, Compressible("MIDlet-Name: Block")), Cmd("-Xqu9", kManifestPath),
          Put("back.png", first), Cmd("-qd", "back.png"), Cmd("-Xqju9", "back.png"), Gone("back.png"),
          Put("stage.dat", second), Cmd("-qd", "stage.dat"), Cmd("-Xqju9", "stage.dat"), Gone("stage.dat")},
         {"META-INF/", kManifestEntry, "a.txt", "back.png", "stage.dat"}},
        {"the same name twice, the work file made anew between",
         true,
         {Put("back.png", first), Cmd("-qd", "back.png"), Cmd("-Xqju9", "back.png"), Gone("back.png"),
          Put("back.png", second), Cmd("-qd", "img\\back.png"), Cmd("-Xqju9", "back.png"), Gone("back.png"),
          Put("back.png", "neither")},
         {"META-INF/", kManifestEntry, "a.txt", "back.png"}},
        {"replaced in place twice",
         true,
         {Put("back.png", first), Cmd("-Xqju9", "back.png"), Gone("back.png"), Put("back.png", second),
          Cmd("-Xqju9", "back.png"), Gone("back.png")},
         {"META-INF/", kManifestEntry, "a.txt", "back.png"}},
        {"the manifest replaced twice, its file changed afterwards",
         true,
         {Put(kManifestEntry, first), Cmd("-Xqu9", kManifestPath), Gone(kManifestEntry),
          Put(kManifestEntry, second), Cmd("-Xqu9", kManifestEntry), Gone(kManifestEntry),
          Put(kManifestEntry, "neither")},
         {"META-INF/", kManifestEntry, "a.txt", "back.png"}},
        {"every entry deleted, then one added",
         false,
         {Cmd("-qd", "a.txt"), Cmd("-qd", "back.png"), Put("new.png", first), Cmd("-Xqju9", "new.png")},
         {"new.png"}},
        {"an entry added, then deleted again",
         true,
         {Put("new.png", first), Cmd("-Xqju9", "new.png"), Cmd("-qd", "new.png"), Cmd("-qd", "absent.png")},
         {"META-INF/", kManifestEntry, "a.txt", "back.png"}},
        {"a manifest added first after other changes",
         false,
         {Cmd("-qd", "back.png"), Put("back.png", second), Cmd("-Xqju9", "back.png"),
          Put(kManifestEntry, Compressible("MIDlet-Name: Puzzle")), Cmd("-Xqu9", kManifestPath),
          Gone(kManifestEntry), Cmd("-qd", "a.txt"), Put("new.png", first), Cmd("-Xqju9", "new.png")},
         {kManifestEntry, "back.png", "new.png"}},
        {"a failing command between others",
         true,
         {Cmd("-qd", "a.txt"), Cmd("-Xqju9", "missing.png"), Cmd("-Xqu9", "..\\up.MF"), Put("new.png", first),
          Cmd("-Xqju9", "new.png")},
         {"META-INF/", kManifestEntry, "back.png", "new.png"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Comparison comparison(NextRoot(), Template(c.withManifest), c.withManifest ? "-r META-INF a.txt back.png"
                                                                                   : "a.txt back.png");
        comparison.Run(c.steps);
        const std::vector<ZipEntry> ours = test::ReadZip(comparison.SessionArchive());
        EXPECT_EQ(test::NamesOf(ours), c.names);
        ExpectSameEntries(ours, test::ReadZip(comparison.SingleArchive()));
        std::string out;
        EXPECT_EQ(test::Run("unzip -tq " + test::ShellQuoted(comparison.SessionArchive()) + " 2>&1", &out), 0)
            << out;
    }
}

TEST_F(ArchiveSessionTest, TheLastWorkFileOfANameWinsAndEarlierOnesAreReadWhenTheirCommandRan) {
    Comparison comparison(NextRoot(), Template(), "-r META-INF a.txt back.png");
    const std::string first = Compressible("first");
    const std::string second = test::RandomBytes(7000, 3);
    comparison.Run({Put("pic.png", first), Cmd("-qd", "pic.png"), Cmd("-Xqju9", "pic.png"),
                    Put(kManifestEntry, first), Cmd("-Xqu9", kManifestPath), Gone("pic.png"),
                    Gone(kManifestEntry), Put("pic.png", second), Put(kManifestEntry, second),
                    Cmd("-qd", "pic.png"), Cmd("-Xqju9", "pic.png"), Gone("pic.png"), Put("pic.png", "third")});
    const std::vector<ZipEntry> ours = test::ReadZip(comparison.SessionArchive());
    EXPECT_EQ(EntryNamed(ours, "pic.png").data, second);
    EXPECT_EQ(EntryNamed(ours, "pic.png").method, ZIP_CM_STORE);
    EXPECT_EQ(EntryNamed(ours, kManifestEntry).data, first);
    EXPECT_EQ(EntryNamed(ours, kManifestEntry).method, ZIP_CM_DEFLATE);
    EXPECT_EQ(test::NamesOf(ours).back(), "pic.png");
}

TEST_F(ArchiveSessionTest, DeletingEveryEntryLeavesTheEmptyArchiveTheCommandsLeave) {
    Comparison comparison(NextRoot(), Template(false), "a.txt back.png");
    comparison.Run({Cmd("-qd", "a.txt"), Put("new.png", "new"), Cmd("-Xqju9", "new.png"), Cmd("-qd", "back.png"),
                    Cmd("-qd", "new.png")});
    const std::string empty = test::ReadFile(comparison.SessionArchive());
    EXPECT_EQ(empty.size(), 22u);
    EXPECT_EQ(empty, test::ReadFile(comparison.SingleArchive()));
}

TEST_F(ArchiveSessionTest, ChangesNotCommittedLeaveTheArchiveAsItWas) {
    Comparison comparison(NextRoot(), Template(), "-r META-INF a.txt back.png");
    const std::string directory = comparison.SessionDirectory();
    const std::string before = test::ReadFile(comparison.SessionArchive());
    test::WriteFile(directory + "new.png", test::RandomBytes(2000, 4));
    test::WriteFile(directory + kManifestEntry, Compressible("changed"));
    const std::vector<std::string> files = test::ListDir(directory);
    {
        ArchiveSession session(directory, "a.zip");
        char output[kArchiveOutputSize];
        for (const auto& [switches, name] : std::vector<std::pair<std::string, std::string>>{
                 {"-Xqu9", kManifestPath}, {"-qd", "a.txt"}, {"-qd", "back.png"}, {"-Xqju9", "new.png"}}) {
            ASSERT_EQ(session.Run(ArchiveCommandLine(switches, "a.zip", name), output, sizeof output), kArchiveOk)
                << output;
        }
    }
    EXPECT_EQ(test::ReadFile(comparison.SessionArchive()), before);
    EXPECT_EQ(test::ListDir(directory), files);
}

TEST_F(ArchiveSessionTest, ACommandForAnotherArchiveIsRefused) {
    Comparison comparison(NextRoot(), Template(), "-r META-INF a.txt back.png");
    const std::string before = test::ReadFile(comparison.SessionArchive());
    ArchiveSession session(comparison.SessionDirectory(), "a.zip");
    char output[kArchiveOutputSize];
    EXPECT_EQ(session.Run(ArchiveCommandLine("-qd", "b.zip", "a.txt"), output, sizeof output), kArchiveBadCommand);
    EXPECT_NE(std::string(output).find("this session edits \"a.zip\""), std::string::npos) << output;
    EXPECT_EQ(session.Run("-qd \"a.zip\"", output, sizeof output), kArchiveBadCommand);
    EXPECT_EQ(session.Commit(output, sizeof output), kArchiveOk);
    EXPECT_STREQ(output, "");
    EXPECT_EQ(test::ReadFile(comparison.SessionArchive()), before);
}

TEST_F(ArchiveSessionTest, CommittingAgainWritesOnlyTheLaterChanges) {
    Comparison comparison(NextRoot(), Template(), "-r META-INF a.txt back.png");
    const std::string directory = comparison.SessionDirectory();
    ArchiveSession session(directory, "a.zip");
    char output[kArchiveOutputSize];
    ASSERT_EQ(session.Run(ArchiveCommandLine("-qd", "a.zip", "a.txt"), output, sizeof output), kArchiveOk);
    ASSERT_EQ(session.Commit(output, sizeof output), kArchiveOk) << output;
    test::WriteFile(directory + "new.png", "new");
    ASSERT_EQ(session.Run(ArchiveCommandLine("-Xqju9", "a.zip", "new.png"), output, sizeof output), kArchiveOk);
    EXPECT_EQ(test::NamesOf(test::ReadZip(comparison.SessionArchive())),
              (std::vector<std::string>{"META-INF/", kManifestEntry, "back.png"}));
    ASSERT_EQ(session.Commit(output, sizeof output), kArchiveOk) << output;
    EXPECT_EQ(test::NamesOf(test::ReadZip(comparison.SessionArchive())),
              (std::vector<std::string>{"META-INF/", kManifestEntry, "back.png", "new.png"}));
}

#ifndef _WIN32
// What a session in a child process did when its files could not grow
// beyond a limit, as on a full disk.
struct CommitOutcome {
    int result = -1;
    std::string message;
    bool archiveKept = false;  // byte for byte, and nothing else left in the directory
    int retried = -1;          // a second commit once the limit no longer holds
};

// Every command must succeed under the limit; only the commit may fail.
CommitOutcome CommitUnderFileSizeLimit(const std::string& directory,
                                       const std::vector<std::pair<std::string, std::string>>& commands,
                                       rlim_t limit) {
    const std::string before = test::ReadFile(directory + "a.zip");
    const std::vector<std::string> files = test::ListDir(directory);
    int ends[2];
    if (pipe(ends) != 0) return {};
    const pid_t child = fork();
    if (child == 0) {
        close(ends[0]);
        std::signal(SIGXFSZ, SIG_IGN);  // a write beyond the limit then fails with EFBIG
        rlimit size{limit, RLIM_INFINITY};
        setrlimit(RLIMIT_FSIZE, &size);
        ArchiveSession session(directory, "a.zip");
        char output[kArchiveOutputSize];
        for (const auto& [switches, name] : commands) {
            if (session.Run(ArchiveCommandLine(switches, "a.zip", name), output, sizeof output) != kArchiveOk) {
                _exit(1);
            }
        }
        std::string report(3, '\0');
        report[0] = static_cast<char>(session.Commit(output, sizeof output));
        report[1] = test::ReadFile(directory + "a.zip") == before && test::ListDir(directory) == files;
        report += output;
        size.rlim_cur = RLIM_INFINITY;
        setrlimit(RLIMIT_FSIZE, &size);
        report[2] = static_cast<char>(session.Commit(output, sizeof output));
        const bool sent = write(ends[1], report.data(), report.size()) == static_cast<ssize_t>(report.size());
        _exit(sent ? 0 : 1);
    }
    close(ends[1]);
    std::string report;
    char buffer[256];
    ssize_t got = 0;
    while ((got = read(ends[0], buffer, sizeof buffer)) > 0) report.append(buffer, static_cast<std::size_t>(got));
    close(ends[0]);
    int status = 0;
    waitpid(child, &status, 0);
    CommitOutcome outcome;
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || report.size() < 3) return outcome;
    outcome.result = report[0];
    outcome.archiveKept = report[1] != 0;
    outcome.retried = report[2];
    outcome.message = report.substr(3);
    return outcome;
}

TEST_F(ArchiveSessionTest, AFailedCommitKeepsTheArchiveAndTheChanges) {
    struct Case {
        const char* what;
        bool withManifest;
        std::vector<std::pair<std::string, std::string>> commands;
        rlim_t limit;
        std::vector<std::string> names;  // after the second commit
    };
    const std::vector<Case> cases = {
        {"entries replaced and added",
         true,
         {{"-Xqu9", kManifestPath}, {"-qd", "back.png"}, {"-Xqju9", "back.png"}, {"-Xqju9", "new.png"}},
         30000,
         {"META-INF/", kManifestEntry, "a.txt", "back.png", "new.png"}},
        {"every entry deleted", false, {{"-qd", "a.txt"}, {"-qd", "back.png"}}, 10, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Comparison comparison(NextRoot(), Template(c.withManifest),
                              c.withManifest ? "-r META-INF a.txt back.png" : "a.txt back.png");
        const std::string directory = comparison.SessionDirectory();
        const std::string before = test::ReadFile(comparison.SessionArchive());
        test::WriteFile(directory + "back.png", test::RandomBytes(20000, 5));
        test::WriteFile(directory + "new.png", test::RandomBytes(20000, 6));
        if (c.withManifest) test::WriteFile(directory + kManifestEntry, Compressible("MIDlet-Name: Block"));

        const CommitOutcome outcome = CommitUnderFileSizeLimit(directory, c.commands, c.limit);

        EXPECT_EQ(outcome.result, kArchiveWriteError);
        EXPECT_NE(outcome.message.find("cannot write archive \"a.zip\": "), std::string::npos) << outcome.message;
        EXPECT_TRUE(outcome.archiveKept);
        EXPECT_EQ(outcome.retried, kArchiveOk);
        const std::vector<ZipEntry> entries = test::ReadZip(comparison.SessionArchive());
        EXPECT_EQ(test::NamesOf(entries), c.names);
        if (c.withManifest) {
            EXPECT_EQ(EntryNamed(entries, "back.png").data, test::RandomBytes(20000, 5));
            EXPECT_EQ(EntryNamed(entries, "new.png").data, test::RandomBytes(20000, 6));
            EXPECT_EQ(EntryNamed(entries, kManifestEntry).data, Compressible("MIDlet-Name: Block"));
        } else {
            EXPECT_EQ(test::ReadFile(comparison.SessionArchive()).size(), 22u);
        }
    }
}
#endif  // POSIX: Windows limits no process to a file size

}  // namespace
}  // namespace pelko

namespace pelko {
namespace {

// A session that reads its archive from elsewhere leaves an archive at its
// own name after the first commit, whatever the commands did, and never
// writes the one it read.
TEST(ArchiveSessionFromElsewhere, TheFirstCommitAlwaysLeavesTheArchiveAsItStands) {
    struct Case {
        const char* what;
        std::string source;  // the bytes of the archive read
        std::vector<std::pair<std::string, std::string>> commands;
        int commandResult;  // of the last command
    };
    const std::string zip = test::ReadFile(std::string(PELKO_SAMPLES_DIR) + "/block.jar");
    const std::vector<Case> cases = {
        {"no command", zip, {}, kArchiveOk},
        {"only failing commands", zip, {{"-Xqju9", "missing.png"}, {"-Xqu9", "..\\up.MF"}}, kArchiveBadCommand},
        {"commands that change nothing", zip, {{"-qd", "absent.png"}}, kArchiveOk},
        {"no ZIP archive", "not a zip archive", {{"-qd", "back.png"}}, kArchiveNotZip},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchDir dir;
        fs::create_directory(dir / "work");
        test::WriteFile(dir / "template.jar", c.source);
        ArchiveSession session(dir / "work", "block.tmp", dir / "template.jar");
        char output[kArchiveOutputSize];
        int last = kArchiveOk;
        for (const auto& [switches, name] : c.commands) {
            last = session.Run(ArchiveCommandLine(switches, "block.tmp", name), output, sizeof output);
        }
        EXPECT_EQ(last, c.commandResult);
        EXPECT_TRUE(test::ListDir(dir / "work").empty()) << "nothing is written before the commit";
        ASSERT_EQ(session.Commit(output, sizeof output), kArchiveOk) << output;
        EXPECT_TRUE(test::ReadFile(dir / "work/block.tmp") == c.source);
        EXPECT_EQ(test::ListDir(dir / "work"), std::vector<std::string>{"block.tmp"});
        EXPECT_TRUE(test::ReadFile(dir / "template.jar") == c.source);
    }
}

// CommitInto: the archive a first commit would write, written into an open
// file at an offset; or nothing, with the session as it was.
TEST(ArchiveSessionFromElsewhere, CommitIntoWritesTheArchiveACommitWouldWriteIntoAnOpenFile) {
    const std::string zip = test::ReadFile(std::string(PELKO_SAMPLES_DIR) + "/block.jar");
    struct Case {
        const char* what;
        std::vector<std::pair<std::string, std::string>> commands;
        bool written;
    };
    const std::vector<Case> cases = {
        {"a file stored and an entry deleted", {{"-Xqju9", "new.txt"}, {"-qd", "back.png"}}, true},
        {"a manifest replaced", {{"-Xqu9", "META-INF\\MANIFEST.MF"}}, true},
        {"nothing changed", {{"-qd", "absent.png"}}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        test::ScratchDir dir;
        fs::create_directories(dir / "work/META-INF");
        test::WriteFile(dir / "template.jar", zip);
        test::WriteFile(dir / "work/new.txt", std::string(3000, 'n'));
        test::WriteFile(dir / "work/META-INF/MANIFEST.MF", "Manifest-Version: 1.0\r\n");
        char output[kArchiveOutputSize];
        auto run = [&](ArchiveSession& session) {
            for (const auto& [switches, name] : c.commands) {
                ASSERT_EQ(session.Run(ArchiveCommandLine(switches, "block.tmp", name), output, sizeof output),
                          kArchiveOk)
                    << output;
            }
        };
        ArchiveSession reference(dir / "work", "block.tmp", dir / "template.jar");
        run(reference);
        ASSERT_EQ(reference.Commit(output, sizeof output), kArchiveOk) << output;
        const std::string expected = test::ReadFile(dir / "work/block.tmp");
        fs::remove(dir / "work/block.tmp");

        ArchiveSession session(dir / "work", "block.tmp", dir / "template.jar");
        run(session);
        // What the file held before does not outlast the archive.
        test::WriteFile(dir / "package", std::string(expected.size() + 500, 'x'));
        File package(test::OpenForUpdate(dir / "package"));
        ASSERT_TRUE(package.IsOpen());
        const ArchiveSession::Placed placed = session.CommitInto(package, 100);
        package.Close();
        EXPECT_TRUE(test::ListDir(dir / "work") == (std::vector<std::string>{"META-INF", "new.txt"}));
        if (!c.written) {
            EXPECT_EQ(placed.placement, ArchiveSession::Placement::NotWritten);
            EXPECT_EQ(test::ReadFile(dir / "package"), std::string(expected.size() + 500, 'x'));
            ASSERT_EQ(session.Commit(output, sizeof output), kArchiveOk) << output;
            EXPECT_TRUE(test::ReadFile(dir / "work/block.tmp") == expected) << "the session goes on as before";
            continue;
        }
        ASSERT_EQ(placed.placement, ArchiveSession::Placement::Written);
        EXPECT_EQ(placed.size, expected.size());
        EXPECT_TRUE(test::ReadFile(dir / "package") == std::string(100, 'x') + expected);
        EXPECT_EQ(session.Run(ArchiveCommandLine("-qd", "block.tmp", "a.png"), output, sizeof output),
                  kArchiveBadCommand) << "the session is over";
        EXPECT_EQ(session.Commit(output, sizeof output), kArchiveBadCommand);
        EXPECT_TRUE(test::ReadFile(dir / "template.jar") == zip);
    }
}

TEST(ArchiveSessionFromElsewhere, CommitIntoAFileThatCannotBeWrittenSaysWhy) {
    test::ScratchDir dir;
    fs::create_directory(dir / "work");
    fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/block.jar", dir / "template.jar");
    test::WriteFile(dir / "work/new.txt", "new");
    test::WriteFile(dir / "package", "");
    ArchiveSession session(dir / "work", "block.tmp", dir / "template.jar");
    char output[kArchiveOutputSize];
    ASSERT_EQ(session.Run(ArchiveCommandLine("-Xqju9", "block.tmp", "new.txt"), output, sizeof output), kArchiveOk);
    File readOnly(OpenForReading(dir / "package"), dir / "package");
    ASSERT_TRUE(readOnly.IsOpen());
    const ArchiveSession::Placed placed = session.CommitInto(readOnly, 10);
    readOnly.Close();
    EXPECT_EQ(placed.placement, ArchiveSession::Placement::FileFailed);
    EXPECT_EQ(placed.error.code, test::kWrongAccessCode);
    EXPECT_EQ(placed.error.subject, dir / "package");
    EXPECT_EQ(test::ReadFile(dir / "package"), "");
    EXPECT_TRUE(test::ListDir(dir / "work") == std::vector<std::string>{"new.txt"});
}

TEST(ArchiveSessionFromElsewhere, AMissingSourceIsAMissingArchive) {
    test::ScratchDir dir;
    ArchiveSession session(dir.Path(), "block.tmp", dir / "absent.jar");
    char output[kArchiveOutputSize];
    EXPECT_EQ(session.Run(ArchiveCommandLine("-qd", "block.tmp", "a.png"), output, sizeof output), kArchiveMissing);
    EXPECT_STREQ(output, "archive \"block.tmp\" does not exist");
    EXPECT_EQ(session.Commit(output, sizeof output), kArchiveMissing);
    EXPECT_TRUE(test::ListDir(dir.Path()).empty());
}

}  // namespace
}  // namespace pelko
