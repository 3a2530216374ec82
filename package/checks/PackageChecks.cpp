#include "package/checks/PackageChecks.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>

#include "package/archive/ReadOnlyArchive.h"
#include "package/checks/Attributes.h"
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

void Report(InspectReport& report, std::string message) {
    report.problems.push_back({ProblemRule::PackageLayout, ProblemPlace::Package, 0, {}, std::move(message)});
}

// ---- the descriptor ---------------------------------------------------------------

// The value of the first line of that name; nullopt when there is none.
std::optional<std::string_view> FirstValue(const StringList& lines, std::string_view name) {
    for (int i = 0; i < lines.Count(); ++i) {
        std::optional<AttributeLine> attribute = SplitAttributeLine(lines.Item(i));
        if (attribute && attribute->name == name) return attribute->value;
    }
    return std::nullopt;
}

void CheckRequiredLines(const StringList& lines, InspectReport& report) {
    for (const RequiredAttribute& required : kRequiredAttributes) {
        if (!required.readByInspection) continue;
        const std::string key(required.name);
        std::optional<std::string_view> value = FirstValue(lines, key);
        if (!value) {
            Report(report, "the descriptor has no " + key + " line");
        } else if (value->empty()) {
            Report(report, "the descriptor's " + key + " line is empty");
        }
    }
}

void CheckJarSize(const StringList& lines, InspectReport& report) {
    if (std::optional<std::string> fault = JarSizeFault(lines, report.archiveSize)) Report(report, std::move(*fault));
}

// ---- the archive ------------------------------------------------------------------

// Reads an entry to its end so that libzip checks its data; budget shrinks by
// what was read. A problem when the data is damaged or unreadable.
void VerifyEntryData(const ReadOnlyArchive& archive, std::uint64_t index, const std::string& name,
                     std::uint64_t& budget, InspectReport& report) {
    const EntryData data = archive.ReadData(index, budget, false);
    switch (data.outcome) {
        case EntryData::Outcome::NotOpened:
            Report(report, "the archive entry " + ReadableText(name) + " cannot be read (" + data.failure + ")");
            return;
        case EntryData::Outcome::Damaged:
            Report(report, "the archive entry " + ReadableText(name) + " is damaged (" + data.failure + ")");
            return;
        case EntryData::Outcome::Read: break;
    }
    budget -= std::min(budget, data.count);
}

void ListEntries(const ReadOnlyArchive& archive, InspectReport& report) {
    std::uint64_t budget = kVerifyBudget;
    for (std::uint64_t index = 0; index < archive.EntryCount(); ++index) {
        EntryRecord record = archive.Record(index);
        if (!record.entry) {
            Report(report, "the archive entry " + Number(index + 1) + " cannot be read (" + record.failure + ")");
            continue;
        }
        if (budget > 0) VerifyEntryData(archive, index, record.entry->name, budget, report);
        report.entries.push_back(std::move(*record.entry));
    }
}

void RequireManifestEntry(InspectReport& report) {
    for (const ArchiveEntry& entry : report.entries) {
        if (entry.name == kManifestEntry) return;
    }
    Report(report, "the archive has no " + std::string(kManifestEntry));
}

}  // namespace

std::optional<std::string> JarSizeFault(const StringList& lines, std::uint64_t archiveSize) {
    std::optional<std::string_view> value = FirstValue(lines, "MIDlet-Jar-Size");
    if (!value || value->empty()) return std::nullopt;
    std::optional<std::uint64_t> size = ParseByteCount(*value);
    if (!size) return "the MIDlet-Jar-Size value \"" + Cp932ToUtf8(*value) + "\" is not a byte count";
    if (*size != archiveSize) {
        return "MIDlet-Jar-Size says " + Number(*size) + " bytes, but the archive has " + Number(archiveSize);
    }
    return std::nullopt;
}

void CheckPackageDescriptor(std::string_view descriptor, InspectReport& report) {
    StringList lines;
    SplitLines(lines, descriptor);
    CheckRequiredLines(lines, report);
    CheckJarSize(lines, report);
}

void CheckPackageArchive(std::string_view archive, InspectReport& report) {
    if (archive.empty()) {
        Report(report, "no archive follows the descriptor");
        return;
    }
    const ReadOnlyArchive opened = ReadOnlyArchive::OpenBytes(archive);
    if (!opened.IsOpen()) {
        Report(report, "the archive is not a ZIP file (" + opened.OpenFailure() + ")");
        return;
    }
    report.archiveIsZip = true;
    ListEntries(opened, report);
    RequireManifestEntry(report);
}

}  // namespace pelko
