#pragma once
// Reading a KJX package back and checking it the way a handset would: the
// header fields, the descriptor text and the archive's entries. Every length
// field is checked against the bytes that are really there, so a truncated or
// hostile file gives problems, never a read out of bounds.
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

struct ArchiveEntry {
    std::string name;  // the raw bytes of the entry name
    std::uint64_t size = 0;
    std::uint64_t compressedSize = 0;
};

struct InspectReport {
    std::uint64_t fileSize = 0;
    PackageHeader header;
    // The descriptor text (CP932) when all D bytes of it are in the file.
    std::optional<std::string> descriptor;
    // Where the archive starts and how many bytes it has, once the
    // descriptor was found whole.
    std::optional<std::uint64_t> archiveOffset;
    std::uint64_t archiveSize = 0;
    bool archiveIsZip = false;
    std::vector<ArchiveEntry> entries;
    // One UTF-8 sentence per problem; empty when the package is sound.
    std::vector<std::string> problems;

    bool Sound() const { return problems.empty(); }
};

// The descriptor lines that every handset requires, in the order they are checked.
inline constexpr std::string_view kRequiredDescriptorKeys[] = {
    "MIDlet-Name", "MIDlet-Vendor", "MIDlet-Version", "MIDlet-Jar-URL", "MIDlet-Jar-Size"};

// Inspects a whole package held in memory. Never throws for any content.
InspectReport InspectPackage(std::string_view bytes);
// Reads the file, then InspectPackage. OpenError(path) when it cannot be read.
InspectReport InspectPackageFile(const std::string& path);

}  // namespace pelko
