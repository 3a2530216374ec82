#pragma once
// One build: a personalised package from a template, the user's settings and
// the option records. Shared by the window and the command line.
#include <string>
#include <string_view>

#include "package/build/BuildLog.h"
#include "package/kjx/Compose.h"
#include "text/StringList.h"

namespace pelko {

struct BuildRequest {
    std::string templatePath;      // host path of the template's descriptor
    AppSettings settings;          // CP932 texts
    const StringList* options = nullptr;  // items owning their OptionRecords
    std::string outputPath;        // host path, already given its ".kjx"
    std::string templateDirectory; // relative file option values start here
    std::string workParent;        // where the private work directory goes; empty: the system's
};

// The request for a build of templatePath to outputPath with the given
// settings and option records; relative file values start in templateDirectory.
BuildRequest RequestFor(const std::string& templatePath, AppSettings settings, const StringList& options,
                        const std::string& outputPath, const std::string& templateDirectory);

// Runs the build and returns true after its success line. Errors raised by the
// primitives (an unreadable descriptor, a short option record) propagate to
// the caller after every work item is gone.
bool MakePackage(const BuildRequest& request, const LogSink& log);

// The save dialog's name with ".kjx" appended unless its extension, lowered,
// already is ".kjx".
std::string OutputPathFor(std::string_view chosen);

}  // namespace pelko
