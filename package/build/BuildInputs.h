#pragma once
// What a build refuses before it writes anything: texts that would write
// lines of their own, and an output that is the template itself.
#include <optional>
#include <string>

#include "package/build/BuildRequest.h"
#include "system/SystemError.h"

namespace pelko {

// The first text of the request that would become part of a descriptor or
// manifest line and holds a CR, LF or NUL, named for the log in UTF-8: the
// application name, the author, or an option by its label. nullopt when
// every such text is a single line. Values of file options are names of
// files, never lines, and pass.
std::optional<std::string> TextWithLineEnd(const BuildRequest& request);

// True when outputPath is, or through links resolves to, the same file
// (device and inode) as the template's descriptor or archive; the system
// error when the system will not describe one of them (a path that is not
// there is no such file).
Outcome<bool> OutputIsTemplate(const std::string& outputPath, const std::string& templatePath);

}  // namespace pelko
