#include "package/build/Unpack.h"

#include <optional>
#include <utility>

#include "package/build/AppFiles.h"
#include "package/checks/PackageChecks.h"
#include "package/kjx/KjxReader.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "system/Staging.h"
#include "system/StreamCopy.h"
#include "text/Cp932.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

std::string InDirectory(const std::string& directory, const std::string& name) {
    if (directory.empty()) return name;
    if (FileNameOf(directory).empty()) return directory + name;  // ends in a delimiter
    return directory + "/" + name;
}

class Unpacking {
public:
    Unpacking(const std::string& packagePath, const std::string& directory, bool replace)
        : packagePath_(packagePath), directory_(directory), replace_(replace) {}
    Unpacked Run();

private:
    bool Refuse(std::string what, std::string reason = {});
    bool RefuseError(const std::string& what, const SystemError& error) { return Refuse(what, error.reason); }
    bool ReadHead();
    bool CheckContainer();
    bool NameFiles();
    std::optional<AtomicOutput> Create(const std::string& path);
    bool WriteDescriptor(AtomicOutput& output);
    bool WriteArchive(AtomicOutput& output);
    bool Commit(AtomicOutput& output, const std::string& path);

    const std::string& packagePath_;
    const std::string& directory_;
    bool replace_;
    Unpacked result_;
    std::optional<File> package_;
    ContainerFields fields_;
};

Unpacked Unpacking::Run() {
    if (!ReadHead() || !CheckContainer() || !NameFiles()) return std::move(result_);
    // Both are created before either is written: a file in the way stops
    // the unpacking before anything is made.
    std::optional<AtomicOutput> archive = Create(result_.archivePath);
    if (!archive) return std::move(result_);
    std::optional<AtomicOutput> descriptor = Create(result_.descriptorPath);
    if (!descriptor) return std::move(result_);
    if (WriteArchive(*archive) && WriteDescriptor(*descriptor) && Commit(*archive, result_.archivePath)) {
        Commit(*descriptor, result_.descriptorPath);
    }
    return std::move(result_);
}

bool Unpacking::Refuse(std::string what, std::string reason) {
    result_.refusals.push_back({std::move(what), std::move(reason)});
    return false;
}

// Only a regular file: a device or a pipe is no package and might never end.
bool Unpacking::ReadHead() {
    Outcome<File> file = OpenToRead(packagePath_);
    const Outcome<FileStatus> status = file ? StatusOf(*file) : file.Error();
    if (!status) return RefuseError("cannot read " + packagePath_, status.Error());
    if (status->kind != FileKind::Regular) return Refuse(packagePath_ + ": not a regular file, so no package");
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(status->size, kLongestHead)), '\0');
    const Outcome<std::size_t> read = ReadFull(*file, head.data(), head.size());
    if (!read) return RefuseError("cannot read " + packagePath_, read.Error());
    head.resize(*read);
    std::vector<std::string> faults;
    ReadKjxContainer(head, status->size, fields_, faults);
    for (std::string& fault : faults) Refuse(packagePath_ + ": " + fault);
    package_.emplace(std::move(*file));
    return faults.empty();
}

bool Unpacking::CheckContainer() {
    StringList lines;
    SplitLines(lines, *fields_.descriptor);
    if (std::optional<std::string> fault = JarSizeFault(lines, fields_.archiveSize)) {
        return Refuse(packagePath_ + ": " + *fault);
    }
    return true;
}

bool Unpacking::NameFiles() {
    const std::string& stored = *fields_.header.descriptorName;
    const std::optional<std::string> descriptorName = HostFileName(stored);
    if (!descriptorName) {
        return Refuse(packagePath_ + ": the descriptor name \"" + Cp932ToUtf8(stored) + "\" is no plain file name");
    }
    StringList lines;
    SplitLines(lines, *fields_.descriptor);
    const std::string archiveName = ArchiveNameBeside(lines, *descriptorName);
    result_.descriptorPath = InDirectory(directory_, *descriptorName);
    result_.archivePath = InDirectory(directory_, archiveName);
    // Compared as a file system that ignores letter case would.
    if (AsciiLower(archiveName) == AsciiLower(*descriptorName)) {
        return Refuse(packagePath_ + ": the descriptor and the archive would both be " + archiveName);
    }
    return true;
}

std::optional<AtomicOutput> Unpacking::Create(const std::string& path) {
    Outcome<AtomicOutput> output = AtomicOutput::Create(path, replace_ ? Replacing::EntryAtName : Replacing::Nothing);
    if (!output) {
        RefuseError("cannot create " + path, output.Error());
        return std::nullopt;
    }
    return std::move(*output);
}

bool Unpacking::WriteDescriptor(AtomicOutput& output) {
    const std::string& text = *fields_.descriptor;
    const Outcome<void> written = WriteAll(output.Output(), text.data(), text.size());
    return written || RefuseError("cannot write " + result_.descriptorPath, written.Error());
}

// A package that shrank or grew since its head was read is not copied
// short or long.
bool Unpacking::WriteArchive(AtomicOutput& output) {
    const Outcome<void> moved = SeekTo(*package_, *fields_.archiveOffset);
    const Outcome<StreamCopied> copied = moved ? StreamCopy(*package_, output.Output()) : moved.Error();
    if (!copied) {
        return RefuseError("cannot copy the archive into " + result_.archivePath, copied.Error());
    }
    if (copied->copied != fields_.archiveSize) return Refuse(packagePath_ + ": the file changed while it was read");
    return true;
}

bool Unpacking::Commit(AtomicOutput& output, const std::string& path) {
    const Outcome<void> committed = output.Commit();
    return committed || RefuseError("cannot create " + path, committed.Error());
}

}  // namespace

Unpacked UnpackPackage(const std::string& packagePath, const std::string& directory, bool replace) {
    return Unpacking(packagePath, directory, replace).Run();
}

}  // namespace pelko
