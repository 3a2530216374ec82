#include "support/TestFiles.h"

#include <dirent.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "templates/Descriptor.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace pelko::test {

ScratchDir::ScratchDir() {
    std::string pattern = (fs::temp_directory_path() / "pelko-test-XXXXXX").string();
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    if (!mkdtemp(buffer.data())) throw std::runtime_error("cannot make a scratch directory");
    path_ = std::string(buffer.data()) + "/";
}

ScratchDir::~ScratchDir() {
    std::error_code ignored;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ignored);
    fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(path, ignored));
}

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(path, error)) {
        names.push_back(entry.path().filename().string());
    }
    std::sort(names.begin(), names.end());
    return names;
}

std::string Sjis(std::string_view utf8) {
    auto bytes = Utf8ToCp932(utf8);
    if (!bytes) {
        std::fprintf(stderr, "test literal not in CP932: %.*s\n", static_cast<int>(utf8.size()), utf8.data());
        std::abort();
    }
    return *bytes;
}

std::string CrLf(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\r\n";
    return text;
}

std::vector<std::string> SjisEach(const std::vector<std::string>& utf8) {
    std::vector<std::string> sjis;
    for (const auto& text : utf8) sjis.push_back(Sjis(text));
    return sjis;
}

StringList SjisLines(const std::vector<std::string>& utf8) {
    StringList lines;
    for (const auto& line : utf8) lines.Add(Sjis(line));
    return lines;
}

std::string SjisText(const std::vector<std::string>& utf8) { return CrLf(SjisEach(utf8)); }

StringList OptionList(const std::vector<std::vector<std::string>>& utf8Records) {
    StringList options;
    for (const auto& texts : utf8Records) {
        auto record = std::make_unique<OptionRecord>(SjisLines(texts));
        const bool fileOption = texts.size() > kRecordValue && texts[kRecordKey].rfind("File", 0) == 0;
        if (fileOption) record->Set(kRecordValue, texts[kRecordValue]);
        const std::string label = record->Count() > kRecordLabel ? record->Item(kRecordLabel) : std::string();
        options.Add(label, std::move(record));
    }
    return options;
}

int Run(const std::string& command, std::string* out) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> buffer;
    std::string text;
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) text.append(buffer.data(), got);
    int status = pclose(pipe);
    if (out) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (::readdir(fds) != nullptr) ++count;
        ::closedir(fds);
    }
    return count;
}

}  // namespace pelko::test
