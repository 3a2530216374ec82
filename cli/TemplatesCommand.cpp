// pelko-cli templates: the templates the window offers, in its order.
#include <ostream>

#include "cli/Command.h"
#include "cli/Texts.h"
#include "templates/Catalogue.h"
#include "text/Paths.h"

namespace pelko::cli {
namespace {

std::optional<Request> Parse(const Words& words) {
    if (!ParseNothing(words, "templates")) return std::nullopt;
    return Request{};
}

// One template a line, as the window lists them: display name, tab, path.
int Run(const Request&, std::ostream& out, std::ostream&) {
    ScanTemplates(TemplateDirectories(ProgramDirectory()), [&out](const CatalogueEntry& entry) {
        out << Shown(entry.displayName) << '\t' << ShownName(entry.path) << '\n';
    });
    return kExitOk;
}

// The help names the user's template folder as each system has it.
#ifdef _WIN32
constexpr std::string_view kHelp =
    "Lists the templates the window offers, one a line: display name, a\n"
    "tab, the descriptor's path. They are the .jad files of the program\n"
    "directory, then those of %LOCALAPPDATA%\\Pelko\\templates, each folder\n"
    "in file-name order.";
#else
constexpr std::string_view kHelp =
    "Lists the templates the window offers, one a line: display name, a\n"
    "tab, the descriptor's path. They are the .jad files of the program\n"
    "directory, then those of $XDG_DATA_HOME/pelko/templates (by default\n"
    "~/.local/share/pelko/templates), each folder in file-name order.";
#endif

}  // namespace

const Command& TemplatesCommand() {
    static const Command command{
        "templates",
        "",
        "templates",
        kHelp,
        {},
        Parse,
        Run,
    };
    return command;
}

}  // namespace pelko::cli
