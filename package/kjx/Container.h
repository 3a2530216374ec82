#pragma once
// Writing the KJX container (package/kjx/KjxFormat.h): the header, the
// descriptor text, then the archive.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "package/kjx/KjxFormat.h"
#include "system/Files.h"

namespace pelko {

// Writes the whole container into output, streaming archive from its start
// (system/StreamCopy.h): never more than 1 MiB of it in memory. The caller
// keeps both files open and closes them. The error of a write or of a read
// of the archive that failed, so that a damaged package is never taken for a
// finished one.
Outcome<void> WriteContainer(File& output, std::string_view containerName, std::string_view descriptorName,
                             std::string_view descriptorText, File& archive, std::uint64_t archiveStart = 0);

// The bytes before the archive: header and descriptor text.
std::size_t ContainerHeadSize(std::string_view containerName, std::string_view descriptorName,
                              std::size_t descriptorLength);

// Writes header and descriptor text at the start of output, in front of an
// archive already written from ContainerHeadSize(...) on.
Outcome<void> WriteContainerHead(File& output, std::string_view containerName, std::string_view descriptorName,
                                 std::string_view descriptorText);

}  // namespace pelko
