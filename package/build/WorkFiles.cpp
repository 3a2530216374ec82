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
Outcome<void> MakeFoldersOf(const std::string& workDirectory, std::string_view entry) {
    const std::string folder = DirectoryOf(entry, PathSyntax::Archive);
    if (folder.empty()) return {};
    const std::string_view parent = std::string_view(folder).substr(0, folder.size() - 1);
    if (Outcome<void> made = MakeFoldersOf(workDirectory, parent); !made) return made;
    return MakeDirectory(workDirectory + std::string(parent));
}

}  // namespace

bool IsUsableWorkName(std::string_view entry, std::string_view temporaryArchive) {
    const std::string top = TopNameOf(entry);
    return !entry.empty() && FitsCommandLine(entry) && !SameName(top, temporaryArchive) &&
           !SameName(entry, "META-INF") && !SameName(entry, kManifestEntry);
}

Outcome<void> PlaceWorkFile(const std::string& source, const std::string& workDirectory, std::string_view entry) {
    if (Outcome<void> made = MakeFoldersOf(workDirectory, entry); !made) return made;
    return CopyRegularFile(source, workDirectory + std::string(entry));
}

}  // namespace pelko
