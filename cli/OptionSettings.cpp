#include "cli/OptionSettings.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "cli/Arguments.h"
#include "cli/Texts.h"
#include "options/Editors.h"
#include "options/OptionValues.h"
#include "system/FileStatus.h"
#include "system/Locations.h"
#include "templates/Descriptor.h"
#include "text/Cp932.h"
#include "text/Errors.h"
#include "text/Integer.h"
#include "text/Text.h"

namespace pelko::cli {
namespace {

std::string ArgumentName(std::string_view setting) { return "--set " + std::string(setting); }

bool IsPosition(std::string_view name) {
    return !name.empty() && std::all_of(name.begin(), name.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// "4  File  背景画像": how an option is named in a message.
std::string Describe(const StringList& options, int index) {
    const OptionRecord& record = RecordOf(options, index);
    std::string text = FormatInteger(index + 1) + "  " + Shown(record.Item(kRecordKey));
    if (record.Count() > kRecordLabel) text += "  " + Shown(record.Item(kRecordLabel));
    return text;
}

int OptionAtPosition(const StringList& options, std::string_view name, std::string_view setting) {
    // Digits are added one by one so that a long number cannot overflow.
    long position = 0;
    for (const char digit : name) {
        position = position * 10 + (digit - '0');
        if (position > options.Count()) break;
    }
    if (position < 1 || position > options.Count()) {
        throw ArgumentError(ArgumentName(setting) + ": there is no option " + std::string(name) +
                            "; the template has " + FormatInteger(options.Count()));
    }
    return static_cast<int>(position - 1);
}

bool IsCalled(const OptionRecord& record, std::string_view cp932Name) {
    return TextEquals(record.Item(kRecordKey), cp932Name) ||
           (record.Count() > kRecordLabel && TextEquals(record.Item(kRecordLabel), cp932Name));
}

// Keys and labels count alike: a name that several options answer to is
// refused, since setting one of them at random would surprise.
int OptionNamed(const StringList& options, std::string_view name, std::string_view setting) {
    std::vector<int> found;
    // A name CP932 cannot hold cannot be any key or label of a template.
    if (std::optional<std::string> wanted = Utf8ToCp932(name)) {
        for (int i = 0; i < options.Count(); ++i) {
            if (IsCalled(RecordOf(options, i), *wanted)) found.push_back(i);
        }
    }
    if (found.empty()) {
        throw ArgumentError(ArgumentName(setting) + ": the template has no option called \"" +
                            std::string(name) + "\" (pelko-cli options TEMPLATE lists them)");
    }
    if (found.size() > 1) {
        std::string message = ArgumentName(setting) + ": " + FormatInteger(static_cast<long>(found.size())) +
                              " options are called \"" + std::string(name) +
                              "\"; give the position of the one you mean:";
        for (const int index : found) message += "\n  " + Describe(options, index);
        throw ArgumentError(message);
    }
    return found.front();
}

// The window's file dialog only yields files that exist, so a path that names
// none is refused here instead of becoming a warning in the build's log.
std::string HostFile(std::string_view value, std::string_view setting) {
    Outcome<std::string> path = AbsolutePath(std::string(value));
    if (!path) throw ArgumentError(ArgumentName(setting) + ": " + path.Error().reason);
    const Outcome<FileStatus> status = StatusOf(*path);
    if (!status && !IsNotFound(status.Error())) throw FileError(OpenError(*path), status.Error());
    if (!status || status->kind != FileKind::Regular) {
        throw ArgumentError(ArgumentName(setting) + ": " + std::string(value) + " is not a file");
    }
    return std::move(*path);
}

std::string IntegerValue(std::string_view value, std::string_view setting) {
    std::string canonical = CanonicalIntegerText(value);
    if (canonical.empty()) {
        throw ArgumentError(ArgumentName(setting) + ": \"" + std::string(value) + "\" is not an integer");
    }
    return canonical;
}

std::string ValueFor(const OptionRecord& record, std::string_view value, std::string_view setting) {
    if (value.empty()) return {};  // not filled in: the build reports it
    RequireSingleLine("--set " + std::string(setting.substr(0, setting.find('='))), value);
    switch (EditorForShortRecord(record)) {
        case EditorKind::File: return HostFile(value, setting);
        case EditorKind::Color:
        case EditorKind::Integer: return IntegerValue(value, setting);
        case EditorKind::YesNo: {
            const std::optional<bool> yes = YesNoWord(value);
            if (!yes) {
                throw ArgumentError(ArgumentName(setting) + ": \"" + std::string(value) +
                                    "\" is not yes or no (1/0, yes/no, true/false, on/off)");
            }
            return std::string(YesNoText(*yes));
        }
        case EditorKind::Text: break;
    }
    return PackageText(ArgumentName(setting), value);
}

// A record that stops before its value gets one; a missing type becomes
// empty, which keeps the option the plain text that ValueFor took it for.
void StoreValue(OptionRecord& record, std::string value) {
    while (record.Count() < kRecordValue) record.Add("");
    if (record.Count() == kRecordValue) {
        record.Add(std::move(value));
    } else {
        record.Set(kRecordValue, std::move(value));
    }
}

}  // namespace

void ApplySetting(StringList& options, std::string_view setting) {
    const std::size_t equals = setting.find('=');
    if (equals == std::string_view::npos) {
        throw ArgumentError(ArgumentName(setting) + ": NAME=VALUE expected");
    }
    const std::string_view name = setting.substr(0, equals);
    const std::string_view value = setting.substr(equals + 1);
    const int index = IsPosition(name) ? OptionAtPosition(options, name, setting)
                                       : OptionNamed(options, name, setting);
    OptionRecord& record = RecordOf(options, index);
    StoreValue(record, ValueFor(record, value, setting));
}

}  // namespace pelko::cli
