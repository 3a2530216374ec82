#pragma once
// A File option as a package sees it: the archive entry it replaces, named
// by the template as authors write entries on either system, and the file
// that goes into that entry. The build and the template check both ask here.
#include <optional>
#include <string>
#include <string_view>

namespace pelko {

// The entry a File option's type field names: "icons\app.png" and
// "icons/app.png" are the entry icons/app.png, a bare name is an entry at the
// archive's root. CP932, forward slashes; a backslash that is the second
// byte of a CP932 pair stays part of its character. nullopt when the name
// leads nowhere inside an archive: empty, absolute (a leading slash or
// backslash), with a drive, or with an empty, "." or ".." part.
std::optional<std::string> ArchiveEntryOf(std::string_view typeField);

// Whether the entry lies in a folder of the archive rather than at its root.
bool IsInFolder(std::string_view entry);

// The first folder of an entry in a folder; the entry itself at the root.
std::string TopNameOf(std::string_view entry);

// The host path of the file a File option's value names. A value the user
// chose is a host path; a default written in the descriptor is CP932 and
// names the same file in the host's UTF-8. A relative one starts in
// templateDirectory (with its trailing separator).
std::string FileOptionSource(const std::string& templateDirectory, std::string_view value);

}  // namespace pelko
