#pragma once
// From the names in a command line to paths in the work directory and to
// entry names. Backslash and slash both separate directories; the file
// system and the ZIP format want slashes.
#include <string>
#include <string_view>

namespace pelko::archive {

// For host names (UTF-8 here) and the manifest path, where a backslash is
// never part of a character.
std::string WithSlashes(std::string_view name);

// The same for a CP932 name: a backslash that is the second byte of a pair
// belongs to its character.
std::string Cp932WithSlashes(std::string_view name);

// A relative name inside the work directory; an absolute one stays as it is.
std::string InWorkDirectory(const std::string& workDirectory, const std::string& slashedName);

// An entry that keeps the directories of its name: the name must lead down
// from the work directory, so that it makes a sensible entry name too.
// Throws ArchiveFailure otherwise.
std::string EntryPathOf(const std::string& slashedName, const std::string& shownName);

// The bare name that the 'j' switch and the delete work with; throws
// ArchiveFailure when the name has none.
std::string BareNameOf(const std::string& name);

}  // namespace pelko::archive
