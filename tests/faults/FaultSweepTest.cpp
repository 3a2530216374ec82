// Every I/O call of a pelko-cli run failed in turn: for each scenario a run
// without faults counts the calls, then one run per call, per way of failing
// and per N fails the Nth call of that function (io_faults.c). Each run is
// judged by what the user is told and what is left on the disk: never "[O]"
// or "ok" unless the result is the one asked for, the earlier package or a
// complete new one in the output's place, the inputs untouched, nothing
// left that the next build does not remove, the system's reason named, and
// interrupted or short transfers as if nothing had happened.
#include <chrono>
#include <iostream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "faults/FaultedRun.h"
#include "faults/SweepJudge.h"
#include "faults/SweepStage.h"
#include "support/RowName.h"
#include "support/ZipTools.h"

namespace pelko::test {
namespace {

// The ways a call is failed, and the calls each way is tried on: every call
// fails outright; the ones that make or write things run out of space; the
// ones the system may interrupt are interrupted; transfers come back short;
// and a build is killed just before any call that changes a file.
struct Way {
    const char* mode;
    std::vector<std::string> calls;  // empty: every call the run makes
    bool buildsOnly;
};

const std::vector<std::string> kWritingCalls = {
    "open",  "openat",   "write",     "pwrite",   "fsync",    "fdatasync", "close",  "ftruncate", "fchmod",
    "mkdir", "mkdtemp",  "mkstemp",   "link",     "linkat",   "rename",    "renameat", "sendfile",
    "copy_file_range", "fwrite", "fputs", "putc", "fflush", "fclose"};
const std::vector<std::string> kInterruptibleCalls = {
    "open", "openat", "read", "pread", "write", "pwrite", "sendfile", "copy_file_range", "close",
    "ftruncate", "fsync", "fdatasync", "fwrite", "fflush"};
const std::vector<std::string> kTransferCalls = {"read", "pread", "write", "pwrite", "sendfile", "copy_file_range"};
const std::vector<std::string> kChangingCalls = {
    "open",  "openat", "write",   "pwrite", "fsync",  "close",  "ftruncate", "fchmod", "mkdir", "mkdtemp",
    "mkstemp", "linkat", "rename", "unlink", "unlinkat", "remove", "rmdir", "sendfile", "copy_file_range"};

const Way kWays[] = {
    {"eio", {}, false},
    {"enospc", kWritingCalls, false},
    {"eintr", kInterruptibleCalls, false},
    {"short", kTransferCalls, false},
    {"kill", kChangingCalls, true},
};

struct Scenario {
    const char* name;
    Command command;
    bool noUnnamedFiles;
    void (*arrange)(Stage&);
    // Run in the sanitizer build too. A sanitized run takes about five times
    // as long, so there only one build scenario runs, beside inspect and
    // check: the others take the same code through other file systems and
    // archives, which the plain build sweeps.
    bool sanitized;
};

// A failed row names its scenario, not its bytes.
void PrintTo(const Scenario& scenario, std::ostream* out) { *out << scenario.name; }

void AsItIs(Stage&) {}
void WithoutManifest(Stage& stage) { stage.DropManifest(); }
void GrowingPastADigit(Stage& stage) { stage.GrowArchiveToTheEdgeOfADigit(); }

const Scenario kScenarios[] = {
    {"MakeOverAnEarlierPackage", Command::Make, false, AsItIs, true},
    {"MakeWithoutUnnamedFiles", Command::Make, true, AsItIs, false},
    {"MakeFromAnArchiveWithoutManifest", Command::Make, false, WithoutManifest, false},
    {"MakeWhenTheArchiveSizeGainsADigit", Command::Make, false, GrowingPastADigit, false},
    {"InspectThePackage", Command::Inspect, false, AsItIs, true},
    {"CheckTheTemplate", Command::Check, false, AsItIs, true},
};

std::vector<std::string> CallsFor(const Way& way, const std::map<std::string, long>& counts) {
    if (!way.calls.empty()) return way.calls;
    std::vector<std::string> all;
    for (const auto& [call, count] : counts) all.push_back(call);
    return all;
}

class FaultSweep : public ::testing::TestWithParam<Scenario> {};

TEST_P(FaultSweep, NoRunClaimsSuccessItDidNotHaveAndNoneLosesAFile) {
    const Scenario& scenario = GetParam();
#ifdef PELKO_SANITIZED_BUILD
    if (!scenario.sanitized) GTEST_SKIP() << "swept in the plain build; a sanitized sweep of it takes minutes";
#endif
    if ((scenario.arrange != AsItIs) && !HaveProgram("zip")) GTEST_SKIP() << "no zip to change the template with";
    const auto started = std::chrono::steady_clock::now();
    Stage stage;
    scenario.arrange(stage);
    SweepJudge judge(stage, scenario.command, scenario.noUnnamedFiles);
    judge.TakeBaseline();
    if (HasFatalFailure()) return;

    long runs = 0;
    std::vector<std::string> findings;
    for (const Way& way : kWays) {
        if (way.buildsOnly && scenario.command != Command::Make) continue;
        for (const std::string& call : CallsFor(way, judge.Counts())) {
            const auto counted = judge.Counts().find(call);
            const long count = counted == judge.Counts().end() ? 0 : counted->second;
            for (long nth = 1; nth <= count; ++nth) {
                ++runs;
                for (std::string& finding : judge.Judge(Fault{call, nth, way.mode})) {
                    findings.push_back(call + " #" + std::to_string(nth) + " " + way.mode + ": " + finding);
                }
            }
        }
    }
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::cout << "[  sweep   ] " << scenario.name << ": " << runs << " runs, " << findings.size()
              << " findings, " << static_cast<int>(seconds) << " s\n";
    RecordProperty("runs", static_cast<int>(runs));
    std::string shown;
    for (std::size_t i = 0; i < findings.size() && i < 60; ++i) shown += findings[i] + "\n";
    EXPECT_TRUE(findings.empty()) << findings.size() << " findings in " << runs << " runs:\n" << shown;
}

INSTANTIATE_TEST_SUITE_P(Scenarios, FaultSweep, ::testing::ValuesIn(kScenarios), RowName<Scenario>);

}  // namespace
}  // namespace pelko::test
