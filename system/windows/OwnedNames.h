#pragma once
// Names that carry the process that made them, PREFIX<pid>-XXXXXX, so that
// a later process can tell what a killed one left behind (End task, a
// crash, a power cut) and remove it.
#include <string>
#include <string_view>

namespace pelko::win32 {

// prefix + this process's id + "-": a random part completes the name.
std::string OwnedNameStem(std::string_view prefix);

// Removes, in directory (with its trailing separator), every entry of that
// name pattern whose process no longer exists: directories with everything
// in them when recursive, otherwise files. Whatever cannot be removed stays
// for the next time.
void RemoveAbandoned(const std::string& directory, std::string_view prefix, bool recursive);

}  // namespace pelko::win32
