// pelko-cli options: a template's options, one a line, as --set names them.
#include <ostream>

#include "cli/Command.h"
#include "cli/ErrorMessages.h"
#include "cli/PathArguments.h"
#include "cli/Texts.h"
#include "templates/Descriptor.h"

namespace pelko::cli {
namespace {

std::optional<Request> Parse(const Words& words) {
    std::optional<std::string> path = ParseOnePath(words, "options", "template (TEMPLATE.jad)");
    if (!path) return std::nullopt;
    Request request;
    request.path = *path;
    return request;
}

std::string Field(const OptionRecord& record, int index) {
    return index < record.Count() ? Shown(record.Item(index)) : std::string();
}

int Run(const Request& request, std::ostream& out, std::ostream& err) {
    const std::string path = TemplatePath(request.path);
    const LoadedTemplate loaded = LoadTemplateFile(path);
    // The options read before a faulty line are listed, as the window keeps them.
    for (int i = 0; i < loaded.options.Count(); ++i) {
        const OptionRecord& record = RecordOf(loaded.options, i);
        out << i + 1 << '\t' << Field(record, kRecordKey) << '\t' << Field(record, kRecordLabel) << '\t'
            << Field(record, kRecordType) << '\t' << Field(record, kRecordValue) << '\n';
    }
    if (loaded.error) {
        out.flush();
        err << ErrorMessage(path + ": " + *loaded.error) << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

}  // namespace

const Command& OptionsCommand() {
    static const Command command{
        "options",
        "",
        "options TEMPLATE.jad",
        "Lists a template's options, one a line, tab-separated: position, key,\n"
        "label, type, default value. For a file option the type is the entry\n"
        "it replaces in the archive.",
        {},
        Parse,
        Run,
    };
    return command;
}

}  // namespace pelko::cli
