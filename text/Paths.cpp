#include "text/Paths.h"

#include <vector>

#include "system/Locations.h"
#include "text/Text.h"

namespace pelko {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsDelimiter(char byte, PathSyntax syntax) {
    switch (syntax) {
        case PathSyntax::Posix: return byte == '/';
        case PathSyntax::Windows: return byte == '\\' || byte == ':';
        case PathSyntax::Archive: return byte == '\\' || byte == '/';
        case PathSyntax::WindowsHost: return byte == '\\' || byte == '/' || byte == ':';
    }
    return false;
}

// Host paths are UTF-8 (on POSIX the file system's own bytes): no pairs there.
bool PairsBytes(PathSyntax syntax) {
    return syntax == PathSyntax::Windows || syntax == PathSyntax::Archive;
}

bool HasDrives(PathSyntax syntax) {
    return syntax == PathSyntax::Windows || syntax == PathSyntax::WindowsHost;
}

// Marks the bytes that are the second byte of a CP932 pair. Whether a byte is
// one depends on every byte before it, so the marking runs from the start.
std::vector<bool> TrailBytes(std::string_view path, PathSyntax syntax) {
    std::vector<bool> trail(path.size(), false);
    if (!PairsBytes(syntax)) {
        return trail;
    }
    for (std::size_t i = 0; i < path.size(); ++i) {
        if (IsLeadByte(static_cast<unsigned char>(path[i])) && i + 1 < path.size()) {
            trail[i + 1] = true;
            ++i;
        }
    }
    return trail;
}

// Index of the last delimiter (or dot too, for the extension search) that is
// not the second byte of a pair; kNone when there is none.
std::size_t LastDelimiter(std::string_view path, PathSyntax syntax, bool dotCounts) {
    const std::vector<bool> trail = TrailBytes(path, syntax);
    for (std::size_t i = path.size(); i-- > 0;) {
        if (trail[i]) {
            --i;  // the pair is passed over as one character (i >= 1 here)
            continue;
        }
        if (IsDelimiter(path[i], syntax) || (dotCounts && path[i] == '.')) {
            return i;
        }
    }
    return kNone;
}

// Index of the extension's dot, or kNone when the path has no extension.
std::size_t ExtensionStart(std::string_view path, PathSyntax syntax) {
    const std::size_t at = LastDelimiter(path, syntax, true);
    return at != kNone && path[at] == '.' ? at : kNone;
}

}  // namespace

std::string DirectoryOf(std::string_view path, PathSyntax syntax) {
    const std::size_t at = LastDelimiter(path, syntax, false);
    return at == kNone ? std::string() : std::string(path.substr(0, at + 1));
}

std::string FileNameOf(std::string_view path, PathSyntax syntax) {
    const std::size_t at = LastDelimiter(path, syntax, false);
    return std::string(at == kNone ? path : path.substr(at + 1));
}

std::string ExtensionOf(std::string_view path, PathSyntax syntax) {
    const std::size_t at = ExtensionStart(path, syntax);
    return at == kNone ? std::string() : std::string(path.substr(at));
}

std::string WithExtension(std::string_view path, std::string_view extension, PathSyntax syntax) {
    const std::size_t at = ExtensionStart(path, syntax);
    std::string result(at == kNone ? path : path.substr(0, at));
    result += extension;
    return result;
}

bool IsAbsolutePath(std::string_view path, PathSyntax syntax) {
    if (path.empty()) return false;
    if (path.front() == '/' || IsDelimiter(path.front(), syntax)) {
        return !HasDrives(syntax) || path.front() != ':';
    }
    const auto first = static_cast<unsigned char>(path.front());
    const bool driveLetter = (first >= 'A' && first <= 'Z') || (first >= 'a' && first <= 'z');
    return HasDrives(syntax) && driveLetter && path.size() >= 2 && path[1] == ':';
}

std::string ProgramPath() {
    return ExecutablePath();
}

std::string ProgramDirectory() {
    return DirectoryOf(ProgramPath());
}

}  // namespace pelko
