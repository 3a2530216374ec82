#include "support/TestFiles.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>

#include "system/FileStatus.h"
#include "templates/Descriptor.h"
#include "text/Cp932.h"

namespace fs = std::filesystem;

namespace pelko::test {

fs::path HostPath(std::string_view utf8) {
    return fs::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string Utf8Of(const fs::path& path) {
    const std::u8string utf8 = path.u8string();
    return std::string(utf8.begin(), utf8.end());
}

// mkdtemp's way, on every system: a random name, made only when it is new.
ScratchDir::ScratchDir() {
    static std::mt19937 generator(std::random_device{}());
    const fs::path root = fs::temp_directory_path();
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path path = root / ("pelko-test-" + std::to_string(generator()));
        std::error_code error;
        if (fs::create_directory(path, error)) {
            path_ = Utf8Of(path) + kSeparator;
            return;
        }
    }
    throw std::runtime_error("cannot make a scratch directory");
}

// A test may have taken its permissions away, or left read-only files.
ScratchDir::~ScratchDir() {
    std::error_code ignored;
    const fs::path root = HostPath(path_);
    fs::permissions(root, fs::perms::owner_all, fs::perm_options::add, ignored);
    for (const auto& entry : fs::recursive_directory_iterator(root, ignored)) {
        fs::permissions(entry.path(), fs::perms::owner_write, fs::perm_options::add | fs::perm_options::nofollow,
                        ignored);
    }
    fs::remove_all(root, ignored);
}

void WriteFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(HostPath(path), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(HostPath(path), std::ios::binary);
    if (!in) throw std::runtime_error("cannot read " + path);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string NotFoundReason() {
    const ScratchDir dir;
    return StatusOf(dir / "missing").Error().reason;
}

std::string MissingFolderReason() {
    const ScratchDir dir;
    return StatusOf(dir / "missing/inside").Error().reason;
}

bool Exists(const std::string& path) {
    std::error_code ignored;
    return fs::exists(fs::symlink_status(HostPath(path), ignored));
}

std::vector<std::string> ListDir(const std::string& path) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : fs::directory_iterator(HostPath(path), error)) {
        names.push_back(Utf8Of(entry.path().filename()));
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

}  // namespace pelko::test
