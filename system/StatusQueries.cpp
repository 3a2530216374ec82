#include "system/FileStatus.h"

namespace pelko {

FileKind KindOf(const std::string& path) {
    const Outcome<FileStatus> status = StatusOf(path);
    return status ? status->kind : FileKind::Missing;
}

bool PathExists(const std::string& path) {
    return KindOf(path) != FileKind::Missing;
}

bool SameFile(const std::string& a, const std::string& b) {
    const Outcome<FileStatus> first = StatusOf(a);
    const Outcome<FileStatus> second = StatusOf(b);
    return first && second && first->identity == second->identity;
}

}  // namespace pelko
