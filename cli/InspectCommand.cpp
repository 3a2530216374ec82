// pelko-cli inspect: a package read back, printed field by field, and
// checked as a handset would check it.
#include <iomanip>
#include <ostream>

#include "cli/Command.h"
#include "cli/Texts.h"
#include "package/checks/Inspect.h"
#include "text/Lines.h"
#include "text/StringList.h"

namespace pelko::cli {
namespace {

std::optional<Request> Parse(const Words& words) {
    std::optional<std::string> path = ParseOnePath(words, "inspect", "package (PACKAGE.kjx)");
    if (!path) return std::nullopt;
    Request request;
    request.path = *path;
    return request;
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

int Run(const Request& request, std::ostream& out, std::ostream&) {
    InspectReport report = InspectPackageFile(request.path);
    AddHandsetProblems(request.path, report);
    out << "file: " << request.path << " (" << report.fileSize << " bytes)\n";
    PrintHeader(report, out);
    PrintDescriptor(report, out);
    PrintEntries(report, out);
    for (const Problem& problem : report.problems) {
        out << (problem.severity == Severity::Note ? "note: " : "problem: ") << ShownName(InspectText(problem)) << '\n';
    }
    if (report.Sound()) out << "ok\n";
    return report.Sound() ? kExitOk : kExitFailed;
}

}  // namespace

const Command& InspectCommand() {
    static const Command command{
        "inspect",
        "",
        "inspect PACKAGE.kjx",
        "Reads a KJX package and prints its header, its descriptor text and\n"
        "the entries of its archive, then checks it: the \"KJX\" magic, the\n"
        "header length, the descriptor length, MIDlet-Jar-Size against the\n"
        "archive, the archive as ZIP with META-INF/MANIFEST.MF, and the lines\n"
        "MIDlet-Name, MIDlet-Vendor, MIDlet-Version, MIDlet-Jar-URL and\n"
        "MIDlet-Jar-Size; then the handset rules that check and the build\n"
        "apply, on the descriptor text and the archive's manifest, and\n"
        "whether either names MicroEdition-Profile and -Configuration. Each\n"
        "problem is printed on a \"problem:\" line, and makes the exit status\n"
        "1; a \"note:\" line (an archive over 51200 bytes) does not.",
        {},
        Parse,
        Run,
    };
    return command;
}

}  // namespace pelko::cli
