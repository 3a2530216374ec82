#include "package/build/BuildRequest.h"

#include <utility>

#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {

BuildRequest RequestFor(const std::string& templatePath, AppSettings settings, const StringList& options,
                        const std::string& outputPath, const std::string& templateDirectory) {
    BuildRequest request;
    request.templatePath = templatePath;
    request.settings = std::move(settings);
    request.options = &options;
    request.outputPath = outputPath;
    request.templateDirectory = templateDirectory;
    return request;
}

std::string OutputPathFor(std::string_view chosen) {
    std::string path(chosen);
    if (!TextEquals(LowerText(ExtensionOf(path)), ".kjx")) path += ".kjx";
    return path;
}

}  // namespace pelko
