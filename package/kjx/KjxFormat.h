#pragma once
// The KJX package format, as the writer, the reader and the build share it:
// "KJX", header length, container name length and name, descriptor length
// (high byte first), descriptor name length and name, descriptor text, then
// the archive to the end of the file.
#include <cstddef>
#include <string_view>

namespace pelko {

inline constexpr std::string_view kKjxMagic = "KJX";
// The bytes in front of the descriptor text besides the two names: magic 3,
// header length 1, container name length 1, descriptor length 2, descriptor
// name length 1.
inline constexpr std::size_t kFixedHeaderBytes = 8;
inline constexpr std::size_t kMaxNameLength = 255;          // each name's length is one byte
inline constexpr std::size_t kMaxHeaderLength = 255;        // the header length is one byte
inline constexpr std::size_t kMaxDescriptorLength = 65535;  // the descriptor length is two bytes

// True when names of these lengths fit the header.
constexpr bool NamesFitHeader(std::size_t containerNameLength, std::size_t descriptorNameLength) {
    return containerNameLength <= kMaxNameLength && descriptorNameLength <= kMaxNameLength &&
           kFixedHeaderBytes + containerNameLength + descriptorNameLength <= kMaxHeaderLength;
}

}  // namespace pelko
