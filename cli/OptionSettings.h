#pragma once
// "--set NAME=VALUE": finding the option a NAME designates and turning the
// typed VALUE into what the option's editor in the window would store.
#include <string>
#include <string_view>

#include "text/StringList.h"

namespace pelko::cli {

// Applies one "NAME=VALUE" to the options of a loaded template (items owning
// their option records). NAME is a 1-based position (digits only), or else a
// key or a label, in UTF-8. ArgumentError, naming the argument, when NAME
// designates no option or several, or when VALUE does not suit the option.
void ApplySetting(StringList& options, std::string_view setting);

}  // namespace pelko::cli
