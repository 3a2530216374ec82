#pragma once
// Reading a KJX package's container: the header fields, the descriptor text
// and where the archive lies. Every length field is checked against the
// bytes that are really there, so a truncated or hostile file gives faults,
// never a read out of bounds.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace pelko {

// The header as stored. A field is unset when the file ends before it.
struct PackageHeader {
    std::string magic;                            // the first bytes, at most 3
    std::optional<unsigned> headerLength;         // byte 3: should be 8 + K + J
    std::optional<std::string> containerName;     // K bytes, CP932
    std::optional<unsigned> descriptorLength;     // D, stored high byte first
    std::optional<std::string> descriptorName;    // J bytes, CP932
};

// The container as the reader found it.
struct ContainerFields {
    std::uint64_t fileSize = 0;
    PackageHeader header;
    // The descriptor text (CP932) when all D bytes of it are in the file.
    std::optional<std::string> descriptor;
    // Where the archive starts and how many bytes it has, once the
    // descriptor was found whole.
    std::optional<std::uint64_t> archiveOffset;
    std::uint64_t archiveSize = 0;
};

// Fills fields from bytes, adding one sentence (UTF-8) to faults for each
// field that is wrong or missing. True when the descriptor was found whole,
// so that the descriptor and the archive can be checked.
bool ReadKjxContainer(std::string_view bytes, ContainerFields& fields, std::vector<std::string>& faults);

// The most bytes a package has in front of its archive: the longest header
// and the longest descriptor text.
inline constexpr std::size_t kLongestHead = 255 + 65535;
// The same from the start of a package of fileSize bytes: its first
// kLongestHead bytes (or all of them) are enough, the archive is not read.
bool ReadKjxContainer(std::string_view head, std::uint64_t fileSize, ContainerFields& fields,
                      std::vector<std::string>& faults);

}  // namespace pelko
