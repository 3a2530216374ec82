#pragma once
// What the build changes without a word in its log, told to the user of the
// command line: a title or an author the package does not carry as typed,
// and descriptor lines that are never read.
#include <string>
#include <string_view>
#include <vector>

#include "package/kjx/Compose.h"

namespace pelko::cli {

// One sentence each, in UTF-8; empty when nothing changes silently.
// descriptorBytes: the template's descriptor as read from its file.
std::vector<std::string> SilentChanges(const AppSettings& settings, std::string_view descriptorBytes);

}  // namespace pelko::cli
