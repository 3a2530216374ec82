// pelko-cli make: a package built from a template as the window would build
// it right after the template is chosen, with the changes the command line
// gives, and the build's log printed line by line.
#include <ostream>
#include <utility>

#include "cli/Command.h"
#include "cli/MakeNotes.h"
#include "cli/OptionSettings.h"
#include "cli/PathArguments.h"
#include "cli/Texts.h"
#include "package/build/Build.h"
#include "system/Files.h"
#include "templates/Descriptor.h"
#include "text/Errors.h"
#include "text/Paths.h"

namespace pelko::cli {
namespace {

constexpr OptionHelp kOptions[] = {
    {"-o", "--output", "", "OUTPUT",
     "the package to write; \".kjx\" is appended unless OUTPUT\n"
     "already ends in \".kjx\" (any letter case). An existing\n"
     "file is replaced."},
    {"", "--title", "", "TEXT", "the application name (default: the template's)"},
    {"", "--author", "", "TEXT", "the author (default: empty)"},
    {"", "--copyright", "--no-copyright", "", "set or clear the copyright flag (default: the template's)"},
    {"", "--set", "", "NAME=VALUE",
     "sets one option; may be repeated. NAME is the option's\n"
     "position, key or label as \"options\" lists them; when\n"
     "several options share a key or label, use the position.\n"
     "INT and COLOR take an integer (decimal, or hexadecimal\n"
     "after 0x or $; a colour is 0xRRGGBB); BOOL takes 1/0,\n"
     "yes/no, true/false or on/off; a file option takes the\n"
     "path of an existing file; any other takes the text.\n"
     "An empty VALUE leaves the option not filled in."},
    {"", "--strict", "", "",
     "exit with status 1 when the log holds any \"[!]\" line\n"
     "(an option not filled in, a file not copied); the\n"
     "package is still written."},
};

// A second value for an option that takes one is more likely a slip than an
// intended override, so it is refused rather than silently replacing the first.
void SetOnce(std::optional<std::string>& slot, const std::string& option, std::string value) {
    if (slot) throw UsageError(option + " is given twice");
    slot = std::move(value);
}

void SetCopyright(std::optional<bool>& slot, bool value) {
    if (slot && *slot != value) throw UsageError("--copyright and --no-copyright exclude each other");
    slot = value;
}

std::string CheckedSetting(const std::string& setting) {
    const std::size_t equals = setting.find('=');
    if (equals == std::string::npos || equals == 0) {
        throw UsageError("--set needs NAME=VALUE, not \"" + setting + "\"");
    }
    return setting;
}

// Applies one option word; false when it is a request for help.
bool TakeOption(Scanner& scanner, Request& request, std::optional<std::string>& output) {
    const std::string& word = scanner.Word();
    if (IsHelp(word)) return false;
    if (word == "-o" || word == "--output") {
        SetOnce(output, word, scanner.TakeValue());
    } else if (word == "--title") {
        SetOnce(request.title, word, scanner.TakeValue());
    } else if (word == "--author") {
        SetOnce(request.author, word, scanner.TakeValue());
    } else if (word == "--set") {
        request.settings.push_back(CheckedSetting(scanner.TakeValue()));
    } else if (word == "--strict") {
        scanner.RefuseValue();
        request.strict = true;
    } else if (word == "--copyright" || word == "--no-copyright") {
        scanner.RefuseValue();
        SetCopyright(request.copyright, word == "--copyright");
    } else {
        throw UsageError("make has no option " + word);
    }
    return true;
}

std::optional<Request> Parse(const Words& words) {
    Scanner scanner(words, kOptions);
    Request request;
    std::optional<std::string> output;
    Words operands;
    while (scanner.Advance()) {
        if (!scanner.IsOption()) {
            operands.push_back(scanner.Word());
        } else if (!TakeOption(scanner, request, output)) {
            return std::nullopt;
        }
    }
    request.path = OneOperand(operands, "make", "template (TEMPLATE.jad)");
    if (!output) throw UsageError("make needs -o OUTPUT");
    if (output->empty()) throw UsageError("-o needs a path, not an empty text");
    request.outputPath = *output;
    return request;
}

// A template whose reading stopped is refused as the window refuses it.
LoadedTemplate LoadWhole(const std::string& path) {
    LoadedTemplate loaded = LoadTemplateFile(path);
    if (loaded.error) throw Error(path + ": " + *loaded.error);
    return loaded;
}

// The descriptor's bytes for the notes, read as the loading above read them.
std::string DescriptorBytes(const std::string& path) {
    Outcome<File> file = OpenToRead(path);
    Outcome<std::string> bytes = file ? ReadWholeFile(*file) : file.Error();
    if (!bytes) throw FileError(OpenError(path), bytes.Error());
    return std::move(*bytes);
}

int Run(const Request& request, std::ostream& out, std::ostream& err) {
    // Texts first: a bad argument ends the command before any file is read.
    std::optional<std::string> title;
    if (request.title) title = PackageText("--title", *request.title);
    const std::string author = request.author ? PackageText("--author", *request.author) : std::string();
    const std::string templatePath = TemplatePath(request.path);
    const std::string outputPath = OutputPath(request.outputPath);

    // What the window shows right after the template is chosen, then the changes.
    LoadedTemplate loaded = LoadWhole(templatePath);
    for (const std::string& setting : request.settings) ApplySetting(loaded.options, setting);

    AppSettings settings{title.value_or(loaded.title), author, request.copyright.value_or(loaded.copyright)};
    for (const std::string& note : SilentChanges(settings, DescriptorBytes(templatePath))) {
        err << "pelko-cli: note: " << note << '\n';
    }
    // A template's default file values name files beside it.
    const BuildRequest build =
        RequestFor(templatePath, std::move(settings), loaded.options, outputPath, DirectoryOf(templatePath));
    bool warned = false;
    const bool made = MakePackage(build, [&out, &warned](const LogLine& line) {
        if (line.severity == Severity::Problem) warned = true;
        out << Formatted(line) << std::endl;
    });
    // A batch that wants every option filled: the package is written all the same.
    if (made && warned && request.strict) return kExitFailed;
    return made ? kExitOk : kExitFailed;
}

}  // namespace

const Command& MakeCommand() {
    static const Command command{
        "make",
        "",
        "make TEMPLATE.jad -o OUTPUT [--title TEXT] [--author TEXT]\n"
        "[--copyright | --no-copyright] [--set NAME=VALUE]...\n"
        "[--strict]",
        "Builds a personalised KJX package from a template: a .jad descriptor\n"
        "with its .jar archive beside it. It starts from what the window shows\n"
        "right after the template is chosen (the template's name, copyright\n"
        "flag and option values, an empty author), applies the changes given\n"
        "here and prints every line of the build's log.",
        kOptions,
        Parse,
        Run,
    };
    return command;
}

}  // namespace pelko::cli
