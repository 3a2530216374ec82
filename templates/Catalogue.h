#pragma once
// The templates: every "*.jad" file in the template directories, named by its
// first "Pelko-Name: " line or else by its file name without extension.
// The program directory comes first, then the user's own template directory,
// so a user adds templates without write access to the installation.
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "text/StringList.h"

namespace pelko {

struct CatalogueEntry {
    std::string displayName;  // CP932
    std::string path;         // host path of the descriptor
};

// The display name a descriptor's lines give, fileName being its bare file name.
std::string DisplayNameOf(const StringList& lines, const std::string& fileName);

// The order of templates within one directory: ASCII letters compared
// without case, ties broken by the bytes, so the list is the same on every
// file system and in every locale.
bool FileNameBefore(std::string_view a, std::string_view b);

// The user's template directory, with its trailing "/": xdgDataHome (when it
// is an absolute path) or else home + "/.local/share", then "/pelko/templates/".
// Empty when neither gives a place.
std::string UserTemplateDirectory(std::string_view xdgDataHome, std::string_view home);
// The same on Windows, with its trailing backslash: localAppData (when it is
// an absolute path) + "\Pelko\templates\". Empty when it gives no place.
std::string WindowsUserTemplateDirectory(std::string_view localAppData);

// The directories the catalogue lists, in order: programDirectory, then the
// user's template directory from $XDG_DATA_HOME or $HOME, on Windows from
// %LOCALAPPDATA% (left out when it cannot be found or is the program
// directory itself).
std::vector<std::string> TemplateDirectories(const std::string& programDirectory);

// Calls add for each template of one directory (given with its trailing
// separator), in FileNameBefore order. A descriptor that cannot be read
// raises OpenError; the entries added before it stay added.
void ScanTemplates(const std::string& directory, const std::function<void(CatalogueEntry)>& add);

// ScanTemplates over each directory in turn.
void ScanTemplates(const std::vector<std::string>& directories,
                   const std::function<void(CatalogueEntry)>& add);

// The descriptor fileName in the first of directories that holds it as a
// file; nullopt when none does.
std::optional<std::string> FindTemplate(const std::vector<std::string>& directories,
                                        const std::string& fileName);

}  // namespace pelko
