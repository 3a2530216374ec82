#pragma once
// What a template's descriptor means: the application name, the copyright
// flag and one option record per declared option.
#include <optional>
#include <string>
#include <string_view>

#include "text/StringList.h"

namespace pelko {

// key, label, type, value (by the indices below); CP932 texts, except the
// value of a file option, which is a host path once the user has chosen one.
using OptionRecord = StringList;
enum RecordField : int { kRecordKey = 0, kRecordLabel = 1, kRecordType = 2, kRecordValue = 3 };

// The template's own lines begin with this: its display name and its option
// declarations. No package carries them.
inline constexpr std::string_view kTemplateLinePrefix = "Pelko-";

// The key of a template line "Pelko-KEY: ...": from byte 7 up to the first
// colon. nullopt for any other line, and for one without a colon, which
// declares nothing.
std::optional<std::string> TemplateLineKey(std::string_view line);

// A file option proper: its value is a file that replaces an archive entry
// instead of becoming a descriptor line. Only the exact key counts; File2
// has a file editor but is written as a line.
bool IsFileOption(std::string_view key);

struct LoadedTemplate {
    std::string title;      // from the last "MIDlet-Name: " line before the load stopped
    bool copyright = false; // a "MIDlet-X-Copyright: ON" line was seen
    // One item per option: its text is the label, its object the OptionRecord.
    StringList options;
    // Set when an option line could not be read; the load stopped there and
    // the items before it are kept.
    std::optional<std::string> error;
};

// Reads the lines of a descriptor in file order.
LoadedTemplate ParseTemplate(const StringList& lines);
// LoadLines of path, then ParseTemplate; an unreadable file raises OpenError.
LoadedTemplate LoadTemplateFile(const std::string& path);

// The option record owned by item index of an options list.
const OptionRecord& RecordOf(const StringList& options, int index);
OptionRecord& RecordOf(StringList& options, int index);

}  // namespace pelko
