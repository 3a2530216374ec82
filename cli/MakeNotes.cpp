#include "cli/MakeNotes.h"

#include "cli/Texts.h"
#include "text/Integer.h"

namespace pelko::cli {

std::vector<std::string> SilentChanges(const AppSettings& settings, std::string_view descriptorBytes) {
    std::vector<std::string> notes;
    if (!TitleIsUsed(settings.title)) {
        notes.push_back("the title \"" + Shown(settings.title) + "\" has " +
                        FormatInteger(static_cast<long>(settings.title.size())) +
                        " bytes in CP932, outside 3 to 24; the package is named \"Pelko\"");
    }
    if (!settings.author.empty() && !AuthorIsUsed(settings.author)) {
        notes.push_back("the author \"" + Shown(settings.author) + "\" has " +
                        FormatInteger(static_cast<long>(settings.author.size())) +
                        " bytes in CP932, 20 or more; the package names the unnamed author instead");
    }
    // Reading a descriptor stops at its first NUL byte.
    const std::size_t nul = descriptorBytes.find('\0');
    if (nul != std::string_view::npos && descriptorBytes.find_first_not_of('\0', nul) != std::string_view::npos) {
        notes.push_back("the template's descriptor has a NUL byte at offset " +
                        FormatInteger(static_cast<long>(nul)) + "; the lines after it are not read");
    }
    return notes;
}

}  // namespace pelko::cli
