#pragma once
// The files of one sweep scenario -- a template, a chosen file, an earlier
// package, a temporary folder -- and what a package holds, compared by its
// parts rather than byte for byte (the manifest entry carries the time of
// the build).
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "support/TestFiles.h"

namespace pelko::test {

struct PackageContent {
    std::string containerName;
    std::string descriptorName;
    std::string descriptor;
    std::vector<std::pair<std::string, std::string>> entries;  // name, data, in archive order
    bool operator==(const PackageContent&) const = default;
};

// nullopt unless the bytes are a whole package whose archive reads with every CRC right.
std::optional<PackageContent> ContentOf(const std::string& packageBytes);

// The mode the earlier package has, which a new one must keep.
inline constexpr unsigned kEarlierPackageMode = 0640;

class Stage {
public:
    Stage();
    std::string Template() const { return root_ / "tpl/block.jad"; }
    std::string Archive() const { return root_ / "tpl/block.jar"; }
    std::string Chosen() const { return root_ / "img/sky.png"; }
    std::string OutputFolder() const { return root_ / "out/"; }
    std::string Output() const { return root_ / "out/game.kjx"; }
    std::string TemporaryFolder() const { return root_ / "tmp/"; }
    std::string CountsFile() const { return root_ / "counts"; }

    std::vector<std::string> MakeArguments(const std::string& title) const;
    // The template's archive without its manifest, or grown to just below a
    // size of more digits than the package's archive will have.
    void DropManifest();
    void GrowArchiveToTheEdgeOfADigit();

    // The inputs as they are now, then whether they still are.
    void RememberInputs();
    bool InputsUntouched() const;
    // The earlier package, put back before each run.
    void KeepAsEarlierPackage();
    void RestoreEarlierPackage() const;
    bool HoldsEarlierPackage() const;

    // What is beside the output and in the temporary folder, besides the output.
    std::vector<std::string> Leftovers() const;

private:
    ScratchDir root_;
    std::vector<std::pair<std::string, std::string>> inputs_;  // path, bytes
    std::string earlier_;
};

}  // namespace pelko::test
