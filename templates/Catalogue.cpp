#include "templates/Catalogue.h"

#include "text/Cp932.h"
#include "text/Files.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {
constexpr std::string_view kDisplayNamePrefix = "Pelko-Name: ";
}

std::string DisplayNameOf(const StringList& lines, const std::string& fileName) {
    std::string name;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines.Item(i);
        if (StartsWith(line, kDisplayNamePrefix)) {
            name = line.substr(kDisplayNamePrefix.size());
            break;
        }
    }
    // A display name is CP932 like every descriptor text; the file name is
    // the host's, and one CP932 cannot write is shown as it is.
    if (name.empty()) {
        std::string base = WithExtension(fileName, "");
        name = Utf8ToCp932(base).value_or(base);
    }
    return name;
}

void ScanTemplates(const std::string& programDirectory,
                   const std::function<void(CatalogueEntry)>& add) {
    FileScan scan;
    if (scan.First(programDirectory + "*.jad", 0) != 0) return;
    do {
        std::string path = programDirectory + scan.Name();
        StringList lines;
        LoadLines(lines, path);
        add(CatalogueEntry{DisplayNameOf(lines, scan.Name()), path});
    } while (scan.Next() == 0);
}

}  // namespace pelko
