#include "faults/SweepStage.h"

#include <sys/stat.h>

#include <filesystem>
#include <stdexcept>

#include "support/CliRunner.h"
#include "support/ZipTools.h"

namespace pelko::test {

namespace fs = std::filesystem;

std::optional<PackageContent> ContentOf(const std::string& packageBytes) {
    const std::optional<KjxParts> parts = SplitKjx(packageBytes);
    if (!parts) return std::nullopt;
    PackageContent content{parts->containerName, parts->descriptorName, parts->descriptor, {}};
    try {
        for (ZipEntry& entry : ReadZipBytes(parts->archive)) content.entries.emplace_back(entry.name, entry.data);
    } catch (const std::runtime_error&) {
        return std::nullopt;
    }
    return content;
}

// A picture that deflates well, so that it goes into the archive deflated.
Stage::Stage() {
    for (const char* folder : {"tpl", "img", "out", "tmp"}) fs::create_directory(root_ / folder);
    fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/block.jad", Template());
    fs::copy_file(std::string(PELKO_SAMPLES_DIR) + "/block.jar", Archive());
    std::string picture;
    for (int row = 0; row < 200; ++row) picture += "sky row " + std::to_string(row) + ": blue blue blue\n";
    WriteFile(Chosen(), picture);
}

std::vector<std::string> Stage::MakeArguments(const std::string& title) const {
    return {"make", Template(), "-o", Output(), "--title", title, "--author", "tester", "--set", "5=" + Chosen()};
}

void Stage::DropManifest() {
    if (RunIn(root_ / "tpl", "zip -q -d block.jar META-INF/MANIFEST.MF") != 0) {
        throw std::runtime_error("zip could not take the manifest out");
    }
}

// A stored entry of random bytes pads the archive to 9,900 bytes; the chosen
// picture, random too, is larger than the entry it replaces, so the
// package's archive needs five digits.
void Stage::GrowArchiveToTheEdgeOfADigit() {
    constexpr std::size_t kTarget = 9900;
    const std::size_t size = fs::file_size(Archive());
    WriteFile(root_ / "tpl/pad.bin", RandomBytes(kTarget - size, 3));
    if (RunIn(root_ / "tpl", "zip -q -0 block.jar pad.bin") != 0) throw std::runtime_error("zip could not pad");
    fs::remove(root_ / "tpl/pad.bin");
    const std::size_t padded = fs::file_size(Archive());
    WriteFile(root_ / "tpl/pad.bin", RandomBytes(kTarget - size - (padded - kTarget), 3));
    if (RunIn(root_ / "tpl", "zip -q -0 block.jar pad.bin") != 0) throw std::runtime_error("zip could not pad");
    fs::remove(root_ / "tpl/pad.bin");
    WriteFile(Chosen(), RandomBytes(600, 4));
}

void Stage::RememberInputs() {
    inputs_.clear();
    for (const std::string& path : {Template(), Archive(), Chosen()}) inputs_.emplace_back(path, ReadFile(path));
}

bool Stage::InputsUntouched() const {
    for (const auto& [path, bytes] : inputs_) {
        if (!Exists(path) || ReadFile(path) != bytes) return false;
    }
    return ListDir(root_ / "tpl") == std::vector<std::string>{"block.jad", "block.jar"};
}

void Stage::KeepAsEarlierPackage() {
    earlier_ = ReadFile(Output());
    RestoreEarlierPackage();
}

void Stage::RestoreEarlierPackage() const {
    WriteFile(Output(), earlier_);
    chmod(Output().c_str(), kEarlierPackageMode);
}

bool Stage::HoldsEarlierPackage() const { return Exists(Output()) && ReadFile(Output()) == earlier_; }

std::vector<std::string> Stage::Leftovers() const {
    std::vector<std::string> left;
    for (const std::string& name : ListDir(OutputFolder())) {
        if (name != "game.kjx") left.push_back("out/" + name);
    }
    for (const std::string& name : ListDir(TemporaryFolder())) left.push_back("tmp/" + name);
    return left;
}

}  // namespace pelko::test
