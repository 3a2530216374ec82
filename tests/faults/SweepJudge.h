#pragma once
// What a run with one failed call may do, for the command a scenario runs,
// measured against the same run without faults.
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "faults/FaultedRun.h"
#include "faults/SweepStage.h"

namespace pelko::test {

enum class Command { Make, Inspect, Check };

class SweepJudge {
public:
    SweepJudge(Stage& stage, Command command, bool noUnnamedFiles)
        : stage_(stage), command_(command), noUnnamedFiles_(noUnnamedFiles) {}

    // The earlier package, then the run without faults, whose calls are
    // counted. Fails the test when that run is not as it must be.
    void TakeBaseline();
    const std::map<std::string, long>& Counts() const { return counts_; }

    // The findings of one run with the fault; none when it did what it may.
    std::vector<std::string> Judge(const Fault& fault);

private:
    std::vector<std::string> Arguments() const;
    FaultedRunResult Run(const std::optional<Fault>& fault, bool count = false) const;
    void JudgeBuild(const Fault& fault, const FaultedRunResult& run, std::vector<std::string>& findings);
    void JudgeReading(const Fault& fault, const FaultedRunResult& run, std::vector<std::string>& findings) const;
    void JudgeLeftovers(std::vector<std::string>& findings);

    Stage& stage_;
    Command command_;
    bool noUnnamedFiles_;
    FaultedRunResult baseline_;
    std::optional<PackageContent> expected_;
    std::map<std::string, long> counts_;
};

}  // namespace pelko::test
