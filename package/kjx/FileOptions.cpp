#include "package/kjx/FileOptions.h"

#include <vector>

#include "text/Cp932.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

bool IsSeparator(char byte) { return byte == '/' || byte == '\\'; }

// The parts between separators; a CP932 pair is never cut.
std::vector<std::string> PartsOf(std::string_view name) {
    std::vector<std::string> parts(1);
    for (std::size_t i = 0; i < name.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(name[i])) && i + 1 < name.size()) {
            parts.back() += name.substr(i, 2);
            ++i;
        } else if (IsSeparator(name[i])) {
            parts.emplace_back();
        } else {
            parts.back() += name[i];
        }
    }
    return parts;
}

bool LeadsDown(const std::string& part) { return !part.empty() && part != "." && part != ".."; }

}  // namespace

std::optional<std::string> ArchiveEntryOf(std::string_view typeField) {
    if (typeField.empty() || IsAbsolutePath(typeField, PathSyntax::Windows)) return std::nullopt;
    std::string entry;
    for (const std::string& part : PartsOf(typeField)) {
        if (!LeadsDown(part)) return std::nullopt;
        if (!entry.empty()) entry += '/';
        entry += part;
    }
    return entry;
}

bool IsInFolder(std::string_view entry) { return PartsOf(entry).size() > 1; }

std::string TopNameOf(std::string_view entry) { return PartsOf(entry).front(); }

std::string FileOptionSource(const std::string& templateDirectory, std::string_view value) {
    std::string path = ReadableText(value);
    if (IsAbsolutePath(path)) return path;
    return templateDirectory + path;
}

}  // namespace pelko
