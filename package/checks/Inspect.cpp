// The package reader's entry points: the container first (KjxReader), then,
// once the descriptor was found whole, its lines and the archive
// (PackageChecks), and on request the handset rules (HandsetChecks).
#include "package/checks/Inspect.h"

#include <algorithm>

#include "package/archive/ArchiveContents.h"
#include "package/checks/Attributes.h"
#include "package/checks/HandsetChecks.h"
#include "package/checks/PackageChecks.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "text/Errors.h"
#include "text/Integer.h"
#include "text/Lines.h"

namespace pelko {
namespace {

// The whole package is read into memory; nothing a handset installs comes
// near this, and a device or a huge file must not exhaust the memory.
constexpr std::uint64_t kLargestPackage = 256ull * 1024 * 1024;

InspectReport Refused(std::uint64_t fileSize, std::string message) {
    InspectReport refused;
    refused.fileSize = fileSize;
    refused.problems.push_back({ProblemRule::PackageLayout, ProblemPlace::Package, 0, {}, std::move(message)});
    return refused;
}

// A missing line the package reader already reports as missing.
bool RequiredByInspection(const Problem& problem) {
    return problem.rule == ProblemRule::RequiredAttribute && problem.line == 0 &&
           std::any_of(std::begin(kRequiredAttributes), std::end(kRequiredAttributes),
                       [&problem](const RequiredAttribute& required) {
                           return required.readByInspection && required.name == problem.key;
                       });
}

}  // namespace

InspectReport InspectPackage(std::string_view bytes) {
    InspectReport report;
    std::vector<std::string> faults;
    const bool whole = ReadKjxContainer(bytes, report, faults);
    for (std::string& fault : faults) {
        report.problems.push_back({ProblemRule::PackageLayout, ProblemPlace::Package, 0, {}, std::move(fault)});
    }
    if (!whole) return report;
    CheckPackageDescriptor(*report.descriptor, report);
    CheckPackageArchive(bytes.substr(*report.archiveOffset), report);
    return report;
}

InspectReport InspectPackageFile(const std::string& path) {
    Outcome<File> file = OpenToRead(path);
    const Outcome<FileStatus> status = file ? StatusOf(*file) : file.Error();
    if (!status) throw FileError(OpenError(path), status.Error());
    if (status->kind != FileKind::Regular) return Refused(0, "this is not a regular file, so it is no package");
    if (status->size > kLargestPackage) {
        return Refused(status->size,
                       "the file is larger than " + FormatInteger(static_cast<std::int64_t>(kLargestPackage)) +
                           " bytes, far beyond any package; it is not read");
    }
    const Outcome<std::string> bytes = ReadWholeFile(*file);
    if (!bytes) throw FileError(OpenError(path), bytes.Error());
    return InspectPackage(*bytes);
}

void AddHandsetProblems(const std::string& packagePath, InspectReport& report) {
    if (!report.descriptor || !report.archiveOffset || !report.archiveIsZip) return;
    const ArchiveContents archive = ReadArchiveContents(packagePath, *report.archiveOffset, report.archiveSize);
    if (archive.error) {
        report.problems.push_back({ProblemRule::PackageLayout, ProblemPlace::Package, 0, {},
                                   "the archive cannot be read again for the handset checks (" + *archive.error + ")"});
        return;
    }
    StringList descriptor;
    SplitLines(descriptor, *report.descriptor);
    const std::vector<std::string> manifest = archive.manifest.value_or(std::vector<std::string>{});
    if (archive.manifest) {
        for (Problem& problem : CheckManifest(manifest)) report.problems.push_back(std::move(problem));
    }
    for (Problem& problem : CheckDescriptor(descriptor.Texts(), manifest)) {
        if (!RequiredByInspection(problem)) report.problems.push_back(std::move(problem));
    }
    for (Problem& problem : CheckForAuthors(descriptor.Texts(), manifest)) report.problems.push_back(std::move(problem));
}

}  // namespace pelko
