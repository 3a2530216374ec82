#pragma once
// The templates in the program directory: every "*.jad" file, named by its
// first "Pelko-Name: " line or else by its file name without extension.
#include <functional>
#include <string>

#include "text/StringList.h"

namespace pelko {

struct CatalogueEntry {
    std::string displayName;  // CP932
    std::string path;         // host path of the descriptor
};

// The display name a descriptor's lines give, fileName being its bare file name.
std::string DisplayNameOf(const StringList& lines, const std::string& fileName);

// Calls add for each template in listing order. A descriptor that cannot be
// read raises OpenError; the entries added before it stay added.
void ScanTemplates(const std::string& programDirectory,
                   const std::function<void(CatalogueEntry)>& add);

}  // namespace pelko
