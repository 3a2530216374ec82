#include "faults/FaultedRun.h"

#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <sstream>

#include "support/CliRunner.h"
#include "support/TestFiles.h"

namespace pelko::test {
namespace {

[[noreturn]] void Exec(const std::vector<std::string>& args, const FaultedRunSettings& settings,
                       const std::string& capture) {
    const int out = open((capture + "out").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int err = open((capture + "err").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (out < 0 || err < 0 || dup2(out, 1) < 0 || dup2(err, 2) < 0) _exit(97);
    setenv("TMPDIR", settings.tmpdir.c_str(), 1);
    setenv("LD_PRELOAD", PELKO_FAULT_LIBRARY, 1);
    if (settings.noUnnamedFiles) setenv("PELKO_FAULT_NO_TMPFILE", "1", 1);
    if (!settings.countsFile.empty()) setenv("PELKO_FAULT_COUNTS", settings.countsFile.c_str(), 1);
    if (settings.fault) {
        setenv("PELKO_FAULT_CALL", settings.fault->call.c_str(), 1);
        setenv("PELKO_FAULT_NTH", std::to_string(settings.fault->nth).c_str(), 1);
        setenv("PELKO_FAULT_MODE", settings.fault->mode.c_str(), 1);
    }
    // A run that hangs ends as a finding instead of holding up the sweep.
    alarm(60);
    // The sanitizers' runtime wants to come first; the fault library must.
    setenv("ASAN_OPTIONS", "verify_asan_link_order=0:detect_leaks=1:abort_on_error=1", 1);
    std::vector<char*> argv;
    const std::string cli = CliPath();
    argv.push_back(const_cast<char*>(cli.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(cli.c_str(), argv.data());
    _exit(98);
}

}  // namespace

FaultedRunResult RunFaulted(const std::vector<std::string>& args, const FaultedRunSettings& settings) {
    ScratchDir capture;
    const pid_t child = fork();
    if (child == 0) Exec(args, settings, capture.Path());
    int status = 0;
    FaultedRunResult result;
    if (child < 0 || waitpid(child, &status, 0) != child) return result;
    result.code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    result.out = ReadFile(capture / "out");
    result.err = ReadFile(capture / "err");
    return result;
}

std::map<std::string, long> ReadCallCounts(const std::string& path) {
    std::map<std::string, long> counts;
    std::istringstream lines(ReadFile(path));
    std::string name;
    long count = 0;
    while (lines >> name >> count) counts[name] = count;
    return counts;
}

}  // namespace pelko::test
