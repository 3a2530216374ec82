#pragma once
// What a build is asked to make, as both front ends put it together.
#include <string>
#include <string_view>

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

// The save dialog's name with ".kjx" appended unless its extension, lowered,
// already is ".kjx".
std::string OutputPathFor(std::string_view chosen);

}  // namespace pelko
