#include "package/build/Pack.h"

#include <optional>
#include <utility>
#include <vector>

#include "package/archive/ArchiveContents.h"
#include "package/build/AppFiles.h"
#include "package/build/ArchiveVerification.h"
#include "package/build/PackageWriter.h"
#include "package/checks/HandsetChecks.h"
#include "package/kjx/PackageNaming.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "text/Cp932.h"
#include "text/Lines.h"
#include "text/Paths.h"

namespace pelko {
namespace {

class Packing {
public:
    Packing(const std::string& descriptorPath, const std::string& outputPath, const LogSink& log)
        : descriptorPath_(descriptorPath), outputPath_(outputPath), log_(log) {}
    bool Run();

private:
    bool Stop(std::string text);
    bool FindArchive();
    bool ArchiveIsSound();
    void CheckManifest();
    bool Write();

    const std::string& descriptorPath_;
    const std::string& outputPath_;
    const LogSink& log_;
    PackageNaming naming_;
    StringList lines_;
    std::string archivePath_;
    std::string archiveName_;  // as the log shows it, UTF-8
    std::vector<std::string> manifest_;
};

bool Packing::Run() {
    NamedPackage named = NamePackage(descriptorPath_);
    if (named.refusal) {
        log_(*named.refusal);
        return false;
    }
    naming_ = std::move(named.naming);
    LoadLines(lines_, descriptorPath_);
    archiveName_ = ArchiveNameBeside(lines_, FileNameOf(descriptorPath_));
    archivePath_ = DirectoryOf(descriptorPath_) + archiveName_;
    // Written over, the application could not be packed again.
    if (SameFile(outputPath_, descriptorPath_) || SameFile(outputPath_, archivePath_)) {
        return Stop("ファイル作成失敗(" + outputPath_ + ")");
    }
    if (!FindArchive() || !ArchiveIsSound()) return false;
    CheckManifest();
    if (!Write()) return false;
    log_(SuccessLine("作成完了(" + outputPath_ + ")"));
    return true;
}

bool Packing::Stop(std::string text) {
    log_(StopLine(std::move(text)));
    return false;
}

// Looked at before it is opened: opening a FIFO would wait for a writer.
bool Packing::FindArchive() {
    const Outcome<FileStatus> status = StatusOf(archivePath_);
    if (!status) {
        log_(ReasonLine("アーカイブを読めません", archivePath_, status.Error()));
    } else if (status->kind != FileKind::Regular) {
        log_(ProblemLine("アーカイブを読めません(" + archivePath_ + ": not a regular file)"));
    } else {
        return true;
    }
    return Stop("ファイル作成失敗(" + outputPath_ + ")");
}

bool Packing::ArchiveIsSound() {
    const ArchiveCheck check = TemplateArchiveProblems(archivePath_, archiveName_);
    if (check.systemError) {
        log_(ReasonLine("アーカイブを読めません", archivePath_, *check.systemError));
        return Stop("ファイル作成失敗(" + outputPath_ + ")");
    }
    if (check.problems.empty()) return true;
    for (const LogLine& problem : check.problems) log_(problem);
    return Stop("アーカイブが壊れています(" + archiveName_ + ")");
}

// The archive keeps its own manifest, which the descriptor is checked against.
void Packing::CheckManifest() {
    manifest_ = ManifestLinesOf(archivePath_);
    for (const Problem& problem : pelko::CheckManifest(manifest_)) log_(LogLineOf(problem));
}

bool Packing::Write() {
    Outcome<File> archive = OpenToRead(archivePath_);
    const Outcome<FileStatus> status = archive ? StatusOf(*archive) : archive.Error();
    if (!status) {
        log_(ReasonLine("アーカイブを読めません", archivePath_, status.Error()));
        return Stop("ファイル作成失敗(" + outputPath_ + ")");
    }
    const std::optional<std::string> storedName = Utf8ToCp932(archiveName_);
    if (!storedName) return Stop("名前を変換できません(" + archiveName_ + ")");
    SetArchiveLines(lines_, status->size, *storedName);
    PackageWriter writer(outputPath_, naming_, manifest_, log_);
    return writer.WriteWithArchive(lines_, *archive);
}

}  // namespace

bool PackApplication(const std::string& descriptorPath, const std::string& outputPath, const LogSink& log) {
    return Packing(descriptorPath, outputPath, log).Run();
}

}  // namespace pelko
