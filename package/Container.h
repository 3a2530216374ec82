#pragma once
// The KJX container: "KJX", header length, container name, descriptor length
// (high byte first), descriptor name, descriptor text, then the archive.
#include <cstddef>
#include <string_view>

#include "text/Files.h"

namespace pelko {

inline constexpr std::size_t kMaxHeaderLength = 255;
inline constexpr std::size_t kMaxDescriptorLength = 65535;

// True when names of these lengths fit the header.
bool NamesFitHeader(std::size_t containerNameLength, std::size_t descriptorNameLength);

// Writes the whole container into output, streaming archive from its start in
// 1024-byte blocks. The caller keeps both files open and closes them. Returns
// false when a write came up short or a read of the archive failed, so that a
// damaged package is never taken for a finished one.
bool WriteContainer(FileHandle output, std::string_view containerName,
                    std::string_view descriptorName, std::string_view descriptorText,
                    FileHandle archive);

}  // namespace pelko
