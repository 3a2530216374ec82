// --help and --version, and the help text, assembled from the table of
// commands: the usage lines, a paragraph per command with its options, then
// what holds for every command.
#include <ostream>

#include "cli/Commands.h"
#include "pelko/Version.h"

namespace pelko::cli {
namespace {

constexpr std::string_view kProgram = "pelko-cli ";
// Where a text starts beside the words it describes, and the least room
// between them; words too long for that put the text on the next line.
struct Layout {
    std::size_t column;
    std::size_t gap;
};
// A command's paragraph beside its name, an option's description beside its names.
constexpr Layout kParagraph{9, 1};
constexpr Layout kOption{24, 2};

constexpr std::string_view kEveryCommand = R"(Paths: relative paths on the command line (TEMPLATE, OUTPUT, file option
values) are taken from the current directory; a TEMPLATE given by its bare
file name that is not there is looked for among the templates as "templates"
lists them. Relative file names that a template gives as defaults are taken
from the template's own directory.

Texts: arguments are UTF-8. Texts that go into a package (title, author,
option values other than files) are stored in CP932, so each of their
characters must exist in CP932.

Exit status: 0 done; 1 the build or the packing failed, a check found
problems, a package was not taken apart, a file could not be read, or with
--strict the log holds a "[!]" line; 2 a usage error or a value that cannot be
used (nothing is built or written).
)";

// Puts text's lines after head, the first beside it (or, when head is too
// long, on the next line), each in the layout's column.
void AppendBeside(std::string& help, const std::string& head, std::string_view text, Layout layout) {
    const std::size_t column = layout.column;
    help += head;
    if (head.size() + layout.gap <= column) {
        help.append(column - head.size(), ' ');
    } else {
        help += '\n';
        help.append(column, ' ');
    }
    for (std::size_t start = 0;;) {
        const std::size_t end = text.find('\n', start);
        help += text.substr(start, end - start);
        help += '\n';
        if (end == std::string_view::npos) return;
        help.append(column, ' ');
        start = end + 1;
    }
}

std::string OptionNames(const OptionHelp& option) {
    std::string names = "  ";
    if (!option.shortName.empty()) names += std::string(option.shortName) + ", ";
    names += option.longName;
    if (!option.otherName.empty()) names += ", " + std::string(option.otherName);
    if (!option.value.empty()) names += " " + std::string(option.value);
    return names;
}

void AppendUsage(std::string& help) {
    help += "Usage:\n";
    for (const Command* command : AllCommands()) {
        if (command->synopsis.empty()) continue;
        const std::size_t indent = 2 + kProgram.size() + command->name.size() + 1;
        std::string_view synopsis = command->synopsis;
        help += "  " + std::string(kProgram);
        for (std::size_t end = synopsis.find('\n'); end != std::string_view::npos; end = synopsis.find('\n')) {
            help += std::string(synopsis.substr(0, end)) + "\n" + std::string(indent, ' ');
            synopsis.remove_prefix(end + 1);
        }
        help += std::string(synopsis) + "\n";
    }
    help += '\n';
}

void AppendParagraphs(std::string& help) {
    for (const Command* command : AllCommands()) {
        if (command->help.empty()) continue;
        AppendBeside(help, std::string(command->name), command->help, kParagraph);
        for (const OptionHelp& option : command->options) {
            AppendBeside(help, OptionNames(option), option.text, kOption);
        }
        help += '\n';
    }
}

std::optional<Request> ParseAnything(const Words&) { return Request{}; }

int PrintHelp(const Request&, std::ostream& out, std::ostream&) {
    out << HelpText();
    return kExitOk;
}

int PrintVersion(const Request&, std::ostream& out, std::ostream&) {
    out << "pelko-cli " PELKO_VERSION "\n";
    return kExitOk;
}

}  // namespace

std::string HelpText() {
    std::string help;
    AppendUsage(help);
    AppendParagraphs(help);
    help += kEveryCommand;
    return help;
}

const Command& HelpCommand() {
    static const Command command{"--help", "-h", "--help | --version", "", {}, ParseAnything, PrintHelp};
    return command;
}

const Command& VersionCommand() {
    static const Command command{"--version", "", "", "", {}, ParseAnything, PrintVersion};
    return command;
}

}  // namespace pelko::cli
