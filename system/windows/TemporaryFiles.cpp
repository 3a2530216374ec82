#include "system/TemporaryFiles.h"

#include "system/windows/Random.h"
#include "system/windows/Win32.h"

namespace pelko {
namespace {

// mkstemp's way: a new file of a random name beside the base, opened for
// reading and writing, never one that is there already.
Outcome<File> CreateNewFile(const std::string& base, std::string& path, DWORD flags = FILE_ATTRIBUTE_NORMAL) {
    for (int attempt = 0;; ++attempt) {
        path = base + win32::RandomSuffix();
        const HANDLE handle = win32::OpenPath(path, GENERIC_READ | GENERIC_WRITE | DELETE, CREATE_NEW, flags);
        if (handle != INVALID_HANDLE_VALUE) return File(win32::HandleOf(handle), path);
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 99) {
            return win32::ErrorOf("create", base, error);
        }
    }
}

bool MoveOver(const std::string& from, const std::string& to, DWORD flags) {
    const std::optional<std::wstring> source = win32::Wide(from);
    const std::optional<std::wstring> target = win32::Wide(to);
    return source && target && MoveFileExW(source->c_str(), target->c_str(), MOVEFILE_REPLACE_EXISTING | flags);
}

void Remove(const std::string& path) {
    if (const std::optional<std::wstring> wide = win32::Wide(path)) DeleteFileW(wide->c_str());
}

}  // namespace

ReplacingFile::ReplacingFile(std::string path, std::string temporaryPath, File file)
    : path_(std::move(path)), temporaryPath_(std::move(temporaryPath)), file_(std::move(file)) {}

Outcome<ReplacingFile> ReplacingFile::Create(const std::string& path) {
    std::string temporary;
    Outcome<File> file = CreateNewFile(path + ".", temporary);
    if (!file) return win32::ErrorOf("create", path, static_cast<DWORD>(file.Error().code));
    return ReplacingFile(path, temporary, File(file->Release(), path));
}

ReplacingFile::ReplacingFile(ReplacingFile&& other) noexcept
    : path_(std::move(other.path_)), temporaryPath_(std::move(other.temporaryPath_)), file_(std::move(other.file_)) {
    other.temporaryPath_.clear();
}

ReplacingFile::~ReplacingFile() {
    file_.Close();
    if (!temporaryPath_.empty()) Remove(temporaryPath_);
}

Outcome<void> ReplacingFile::Close() {
    if (!file_.IsOpen()) return {};
    const std::string name = file_.Name();
    if (!CloseHandle(win32::Native(file_.Release()))) return win32::LastError("close", name);
    return {};
}

Outcome<void> ReplacingFile::Commit() {
    Outcome<void> done = Close();
    if (done && !MoveOver(temporaryPath_, path_, 0)) done = win32::LastError("rename", path_);
    if (!done) Remove(temporaryPath_);
    temporaryPath_.clear();
    return done;
}

// Windows cannot remove a name while the file is open as POSIX does; a file
// deleted on close comes nearest: gone once closed, even when the process
// is killed, since the system closes its handles then.
Outcome<File> CreateScratchFile(const std::string& besidePath) {
    std::string path;
    Outcome<File> file =
        CreateNewFile(win32::DirectoryPart(besidePath) + ".pelko-data-", path,
                      FILE_ATTRIBUTE_TEMPORARY | FILE_ATTRIBUTE_HIDDEN | FILE_FLAG_DELETE_ON_CLOSE);
    if (!file) return win32::ErrorOf("create", path, static_cast<DWORD>(file.Error().code));
    return file;
}

}  // namespace pelko
