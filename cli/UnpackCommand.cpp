// pelko-cli unpack: a package taken apart into the .jad and .jar that
// emulators and other tools read.
#include <ostream>

#include "cli/Command.h"
#include "cli/ErrorMessages.h"
#include "package/build/Unpack.h"
#include "system/Directories.h"

namespace pelko::cli {
namespace {

constexpr OptionHelp kOptions[] = {
    {"-d", "--directory", "", "DIR",
     "the folder to write the two files into (default: the\n"
     "current one); it is made when missing, its parent not."},
    {"", "--force", "", "", "replace files that are there already; a link is then\nreplaced, never followed"},
};

std::optional<Request> Parse(const Words& words) {
    Scanner scanner(words, kOptions);
    Request request;
    std::optional<std::string> directory;
    Words operands;
    while (scanner.Advance()) {
        const std::string& word = scanner.Word();
        if (!scanner.IsOption()) {
            operands.push_back(word);
        } else if (IsHelp(word)) {
            return std::nullopt;
        } else if (word == "-d" || word == "--directory") {
            if (directory) throw UsageError(word + " is given twice");
            directory = scanner.TakeValue();
        } else if (word == "--force") {
            scanner.RefuseValue();
            request.force = true;
        } else {
            throw UsageError("unpack has no option " + word);
        }
    }
    request.path = OneOperand(operands, "unpack", "package (PACKAGE.kjx)");
    if (directory && directory->empty()) throw UsageError("-d needs a folder, not an empty text");
    request.directory = directory.value_or(std::string());
    return request;
}

int Run(const Request& request, std::ostream& out, std::ostream& err) {
    if (!request.directory.empty()) {
        if (const Outcome<void> made = MakeDirectory(request.directory); !made) {
            err << ErrorMessage("cannot make the folder " + request.directory, made.Error().reason) << '\n';
            return kExitFailed;
        }
    }
    const Unpacked unpacked = UnpackPackage(request.path, request.directory, request.force);
    for (const Refusal& refusal : unpacked.refusals) err << ErrorMessage(refusal.what, refusal.reason) << '\n';
    if (!unpacked.refusals.empty()) return kExitFailed;
    out << unpacked.descriptorPath << '\n' << unpacked.archivePath << '\n';
    return kExitOk;
}

}  // namespace

const Command& UnpackCommand() {
    static const Command command{
        "unpack",
        "",
        "unpack PACKAGE.kjx [-d DIR] [--force]",
        "Takes a KJX package apart for emulators that read no KJX: writes the\n"
        "descriptor text as stored into the file the header names (NAME.jad)\n"
        "and the archive into NAME.jar, or into the file MIDlet-Jar-URL names\n"
        "when that is a plain file name. The header, the lengths and\n"
        "MIDlet-Jar-Size are checked first, and names that would lead out of\n"
        "DIR are refused. Each file is written whole before it takes its name;\n"
        "an existing file stops the command unless --force is given. Prints\n"
        "the paths of the two files.",
        kOptions,
        Parse,
        Run,
    };
    return command;
}

}  // namespace pelko::cli
