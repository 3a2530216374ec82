#include "package/checks/PackageChecks.h"

#include <zip.h>

#include <cstdint>
#include <optional>
#include <string>

#include "package/kjx/KjxFormat.h"
#include "package/archive/ZipHandles.h"
#include "text/Cp932.h"
#include "text/Integer.h"
#include "text/Lines.h"
#include "text/StringList.h"

namespace pelko {
namespace {

// Entry data is read through to let libzip check every CRC; a small archive
// that inflates without end must not keep the inspection busy, so the check
// stops after this many uncompressed bytes (handset archives are far smaller).
constexpr std::uint64_t kVerifyBudget = 64ull * 1024 * 1024;

std::string Number(std::uint64_t value) {
    return FormatInteger(static_cast<std::int64_t>(value));
}

// ---- the descriptor ---------------------------------------------------------------

// An attribute line "Name: value"; the blanks around the value are not part of it.
struct Attribute {
    std::string_view name;
    std::string_view value;
};

std::optional<Attribute> AttributeOf(std::string_view line) {
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) return std::nullopt;
    std::string_view value = line.substr(colon + 1);
    const std::size_t first = value.find_first_not_of(" \t");
    value = first == std::string_view::npos ? std::string_view() : value.substr(first);
    const std::size_t last = value.find_last_not_of(" \t");
    value = value.substr(0, last == std::string_view::npos ? 0 : last + 1);
    return Attribute{line.substr(0, colon), value};
}

// The value of the first line of that name; nullopt when there is none.
std::optional<std::string_view> FirstValue(const StringList& lines, std::string_view name) {
    for (int i = 0; i < lines.Count(); ++i) {
        std::optional<Attribute> attribute = AttributeOf(lines.Item(i));
        if (attribute && attribute->name == name) return attribute->value;
    }
    return std::nullopt;
}

void CheckRequiredLines(const StringList& lines, InspectReport& report) {
    for (std::string_view key : kRequiredDescriptorKeys) {
        std::optional<std::string_view> value = FirstValue(lines, key);
        if (!value) {
            report.problems.push_back("the descriptor has no " + std::string(key) + " line");
        } else if (value->empty()) {
            report.problems.push_back("the descriptor's " + std::string(key) + " line is empty");
        }
    }
}

// Decimal digits only: a handset reads no sign, blank or hexadecimal here.
std::optional<std::uint64_t> ByteCount(std::string_view text) {
    if (text.empty() || text.size() > 18) return std::nullopt;
    std::uint64_t value = 0;
    for (char digit : text) {
        if (digit < '0' || digit > '9') return std::nullopt;
        value = value * 10 + static_cast<unsigned>(digit - '0');
    }
    return value;
}

void CheckJarSize(const StringList& lines, InspectReport& report) {
    std::optional<std::string_view> value = FirstValue(lines, "MIDlet-Jar-Size");
    if (!value || value->empty()) return;  // reported with the required lines
    std::optional<std::uint64_t> size = ByteCount(*value);
    if (!size) {
        report.problems.push_back("the MIDlet-Jar-Size value \"" + Cp932ToUtf8(*value) +
                                  "\" is not a byte count");
    } else if (*size != report.archiveSize) {
        report.problems.push_back("MIDlet-Jar-Size says " + Number(*size) + " bytes, but the archive has " +
                                  Number(report.archiveSize));
    }
}

// ---- the archive, through libzip --------------------------------------------------

ZipArchivePtr OpenArchive(std::string_view archive, InspectReport& report) {
    ZipError error;
    ZipSourcePtr source(zip_source_buffer_create(archive.data(), archive.size(), 0, error.Get()));
    zip_t* opened = source ? zip_open_from_source(source.get(), ZIP_RDONLY | ZIP_CHECKCONS, error.Get())
                           : nullptr;
    if (!opened) {
        report.problems.push_back("the archive is not a ZIP file (" + error.Text() + ")");
        return nullptr;
    }
    source.release();  // the open archive owns its source now
    return ZipArchivePtr(opened);
}

// Reads an entry to its end so that libzip checks its data; budget shrinks by
// what was read. False with a problem when the data is damaged or unreadable.
bool VerifyEntryData(zip_t* archive, zip_uint64_t index, const std::string& name,
                     std::uint64_t& budget, InspectReport& report) {
    ZipEntryPtr entry(zip_fopen_index(archive, index, 0));
    if (!entry) {
        report.problems.push_back("the archive entry " + ReadableText(name) + " cannot be read (" +
                                  zip_strerror(archive) + ")");
        return false;
    }
    char buffer[64 * 1024];
    for (;;) {
        const zip_int64_t got = zip_fread(entry.get(), buffer, sizeof buffer);
        if (got == 0) return true;
        if (got < 0) {
            report.problems.push_back("the archive entry " + ReadableText(name) + " is damaged (" +
                                      zip_file_strerror(entry.get()) + ")");
            return false;
        }
        if (static_cast<std::uint64_t>(got) >= budget) {
            budget = 0;
            return true;
        }
        budget -= static_cast<std::uint64_t>(got);
    }
}

void ListEntries(zip_t* archive, InspectReport& report) {
    const zip_int64_t count = zip_get_num_entries(archive, 0);
    std::uint64_t budget = kVerifyBudget;
    for (zip_int64_t i = 0; i < count; ++i) {
        const auto index = static_cast<zip_uint64_t>(i);
        zip_stat_t stat;
        if (zip_stat_index(archive, index, ZIP_FL_ENC_RAW, &stat) != 0 || !(stat.valid & ZIP_STAT_NAME)) {
            report.problems.push_back("the archive entry " + Number(index + 1) + " cannot be read (" +
                                      zip_strerror(archive) + ")");
            continue;
        }
        ArchiveEntry entry;
        entry.name = stat.name;
        entry.size = (stat.valid & ZIP_STAT_SIZE) ? stat.size : 0;
        entry.compressedSize = (stat.valid & ZIP_STAT_COMP_SIZE) ? stat.comp_size : 0;
        if (budget > 0) VerifyEntryData(archive, index, entry.name, budget, report);
        report.entries.push_back(std::move(entry));
    }
}

void CheckManifest(InspectReport& report) {
    for (const ArchiveEntry& entry : report.entries) {
        if (entry.name == kManifestEntry) return;
    }
    report.problems.push_back("the archive has no " + std::string(kManifestEntry));
}

}  // namespace

void CheckDescriptor(std::string_view descriptor, InspectReport& report) {
    StringList lines;
    SplitLines(lines, descriptor);
    CheckRequiredLines(lines, report);
    CheckJarSize(lines, report);
}

void CheckArchive(std::string_view archive, InspectReport& report) {
    if (archive.empty()) {
        report.problems.push_back("no archive follows the descriptor");
        return;
    }
    ZipArchivePtr opened = OpenArchive(archive, report);
    if (!opened) return;
    report.archiveIsZip = true;
    ListEntries(opened.get(), report);
    CheckManifest(report);
}

}  // namespace pelko
