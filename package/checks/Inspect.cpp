// The package reader's entry points: the container first (KjxReader), then,
// once the descriptor was found whole, its lines and the archive
// (PackageChecks).
#include "package/checks/Inspect.h"

#include "package/kjx/KjxReader.h"
#include "package/checks/PackageChecks.h"
#include "text/Errors.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "text/Integer.h"

namespace pelko {
namespace {

// The whole package is read into memory; nothing a handset installs comes
// near this, and a device or a huge file must not exhaust the memory.
constexpr std::uint64_t kLargestPackage = 256ull * 1024 * 1024;

}  // namespace

InspectReport InspectPackage(std::string_view bytes) {
    InspectReport report;
    if (!ReadKjxContainer(bytes, report)) return report;
    CheckDescriptor(*report.descriptor, report);
    CheckArchive(bytes.substr(*report.archiveOffset), report);
    return report;
}

InspectReport InspectPackageFile(const std::string& path) {
    Outcome<File> file = OpenToRead(path);
    const Outcome<FileStatus> status = file ? StatusOf(*file) : file.Error();
    if (!status) throw OpenError(path);
    InspectReport refused;
    if (status->kind != FileKind::Regular) {
        refused.problems.push_back("this is not a regular file, so it is no package");
        return refused;
    }
    if (status->size > kLargestPackage) {
        refused.fileSize = status->size;
        refused.problems.push_back("the file is larger than " +
                                   FormatInteger(static_cast<std::int64_t>(kLargestPackage)) +
                                   " bytes, far beyond any package; it is not read");
        return refused;
    }
    const Outcome<std::string> bytes = ReadWholeFile(*file);
    if (!bytes) throw OpenError(path);
    return InspectPackage(*bytes);
}

}  // namespace pelko
