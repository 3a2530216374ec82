#pragma once
// One build: a personalised package from a template, the user's settings and
// the option records. Shared by the window and the command line.
#include "package/build/BuildLog.h"
#include "package/build/BuildRequest.h"

namespace pelko {

// Runs the build and returns true after its success line. Errors raised by the
// primitives (an unreadable descriptor, a short option record) propagate to
// the caller after every work item is gone.
bool MakePackage(const BuildRequest& request, const LogSink& log);

}  // namespace pelko
