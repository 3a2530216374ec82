#include "package/kjx/Compose.h"

#include <array>

#include "text/Integer.h"
#include "text/Text.h"

namespace pelko {
namespace {

// Template lines that the build replaces with lines of its own.
constexpr std::array<std::string_view, 6> kDroppedPrefixes = {
    kTemplateLinePrefix, "MIDlet-X-Copyright: ", "MIDlet-Name: ",
    "MIDlet-Vendor: ",   "MIDlet-Jar-Size: ",    "MIDlet-Jar-URL: ",
};

constexpr std::size_t kShortestTitle = 3;
constexpr std::size_t kLongestTitle = 24;
constexpr std::size_t kLongestAuthor = 19;

std::string NameLine(const std::string& title) {
    return "MIDlet-Name: " + (TitleIsUsed(title) ? title : std::string("Pelko"));
}

std::string VendorLine(const std::string& author) {
    if (TextEquals(author, "rivo")) return "MIDlet-Vendor: rivo";
    if (AuthorIsUsed(author)) {
        return "MIDlet-Vendor: " + author + "/rivo";
    }
    // "名無しさん/rivo" in CP932: the name handsets show for an unnamed author.
    return "MIDlet-Vendor: \x96\xBC\x96\xB3\x82\xB5\x82\xB3\x82\xF1/rivo";
}

}  // namespace

bool TitleIsUsed(std::string_view title) {
    return title.size() >= kShortestTitle && title.size() <= kLongestTitle;
}

bool AuthorIsUsed(std::string_view author) {
    return TextEquals(author, "rivo") || (!author.empty() && author.size() <= kLongestAuthor);
}

bool IsCarriedTemplateLine(std::string_view line) {
    for (std::string_view prefix : kDroppedPrefixes) {
        if (StartsWith(line, prefix)) return false;
    }
    return true;
}

StringList ComposeManifestLines(const StringList& templateLines, const AppSettings& settings) {
    StringList lines;
    for (int i = 0; i < templateLines.Count(); ++i) {
        const std::string& line = templateLines.Item(i);
        if (IsCarriedTemplateLine(line)) lines.Add(line);
    }
    if (settings.copyright) lines.Add("MIDlet-X-Copyright: ON");
    lines.Add(NameLine(settings.title));
    lines.Add(VendorLine(settings.author));
    lines.Add("X-Powered-By: Rivo software");
    return lines;
}

std::string OptionLine(const OptionRecord& record) {
    const std::string& key = record.Item(kRecordKey);
    const std::string& value = record.Item(kRecordValue);
    if (StartsWith(key, "MIDlet-")) return key + ": " + value;
    return std::string(kTemplateLinePrefix) + key + ": " + value;
}

void PrependArchiveLines(StringList& lines, std::int64_t archiveSize, std::string_view archiveName) {
    lines.Insert(0, "MIDlet-Jar-URL: " + std::string(archiveName));
    lines.Insert(0, "MIDlet-Jar-Size: " + FormatInteger(archiveSize));
}

}  // namespace pelko
