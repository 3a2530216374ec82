#include "package/kjx/Container.h"

#include <string>

#include "system/StreamCopy.h"

namespace pelko {
namespace {

// A write may take fewer bytes than offered without failing; only a write
// that takes none, or fails, ends the attempt.
bool WriteAll(FileHandle output, const void* bytes, std::size_t count) {
    const char* next = static_cast<const char*>(bytes);
    while (count > 0) {
        long written = WriteFileBytes(output, next, count);
        if (written <= 0) return false;
        next += written;
        count -= static_cast<std::size_t>(written);
    }
    return true;
}

std::string Header(std::string_view containerName, std::string_view descriptorName,
                   std::size_t descriptorLength) {
    std::string header(kKjxMagic);
    header += static_cast<char>(kFixedHeaderBytes + containerName.size() + descriptorName.size());
    header += static_cast<char>(containerName.size());
    header += containerName;
    header += static_cast<char>(descriptorLength / 256);  // high byte first
    header += static_cast<char>(descriptorLength % 256);
    header += static_cast<char>(descriptorName.size());
    header += descriptorName;
    return header;
}

// Streams the archive from its start to the end of its file, in the kernel
// where it can; the archive is never held in memory whole.
bool CopyArchive(FileHandle output, FileHandle archive, std::uint64_t archiveStart) {
    const auto start = static_cast<std::int64_t>(archiveStart);
    if (SeekFile(archive, start, kSeekFromStart) != start) return false;
    return StreamCopy(archive, output).ok;
}

// Header and descriptor text, to go out in one write; both are small.
std::string Head(std::string_view containerName, std::string_view descriptorName,
                 std::string_view descriptorText) {
    std::string head = Header(containerName, descriptorName, descriptorText.size());
    head += descriptorText;
    return head;
}

}  // namespace

bool WriteContainer(FileHandle output, std::string_view containerName,
                    std::string_view descriptorName, std::string_view descriptorText,
                    FileHandle archive, std::uint64_t archiveStart) {
    const std::string head = Head(containerName, descriptorName, descriptorText);
    return WriteAll(output, head.data(), head.size()) && CopyArchive(output, archive, archiveStart);
}

std::size_t ContainerHeadSize(std::string_view containerName, std::string_view descriptorName,
                              std::size_t descriptorLength) {
    return Header(containerName, descriptorName, descriptorLength).size() + descriptorLength;
}

bool WriteContainerHead(FileHandle output, std::string_view containerName,
                        std::string_view descriptorName, std::string_view descriptorText) {
    const std::string head = Head(containerName, descriptorName, descriptorText);
    return SeekFile(output, 0, kSeekFromStart) == 0 && WriteAll(output, head.data(), head.size());
}

}  // namespace pelko
