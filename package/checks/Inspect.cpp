// The package reader's entry points: the container first (KjxReader), then,
// once the descriptor was found whole, its lines and the archive
// (PackageChecks), and on request the handset rules (HandsetChecks).
#include "package/checks/Inspect.h"

#include <sys/stat.h>

#include <algorithm>

#include "package/archive/ArchiveContents.h"
#include "package/checks/Attributes.h"
#include "package/checks/HandsetChecks.h"
#include "package/checks/PackageChecks.h"
#include "system/Files.h"
#include "text/Errors.h"
#include "text/Integer.h"
#include "text/Lines.h"

namespace pelko {
namespace {

// The whole package is read into memory; nothing a handset installs comes
// near this, and a device or a huge file must not exhaust the memory.
constexpr std::uint64_t kLargestPackage = 256ull * 1024 * 1024;

// Reads the whole file; false when a read fails.
bool ReadWholeFile(const UniqueFile& file, std::string& bytes) {
    char chunk[64 * 1024];
    for (;;) {
        const long got = ReadFileBytes(file.Get(), chunk, sizeof chunk);
        if (got < 0) return false;
        if (got == 0) return true;
        bytes.append(chunk, static_cast<std::size_t>(got));
    }
}

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
    UniqueFile file(OpenForReading(path));
    struct stat status {};
    if (!file.IsOpen() || fstat(file.Get(), &status) != 0) throw OpenError(path);
    if (!S_ISREG(status.st_mode)) return Refused(0, "this is not a regular file, so it is no package");
    if (static_cast<std::uint64_t>(status.st_size) > kLargestPackage) {
        return Refused(static_cast<std::uint64_t>(status.st_size),
                       "the file is larger than " + FormatInteger(static_cast<std::int64_t>(kLargestPackage)) +
                           " bytes, far beyond any package; it is not read");
    }
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) throw OpenError(path);
    return InspectPackage(bytes);
}

void AddHandsetProblems(const std::string& packagePath, InspectReport& report) {
    if (!report.descriptor || !report.archiveOffset || !report.archiveIsZip) return;
    const ArchiveContents archive = ReadArchiveContents(packagePath, *report.archiveOffset, report.archiveSize);
    StringList descriptor;
    SplitLines(descriptor, *report.descriptor);
    const std::vector<std::string> manifest = archive.manifest.value_or(std::vector<std::string>{});
    if (archive.manifest) {
        for (Problem& problem : CheckManifest(manifest)) report.problems.push_back(std::move(problem));
    }
    for (Problem& problem : CheckDescriptor(descriptor.Texts(), manifest)) {
        if (!RequiredByInspection(problem)) report.problems.push_back(std::move(problem));
    }
}

}  // namespace pelko
