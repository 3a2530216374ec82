#pragma once
// One command of pelko-cli as its table holds it: what --help says of it
// (and the manual page and the completion after it), how its words are read
// and what it does.
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "cli/Arguments.h"

namespace pelko::cli {

enum ExitCode : int {
    kExitOk = 0,
    kExitFailed = 1,  // the build or the inspection failed, or a file could not be read
    kExitUsage = 2,   // the command line was wrong; nothing was built
};

// What a command line asks for, as typed (UTF-8); each command fills what
// it takes.
struct Request {
    std::string path;                   // the TEMPLATE or PACKAGE operand
    std::string outputPath;             // -o
    std::optional<std::string> title;
    std::optional<std::string> author;
    std::optional<bool> copyright;      // unset: as the template says
    std::vector<std::string> settings;  // each "NAME=VALUE", in command-line order
    bool strict = false;                // any "[!]" line fails the command
    std::string directory;              // -d
    bool force = false;                 // files in the way are replaced
};

struct Command {
    std::string_view name;       // the word that selects it
    std::string_view shortName;  // another word that does, or empty
    // What follows "pelko-cli " in the usage, lines joined by '\n'; empty
    // when the usage line of the command before it covers it.
    std::string_view synopsis;
    // Its paragraph of --help, lines joined by '\n'; empty for none.
    std::string_view help;
    std::span<const OptionHelp> options;
    // Reads the words after the name: the request, or nullopt when they
    // ask for help. UsageError when they do not fit the usage.
    std::optional<Request> (*parse)(const Words& words);
    int (*run)(const Request& request, std::ostream& out, std::ostream& err);
};

// Each command's entry, from the file that holds the command.
const Command& MakeCommand();
const Command& OptionsCommand();
const Command& CheckCommand();
const Command& InspectCommand();
const Command& PackCommand();
const Command& UnpackCommand();
const Command& TemplatesCommand();
const Command& HelpCommand();
const Command& VersionCommand();

// Every command, in the order --help lists them.
std::span<const Command* const> AllCommands();

// The command a word selects; nullptr for none.
const Command* FindCommand(std::string_view word);

}  // namespace pelko::cli
