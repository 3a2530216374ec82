#include "cli/PathArguments.h"

#include <string_view>

#include "cli/Arguments.h"
#include "package/build/BuildRequest.h"
#include "system/FileStatus.h"
#include "system/Locations.h"
#include "templates/Catalogue.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko::cli {
namespace {

std::string AbsolutePath(const std::string& path, std::string_view what) {
    Outcome<std::string> absolute = pelko::AbsolutePath(path);
    if (!absolute) throw ArgumentError(std::string(what) + " " + path + ": " + absolute.Error().reason);
    return std::move(*absolute);
}

}  // namespace

std::string TemplatePath(const std::string& typed) {
    std::string path = AbsolutePath(typed, "TEMPLATE");
    if (FileNameOf(typed) == typed && KindOf(path) == FileKind::Missing) {
        if (auto found = FindTemplate(TemplateDirectories(ProgramDirectory()), typed)) path = *found;
    }
    if (!TextEquals(LowerText(ExtensionOf(path)), ".jad")) {
        throw ArgumentError(typed + ": a template is given by its .jad descriptor");
    }
    return path;
}

std::string OutputPath(const std::string& typed) {
    const std::string name = FileNameOf(typed);
    if (name.empty() || name == "." || name == "..") {
        throw ArgumentError("-o " + typed + ": names a directory, not a package file");
    }
    return OutputPathFor(AbsolutePath(typed, "-o"));
}

}  // namespace pelko::cli
