#include "system/FileStatus.h"
#include "system/Files.h"
#include "system/StreamCopy.h"
#include "system/windows/Win32.h"

namespace pelko {

using win32::LastError;

namespace {

SystemError NotSupported(const std::string& path) {
    return win32::ErrorOf("copy", path, ERROR_NOT_SUPPORTED);
}

// What a copy may replace: nothing, or another regular file.
Outcome<void> ReplaceableBy(const std::string& to, const FileStatus& source) {
    const Outcome<FileStatus> target = StatusOf(to);
    if (!target) {
        if (IsNotFound(target.Error())) return {};
        return target.Error();
    }
    if (target->kind != FileKind::Regular) return NotSupported(to);
    if (target->identity == source.identity) return win32::ErrorOf("copy", to, ERROR_FILE_EXISTS);
    return {};
}

// The only permission a Windows file carries as an attribute: read-only,
// which the copy takes over once its bytes are in (a read-only file takes
// no more writes, even through a handle opened before).
Outcome<void> KeepReadOnly(const std::string& to, const FileStatus& source) {
    if (source.unixMode & 0200) return {};
    const std::optional<std::wstring> wide = win32::Wide(to);
    const DWORD attributes = wide ? GetFileAttributesW(wide->c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !SetFileAttributesW(wide->c_str(), attributes | FILE_ATTRIBUTE_READONLY)) {
        return LastError("chmod", to);
    }
    return {};
}

}  // namespace

// As the POSIX side does it, byte by byte through the stream copy rather
// than CopyFileW, which would carry the source's time and streams over too.
Outcome<void> CopyRegularFile(const std::string& from, const std::string& to) {
    const Outcome<FileStatus> source = StatusOf(from);
    if (!source) return source.Error();
    if (source->kind != FileKind::Regular) return NotSupported(from);
    if (Outcome<void> replaceable = ReplaceableBy(to, *source); !replaceable) return replaceable.Error();
    Outcome<File> input = OpenToRead(from);
    if (!input) return input.Error();
    File output(win32::HandleOf(win32::OpenPath(to, GENERIC_WRITE, CREATE_ALWAYS)), to);
    if (!output.IsOpen()) return LastError("create", to);
    const Outcome<StreamCopied> copied = StreamCopy(*input, output);
    if (!copied) return copied.Error();
    if (!CloseHandle(win32::Native(output.Release()))) return LastError("close", to);
    return KeepReadOnly(to, *source);
}

}  // namespace pelko
