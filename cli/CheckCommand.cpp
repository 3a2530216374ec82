// pelko-cli check: the template check of the core, told to the template's
// author line by line before any package is made.
#include <ostream>

#include "cli/Command.h"
#include "cli/PathArguments.h"
#include "cli/Texts.h"
#include "package/checks/TemplateCheck.h"
#include "text/Cp932.h"
#include "text/Paths.h"

namespace pelko::cli {
namespace {

std::optional<Request> Parse(const Words& words) {
    std::optional<std::string> path = ParseOnePath(words, "check", "template (TEMPLATE.jad)");
    if (!path) return std::nullopt;
    Request request;
    request.path = *path;
    return request;
}

// One line per problem, "NAME.jad:LINE: TEXT" (or "NAME.jad: TEXT" when no
// line of the descriptor holds it), then "ok" when every one was a note.
int Run(const Request& request, std::ostream& out, std::ostream&) {
    const std::string templatePath = TemplatePath(request.path);
    const Problems problems = CheckTemplateFile(templatePath);
    const std::string name = ShownName(ReadableText(FileNameOf(templatePath)));
    bool clean = true;
    for (const Problem& problem : problems) {
        out << name << ':';
        if (problem.line > 0) out << problem.line << ':';
        out << ' ' << ShownName(Formatted(LogLineOf(problem))) << '\n';
        if (problem.severity != Severity::Note) clean = false;
    }
    if (clean) out << "ok\n";
    return clean ? kExitOk : kExitFailed;
}

}  // namespace

const Command& CheckCommand() {
    static const Command command{
        "check",
        "",
        "check TEMPLATE.jad",
        "Checks a template before any package is made from it: composes the\n"
        "manifest and the descriptor text as a build right after choosing the\n"
        "template would, and prints one line per problem, NAME.jad:LINE: and\n"
        "the \"[!]\" (or \"[X]\") text the build's log would show; LINE is left\n"
        "out when no line of the descriptor holds the problem (a missing\n"
        "attribute). Besides the handset rules the build warns about, it\n"
        "finds option lines the window cannot use (no label, a File option\n"
        "without its entry, a record without type or default), File options\n"
        "whose entry is not in the archive or whose default file is not\n"
        "beside the template, keys given to several options, lines saved as\n"
        "UTF-8 instead of CP932, MicroEdition-Profile or -Configuration in\n"
        "neither text, a name too long for the package header and an archive\n"
        "that is no ZIP. A \"[i]\" line is a note (an archive over 51200\n"
        "bytes) and changes nothing. Prints \"ok\" and exits 0 when there is\n"
        "nothing but notes to report.",
        {},
        Parse,
        Run,
    };
    return command;
}

}  // namespace pelko::cli
