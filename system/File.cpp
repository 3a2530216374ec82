// The owning handle: the same on every system, over the primitives each
// system's side defines.
#include <utility>

#include "system/Files.h"

namespace pelko {

File& File::operator=(File&& other) noexcept {
    if (this != &other) {
        Close();
        handle_ = other.Release();
        name_ = std::move(other.name_);
    }
    return *this;
}

FileHandle File::Release() {
    const FileHandle handle = handle_;
    handle_ = kNoFile;
    return handle;
}

void File::Close() {
    CloseFileHandle(Release());
}

}  // namespace pelko
