#include "cli/Commands.h"

#include <iomanip>
#include <ostream>
#include <utility>

#include "package/checks/Inspect.h"
#include "package/build/Pipeline.h"
#include "pelko/Version.h"
#include "cli/Arguments.h"
#include "cli/MakeNotes.h"
#include "cli/CheckCommand.h"
#include "cli/OptionValues.h"
#include "cli/Texts.h"
#include "templates/Catalogue.h"
#include "templates/Descriptor.h"
#include "text/Errors.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "system/Locations.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko::cli {
namespace {

// Every relative path on the command line is taken from the current
// directory; the build itself never looks at it.
std::string AbsolutePath(const std::string& path, std::string_view what) {
    Outcome<std::string> absolute = pelko::AbsolutePath(path);
    if (!absolute) throw ArgumentError(std::string(what) + " " + path + ": " + absolute.Error().reason);
    return std::move(*absolute);
}

// The build derives the archive's name from the descriptor's; any other
// file given here (the .jar, say) would be read as descriptor lines. A bare
// file name that the current directory lacks names one of the templates the
// window lists (program directory first, then the user's).
std::string TemplatePath(const std::string& typed) {
    std::string path = AbsolutePath(typed, "TEMPLATE");
    if (FileNameOf(typed) == typed && KindOf(path) == FileKind::Missing) {
        if (auto found = FindTemplate(TemplateDirectories(ProgramDirectory()), typed)) path = *found;
    }
    if (!TextEquals(LowerText(ExtensionOf(path)), ".jad")) {
        throw ArgumentError(typed + ": a template is given by its .jad descriptor");
    }
    return path;
}

std::string OutputPath(const std::string& typed) {
    const std::string name = FileNameOf(typed);
    if (name.empty() || name == "." || name == "..") {
        throw ArgumentError("-o " + typed + ": names a directory, not a package file");
    }
    return OutputPathFor(AbsolutePath(typed, "-o"));
}

// A template whose reading stopped is refused as the window refuses it.
LoadedTemplate LoadWhole(const std::string& path) {
    LoadedTemplate loaded = LoadTemplateFile(path);
    if (loaded.error) throw Error(*loaded.error);
    return loaded;
}

// The descriptor's bytes for the notes; a file that cannot be read was
// already refused by the loading above, so nothing is said then.
std::string DescriptorBytes(const std::string& path) {
    Outcome<File> file = OpenToRead(path);
    Outcome<std::string> bytes = file ? ReadWholeFile(*file) : file.Error();
    return bytes ? std::move(*bytes) : std::string();
}

int Make(const MakeRequest& request, std::ostream& out, std::ostream& err) {
    // Texts first: a bad argument ends the command before any file is read.
    std::optional<std::string> title;
    if (request.title) title = PackageText("--title", *request.title);
    const std::string author = request.author ? PackageText("--author", *request.author) : std::string();
    const std::string templatePath = TemplatePath(request.templatePath);
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
    const bool made = MakePackage(build, [&out, &warned](const std::string& line) {
        if (line.rfind("[!]", 0) == 0) warned = true;
        out << line << std::endl;
    });
    // A batch that wants every option filled: the package is written all the same.
    if (made && warned && request.strict) return kExitFailed;
    return made ? kExitOk : kExitFailed;
}

std::string Field(const OptionRecord& record, int index) {
    return index < record.Count() ? Shown(record.Item(index)) : std::string();
}

int ListOptions(const OptionsRequest& request, std::ostream& out, std::ostream& err) {
    const LoadedTemplate loaded = LoadTemplateFile(TemplatePath(request.templatePath));
    // The options read before a faulty line are listed, as the window keeps them.
    for (int i = 0; i < loaded.options.Count(); ++i) {
        const OptionRecord& record = RecordOf(loaded.options, i);
        out << i + 1 << '\t' << Field(record, kRecordKey) << '\t' << Field(record, kRecordLabel) << '\t'
            << Field(record, kRecordType) << '\t' << Field(record, kRecordValue) << '\n';
    }
    if (loaded.error) {
        out.flush();
        err << ErrorBoxText(*loaded.error) << '\n';
        return kExitFailed;
    }
    return kExitOk;
}

void PrintName(std::ostream& out, std::string_view label, const std::optional<std::string>& name) {
    if (name) out << label << ": " << Shown(*name) << " (" << name->size() << " bytes)\n";
}

void PrintHeader(const InspectReport& report, std::ostream& out) {
    const PackageHeader& header = report.header;
    out << "magic: " << ShownBytes(header.magic) << '\n';
    if (header.headerLength) out << "header length: " << *header.headerLength << '\n';
    PrintName(out, "container name", header.containerName);
    if (header.descriptorLength) out << "descriptor length: " << *header.descriptorLength << '\n';
    PrintName(out, "descriptor name", header.descriptorName);
}

void PrintDescriptor(const InspectReport& report, std::ostream& out) {
    if (!report.descriptor) return;
    out << "archive: " << report.archiveSize << " bytes at offset " << *report.archiveOffset << '\n';
    out << "descriptor:\n";
    StringList lines;
    SplitLines(lines, *report.descriptor);
    for (int i = 0; i < lines.Count(); ++i) out << "  " << Shown(lines.Item(i)) << '\n';
}

void PrintEntries(const InspectReport& report, std::ostream& out) {
    if (!report.archiveIsZip) return;
    out << "entries: " << report.entries.size() << '\n';
    out << "  " << std::setw(10) << "size" << "  " << std::setw(10) << "compressed" << "  name\n";
    for (const ArchiveEntry& entry : report.entries) {
        out << "  " << std::setw(10) << entry.size << "  " << std::setw(10) << entry.compressedSize << "  "
            << ShownName(entry.name) << '\n';
    }
}

int Inspect(const InspectRequest& request, std::ostream& out) {
    InspectReport report = InspectPackageFile(request.packagePath);
    AddHandsetProblems(request.packagePath, report);
    out << "file: " << request.packagePath << " (" << report.fileSize << " bytes)\n";
    PrintHeader(report, out);
    PrintDescriptor(report, out);
    PrintEntries(report, out);
    for (const std::string& problem : report.problems) out << "problem: " << ShownName(problem) << '\n';
    if (report.Sound()) out << "ok\n";
    return report.Sound() ? kExitOk : kExitFailed;
}

// One template a line, as the window lists them: display name, tab, path.
int ListTemplates(std::ostream& out) {
    ScanTemplates(TemplateDirectories(ProgramDirectory()), [&out](const CatalogueEntry& entry) {
        out << Shown(entry.displayName) << '\t' << ShownName(entry.path) << '\n';
    });
    return kExitOk;
}

int Run(const Request& request, std::ostream& out, std::ostream& err) {
    if (std::holds_alternative<HelpRequest>(request)) {
        out << HelpText();
        return kExitOk;
    }
    if (std::holds_alternative<VersionRequest>(request)) {
        out << "pelko-cli " PELKO_VERSION "\n";
        return kExitOk;
    }
    if (const auto* make = std::get_if<MakeRequest>(&request)) return Make(*make, out, err);
    if (const auto* options = std::get_if<OptionsRequest>(&request)) return ListOptions(*options, out, err);
    if (std::holds_alternative<TemplatesRequest>(request)) return ListTemplates(out);
    if (const auto* check = std::get_if<CheckRequest>(&request)) {
        return CheckTemplate(TemplatePath(check->templatePath), out);
    }
    return Inspect(std::get<InspectRequest>(request), out);
}

}  // namespace

