#pragma once
// A libzip source that reads an archive from one file and writes the edited
// archive to another, so that a template's archive is read where it lies
// and the edited archive is written once, in large blocks.
#include <zip.h>

#include <string>

#include "package/ZipHandles.h"

namespace pelko::archive {

// Reads readPath, which it never writes; a write goes to a new file beside
// writePath that replaces writePath once complete. nullptr with error set
// when memory runs out.
ZipSourcePtr SeparateArchiveSource(const std::string& readPath, const std::string& writePath,
                                   zip_error_t* error);

}  // namespace pelko::archive
