#pragma once
// pelko-cli run with the fault library preloaded: one call failed as asked,
// or none, with the calls of the run counted.
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace pelko::test {

// The Nth call of one function, failed in one way (the modes of io_faults.c).
struct Fault {
    std::string call;
    long nth = 0;
    std::string mode;
};

struct FaultedRunSettings {
    std::string tmpdir;            // TMPDIR of the run
    bool noUnnamedFiles = false;   // open(O_TMPFILE) fails with EOPNOTSUPP
    std::optional<Fault> fault;    // none: a run without faults
    std::string countsFile;        // receives the calls made, when not empty
};

struct FaultedRunResult {
    int code = -1;  // exit status, or 128 + signal
    std::string out;
    std::string err;
};

FaultedRunResult RunFaulted(const std::vector<std::string>& args, const FaultedRunSettings& settings);

// The counts a run left in settings.countsFile, by call name.
std::map<std::string, long> ReadCallCounts(const std::string& path);

}  // namespace pelko::test
