#include "package/build/WorkFiles.h"

#include "package/archive/ManifestNames.h"
#include "package/kjx/FileOptions.h"
#include "system/Directories.h"
#include "system/Files.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

bool SameName(std::string_view a, std::string_view b) { return TextEquals(LowerText(a), LowerText(b)); }

// A name is quoted in the archive command line without escapes, and the line
// ends at its first NUL: neither byte can be part of a name there.
bool FitsCommandLine(std::string_view name) {
    return name.find('"') == std::string_view::npos && name.find('\0') == std::string_view::npos;
}

// Makes the folders the entry lies in, outermost first.
bool MakeFoldersOf(const std::string& workDirectory, std::string_view entry) {
    const std::string folder = DirectoryOf(entry, PathSyntax::Archive);
    if (folder.empty()) return true;
    const std::string_view parent = std::string_view(folder).substr(0, folder.size() - 1);
    return MakeFoldersOf(workDirectory, parent) &&
           static_cast<bool>(MakeDirectory(workDirectory + std::string(parent)));
}

}  // namespace

bool IsUsableWorkName(std::string_view entry, std::string_view temporaryArchive) {
    const std::string top = TopNameOf(entry);
    return !entry.empty() && FitsCommandLine(entry) && !SameName(top, temporaryArchive) &&
           !SameName(entry, "META-INF") && !SameName(entry, kManifestEntry);
}

bool PlaceWorkFile(const std::string& source, const std::string& workDirectory, std::string_view entry) {
    return MakeFoldersOf(workDirectory, entry) &&
           static_cast<bool>(CopyRegularFile(source, workDirectory + std::string(entry)));
}

}  // namespace pelko
