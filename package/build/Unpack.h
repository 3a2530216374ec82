#pragma once
// A package taken apart into the application's own two files, the
// descriptor text as stored and the archive, for emulators and tools that
// read no KJX. Only a package whose header, lengths and MIDlet-Jar-Size
// agree is taken apart, and only into the folder asked for.
#include <string>
#include <vector>

namespace pelko {

// What failed (UTF-8), and the system's reason when a system call failed.
struct Refusal {
    std::string what;
    std::string reason;
};

struct Unpacked {
    // Host paths of the two files, once their names are known.
    std::string descriptorPath;
    std::string archivePath;
    // Empty when both files were written. Otherwise nothing was, except when
    // the last step, putting the descriptor in its place, failed after the
    // archive had taken its own.
    std::vector<Refusal> refusals;
};

// Writes the package's descriptor into directory under the name its header
// gives, and its archive under the name AppFiles gives, each made whole
// beside its place and put there at once. A file that is there already is
// replaced only when replace is set, and a link is then replaced, never
// followed. The package is read once: never more than its head in memory.
Unpacked UnpackPackage(const std::string& packagePath, const std::string& directory, bool replace);

}  // namespace pelko
