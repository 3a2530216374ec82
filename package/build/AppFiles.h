#pragma once
// An application's own two files, a descriptor and the archive beside it, as
// a package carries them: what they are called on the disk and the two lines
// of the descriptor that describe the archive. Unpacking writes them under
// these names, and packing finds the archive by the same rule, so that one
// gives back what the other took apart.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/StringList.h"

namespace pelko {

// The host file name (UTF-8) of a CP932 name stored in a package, when it
// names one file and nothing else: not empty, not "." or "..", no directory
// delimiter of any system ("/", "\", ":"), no control character, and it
// converts back to the same bytes. nullopt otherwise.
std::optional<std::string> HostFileName(std::string_view cp932);

// The host file name of the archive beside the descriptor named
// descriptorName (a host name): the value of the first "MIDlet-Jar-URL"
// line when that is a plain file name, else the descriptor's own name with
// ".jar". The descriptor's name itself when the two coincide would be wrong;
// the caller refuses that.
std::string ArchiveNameBeside(const StringList& descriptorLines, std::string_view descriptorName);

// Sets the values of the "MIDlet-Jar-Size" and "MIDlet-Jar-URL" lines,
// wherever they are; a line that is missing is added at the top, as a build
// adds both, the size first. archiveName: CP932.
void SetArchiveLines(StringList& lines, std::uint64_t archiveSize, std::string_view archiveName);

}  // namespace pelko
