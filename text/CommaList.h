#pragma once
#include <string_view>

#include "text/StringList.h"

namespace pelko {

// Replaces the items by the items of an option's field list: commas and
// blanks (0x01-0x20) separate, double quotes enclose, "" inside quotes is one ".
// Never fails.
void SplitCommaList(StringList& list, std::string_view text);

}  // namespace pelko
