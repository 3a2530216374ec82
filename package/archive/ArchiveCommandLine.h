#pragma once
// The three command lines of the archive component, taken apart:
// switches, a space, "ARCHIVE", a space, "NAME" and nothing after.
#include <string>
#include <string_view>

namespace pelko::archive {

enum class Operation { Update, Delete, StoreAtRoot };

struct Command {
    Operation operation;
    std::string archive;  // as written between the quotes
    std::string name;
};

// Throws ArchiveFailure (kArchiveBadCommand) for any other line.
Command ParseCommandLine(std::string_view line);

}  // namespace pelko::archive
