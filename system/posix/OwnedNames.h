#pragma once
// Names that carry the process that made them, PREFIX<pid>-XXXXXX, so that
// a later process can tell what a killed one left behind (SIGKILL, a crash,
// a power cut) and remove it.
#include <sys/types.h>

#include <string>
#include <string_view>

namespace pelko::posix {

// prefix + this process's id + "-XXXXXX", ready for mkstemp and mkdtemp.
std::string OwnedNamePattern(std::string_view prefix);

// Removes, in directory (with its trailing "/"), every entry of that name
// pattern that belongs to this user and whose process no longer exists:
// directories with everything in them when recursive, otherwise files.
// Whatever cannot be removed stays for the next time.
void RemoveAbandoned(const std::string& directory, std::string_view prefix, bool recursive);

}  // namespace pelko::posix
