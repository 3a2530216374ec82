#pragma once
// Whether a template's descriptor was saved in CP932, as every descriptor
// must be, or in UTF-8, which the window then shows as mojibake and
// packages carry to handsets as it is.
#include "package/checks/Problem.h"
#include "text/StringList.h"

namespace pelko {

// One problem per line whose bytes beyond ASCII read as UTF-8, at that line
// (place Template), naming the line as UTF-8 shows it.
Problems CheckDescriptorEncoding(const StringList& lines);

}  // namespace pelko
