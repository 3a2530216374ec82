#pragma once
// The template check's rules for File options: the entry each one replaces
// and the file its default names.
#include <string>
#include <vector>

#include "package/checks/Problem.h"
#include "templates/Descriptor.h"

namespace pelko {

struct FileOptionAt {
    int line = 0;  // of the template
    const OptionRecord* record = nullptr;  // key "File", with a type field
};

// entryNames: the template archive's entries, or nullptr when the archive
// cannot be read (its own problem says so). A relative default starts in
// templateDirectory, as a build takes it. Entries are named as the template
// writes them. place is Template.
Problems CheckFileOptions(const std::vector<FileOptionAt>& options, const std::vector<std::string>* entryNames,
                          const std::string& templateDirectory);

}  // namespace pelko
