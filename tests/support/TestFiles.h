#pragma once
// Small helpers the core tests share: a scratch directory, whole-file reads
// and writes, and CP932 literals and option records written in UTF-8 source.
#include <cerrno>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "system/Files.h"
#include "text/StringList.h"

namespace pelko::test {

// The separator of the system's own paths.
#ifdef _WIN32
inline constexpr char kSeparator = '\\';
#else
inline constexpr char kSeparator = '/';
#endif

// A UTF-8 path as the standard library takes it on every system (on Windows
// it reads a plain string in the ANSI code page), and back.
std::filesystem::path HostPath(std::string_view utf8);
std::string Utf8Of(const std::filesystem::path& path);

// A fresh directory under the system's temporary directory, removed with its
// contents when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // With a trailing separator.
    const std::string& Path() const { return path_; }
    std::string operator/(std::string_view name) const { return path_ + std::string(name); }

private:
    std::string path_;
};

// Time limits of tests that catch a quadratic algorithm stretch by this in
// the sanitizer build, which runs unoptimised and instrumented.
#ifdef PELKO_SANITIZED_BUILD
inline constexpr int kTimeLimitFactor = 10;
#else
inline constexpr int kTimeLimitFactor = 1;
#endif

void WriteFile(const std::string& path, std::string_view bytes);
std::string ReadFile(const std::string& path);
// The file descriptors (on Windows the handles) this process has open, for
// tests that nothing leaks.
int OpenDescriptorCount();
// An existing file opened to read and write where it stands, not truncated;
// closed when the File goes.
File OpenForUpdate(const std::string& path);
// The same, open for writing only.
File OpenWriteOnly(const std::string& path);
// The code of the error a read or write gives through a file not opened for it.
#ifdef _WIN32
inline constexpr int kWrongAccessCode = 5;  // ERROR_ACCESS_DENIED
#else
inline constexpr int kWrongAccessCode = EBADF;
#endif
// The system's own words for a file that is not there.
std::string NotFoundReason();
// The same for a path whose folder is not there.
std::string MissingFolderReason();
// Sets an environment variable of this process, or removes it (nullopt).
void SetEnvironment(const char* name, const std::optional<std::string>& value);
bool Exists(const std::string& path);
// Names in a directory, sorted; empty when it does not exist.
std::vector<std::string> ListDir(const std::string& path);
// The CP932 bytes of a UTF-8 literal; aborts the test binary on a character
// CP932 lacks, since that is a fault of the test itself.
std::string Sjis(std::string_view utf8);
inline bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}
// Lines joined with CR LF after each, as descriptors are written.
std::string CrLf(const std::vector<std::string>& lines);
// Sjis of each UTF-8 literal: as a vector, as a list, and joined as CrLf.
std::vector<std::string> SjisEach(const std::vector<std::string>& utf8);
StringList SjisLines(const std::vector<std::string>& utf8);
std::string SjisText(const std::vector<std::string>& utf8);
// Option records as a loaded template holds them, each an item named by its
// label: key, label and type in CP932, and the value too, unless it is a
// file option's, which is a host path and stays as given.
StringList OptionList(const std::vector<std::vector<std::string>>& utf8Records);
// Runs a shell command, returns its exit status and (optionally) its stdout.
// POSIX only: on Windows it fails the test that calls it.
int Run(const std::string& command, std::string* out = nullptr);

// Skips the rest of a test on Windows, which lacks what it needs.
#ifdef _WIN32
#define PELKO_SKIP_ON_WINDOWS(why) GTEST_SKIP() << "Windows: " << why
#else
#define PELKO_SKIP_ON_WINDOWS(why) static_cast<void>(why)
#endif

}  // namespace pelko::test
