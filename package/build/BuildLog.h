#pragma once
// The build's log: where its lines go, and how it words a system error --
// a "[!]" line that names what failed, its subject and the system's own
// reason, ahead of the "[X]" line that ends the build.
#include <functional>
#include <string>

#include "system/SystemError.h"
#include "text/LogLine.h"

namespace pelko {

// Receives each log line as the build writes it.
using LogSink = std::function<void(const LogLine&)>;

// what + "(" + subject + ": " + the system's reason + ")", as a problem line.
LogLine ReasonLine(const std::string& what, const std::string& subject, const SystemError& error);

// The same, with what said by the error's action (reading, creating, writing,
// memory) and its own subject, the file it happened to.
LogLine SystemProblemLine(const SystemError& error);

}  // namespace pelko
