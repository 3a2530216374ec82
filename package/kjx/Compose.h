#pragma once
// The manifest and descriptor lines of a package.
#include <cstdint>
#include <string>
#include <string_view>

#include "templates/Descriptor.h"
#include "text/StringList.h"

namespace pelko {

// What the user typed and ticked; CP932 texts.
struct AppSettings {
    std::string title;
    std::string author;
    bool copyright = false;
};

// Whether the typed texts go into the name and vendor lines as they are;
// otherwise those lines fall back to "Pelko" and to the unnamed author.
bool TitleIsUsed(std::string_view title);
bool AuthorIsUsed(std::string_view author);

// Whether a template line goes into both texts as it is; the others are the
// template's own lines and those the build writes itself.
bool IsCarriedTemplateLine(std::string_view line);
// The carried template lines, then the copyright, name, vendor and powered
// lines. Joined, the result is the manifest.
StringList ComposeManifestLines(const StringList& templateLines, const AppSettings& settings);
// The descriptor line of an option that is no file option and whose value is set.
std::string OptionLine(const OptionRecord& record);
// Puts "MIDlet-Jar-Size: " and "MIDlet-Jar-URL: " at the top, size first.
void PrependArchiveLines(StringList& lines, std::int64_t archiveSize, std::string_view archiveName);

}  // namespace pelko
