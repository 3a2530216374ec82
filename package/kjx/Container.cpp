#include "package/kjx/Container.h"

#include <string>

#include "system/StreamCopy.h"

namespace pelko {
namespace {

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
Outcome<void> CopyArchive(File& output, File& archive, std::uint64_t archiveStart) {
    if (Outcome<void> moved = SeekTo(archive, archiveStart); !moved) return moved;
    const Outcome<StreamCopied> copied = StreamCopy(archive, output);
    if (!copied) return copied.Error();
    return {};
}

// Header and descriptor text, to go out in one write; both are small.
std::string Head(std::string_view containerName, std::string_view descriptorName,
                 std::string_view descriptorText) {
    std::string head = Header(containerName, descriptorName, descriptorText.size());
    head += descriptorText;
    return head;
}

}  // namespace

Outcome<void> WriteContainer(File& output, std::string_view containerName, std::string_view descriptorName,
                             std::string_view descriptorText, File& archive, std::uint64_t archiveStart) {
    const std::string head = Head(containerName, descriptorName, descriptorText);
    if (Outcome<void> written = WriteAll(output, head.data(), head.size()); !written) return written;
    return CopyArchive(output, archive, archiveStart);
}

std::size_t ContainerHeadSize(std::string_view containerName, std::string_view descriptorName,
                              std::size_t descriptorLength) {
    return Header(containerName, descriptorName, descriptorLength).size() + descriptorLength;
}

Outcome<void> WriteContainerHead(File& output, std::string_view containerName, std::string_view descriptorName,
                                 std::string_view descriptorText) {
    const std::string head = Head(containerName, descriptorName, descriptorText);
    if (Outcome<void> moved = SeekTo(output, 0); !moved) return moved;
    return WriteAll(output, head.data(), head.size());
}

}  // namespace pelko