int RunCommandLine(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    // Whatever was printed goes out before a message, so the two keep their order.
    try {
        return Run(ParseArguments(args), out, err);
    } catch (const UsageError& error) {
        out.flush();
        err << "pelko-cli: " << error.what() << "\nTry 'pelko-cli --help' for the usage.\n";
        return kExitUsage;
    } catch (const ArgumentError& error) {
        out.flush();
        err << "pelko-cli: " << error.what() << '\n';
        return kExitUsage;
    } catch (const Error& error) {
        // Raised by the core: the text the window's error box would show.
        out.flush();
        err << ErrorBoxText(error.what()) << '\n';
        return kExitFailed;
    } catch (const std::exception& error) {
        out.flush();
        err << "pelko-cli: " << error.what() << '\n';
        return kExitFailed;
    }
}

std::string HelpText() {
    return R"(Usage:
  pelko-cli make TEMPLATE.jad -o OUTPUT [--title TEXT] [--author TEXT]
                 [--copyright | --no-copyright] [--set NAME=VALUE]...
                 [--strict]
  pelko-cli options TEMPLATE.jad
  pelko-cli check TEMPLATE.jad
  pelko-cli inspect PACKAGE.kjx
  pelko-cli templates
  pelko-cli --help | --version

make     Builds a personalised KJX package from a template: a .jad descriptor
         with its .jar archive beside it. It starts from what the window shows
         right after the template is chosen (the template's name, copyright
         flag and option values, an empty author), applies the changes given
         here and prints every line of the build's log.
  -o, --output OUTPUT   the package to write; ".kjx" is appended unless OUTPUT
                        already ends in ".kjx" (any letter case). An existing
                        file is replaced.
  --title TEXT          the application name (default: the template's)
  --author TEXT         the author (default: empty)
  --copyright, --no-copyright
                        set or clear the copyright flag (default: the template's)
  --set NAME=VALUE      sets one option; may be repeated. NAME is the option's
                        position, key or label as "options" lists them; when
                        several options share a key or label, use the position.
                        INT and COLOR take an integer (decimal, or hexadecimal
                        after 0x or $; a colour is 0xRRGGBB); BOOL takes 1/0,
                        yes/no, true/false or on/off; a file option takes the
                        path of an existing file; any other takes the text.
                        An empty VALUE leaves the option not filled in.
  --strict              exit with status 1 when the log holds any "[!]" line
                        (an option not filled in, a file not copied); the
                        package is still written.

options  Lists a template's options, one a line, tab-separated: position, key,
         label, type, default value. For a file option the type is the entry
         it replaces in the archive.

check    Checks a template before any package is made from it: composes the
         manifest and the descriptor text as a build right after choosing the
         template would, and prints one line per problem, NAME.jad:LINE: and
         the "[!]" (or "[X]") text the build's log would show; LINE is left
         out when no line of the descriptor holds the problem (a missing
         attribute). Besides the handset rules the build warns about, it
         finds option lines the window cannot use (no label, a File option
         without its entry, a record without type or default), File options
         whose entry is not in the archive, keys given to several options, a
         name too long for the package header and an archive that is no ZIP.
         Prints "ok" and exits 0 when there is nothing to report.

inspect  Reads a KJX package and prints its header, its descriptor text and
         the entries of its archive, then checks it: the "KJX" magic, the
         header length, the descriptor length, MIDlet-Jar-Size against the
         archive, the archive as ZIP with META-INF/MANIFEST.MF, and the lines
         MIDlet-Name, MIDlet-Vendor, MIDlet-Version, MIDlet-Jar-URL and
         MIDlet-Jar-Size; then the handset rules that check and the build
         apply, on the descriptor text and the archive's manifest. Each
         problem is printed on a "problem:" line.

templates
         Lists the templates the window offers, one a line: display name, a
         tab, the descriptor's path. They are the .jad files of the program
         directory, then those of $XDG_DATA_HOME/pelko/templates (by default
         ~/.local/share/pelko/templates), each folder in file-name order.

Paths: relative paths on the command line (TEMPLATE, OUTPUT, file option
values) are taken from the current directory; a TEMPLATE given by its bare
file name that is not there is looked for among the templates as "templates"
lists them. Relative file names that a template gives as defaults are taken
from the template's own directory.

Texts: arguments are UTF-8. Texts that go into a package (title, author,
option values other than files) are stored in CP932, so each of their
characters must exist in CP932.

Exit status: 0 done; 1 the build failed, a check found problems, a file could
not be read, or with --strict the log holds a "[!]" line; 2 a usage error or a
value that cannot be used (nothing is built).
)";
}

}  // namespace pelko::cli
