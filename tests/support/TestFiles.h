#pragma once
// Small helpers the core tests share: a scratch directory, whole-file reads
// and writes, and CP932 literals and option records written in UTF-8 source.
#include <string>
#include <string_view>
#include <vector>

#include "text/StringList.h"

namespace pelko::test {

// A fresh directory under the system's temporary directory, removed with its
// contents when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    // With a trailing "/".
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
// The file descriptors this process has open, for tests that nothing leaks.
int OpenDescriptorCount();
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
int Run(const std::string& command, std::string* out = nullptr);

}  // namespace pelko::test
