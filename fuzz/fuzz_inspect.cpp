// Package bytes from anywhere: a truncated download, a damaged card, a file
// made to hurt. InspectPackage must read every one of them without reading
// out of bounds, without throwing, and with a report that agrees with itself.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "package/checks/Inspect.h"
#include "text/Cp932.h"
#include "text/Utf8.h"

namespace {

void Require(bool condition) {
    if (!condition) std::abort();
}


}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const pelko::InspectReport report = pelko::InspectPackage(bytes);

    Require(report.fileSize == size);
    Require(report.header.magic.size() <= 3 && report.header.magic.size() <= size);
    Require(bytes.substr(0, report.header.magic.size()) == report.header.magic);
    if (report.header.headerLength) Require(*report.header.headerLength <= 255);
    if (report.header.descriptorLength) Require(*report.header.descriptorLength <= 65535);
    if (report.descriptor) {
        // A descriptor is reported only when all of it is in the file.
        Require(report.header.descriptorLength.has_value());
        Require(report.descriptor->size() == *report.header.descriptorLength);
        Require(bytes.find(*report.descriptor) != std::string_view::npos);
    }
    if (report.archiveOffset) {
        Require(report.descriptor.has_value());
        Require(*report.archiveOffset <= size && report.archiveSize <= size - *report.archiveOffset);
    } else {
        Require(!report.archiveIsZip && report.entries.empty());
    }
    if (report.Sound()) Require(report.descriptor.has_value() && report.archiveIsZip);
    // Problems are shown on a terminal as they are.
    for (const pelko::Problem& problem : report.problems) {
        const std::string shown = pelko::InspectText(problem);
        Require(!problem.message.empty() && pelko::IsUtf8(shown));
    }
    return 0;
}
