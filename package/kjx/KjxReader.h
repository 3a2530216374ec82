#pragma once
// Reading a KJX package's container: the header fields, the descriptor text
// and where the archive lies. Every length field is checked against the
// bytes that are really there, so a truncated or hostile file gives
// problems, never a read out of bounds.
#include <string_view>

#include "package/checks/Inspect.h"

namespace pelko {

// Fills report's fileSize, header, descriptor, archiveOffset and
// archiveSize from bytes, adding a problem for each field that is wrong or
// missing. True when the descriptor was found whole, so that the descriptor
// and the archive can be checked.
bool ReadKjxContainer(std::string_view bytes, InspectReport& report);

}  // namespace pelko
