// pelko-cli pack: an application's own .jad and .jar made into a package as
// they are, the way back from unpack.
#include <ostream>

#include "cli/Command.h"
#include "cli/PathArguments.h"
#include "package/build/Pack.h"
#include "text/Paths.h"

namespace pelko::cli {
namespace {

constexpr OptionHelp kOptions[] = {
    {"-o", "--output", "", "OUTPUT",
     "the package to write (default: APP.kjx beside APP.jad);\n"
     "\".kjx\" is appended unless OUTPUT already ends in \".kjx\"\n"
     "(any letter case). An existing file is replaced."},
};

std::optional<Request> Parse(const Words& words) {
    Scanner scanner(words, kOptions);
    Request request;
    std::optional<std::string> output;
    Words operands;
    while (scanner.Advance()) {
        if (!scanner.IsOption()) {
            operands.push_back(scanner.Word());
        } else if (IsHelp(scanner.Word())) {
            return std::nullopt;
        } else if (scanner.Word() == "-o" || scanner.Word() == "--output") {
            if (output) throw UsageError(scanner.Word() + " is given twice");
            output = scanner.TakeValue();
        } else {
            throw UsageError("pack has no option " + scanner.Word());
        }
    }
    request.path = OneOperand(operands, "pack", "descriptor (APP.jad)");
    if (output && output->empty()) throw UsageError("-o needs a path, not an empty text");
    request.outputPath = output.value_or(std::string());
    return request;
}

int Run(const Request& request, std::ostream& out, std::ostream&) {
    const std::string descriptorPath = TemplatePath(request.path);
    const std::string outputPath =
        request.outputPath.empty() ? WithExtension(descriptorPath, ".kjx") : OutputPath(request.outputPath);
    const bool made = PackApplication(descriptorPath, outputPath,
                                      [&out](const LogLine& line) { out << Formatted(line) << std::endl; });
    return made ? kExitOk : kExitFailed;
}

}  // namespace

const Command& PackCommand() {
    static const Command command{
        "pack",
        "",
        "pack APP.jad [-o OUTPUT]",
        "Packs an application's own descriptor and its archive into a KJX\n"
        "package as they are, with nothing personalised: the descriptor's\n"
        "lines stay as written and in their order; only the values of\n"
        "MIDlet-Jar-Size and MIDlet-Jar-URL are set (the lines are added at\n"
        "the top when missing). The archive is the file MIDlet-Jar-URL names\n"
        "beside APP.jad when that is a plain file name, else APP.jar. Prints\n"
        "the log as make does. Packing what unpack wrote gives the package\n"
        "back byte for byte.",
        kOptions,
        Parse,
        Run,
    };
    return command;
}

}  // namespace pelko::cli
