#include "support/ZipTools.h"

#include <zip.h>

#include <memory>
#include <random>
#include <stdexcept>

#include "support/TestFiles.h"

namespace pelko::test {
namespace {

struct ArchiveDiscard {
    void operator()(zip_t* archive) const noexcept { zip_discard(archive); }
};
struct FileClose {
    void operator()(zip_file_t* file) const noexcept { zip_fclose(file); }
};

std::string ReadEntryData(zip_t* archive, zip_uint64_t index, const std::string& name) {
    std::unique_ptr<zip_file_t, FileClose> file(zip_fopen_index(archive, index, 0));
    if (!file) throw std::runtime_error("cannot open entry " + name + ": " + zip_strerror(archive));
    std::string data;
    char buffer[8192];
    zip_int64_t got = 0;
    while ((got = zip_fread(file.get(), buffer, sizeof buffer)) > 0) {
        data.append(buffer, static_cast<std::size_t>(got));
    }
    // A CRC mismatch shows up as a failed read at the end.
    if (got < 0) throw std::runtime_error("cannot read entry " + name + ": " + zip_file_strerror(file.get()));
    return data;
}

std::uint32_t Little(std::string_view bytes, std::size_t at, int size) {
    std::uint32_t value = 0;
    for (int i = size - 1; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes.at(at + i));
    return value;
}

// The general-purpose flags of each central directory record, read from the
// bytes themselves rather than through libzip, which keeps them to itself.
std::vector<std::uint16_t> CentralFlags(const std::string& path) {
    const std::string bytes = ReadFile(path);
    const std::size_t end = bytes.rfind(std::string("PK\x05\x06", 4));
    if (end == std::string::npos) throw std::runtime_error("no end record in " + path);
    const auto count = Little(bytes, end + 10, 2);
    std::size_t at = Little(bytes, end + 16, 4);
    std::vector<std::uint16_t> flags;
    for (std::uint32_t i = 0; i < count; ++i) {
        if (Little(bytes, at, 4) != 0x02014B50) throw std::runtime_error("bad central record in " + path);
        flags.push_back(static_cast<std::uint16_t>(Little(bytes, at + 8, 2)));
        at += 46 + Little(bytes, at + 28, 2) + Little(bytes, at + 30, 2) + Little(bytes, at + 32, 2);
    }
    return flags;
}

ZipEntry ReadEntry(zip_t* archive, zip_uint64_t index) {
    zip_stat_t stat;
    if (zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &stat) < 0) {
        throw std::runtime_error(zip_strerror(archive));
    }
    ZipEntry entry;
    entry.name = stat.name;
    entry.crc = stat.crc;
    entry.compressedSize = stat.comp_size;
    entry.method = stat.comp_method;
    entry.encrypted = stat.encryption_method != ZIP_EM_NONE;
    entry.time = stat.mtime;
    entry.localExtraFields = zip_file_extra_fields_count(archive, index, ZIP_FL_LOCAL);
    entry.centralExtraFields = zip_file_extra_fields_count(archive, index, ZIP_FL_CENTRAL);
    zip_uint32_t length = 0;
    const char* comment = zip_file_get_comment(archive, index, &length, ZIP_FL_ENC_RAW);
    if (comment != nullptr) entry.comment.assign(comment, length);
    zip_file_get_external_attributes(archive, index, 0, &entry.system, &entry.attributes);
    if (!entry.encrypted) entry.data = ReadEntryData(archive, index, entry.name);
    return entry;
}

}  // namespace

std::vector<ZipEntry> ReadZip(const std::string& path) {
    int code = 0;
    std::unique_ptr<zip_t, ArchiveDiscard> archive(zip_open(path.c_str(), ZIP_RDONLY | ZIP_CHECKCONS, &code));
    if (!archive) {
        throw std::runtime_error("libzip cannot open " + path + " (error " + std::to_string(code) + ")");
    }
    std::vector<ZipEntry> entries;
    const zip_int64_t count = zip_get_num_entries(archive.get(), 0);
    const std::vector<std::uint16_t> flags = CentralFlags(path);
    for (zip_int64_t i = 0; i < count; ++i) {
        entries.push_back(ReadEntry(archive.get(), static_cast<zip_uint64_t>(i)));
        entries.back().utf8Flag = (flags.at(static_cast<std::size_t>(i)) & 0x0800) != 0;
    }
    return entries;
}

std::vector<std::string> NamesOf(const std::vector<ZipEntry>& entries) {
    std::vector<std::string> names;
    for (const ZipEntry& entry : entries) names.push_back(entry.name);
    return names;
}

std::vector<ZipEntry> ReadZipBytes(std::string_view archive) {
    ScratchDir scratch;
    WriteFile(scratch / "archive.zip", archive);
    return ReadZip(scratch / "archive.zip");
}

std::string EntryData(std::string_view archive, std::string_view name) {
    for (ZipEntry& entry : ReadZipBytes(archive)) {
        if (entry.name == name) return std::move(entry.data);
    }
    throw std::runtime_error("no entry " + std::string(name) + " in the archive");
}

std::string ShellQuoted(std::string_view text) {
    std::string quoted = "'";
    for (char c : text) {
        if (c == '\'') {
            quoted += "'\\''";
        } else {
            quoted += c;
        }
    }
    return quoted + "'";
}

int RunIn(const std::string& directory, const std::string& command, std::string* out) {
    return Run("cd " + ShellQuoted(directory) + " && " + command, out);
}

std::string RandomBytes(std::size_t size, unsigned seed) {
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
    return bytes;
}

std::time_t LocalTime(int year, int month, int day) {
    std::tm parts{};
    parts.tm_year = year - 1900;
    parts.tm_mon = month - 1;
    parts.tm_mday = day;
    parts.tm_hour = 12;
    parts.tm_isdst = -1;
    return std::mktime(&parts);
}

}  // namespace pelko::test
