#pragma once
// The commands of pelko-cli over the core: make, options and inspect.
#include <iosfwd>
#include <string>
#include <vector>

namespace pelko::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,  // the build or the inspection failed, or a file could not be read
    kExitUsage = 2,   // the command line was wrong; nothing was built
};

// Runs one command line (args without the program name); normal output goes
// to out, messages to err. Returns the exit code.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

std::string HelpText();

}  // namespace pelko::cli
