#include "package/archive/EntryNames.h"

#include <algorithm>

#include "package/archive/Archive.h"
#include "package/archive/ArchiveFailure.h"
#include "text/Paths.h"

namespace pelko::archive {

std::string WithSlashes(std::string_view name) {
    std::string result(name);
    std::replace(result.begin(), result.end(), '\\', '/');
    return result;
}

// The path functions know which bytes are the second of a pair.
std::string Cp932WithSlashes(std::string_view name) {
    const std::string directory = DirectoryOf(name, PathSyntax::Archive);
    if (directory.empty()) return std::string(name);
    const std::string_view parent = std::string_view(directory).substr(0, directory.size() - 1);
    return Cp932WithSlashes(parent) + "/" + FileNameOf(name, PathSyntax::Archive);
}

std::string InWorkDirectory(const std::string& workDirectory, const std::string& slashedName) {
    if (slashedName.empty() || slashedName.front() == '/' || workDirectory.empty()) return slashedName;
    const char last = workDirectory.back();
    return workDirectory + (last == '/' || last == '\\' ? "" : "/") + slashedName;
}

std::string EntryPathOf(const std::string& slashedName, const std::string& shownName) {
    bool downwards = slashedName.front() != '/';
    for (std::size_t start = 0; downwards && start <= slashedName.size();) {
        const std::size_t end = std::min(slashedName.find('/', start), slashedName.size());
        const std::string_view part = std::string_view(slashedName).substr(start, end - start);
        downwards = !part.empty() && part != "." && part != "..";
        start = end + 1;
    }
    if (!downwards) {
        throw ArchiveFailure(kArchiveBadCommand,
                             "cannot store " + shownName + ": the name must be a relative path to a file");
    }
    return slashedName;
}

std::string BareNameOf(const std::string& name) {
    std::string bare = FileNameOf(name, PathSyntax::Archive);
    if (bare.empty()) throw ArchiveFailure(kArchiveBadCommand, "no file name in " + QuotedName(name));
    return bare;
}

}  // namespace pelko::archive
