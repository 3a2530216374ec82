// pelko-cli against the faults a user's machine produces: damaged templates,
// folders it may not write, full disks, signals, a second build at once. The
// real executable on real files; for each fault the exit status, the log, the
// earlier package kept byte for byte, and nothing left behind in the
// temporary directory or beside the output.
#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <optional>
#include <thread>

#include <gtest/gtest.h>

#include "support/CliRunner.h"
#include "support/RowName.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Contains;

const std::string kSamples = PELKO_SAMPLES_DIR;

// How the child process runs: its limits and its user.
struct Conditions {
    std::optional<rlim_t> fileSizeLimit;
    std::optional<uid_t> user;  // with the same number as group
};

struct Finished {
    int code = -1;  // exit status, or 128 + signal as a shell reports it
    std::string out;
    std::string err;
};

// One pelko-cli process with TMPDIR set to the scene's own directory.
class Process {
public:
    Process(const std::string& capture, const std::string& tmpdir, const Conditions& conditions,
            const std::vector<std::string>& args)
        : capture_(capture) {
        pid_ = fork();
        if (pid_ == 0) Exec(tmpdir, conditions, args);
    }
    pid_t Pid() const { return pid_; }
    void Signal(int number) const { kill(pid_, number); }
    Finished Wait() {
        int status = 0;
        waitpid(pid_, &status, 0);
        Finished finished;
        finished.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        finished.out = test::ReadFile(capture_ + ".out");
        finished.err = test::ReadFile(capture_ + ".err");
        return finished;
    }

private:
    [[noreturn]] void Exec(const std::string& tmpdir, const Conditions& conditions,
                           const std::vector<std::string>& args) {
        const int out = open((capture_ + ".out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int err = open((capture_ + ".err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(out, 1);
        dup2(err, 2);
        setenv("TMPDIR", tmpdir.c_str(), 1);
        if (conditions.fileSizeLimit) {
            const rlimit limit{*conditions.fileSizeLimit, *conditions.fileSizeLimit};
            setrlimit(RLIMIT_FSIZE, &limit);
        }
        if (conditions.user) {
            if (setgroups(0, nullptr) != 0 || setgid(*conditions.user) != 0 || setuid(*conditions.user) != 0) {
                _exit(99);
            }
        }
        std::vector<char*> argv;
        const std::string cli = test::CliPath();
        argv.push_back(const_cast<char*>(cli.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        execv(cli.c_str(), argv.data());
        _exit(98);
    }

    std::string capture_;
    pid_t pid_ = -1;
};

// A template folder, an output folder and a temporary folder of one case.
class Scene {
public:
    Scene() {
        for (const char* dir : {"tpl", "out", "tmp", "cap"}) fs::create_directory(root_ / dir);
        fs::copy_file(kSamples + "/block.jad", Template());
        fs::copy_file(kSamples + "/block.jar", Jar());
    }
    std::string Template() const { return root_ / "tpl/block.jad"; }
    std::string Jar() const { return root_ / "tpl/block.jar"; }
    std::string OutDir() const { return root_ / "out/"; }
    std::string Output() const { return root_ / "out/game.kjx"; }
    std::string TmpDir() const { return root_ / "tmp/"; }
    std::string Root() const { return root_.Path(); }

    std::vector<std::string> MakeArgs() const {
        return {"make", Template(), "-o", Output(), "--title", "Fault", "--author", "tester"};
    }
    Process Start(const Conditions& conditions = {}) {
        return Process(root_ / ("cap/" + std::to_string(++runs_)), TmpDir(), conditions, MakeArgs());
    }
    Finished Make(const Conditions& conditions = {}) { return Start(conditions).Wait(); }

    // Everyone may read the template and use the temporary folder, so that
    // a case run as another user meets only the fault it is about.
    void OpenToOthers() {
        for (const std::string& path : {Root(), Root() + "tpl", Root() + "out", Root() + "cap"}) {
            chmod(path.c_str(), 0777);
        }
        chmod(TmpDir().c_str(), 01777);
        for (const std::string& file : {Template(), Jar(), Output()}) chmod(file.c_str(), 0644);
    }

private:
    test::ScratchDir root_;
    int runs_ = 0;
};

// Makes a large template: the sample's entries and much data deflate cannot
// shrink, so that the archive commit and the package write take a while.
void MakeLargeTemplate(Scene& scene) {
    const std::string big = scene.Root() + "tpl/big.bin";
    test::WriteFile(big, test::RandomBytes(64u << 20, 7));
    ASSERT_EQ(test::RunIn(scene.Root() + "tpl", "zip -q -0 block.jar big.bin"), 0);
    fs::remove(big);
}

void ExpectNothingLeftBehind(Scene& scene, const std::vector<std::string>& outputs) {
    EXPECT_EQ(test::ListDir(scene.TmpDir()), std::vector<std::string>{}) << "left in TMPDIR";
    EXPECT_EQ(test::ListDir(scene.OutDir()), outputs) << "beside the output";
}

// A package the build reported: it parses and its archive opens as ZIP with a manifest.
void ExpectSoundPackage(const std::string& path) {
    const std::optional<test::KjxParts> parts = test::SplitKjx(test::ReadFile(path));
    ASSERT_TRUE(parts) << path;
    test::ScratchDir scratch;
    test::WriteFile(scratch / "a.jar", parts->archive);
    const std::vector<std::string> names = test::NamesOf(test::ReadZip(scratch / "a.jar"));
    EXPECT_NE(std::find(names.begin(), names.end(), "META-INF/MANIFEST.MF"), names.end());
}

std::optional<uid_t> UnprivilegedUser() {
    const passwd* nobody = getpwnam("nobody");
    if (!nobody) return std::nullopt;
    return nobody->pw_uid;
}

// --- faults that end the build -------------------------------------------

struct FaultCase {
    const char* name;
    std::function<void(Scene&, Conditions&)> arrange;  // GTEST_SKIP allowed
    std::vector<std::string> logParts;                 // each somewhere in the log, in order
};

std::string HalfOf(const std::string& bytes) { return bytes.substr(0, bytes.size() / 2); }

const FaultCase kFaultCases[] = {
    {"ReadOnlyOutputFolder",
     [](Scene& scene, Conditions& conditions) {
         // root writes into any folder; the fault is only one for a plain user.
         if (geteuid() == 0) {
             conditions.user = UnprivilegedUser();
             if (!conditions.user) GTEST_SKIP() << "no user nobody to run as";
             scene.OpenToOthers();
         }
         chmod(scene.OutDir().c_str(), 0555);
     },
     {"[!]ファイルを作成できません(", "Permission denied)", "[X]ファイル作成失敗("}},
    {"FullOutputDisk",
     [](Scene& scene, Conditions& conditions) {
         // Room for the work archive but not for the package, which is larger.
         const auto package = fs::file_size(scene.Output());
         const auto parts = test::SplitKjx(test::ReadFile(scene.Output()));
         ASSERT_TRUE(parts);
         conditions.fileSizeLimit = (package + parts->archive.size()) / 2;
         ASSERT_LT(parts->archive.size() + 64, *conditions.fileSizeLimit);
     },
     {"[!]ファイルに書き込めません(", "File too large)", "[X]ファイル書き込み失敗("}},
    {"NoRoomForTheArchive",
     [](Scene& scene, Conditions& conditions) { conditions.fileSizeLimit = fs::file_size(scene.Jar()) / 2; },
     // The edited archive is written straight into the package, which is
     // what no longer fits.
     {"[!]ファイルに書き込めません(", "File too large)", "[X]ファイル書き込み失敗("}},
    {"FullTemporaryDirectory",
     [](Scene& scene, Conditions& conditions) {
         // A template without a manifest has its archive written anew in the
         // temporary directory first, to put the manifest in front.
         if (!test::HaveProgram("zip")) GTEST_SKIP() << "no zip to take the manifest out with";
         ASSERT_EQ(test::RunIn(scene.Root() + "tpl", "zip -q -d block.jar META-INF/MANIFEST.MF"), 0);
         conditions.fileSizeLimit = fs::file_size(scene.Jar()) / 2;
     },
     // The disk's failure stops the build, naming the work archive.
     {"[!]ファイルに書き込めません(", "block.tmp: File too large)", "[X]一時ファイル作成失敗(block.tmp)"}},
    {"TemporaryDirectoryNotWritable",
     [](Scene& scene, Conditions& conditions) {
         if (geteuid() == 0) {
             conditions.user = UnprivilegedUser();
             if (!conditions.user) GTEST_SKIP() << "no user nobody to run as";
             scene.OpenToOthers();
         }
         chmod(scene.TmpDir().c_str(), 0555);
     },
     {"[!]一時ディレクトリに書き込めません(", "Permission denied)", "[X]一時ファイル作成失敗(block.tmp)"}},
    {"MissingTemplateJar", [](Scene& scene, Conditions&) { fs::remove(scene.Jar()); },
     {"[!]テンプレートのアーカイブを読めません(", "No such file or directory)", "[X]一時ファイル作成失敗(block.tmp)"}},
    {"EmptyTemplateJar", [](Scene& scene, Conditions&) { test::WriteFile(scene.Jar(), ""); },
     {"[!]ZIPとして開けません(block.jar: ", "[X]アーカイブが壊れています(block.tmp)"}},
    {"TruncatedTemplateJar",
     [](Scene& scene, Conditions&) { test::WriteFile(scene.Jar(), HalfOf(test::ReadFile(scene.Jar()))); },
     {"[!]ZIPとして開けません(block.jar: ", "[X]アーカイブが壊れています(block.tmp)"}},
    {"NotZipTemplateJar",
     [](Scene& scene, Conditions&) { test::WriteFile(scene.Jar(), "this is a text file, not an archive\n"); },
     {"[!]ZIPとして開けません(block.jar: ", "[X]アーカイブが壊れています(block.tmp)"}},
    {"EncryptedTemplateJar",
     [](Scene& scene, Conditions&) {
         if (!test::HaveProgram("zip")) GTEST_SKIP() << "no zip to encrypt with";
         const std::string dir = scene.Root() + "tpl";
         test::WriteFile(dir + "/Main.class", "\xca\xfe\xba\xbe class bytes");
         fs::remove(scene.Jar());
         ASSERT_EQ(test::RunIn(dir, "zip -q -P secret block.jar Main.class"), 0);
         fs::remove(dir + "/Main.class");
     },
     {"[!]Manifest追加失敗(", "[!]エントリを読めません(Main.class: ", "[X]アーカイブが壊れています(block.tmp)"}},
};

class FaultTable : public ::testing::TestWithParam<FaultCase> {};

TEST_P(FaultTable, FailsLoudlyKeepsTheEarlierPackageAndLeavesNothing) {
    Scene scene;
    // A good package first: the failed build must leave it as it is.
    const Finished first = scene.Make();
    ASSERT_EQ(first.code, 0) << first.out << first.err;
    const std::string earlier = test::ReadFile(scene.Output());

    Conditions conditions;
    GetParam().arrange(scene, conditions);
    if (IsSkipped() || HasFatalFailure()) return;
    const Finished result = scene.Make(conditions);

    EXPECT_EQ(result.code, 1) << result.out << result.err;
    EXPECT_FALSE(Contains(result.out, "[O]")) << result.out;
    std::size_t at = 0;
    for (const std::string& part : GetParam().logParts) {
        const std::size_t found = result.out.find(part, at);
        EXPECT_NE(found, std::string::npos) << "\"" << part << "\" not in order in:\n" << result.out;
        if (found != std::string::npos) at = found + part.size();
    }
    // The line that ends the build is the last one.
    EXPECT_TRUE(Contains(result.out.substr(result.out.rfind('[')), "[X]")) << result.out;
    chmod(scene.OutDir().c_str(), 0755);
    EXPECT_EQ(test::ReadFile(scene.Output()), earlier) << "the earlier package changed";
    ExpectNothingLeftBehind(scene, {"game.kjx"});
}

INSTANTIATE_TEST_SUITE_P(Faults, FaultTable, ::testing::ValuesIn(kFaultCases),
                         test::RowName<FaultCase>);

// --- signals during a long build ------------------------------------------

// Waits until ready() holds, or gives up after a while.
bool WaitFor(const std::function<bool()>& ready) {
    for (auto deadline = std::chrono::steady_clock::now() + 60s; std::chrono::steady_clock::now() < deadline;) {
        if (ready()) return true;
        std::this_thread::sleep_for(2ms);
    }
    return false;
}

// libzip writes the new archive beside the old one, as block.tmp.XXXXXX.
// Whether the process holds open a file whose path starts with prefix.
bool HoldsOpen(pid_t pid, const std::string& prefix) {
    const std::string fds = "/proc/" + std::to_string(pid) + "/fd";
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(fds, error)) {
        std::error_code ignored;
        const std::string target = fs::read_symlink(entry.path(), ignored).string();
        if (target.rfind(prefix, 0) == 0) return true;
    }
    return false;
}

// The edited archive is being written into the package: the process reads
// the template's archive while it holds a file in the output folder.
bool InArchivePhase(const Scene& scene, pid_t pid) {
    return HoldsOpen(pid, scene.Jar()) && HoldsOpen(pid, scene.OutDir());
}

// The process holds a file in the output folder open: the package is being
// written (the archive, or the header in front of it).
bool InWritePhase(const Scene& scene, pid_t pid) { return HoldsOpen(pid, scene.OutDir()); }

struct SignalCase {
    const char* name;
    int signal;
    bool duringWrite;  // else during the archive commit
};

const SignalCase kSignalCases[] = {
    {"SigintDuringArchive", SIGINT, false},
    {"SigtermDuringArchive", SIGTERM, false},
    {"SigintDuringWrite", SIGINT, true},
    {"SigtermDuringWrite", SIGTERM, true},
    {"SighupDuringArchive", SIGHUP, false},
};

class SignalTable : public ::testing::TestWithParam<SignalCase> {};

TEST_P(SignalTable, RemovesWorkItemsAndExitsWithTheSignalsStatus) {
    if (!test::HaveProgram("zip")) GTEST_SKIP() << "no zip to make a large template with";
    Scene scene;
    test::WriteFile(scene.Output(), "earlier package");
    MakeLargeTemplate(scene);
    if (HasFatalFailure()) return;

    Process build = scene.Start();
    const bool reached = GetParam().duringWrite ? WaitFor([&] { return InWritePhase(scene, build.Pid()); })
                                                : WaitFor([&] { return InArchivePhase(scene, build.Pid()); });
    build.Signal(GetParam().signal);
    const Finished result = build.Wait();

    ASSERT_TRUE(reached) << "the build never reached the phase: " << result.out << result.err;
    EXPECT_EQ(result.code, 128 + GetParam().signal) << result.out << result.err;
    EXPECT_FALSE(Contains(result.out, "[O]")) << result.out;
    EXPECT_EQ(test::ReadFile(scene.Output()), "earlier package");
    ExpectNothingLeftBehind(scene, {"game.kjx"});
}

INSTANTIATE_TEST_SUITE_P(Signals, SignalTable, ::testing::ValuesIn(kSignalCases),
                         test::RowName<SignalCase>);

// --- two builds, one output ------------------------------------------------

TEST(FaultTableConcurrency, TwoBuildsToOneOutputLeaveOneCompletePackage) {
    Scene scene;
    Process one = scene.Start();
    Process two = scene.Start();
    const Finished first = one.Wait();
    const Finished second = two.Wait();

    EXPECT_EQ(first.code, 0) << first.out << first.err;
    EXPECT_EQ(second.code, 0) << second.out << second.err;
    EXPECT_TRUE(Contains(first.out, "[O]作成完了(")) << first.out;
    EXPECT_TRUE(Contains(second.out, "[O]作成完了(")) << second.out;
    ExpectSoundPackage(scene.Output());
    ExpectNothingLeftBehind(scene, {"game.kjx"});
}

// --- work directories of builds that were killed -----------------------------

TEST(FaultTableLeftovers, AWorkDirectoryOfAGoneProcessIsRemovedByTheNextBuild) {
    Scene scene;
    // A process that has ended: its id names no process any more.
    const pid_t gone = fork();
    if (gone == 0) _exit(0);
    waitpid(gone, nullptr, 0);
    const std::string abandoned = scene.TmpDir() + "pelko-work-" + std::to_string(gone) + "-AbCdEf";
    fs::create_directories(abandoned + "/META-INF");
    test::WriteFile(abandoned + "/block.tmp", "left by a killed build");
    // Ours too, but its process (this test) is alive; and a name not ours.
    const std::string alive = scene.TmpDir() + "pelko-work-" + std::to_string(getpid()) + "-GhIjKl";
    fs::create_directory(alive);
    const std::string foreign = scene.TmpDir() + "pelko-work-" + std::to_string(gone) + "-x";
    fs::create_directory(foreign);

    const Finished result = scene.Make();
    ASSERT_EQ(result.code, 0) << result.out << result.err;
    EXPECT_EQ(test::ListDir(scene.TmpDir()), (std::vector<std::string>{
                                                 fs::path(alive).filename().string(),
                                                 fs::path(foreign).filename().string()}));
}

}  // namespace
}  // namespace pelko

namespace pelko {
namespace {

// --- inputs refused before anything is written -----------------------------

TEST(RefusedInputs, AnOutputThatIsTheTemplateLeavesTheTemplateAsItWas) {
    Scene scene;
    const std::string jad = test::ReadFile(scene.Template());
    const std::string jar = test::ReadFile(scene.Jar());
    fs::create_symlink(scene.Jar(), scene.OutDir() + "to-jar.kjx");
    fs::create_symlink(scene.Template(), scene.OutDir() + "to-jad.kjx");
    fs::create_hard_link(scene.Jar(), scene.OutDir() + "hard.kjx");
    for (const char* name : {"to-jar.kjx", "to-jad.kjx", "hard.kjx"}) {
        const std::string output = scene.OutDir() + std::string(name);
        const test::CliResult result = test::RunCli(scene.Root(), {"make", scene.Template(), "-o", output});
        EXPECT_EQ(result.code, 1) << name << result.out << result.err;
        EXPECT_EQ(result.out, "[X]ファイル作成失敗(" + output + ")\n") << name;
        EXPECT_EQ(test::ReadFile(scene.Template()), jad) << name;
        EXPECT_EQ(test::ReadFile(scene.Jar()), jar) << name;
    }
}

TEST(RefusedInputs, ALineBreakInAnyTextArgumentBuildsNothing) {
    Scene scene;
    for (const std::string& text : {std::string("ab\r\nMIDlet-Jar-URL: x"), std::string("ab\ncd"), std::string("ab\r")}) {
        for (const std::vector<std::string>& extra :
             {std::vector<std::string>{"--title", text}, {"--author", text}, {"--set", "Speed=" + text},
              {"--set", "MIDlet-Description=" + text}}) {
            std::vector<std::string> args = {"make", scene.Template(), "-o", scene.Output()};
            args.insert(args.end(), extra.begin(), extra.end());
            const test::CliResult result = test::RunCli(scene.Root(), args);
            EXPECT_EQ(result.code, 2) << extra.front() << result.err;
            EXPECT_NE(result.err.find("the text holds a line break"), std::string::npos) << result.err;
            EXPECT_FALSE(test::Exists(scene.Output())) << extra.front();
        }
    }
}

}  // namespace
}  // namespace pelko
