// Descriptor text from anywhere: the bytes of a template's .jad as a user's
// disk may hold them. Reads them as the catalogue and the window do, then
// puts every option record through what the window and the build do with
// it. Errors the primitives raise are expected; crashes, sanitizer reports
// and broken round trips are not.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "package/kjx/Compose.h"
#include "options/Editors.h"
#include "options/OptionValues.h"
#include "templates/Catalogue.h"
#include "templates/Descriptor.h"
#include "text/Color.h"
#include "text/CommaList.h"
#include "text/Cp932.h"
#include "text/Errors.h"
#include "text/Integer.h"
#include "text/Lines.h"
#include "text/StringList.h"

namespace {

// A broken invariant is a finding: stop where the fuzzer sees it.
void Require(bool condition) {
    if (!condition) std::abort();
}

// Line items never hold a line end or a NUL, so joining and splitting again
// must give the same items back.
void CheckLinesRoundTrip(const pelko::StringList& lines) {
    pelko::StringList again;
    pelko::SplitLines(again, pelko::JoinLines(lines));
    Require(again == lines);
}

// What the window does with one record: pick its editor, keep integer and
// colour texts canonical, show the label, offer a file filter.
void ExerciseEditor(const pelko::OptionRecord& record) {
    try {
        const pelko::EditorKind kind = pelko::EditorFor(record);
        const std::string shown = pelko::Cp932ToUtf8(record.Item(pelko::kRecordLabel));
        (void)shown;
        if (record.Count() <= pelko::kRecordValue) return;
        const std::string& value = record.Item(pelko::kRecordValue);
        const std::string canonical = pelko::CanonicalIntegerText(value);
        if (!canonical.empty()) {
            // A canonical text reads back as itself.
            Require(pelko::CanonicalIntegerText(canonical) == canonical);
        }
        switch (kind) {
            case pelko::EditorKind::Color: {
                const pelko::BlackSystemColors palette;
                const auto resolved = pelko::ResolveColor(pelko::ParseIntegerOr(value, 0), palette);
                const auto swapped = pelko::SwapColorOrder(static_cast<std::uint32_t>(resolved));
                Require(pelko::SwapColorOrder(swapped) == (static_cast<std::uint32_t>(resolved) & 0xFFFFFFu));
                break;
            }
            case pelko::EditorKind::File: {
                const pelko::FileFilter filter = pelko::FileFilterFor(record.Item(pelko::kRecordType));
                (void)filter;
                break;
            }
            case pelko::EditorKind::Integer:
                (void)pelko::ParseInteger(value);  // NotIntegerError is expected
                break;
            case pelko::EditorKind::YesNo:
            case pelko::EditorKind::Text: break;
        }
    } catch (const pelko::Error&) {
        // A record without a type, or a value that is no integer.
    }
}

// What the build does with the records: the manifest from the template's
// lines, an option line for each record with a value, the archive lines.
void ExerciseBuildLines(const pelko::StringList& lines, const pelko::LoadedTemplate& loaded) {
    const pelko::AppSettings settings{loaded.title, loaded.title, loaded.copyright};
    pelko::StringList composed = pelko::ComposeManifestLines(lines, settings);
    for (int i = 0; i < loaded.options.Count(); ++i) {
        const pelko::OptionRecord& record = pelko::RecordOf(loaded.options, i);
        if (record.Count() < 4) continue;
        composed.Add(pelko::OptionLine(record));
    }
    pelko::PrependArchiveLines(composed, static_cast<std::int64_t>(lines.Count()), "a.jar");
    const std::string descriptor = pelko::JoinLines(composed);
    (void)descriptor;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    pelko::StringList fields;
    pelko::SplitCommaList(fields, bytes);

    pelko::StringList lines;
    pelko::SplitLines(lines, bytes);
    CheckLinesRoundTrip(lines);

    const std::string listed = pelko::DisplayNameOf(lines, "template.jad");
    (void)listed;
    const pelko::LoadedTemplate loaded = pelko::ParseTemplate(lines);
    Require(loaded.options.Count() <= lines.Count());
    for (int i = 0; i < loaded.options.Count(); ++i) {
        const pelko::OptionRecord& record = pelko::RecordOf(loaded.options, i);
        // Every record has its key and label; the item shows the label.
        Require(record.Count() >= 2);
        Require(loaded.options.Item(i) == record.Item(pelko::kRecordLabel));
        ExerciseEditor(record);
    }
    try {
        ExerciseBuildLines(lines, loaded);
    } catch (const pelko::Error&) {
        // A short record, caught as the window's handler would.
    }
    return 0;
}
