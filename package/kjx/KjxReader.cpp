#include "package/kjx/KjxReader.h"

#include <cstdint>
#include <optional>
#include <string>

#include "package/kjx/KjxFormat.h"
#include "text/Integer.h"

namespace pelko {
namespace {

std::string Number(std::uint64_t value) {
    return FormatInteger(static_cast<std::int64_t>(value));
}

// A read position that never passes the end of the package.
class ByteReader {
public:
    explicit ByteReader(std::string_view bytes) : bytes_(bytes) {}

    std::optional<unsigned> Byte() {
        if (position_ >= bytes_.size()) return std::nullopt;
        return static_cast<unsigned char>(bytes_[position_++]);
    }
    std::optional<std::string> Bytes(std::size_t count) {
        if (count > bytes_.size() - position_) return std::nullopt;
        std::string taken(bytes_.substr(position_, count));
        position_ += count;
        return taken;
    }
    std::size_t Position() const { return position_; }
    std::size_t Left() const { return bytes_.size() - position_; }

private:
    std::string_view bytes_;
    std::size_t position_ = 0;
};

std::string EndsInHeader(const ContainerFields& fields, std::string_view field) {
    return "the file ends inside the header, at the " + std::string(field) + " (the file has " +
           Number(fields.fileSize) + " bytes)";
}

// Reads a length byte and the name it counts.
bool ReadName(ByteReader& reader, ContainerFields& fields, std::vector<std::string>& faults, std::string_view what,
              std::optional<std::string>& name) {
    std::optional<unsigned> length = reader.Byte();
    if (!length) {
        faults.push_back(EndsInHeader(fields, std::string(what) + " length"));
        return false;
    }
    name = reader.Bytes(*length);
    if (!name) {
        faults.push_back(EndsInHeader(fields, what));
        return false;
    }
    return true;
}

bool ReadMagic(std::string_view bytes, ByteReader& reader, ContainerFields& fields, std::vector<std::string>& faults) {
    if (bytes.empty()) {
        faults.push_back("the file is empty");
        return false;
    }
    fields.header.magic = std::string(bytes.substr(0, kKjxMagic.size()));
    if (fields.header.magic != kKjxMagic.substr(0, fields.header.magic.size())) {
        faults.push_back("the file does not begin with \"KJX\": it is no KJX package");
        return false;
    }
    if (!reader.Bytes(kKjxMagic.size())) {
        faults.push_back(EndsInHeader(fields, "magic"));
        return false;
    }
    return true;
}

bool ReadHeader(ByteReader& reader, ContainerFields& fields, std::vector<std::string>& faults) {
    PackageHeader& header = fields.header;
    header.headerLength = reader.Byte();
    if (!header.headerLength) {
        faults.push_back(EndsInHeader(fields, "header length"));
        return false;
    }
    if (!ReadName(reader, fields, faults, "container name", header.containerName)) return false;
    std::optional<unsigned> high = reader.Byte();
    std::optional<unsigned> low = reader.Byte();
    if (!high || !low) {
        faults.push_back(EndsInHeader(fields, "descriptor length"));
        return false;
    }
    header.descriptorLength = *high * 256 + *low;
    return ReadName(reader, fields, faults, "descriptor name", header.descriptorName);
}

// The stored header length must be where the descriptor text really starts.
void CheckHeaderLength(ContainerFields& fields, std::vector<std::string>& faults) {
    const PackageHeader& header = fields.header;
    const std::size_t expected =
        kFixedHeaderBytes + header.containerName->size() + header.descriptorName->size();
    if (*header.headerLength != expected) {
        faults.push_back("the header length is " + Number(*header.headerLength) +
                                  ", but 8 + K + J is " + Number(expected));
    }
}

bool ReadDescriptor(ByteReader& reader, ContainerFields& fields, std::vector<std::string>& faults) {
    const unsigned length = *fields.header.descriptorLength;
    std::size_t left = reader.Left();
    fields.descriptor = reader.Bytes(length);
    if (!fields.descriptor) {
        faults.push_back("the descriptor length " + Number(length) +
                                  " goes past the end of the file (" + Number(left) +
                                  " bytes follow the header)");
        return false;
    }
    fields.archiveOffset = reader.Position();
    fields.archiveSize = fields.fileSize - reader.Position();
    return true;
}

}  // namespace

bool ReadKjxContainer(std::string_view bytes, ContainerFields& fields, std::vector<std::string>& faults) {
    return ReadKjxContainer(bytes, bytes.size(), fields, faults);
}

bool ReadKjxContainer(std::string_view head, std::uint64_t fileSize, ContainerFields& fields,
                      std::vector<std::string>& faults) {
    static_assert(kLongestHead == kMaxHeaderLength + kMaxDescriptorLength);
    fields.fileSize = fileSize;
    ByteReader reader(head.substr(0, kLongestHead));
    if (!ReadMagic(head, reader, fields, faults) || !ReadHeader(reader, fields, faults)) return false;
    CheckHeaderLength(fields, faults);
    return ReadDescriptor(reader, fields, faults);
}

}  // namespace pelko
