// Template archives from anywhere: a truncated download, a damaged card, a
// file made to hurt. The whole build runs on each one and must keep its
// promises: a failed build leaves nothing in the work or the output folder
// and an earlier package byte for byte as it was; a build that says "[O]"
// wrote a package whose archive opens as ZIP with the manifest it composed.
#include <zip.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "package/build/Build.h"
#include "text/Errors.h"
#include "text/Lines.h"
#include "templates/Descriptor.h"

namespace {

namespace fs = std::filesystem;

void Require(bool condition) {
    if (!condition) std::abort();
}

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void WriteAll(const std::string& path, const std::string& bytes) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << bytes;
}

bool IsEmptyDirectory(const std::string& path) {
    return fs::is_directory(path) && fs::directory_iterator(path) == fs::directory_iterator();
}

bool HoldsOnly(const std::string& directory, const std::string& name) {
    int count = 0;
    for (const auto& entry : fs::directory_iterator(directory)) {
        if (entry.path().filename() != name) return false;
        ++count;
    }
    return count <= 1;
}

// The folders of every run: a program folder with the template and a
// picture for its file option, a work folder, an output folder.
struct Folders {
    std::string root, program, work, out;
    Folders() {
        std::string pattern = (fs::temp_directory_path() / "pelko-fuzz-build-XXXXXX").string();
        Require(mkdtemp(pattern.data()) != nullptr);
        root = pattern + "/";
        program = root + "program/";
        work = root + "work/";
        out = root + "out/";
        for (const std::string& dir : {program, work, out}) fs::create_directory(dir);
        fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/block.jad", program + "fuzz.jad");
        WriteAll(program + "pic.png", "\x89PNG\r\n\x1a\nnew picture");
    }
};

// The archive part of a container written by the build, or nullopt when the
// header does not hold together.
bool ArchiveOf(const std::string& bytes, std::string& archive) {
    auto at = [&](std::size_t i) { return static_cast<unsigned char>(bytes[i]); };
    if (bytes.size() < 8 || bytes.compare(0, 3, "KJX") != 0) return false;
    const std::size_t k = at(4);
    if (bytes.size() < 8 + k) return false;
    const std::size_t d = at(5 + k) * 256u + at(6 + k);
    const std::size_t j = at(7 + k);
    if (at(3) != 8 + k + j || bytes.size() < 8 + k + j + d) return false;
    archive = bytes.substr(8 + k + j + d);
    return true;
}

std::string ManifestIn(const std::string& archive) {
    zip_error_t error;
    zip_error_init(&error);
    zip_source_t* source = zip_source_buffer_create(archive.data(), archive.size(), 0, &error);
    Require(source != nullptr);
    zip_t* zip = zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error);
    if (!zip) zip_source_free(source);
    zip_error_fini(&error);
    Require(zip != nullptr);
    std::string data;
    zip_file_t* file = zip_fopen(zip, "META-INF/MANIFEST.MF", 0);
    Require(file != nullptr);
    char block[4096];
    for (zip_int64_t got; (got = zip_fread(file, block, sizeof block)) > 0;) data.append(block, got);
    zip_fclose(file);
    zip_discard(zip);
    return data;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const Folders folders;
    static const std::string earlier = "an earlier package, to be kept as it is";
    const std::string output = folders.out + "game.kjx";
    WriteAll(folders.program + "fuzz.jar", std::string(reinterpret_cast<const char*>(data), size));
    WriteAll(output, earlier);

    pelko::StringList options;
    options.Add("File", std::make_unique<pelko::OptionRecord>(
                            pelko::OptionRecord{"File", "picture", "back.png", folders.program + "pic.png"}));
    const pelko::AppSettings settings{"Fuzz Game", "fuzzer", true};
    pelko::BuildRequest request =
        pelko::RequestFor(folders.program + "fuzz.jad", settings, options, output, folders.program);
    request.workParent = folders.work;

    bool saidDone = false;
    bool made = false;
    try {
        made = pelko::MakePackage(request,
                                  [&saidDone](const pelko::LogLine& line) {
                                      saidDone = saidDone || line.severity == pelko::Severity::Success;
                                  });
    } catch (const pelko::Error&) {
        made = false;  // raised by a primitive: the build is over all the same
    }

    Require(IsEmptyDirectory(folders.work));
    Require(HoldsOnly(folders.out, "game.kjx"));
    const std::string written = ReadAll(output);
    Require(saidDone == made);
    if (!made) {
        Require(written == earlier);
        return 0;
    }
    std::string archive;
    Require(ArchiveOf(written, archive));
    pelko::StringList templateLines;
    pelko::LoadLines(templateLines, folders.program + "fuzz.jad");
    Require(ManifestIn(archive) == pelko::JoinLines(pelko::ComposeManifestLines(templateLines, settings)));
    return 0;
}
