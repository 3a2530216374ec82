#include "package/Container.h"

#include <array>
#include <string>

namespace pelko {
namespace {

constexpr std::size_t kBlockSize = 1024;

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

// Streams the archive from its start through one small buffer; the archive
// is never held in memory whole.
bool CopyArchive(FileHandle output, FileHandle archive) {
    if (SeekFile(archive, 0, 0) != 0) return false;
    std::array<char, kBlockSize> block;
    for (;;) {
        long got = ReadFileBytes(archive, block.data(), block.size());
        if (got == 0) return true;
        if (got < 0) return false;
        if (!WriteAll(output, block.data(), static_cast<std::size_t>(got))) return false;
    }
}

}  // namespace

bool WriteContainer(FileHandle output, std::string_view containerName,
                    std::string_view descriptorName, std::string_view descriptorText,
                    FileHandle archive) {
    std::string header = Header(containerName, descriptorName, descriptorText.size());
    return WriteAll(output, header.data(), header.size()) &&
           WriteAll(output, descriptorText.data(), descriptorText.size()) &&
           CopyArchive(output, archive);
}

}  // namespace pelko
