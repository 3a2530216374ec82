// The package reader's entry points: the container first (KjxReader), then,
// once the descriptor was found whole, its lines and the archive
// (PackageChecks).
#include "package/checks/Inspect.h"

#include <sys/stat.h>

#include "package/kjx/KjxReader.h"
#include "package/checks/PackageChecks.h"
#include "text/Errors.h"
#include "system/Files.h"
#include "text/Integer.h"

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

}  // namespace

InspectReport InspectPackage(std::string_view bytes) {
    InspectReport report;
    if (!ReadKjxContainer(bytes, report)) return report;
    CheckDescriptor(*report.descriptor, report);
    CheckArchive(bytes.substr(*report.archiveOffset), report);
    return report;
}

InspectReport InspectPackageFile(const std::string& path) {
    UniqueFile file(OpenForReading(path));
    struct stat status {};
    if (!file.IsOpen() || fstat(file.Get(), &status) != 0) throw OpenError(path);
    InspectReport refused;
    if (!S_ISREG(status.st_mode)) {
        refused.problems.push_back("this is not a regular file, so it is no package");
        return refused;
    }
    if (static_cast<std::uint64_t>(status.st_size) > kLargestPackage) {
        refused.fileSize = static_cast<std::uint64_t>(status.st_size);
        refused.problems.push_back("the file is larger than " +
                                   FormatInteger(static_cast<std::int64_t>(kLargestPackage)) +
                                   " bytes, far beyond any package; it is not read");
        return refused;
    }
    std::string bytes;
    if (!ReadWholeFile(file, bytes)) throw OpenError(path);
    return InspectPackage(bytes);
}

}  // namespace pelko
