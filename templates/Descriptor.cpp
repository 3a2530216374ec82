#include "templates/Descriptor.h"

#include <memory>

#include "text/CommaList.h"
#include "text/Errors.h"
#include "text/Lines.h"
#include "text/Text.h"

namespace pelko {
namespace {

constexpr std::string_view kNamePrefix = "MIDlet-Name: ";
constexpr std::string_view kCopyrightLine = "MIDlet-X-Copyright: ON";

// Builds the record of one option line: the key, then the split field list.
// A "File" option without a default path takes its entry name as the value.
// Returns null for the key "Name", which names the template instead.
std::unique_ptr<OptionRecord> RecordFromOptionLine(const std::string& line, std::string key) {
    const long colon = PositionOf(line, ":");
    auto record = std::make_unique<OptionRecord>();
    // The byte after the colon is a separator, whatever it holds.
    SplitCommaList(*record, SubText(line, colon + 2, static_cast<long>(line.size())));
    record->Insert(0, key);
    if (TextEquals(key, "Name")) return nullptr;
    if (IsFileOption(key) && record->Count() < 4) {
        record->Add(record->Item(kRecordType));
    }
    return record;
}

// Applies one descriptor line; errors of an option line propagate.
void ApplyLine(const std::string& line, LoadedTemplate& loaded) {
    if (StartsWith(line, kTemplateLinePrefix)) {
        std::optional<std::string> key = TemplateLineKey(line);
        if (!key) return;
        auto record = RecordFromOptionLine(line, std::move(*key));
        if (!record) return;
        std::string label = record->Item(kRecordLabel);
        loaded.options.Add(std::move(label), std::move(record));
    } else if (StartsWith(line, kNamePrefix)) {
        loaded.title = SubText(line, static_cast<long>(kNamePrefix.size()) + 1,
                               static_cast<long>(line.size()));
    } else if (TextEquals(line, kCopyrightLine)) {
        loaded.copyright = true;
    }
}

}  // namespace

std::optional<std::string> TemplateLineKey(std::string_view line) {
    if (!StartsWith(line, kTemplateLinePrefix)) return std::nullopt;
    const long colon = PositionOf(line, ":");
    if (colon == 0) return std::nullopt;
    const long keyStart = static_cast<long>(kTemplateLinePrefix.size()) + 1;
    return SubText(line, keyStart, colon - keyStart);
}

bool IsFileOption(std::string_view key) { return TextEquals(key, "File"); }

LoadedTemplate ParseTemplate(const StringList& lines) {
    LoadedTemplate loaded;
    for (int i = 0; i < lines.Count(); ++i) {
        try {
            ApplyLine(lines.Item(i), loaded);
        } catch (const Error& error) {
            loaded.error = error.what();
            break;
        }
    }
    return loaded;
}

LoadedTemplate LoadTemplateFile(const std::string& path) {
    StringList lines;
    LoadLines(lines, path);
    return ParseTemplate(lines);
}

const OptionRecord& RecordOf(const StringList& options, int index) {
    options.Item(index);  // raises the index error for a bad index
    const auto* record = dynamic_cast<const OptionRecord*>(options.Object(index));
    if (!record) throw ListIndexError(index);
    return *record;
}

OptionRecord& RecordOf(StringList& options, int index) {
    return const_cast<OptionRecord&>(RecordOf(static_cast<const StringList&>(options), index));
}

}  // namespace pelko
