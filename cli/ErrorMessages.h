#pragma once
// The one shape of pelko-cli's messages on standard error, as a GNU command
// words them: "pelko-cli: ", what failed, then the system's reason when a
// system call failed. The core's fixed texts stay as they are, without the
// full stop the window's error box adds.
#include <string>
#include <string_view>

#include "text/Errors.h"

namespace pelko::cli {

// "pelko-cli: WHAT" or "pelko-cli: WHAT: REASON", without a line end.
std::string ErrorMessage(std::string_view what, std::string_view reason = {});
// An error raised by the core: its message and its reason.
std::string ErrorMessage(const Error& error);

}  // namespace pelko::cli
