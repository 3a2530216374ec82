#include "package/build/AppFiles.h"

#include <algorithm>

#include "package/checks/Attributes.h"
#include "package/kjx/Compose.h"
#include "text/Cp932.h"
#include "text/Integer.h"
#include "text/Paths.h"

namespace pelko {
namespace {

constexpr std::string_view kJarSize = "MIDlet-Jar-Size";
constexpr std::string_view kJarUrl = "MIDlet-Jar-URL";

bool IsControl(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return byte < 0x20 || byte == 0x7F;
}

// Any system's delimiter: a name from a package may be unpacked on another.
bool IsDelimiter(char c) { return c == '/' || c == '\\' || c == ':'; }

std::optional<std::string_view> FirstValue(const StringList& lines, std::string_view name) {
    for (int i = 0; i < lines.Count(); ++i) {
        const std::optional<AttributeLine> attribute = SplitAttributeLine(lines.Item(i));
        if (attribute && attribute->name == name) return attribute->value;
    }
    return std::nullopt;
}

// Sets every line of that name; false when there is none.
bool SetValue(StringList& lines, std::string_view name, const std::string& value) {
    bool found = false;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::optional<AttributeLine> attribute = SplitAttributeLine(lines.Item(i));
        if (!attribute || attribute->name != name) continue;
        lines.Set(i, std::string(name) + ": " + value);
        found = true;
    }
    return found;
}

}  // namespace

std::optional<std::string> HostFileName(std::string_view cp932) {
    if (cp932.empty() || cp932 == "." || cp932 == "..") return std::nullopt;
    std::string host = Cp932ToUtf8(cp932);
    if (Utf8ToCp932(host) != cp932) return std::nullopt;
    if (std::any_of(host.begin(), host.end(), [](char c) { return IsControl(c) || IsDelimiter(c); })) {
        return std::nullopt;
    }
    return host;
}

std::string ArchiveNameBeside(const StringList& descriptorLines, std::string_view descriptorName) {
    if (const std::optional<std::string_view> url = FirstValue(descriptorLines, kJarUrl)) {
        if (std::optional<std::string> name = HostFileName(*url)) return *name;
    }
    return WithExtension(descriptorName, ".jar");
}

void SetArchiveLines(StringList& lines, std::uint64_t archiveSize, std::string_view archiveName) {
    const auto size = static_cast<std::int64_t>(archiveSize);
    const bool urlSet = SetValue(lines, kJarUrl, std::string(archiveName));
    const bool sizeSet = SetValue(lines, kJarSize, FormatInteger(size));
    if (!urlSet && !sizeSet) {
        PrependArchiveLines(lines, size, archiveName);
    } else if (!urlSet) {
        lines.Insert(0, std::string(kJarUrl) + ": " + std::string(archiveName));
    } else if (!sizeSet) {
        lines.Insert(0, std::string(kJarSize) + ": " + FormatInteger(size));
    }
}

}  // namespace pelko
