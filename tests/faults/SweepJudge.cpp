#include "faults/SweepJudge.h"

#include <sys/stat.h>

#include <sstream>

#include <gtest/gtest.h>

namespace pelko::test {
namespace {

bool Retried(const Fault& fault) { return fault.mode == "eintr" || fault.mode == "short"; }

// The words the system has for the error the fault injects.
std::string ReasonOf(const Fault& fault) {
    return fault.mode == "enospc" ? "No space left on device" : "Input/output error";
}

std::vector<std::string> LinesOf(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

bool HasLine(const std::string& text, const std::string& wanted) {
    for (const std::string& line : LinesOf(text)) {
        if (line == wanted) return true;
    }
    return false;
}

// A "[X]" line must follow a "[!]" line that names the reason; without one,
// the reason must be on standard error or standard output.
bool ReasonNamed(const FaultedRunResult& run, const std::string& reason) {
    bool namedInProblem = false;
    for (const std::string& line : LinesOf(run.out)) {
        if (line.rfind("[!]", 0) == 0 && Contains(line, reason)) namedInProblem = true;
        if (line.rfind("[X]", 0) == 0) return namedInProblem;
    }
    return Contains(run.err, reason) || Contains(run.out, reason);
}

// Enough of the run's output to see what happened.
std::string Summary(const FaultedRunResult& run) {
    std::string summary = "exit " + std::to_string(run.code);
    for (const std::string& line : LinesOf(run.out)) summary += " | " + line;
    const std::vector<std::string> err = LinesOf(run.err);
    if (!err.empty()) summary += " | stderr: " + err.front();
    return summary;
}

unsigned ModeOf(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? (status.st_mode & 07777) : 0;
}

}  // namespace

std::vector<std::string> SweepJudge::Arguments() const {
    switch (command_) {
        case Command::Make: return stage_.MakeArguments("Sweep");
        case Command::Inspect: return {"inspect", stage_.Output()};
        case Command::Check: break;
    }
    return {"check", stage_.Template()};
}

FaultedRunResult SweepJudge::Run(const std::optional<Fault>& fault, bool count) const {
    FaultedRunSettings settings;
    settings.tmpdir = stage_.TemporaryFolder();
    settings.noUnnamedFiles = noUnnamedFiles_;
    settings.fault = fault;
    if (count) settings.countsFile = stage_.CountsFile();
    return RunFaulted(Arguments(), settings);
}

void SweepJudge::TakeBaseline() {
    FaultedRunSettings plain;
    plain.tmpdir = stage_.TemporaryFolder();
    const FaultedRunResult earlier = RunFaulted(stage_.MakeArguments("Earlier"), plain);
    ASSERT_EQ(earlier.code, 0) << Summary(earlier);
    stage_.KeepAsEarlierPackage();
    stage_.RememberInputs();
    baseline_ = Run(std::nullopt, true);
    counts_ = ReadCallCounts(stage_.CountsFile());
    ASSERT_FALSE(counts_.empty()) << "the fault library counted nothing";
    ASSERT_TRUE(stage_.Leftovers().empty());
    ASSERT_TRUE(baseline_.err.empty()) << baseline_.err;
    if (command_ == Command::Make) {
        ASSERT_EQ(baseline_.code, 0) << Summary(baseline_);
        expected_ = ContentOf(ReadFile(stage_.Output()));
        ASSERT_TRUE(expected_) << "the package without faults is no package";
        ASSERT_FALSE(stage_.HoldsEarlierPackage());
        ASSERT_EQ(ModeOf(stage_.Output()), kEarlierPackageMode);
    }
}

std::vector<std::string> SweepJudge::Judge(const Fault& fault) {
    std::vector<std::string> findings;
    if (command_ == Command::Make) stage_.RestoreEarlierPackage();
    const FaultedRunResult run = Run(fault);
    if (command_ == Command::Make) {
        JudgeBuild(fault, run, findings);
    } else {
        JudgeReading(fault, run, findings);
    }
    if (!stage_.InputsUntouched()) findings.push_back("an input changed; " + Summary(run));
    JudgeLeftovers(findings);
    return findings;
}

void SweepJudge::JudgeBuild(const Fault& fault, const FaultedRunResult& run, std::vector<std::string>& findings) {
    const bool claimed = Contains(run.out, "[O]");
    const std::optional<PackageContent> now = Exists(stage_.Output()) ? ContentOf(ReadFile(stage_.Output()))
                                                                      : std::nullopt;
    const bool asAsked = now && *now == *expected_;
    const std::string summary = Summary(run);
    if (claimed && !asAsked) findings.push_back("[O] for a package that is not the one asked for; " + summary);
    if (claimed && asAsked && ModeOf(stage_.Output()) != kEarlierPackageMode) {
        findings.push_back("the new package did not keep the earlier one's mode; " + summary);
    }
    if (run.code == 0 && !claimed) findings.push_back("exit status 0 without [O]; " + summary);
    if (!asAsked && !stage_.HoldsEarlierPackage()) {
        findings.push_back("the output holds neither the earlier package nor the new one; " + summary);
    }
    if (fault.mode == "kill") {
        if (run.code != 128 + 9) findings.push_back("the run was not killed; " + summary);
    } else if (Retried(fault)) {
        if (run.code != 0 || !claimed || !run.err.empty()) {
            findings.push_back("not retried as if nothing had happened; " + summary);
        }
    } else if (run.code != 0 && !ReasonNamed(run, ReasonOf(fault))) {
        findings.push_back("the system's reason is not named; " + summary);
    }
}

void SweepJudge::JudgeReading(const Fault& fault, const FaultedRunResult& run,
                              std::vector<std::string>& findings) const {
    if (run.code == baseline_.code && run.out == baseline_.out && run.err == baseline_.err) return;
    const std::string summary = Summary(run);
    if (Retried(fault)) findings.push_back("not retried as if nothing had happened; " + summary);
    if (run.code == 0) findings.push_back("exit status 0 with another result; " + summary);
    if (HasLine(run.out, "ok")) findings.push_back("\"ok\" after a failed call; " + summary);
    if (!Retried(fault) && !Contains(run.out + run.err, ReasonOf(fault))) {
        findings.push_back("the system's reason is not named; " + summary);
    }
}

// Whatever a run leaves beside the output or in the temporary folder, the
// next build must remove.
void SweepJudge::JudgeLeftovers(std::vector<std::string>& findings) {
    const std::vector<std::string> left = stage_.Leftovers();
    if (left.empty()) return;
    FaultedRunSettings plain;
    plain.tmpdir = stage_.TemporaryFolder();
    RunFaulted(stage_.MakeArguments("Sweep"), plain);
    for (const std::string& name : stage_.Leftovers()) {
        findings.push_back("left behind, and the next build does not remove it: " + name);
    }
}

}  // namespace pelko::test
