#pragma once
// Small helpers the core tests share: a scratch directory, whole-file reads
// and writes, and CP932 literals written in UTF-8 source.
#include <string>
#include <string_view>
#include <vector>

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
// Lines joined with CR LF after each, as descriptors are written.
std::string CrLf(const std::vector<std::string>& lines);
// The lines of the sample template block.jad, in UTF-8: the worked example
// the composition and the descriptor reading are checked against.
const std::vector<std::string>& BlockTemplateLines();
// Runs a shell command, returns its exit status and (optionally) its stdout.
int Run(const std::string& command, std::string* out = nullptr);

}  // namespace pelko::test
