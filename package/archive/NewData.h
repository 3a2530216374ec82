#pragma once
// The data of a file to store, taken when its command runs: deflated at
// level 9 into a scratch file when that makes it smaller, otherwise read
// from the file itself, which is held open. Either way what happens to the
// path afterwards is no matter.
#include <zip.h>

#include <string>

#include "package/archive/ZipHandles.h"

namespace pelko::archive {

struct NewData {
    ZipSourcePtr source;  // gives the data as it goes into the archive
    zip_int32_t method;   // ZIP_CM_DEFLATE (already deflated) or ZIP_CM_STORE
};

// Reads the file at path once, now. The scratch file lies beside the
// archive at archivePath; failing to write it is failing to write the
// archive. Throws ArchiveFailure.
NewData TakeFile(const std::string& path, const std::string& shownName, const std::string& archivePath,
                 const std::string& shownArchive);

}  // namespace pelko::archive
