#include "system/CleanupRegistry.h"
#include "system/Staging.h"
#include "system/windows/OwnedNames.h"
#include "system/windows/Random.h"
#include "system/windows/Win32.h"

namespace pelko {
namespace {

// Staging files carry the id of their process, so that the next build into
// the same folder can remove those a killed build left.
constexpr std::string_view kStagingPrefix = ".pelko-";

// The file the output replaces: through links only where that is asked
// for, so that a package lands where its link points and the link stays.
std::string FinalTarget(const std::string& outputPath, Replacing replacing) {
    const DWORD attributes = win32::AttributesOf(outputPath);
    if (replacing != Replacing::FileThroughLinks || attributes == INVALID_FILE_ATTRIBUTES ||
        !(attributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
        return outputPath;
    }
    const HANDLE handle = win32::OpenPath(outputPath, 0, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS);
    if (handle == INVALID_HANDLE_VALUE) return outputPath;
    wchar_t buffer[32768];
    const DWORD length = GetFinalPathNameByHandleW(handle, buffer, 32768, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    CloseHandle(handle);
    if (length == 0 || length >= 32768) return outputPath;
    std::wstring_view target(buffer, length);
    // \\?\C:\... for a drive, \\?\UNC\server\... for a share.
    if (target.starts_with(L"\\\\?\\UNC\\")) return "\\\\" + win32::Narrow(target.substr(8));
    if (target.starts_with(L"\\\\?\\")) target.remove_prefix(4);
    return win32::Narrow(target);
}

// An error when target names something a package may not replace: only a
// plain file that may be written is replaced, as creating it in place would
// have required. (Windows has no mode bits to carry over to the new file;
// its permissions come from its folder, as a new file's would.) A link that
// is itself replaced is renamed over like a file.
Outcome<void> Replaceable(const std::string& target, const std::string& outputPath, Replacing replacing) {
    const DWORD attributes = win32::AttributesOf(target);
    if (attributes == INVALID_FILE_ATTRIBUTES) return {};
    if (replacing == Replacing::Nothing) return win32::ErrorOf("create", outputPath, ERROR_FILE_EXISTS);
    if (replacing == Replacing::EntryAtName && (attributes & FILE_ATTRIBUTE_REPARSE_POINT) &&
        !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        return {};
    }
    // As Windows itself refuses to open a folder or a read-only file for writing.
    if (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) {
        return win32::ErrorOf("replace", outputPath, ERROR_ACCESS_DENIED);
    }
    const HANDLE probe = win32::OpenPath(target, GENERIC_WRITE, OPEN_EXISTING);
    if (probe == INVALID_HANDLE_VALUE) return win32::LastError("replace", outputPath);
    const bool disk = GetFileType(probe) == FILE_TYPE_DISK;
    CloseHandle(probe);
    if (!disk) return win32::ErrorOf("replace", outputPath, ERROR_INVALID_FUNCTION);
    return {};
}

}  // namespace

AtomicOutput::AtomicOutput(std::string outputPath, std::string stagingPath, File file)
    : outputPath_(std::move(outputPath)), stagingPath_(std::move(stagingPath)), file_(std::move(file)) {
    cleanupSlot_ = RememberForCleanup(stagingPath_.c_str(), CleanupKind::File);
}

// Windows has no file without a name (O_TMPFILE): the new file is named
// from the start, with a short name of its own beside the output, so that
// an output name near the length limit still leaves room for it.
Outcome<AtomicOutput> AtomicOutput::Create(const std::string& outputPath, Replacing replacing) {
    const std::string target = FinalTarget(outputPath, replacing);
    if (Outcome<void> replaceable = Replaceable(target, outputPath, replacing); !replaceable) {
        return replaceable.Error();
    }
    const std::string directory = win32::DirectoryPart(target);
    win32::RemoveAbandoned(directory, kStagingPrefix, false);
    const std::string stem = directory + win32::OwnedNameStem(kStagingPrefix);
    for (int attempt = 0;; ++attempt) {
        const std::string staging = stem + win32::RandomSuffix();
        const HANDLE handle = win32::OpenPath(staging, GENERIC_READ | GENERIC_WRITE | DELETE, CREATE_NEW);
        if (handle != INVALID_HANDLE_VALUE) {
            AtomicOutput output(target, staging, File(win32::HandleOf(handle), outputPath));
            output.replacing_ = replacing;
            return output;
        }
        const DWORD error = GetLastError();
        if ((error != ERROR_FILE_EXISTS && error != ERROR_ALREADY_EXISTS) || attempt == 99) {
            return win32::ErrorOf("create", outputPath, error);
        }
    }
}

AtomicOutput::AtomicOutput(AtomicOutput&& other) noexcept
    : outputPath_(std::move(other.outputPath_)),
      stagingPath_(std::move(other.stagingPath_)),
      cleanupSlot_(other.cleanupSlot_),
      file_(std::move(other.file_)),
      replacing_(other.replacing_),
      committed_(other.committed_) {
    other.cleanupSlot_ = -1;
    other.committed_ = true;  // the moved-from object owns no file any more
}

AtomicOutput::~AtomicOutput() {
    if (committed_) return;
    file_.Close();
    RemoveStagingFile();
}

void AtomicOutput::RemoveStagingFile() {
    if (const std::optional<std::wstring> wide = win32::Wide(stagingPath_); wide && !stagingPath_.empty()) {
        DeleteFileW(wide->c_str());
    }
    ForgetCleanup(cleanupSlot_);
    cleanupSlot_ = -1;
}

// The data is flushed before the rename, and the rename itself is written
// through before it returns, so that a package that counts as made is on
// the disk under its name. Without MOVEFILE_REPLACE_EXISTING the rename
// itself refuses a name that was taken meanwhile.
Outcome<void> AtomicOutput::Commit() {
    committed_ = true;
    Outcome<void> done = Sync(file_);
    const std::string name = file_.Name();
    if (!CloseHandle(win32::Native(file_.Release())) && done) done = win32::LastError("close", name);
    if (done) {
        const std::optional<std::wstring> from = win32::Wide(stagingPath_);
        const std::optional<std::wstring> to = win32::Wide(outputPath_);
        const DWORD replace = replacing_ == Replacing::Nothing ? 0 : MOVEFILE_REPLACE_EXISTING;
        if (!from || !to || !MoveFileExW(from->c_str(), to->c_str(), replace | MOVEFILE_WRITE_THROUGH)) {
            done = win32::LastError("rename", name);
        }
    }
    if (done) {
        ForgetCleanup(cleanupSlot_);
        cleanupSlot_ = -1;
        return done;
    }
    RemoveStagingFile();
    return done;
}

}  // namespace pelko
