#pragma once
// pelko-cli's entry: a command line looked up in the table of commands and
// run, every error turned into its message and exit status.
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/Command.h"

namespace pelko::cli {

// Runs one command line (args without the program name); normal output goes
// to out, messages to err. Returns the exit code.
int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

// The text of --help, assembled from the table.
std::string HelpText();

}  // namespace pelko::cli
