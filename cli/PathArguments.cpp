#include "cli/PathArguments.h"

#include <filesystem>
#include <string_view>

#include "cli/Arguments.h"
#include "package/build/BuildRequest.h"
#include "templates/Catalogue.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko::cli {
namespace {

namespace fs = std::filesystem;

std::string AbsolutePath(const std::string& path, std::string_view what) {
    std::error_code error;
    const fs::path absolute = fs::absolute(fs::path(path), error);
    if (error) throw ArgumentError(std::string(what) + " " + path + ": " + error.message());
    return absolute.string();
}

}  // namespace

std::string TemplatePath(const std::string& typed) {
    std::string path = AbsolutePath(typed, "TEMPLATE");
    std::error_code error;
    if (FileNameOf(typed) == typed && !fs::exists(path, error)) {
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
