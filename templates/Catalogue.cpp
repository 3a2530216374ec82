#include "templates/Catalogue.h"

#include <algorithm>

#include "templates/Descriptor.h"
#include "text/Cp932.h"
#include "system/Directories.h"
#include "system/FileStatus.h"
#include "system/Locations.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

// After the template line prefix: the line that gives the display name.
constexpr std::string_view kDisplayNameField = "Name: ";
constexpr std::string_view kUserTemplateSubdirectory = "/pelko/templates/";
constexpr std::string_view kWindowsUserTemplateSubdirectory = "\\Pelko\\templates\\";

bool BytesBefore(std::string_view a, std::string_view b, bool foldCase) {
    return std::lexicographical_compare(
        a.begin(), a.end(), b.begin(), b.end(), [foldCase](char x, char y) {
            if (foldCase) {
                x = AsciiLower(x);
                y = AsciiLower(y);
            }
            return static_cast<unsigned char>(x) < static_cast<unsigned char>(y);
        });
}

// The caller appends a separator at once, so "/" may become empty here.
std::string WithoutTrailingSlashes(std::string_view path, std::string_view separators = "/") {
    while (!path.empty() && separators.find(path.back()) != std::string_view::npos) path.remove_suffix(1);
    return std::string(path);
}

std::string Environment(const char* name) {
    return EnvironmentValue(name).value_or(std::string());
}

// The descriptor names of one directory, in catalogue order.
std::vector<std::string> DescriptorNames(const std::string& directory) {
    std::vector<std::string> names;
    FileScan scan;
    if (scan.First(directory + "*.jad", 0) != 0) return names;
    do {
        names.push_back(scan.Name());
    } while (scan.Next() == 0);
    std::sort(names.begin(), names.end(), FileNameBefore);
    return names;
}

}  // namespace

std::string DisplayNameOf(const StringList& lines, const std::string& fileName) {
    std::string name;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines.Item(i);
        const std::size_t field = kTemplateLinePrefix.size();
        if (StartsWith(line, kTemplateLinePrefix) && StartsWith(line.substr(field), kDisplayNameField)) {
            name = line.substr(field + kDisplayNameField.size());
            break;
        }
    }
    // A display name is CP932 like every descriptor text; the file name is
    // the host's, and one CP932 cannot write is shown as it is.
    if (name.empty()) {
        std::string base = WithExtension(fileName, "");
        name = Utf8ToCp932(base).value_or(base);
    }
    return name;
}

bool FileNameBefore(std::string_view a, std::string_view b) {
    if (BytesBefore(a, b, true)) return true;
    if (BytesBefore(b, a, true)) return false;
    return BytesBefore(a, b, false);
}

std::string UserTemplateDirectory(std::string_view xdgDataHome, std::string_view home) {
    // A relative $XDG_DATA_HOME is to be ignored, as the base directory rules say.
    if (!xdgDataHome.empty() && xdgDataHome.front() == '/') {
        return WithoutTrailingSlashes(xdgDataHome) + std::string(kUserTemplateSubdirectory);
    }
    if (!home.empty() && home.front() == '/') {
        return WithoutTrailingSlashes(home) + "/.local/share" + std::string(kUserTemplateSubdirectory);
    }
    return {};
}

std::string WindowsUserTemplateDirectory(std::string_view localAppData) {
    if (!IsAbsolutePath(localAppData, PathSyntax::WindowsHost)) return {};
    return WithoutTrailingSlashes(localAppData, "\\/") + std::string(kWindowsUserTemplateSubdirectory);
}

std::vector<std::string> TemplateDirectories(const std::string& programDirectory) {
    std::vector<std::string> directories{programDirectory};
#ifdef _WIN32
    const std::string user = WindowsUserTemplateDirectory(Environment("LOCALAPPDATA"));
#else
    const std::string user = UserTemplateDirectory(Environment("XDG_DATA_HOME"), Environment("HOME"));
#endif
    if (!user.empty() && user != programDirectory) directories.push_back(user);
    return directories;
}

void ScanTemplates(const std::string& directory, const std::function<void(CatalogueEntry)>& add) {
    for (const std::string& name : DescriptorNames(directory)) {
        std::string path = directory + name;
        StringList lines;
        LoadLines(lines, path);
        add(CatalogueEntry{DisplayNameOf(lines, name), std::move(path)});
    }
}

void ScanTemplates(const std::vector<std::string>& directories,
                   const std::function<void(CatalogueEntry)>& add) {
    for (const std::string& directory : directories) ScanTemplates(directory, add);
}

std::optional<std::string> FindTemplate(const std::vector<std::string>& directories,
                                        const std::string& fileName) {
    for (const std::string& directory : directories) {
        std::string path = directory + fileName;
        if (KindOf(path) == FileKind::Regular) return path;
    }
    return std::nullopt;
}

}  // namespace pelko
