#include "package/build/Build.h"

#include <optional>
#include <utility>

#include "options/Editors.h"
#include "package/archive/ArchiveContents.h"
#include "package/build/ArchiveCommands.h"
#include "package/build/ArchiveVerification.h"
#include "package/build/BuildInputs.h"
#include "package/build/BuildLog.h"
#include "package/build/PackageWriter.h"
#include "package/build/WorkFiles.h"
#include "package/checks/HandsetChecks.h"
#include "package/kjx/FileOptions.h"
#include "package/kjx/PackageNaming.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "system/Staging.h"
#include "text/Cp932.h"
#include "text/Errors.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

// The names a build derives from the template path, never from the output.
struct PackageNames {
    std::string templateArchive;  // host path of the template's ".jar"
    std::string temporaryArchive; // bare host name inside the work directory
    PackageNaming package;
};

PackageNames HostNames(const std::string& templatePath) {
    PackageNames names;
    names.templateArchive = TemplateArchivePath(templatePath);
    names.temporaryArchive = WithExtension(FileNameOf(templatePath), ".tmp");
    return names;
}

// The option's descriptor line. Options with a file editor (File2 and the
// like) hold a host path the user chose, which the descriptor holds in CP932;
// nullopt when CP932 cannot write that path.
std::optional<std::string> DescriptorLineOf(const OptionRecord& record) {
    const std::string& value = record.Item(kRecordValue);
    if (!HasFileEditor(record.Item(kRecordKey)) || !IsUtf8(value)) return OptionLine(record);
    std::optional<std::string> cp932 = Utf8ToCp932(value);
    if (!cp932) return std::nullopt;
    OptionRecord written = record;
    written.Set(kRecordValue, *cp932);
    return OptionLine(written);
}

class Build {
public:
    Build(const BuildRequest& request, const LogSink& log) : request_(request), log_(log) {}
    bool Run();

private:
    bool InputsAreSafe();
    bool NameThePackage();
    bool FindTemplateArchive();
    bool ReadTemplate(StringList& templateLines);
    bool CheckManifestAgainstTemplate();
    bool ArchiveIsSound(const ArchiveCheck& check, const std::string& stop);
    void LogReason(const std::string& what, const std::string& subject, const SystemError& error);
    bool Stop(const SystemError& error, const std::string& stop);
    bool StopInWork(const SystemError& error) { return Stop(error, WorkStop()); }
    // Nothing to stop for, or the system error that stops the build.
    bool GoesOn(const std::optional<SystemError>& failed) { return !failed || StopInWork(*failed); }
    std::string WorkStop() const { return "一時ファイル作成失敗(" + names_.temporaryArchive + ")"; }
    bool ApplyOptions(StringList& lines);
    bool PutFileIntoArchive(const OptionRecord& record);
    enum class Copy { Done, Skipped, Stopped };
    Copy CopyChosenFile(const std::string& value, const std::string& entry);
    bool WritePackage(StringList& lines, const std::string& manifest);
    void LogProblems(const Problems& problems) const;
    std::string WorkPath(std::string_view name) const { return work_->Path() + std::string(name); }

    const BuildRequest& request_;
    const LogSink& log_;
    PackageNames names_;
    const WorkDirectory* work_ = nullptr;  // lives as long as Run()
    ArchiveCommands* archive_ = nullptr;   // lives as long as Run(), within work_
    std::vector<std::string> manifest_;    // as composed, for the descriptor's checks
};

bool Build::Run() {
    names_ = HostNames(request_.templatePath);
    if (!InputsAreSafe()) return false;
    if (!NameThePackage()) return false;
    Outcome<WorkDirectory> work = WorkDirectory::Create(request_.workParent);
    if (!work) {
        LogReason("一時ディレクトリに書き込めません", WorkDirectory::ParentFor(request_.workParent), work.Error());
        log_(StopLine("一時ファイル作成失敗(" + names_.temporaryArchive + ")"));
        return false;
    }
    work_ = &*work;
    if (!FindTemplateArchive()) return false;
    const std::string shownArchive = FileNameOf(names_.templateArchive);
    if (!ArchiveIsSound(TemplateArchiveProblems(names_.templateArchive, shownArchive), WorkStop())) return false;
    // Every edit of the archive goes through one session, written once.
    ArchiveCommands archive(work_->Path(), names_.temporaryArchive, names_.templateArchive, log_);
    archive_ = &archive;
    StringList templateLines;
    if (!ReadTemplate(templateLines)) return false;
    StringList lines = ComposeManifestLines(templateLines, request_.settings);
    manifest_ = lines.Texts();
    if (!CheckManifestAgainstTemplate()) return false;
    if (!GoesOn(archive.UpdateManifest(lines))) return false;
    const std::string manifest = JoinLines(lines);
    if (!ApplyOptions(lines)) return false;
    if (!WritePackage(lines, manifest)) return false;
    log_(SuccessLine("作成完了(" + request_.outputPath + ")"));
    return true;
}

// The edited archive goes straight into the package where it can, otherwise
// through the work archive; either way it is checked before the package
// takes the output's place.
bool Build::WritePackage(StringList& lines, const std::string& manifest) {
    PackageWriter writer(request_.outputPath, names_.package, manifest_, log_);
    const Outcome<FileStatus> templateArchive = StatusOf(names_.templateArchive);
    if (!templateArchive) return StopInWork(templateArchive.Error());
    if (!writer.WriteArchive(archive_->Session(), lines, static_cast<std::int64_t>(templateArchive->size))) {
        return false;
    }
    if (writer.ArchiveWritten()) {
        return ArchiveIsSound(WrittenArchiveProblems(writer.PackageFile(), writer.ArchiveStart(), writer.ArchiveSize(),
                                                     names_.temporaryArchive, manifest),
                              "ファイル書き込み失敗(" + request_.outputPath + ")") &&
               writer.Finish(lines);
    }
    if (!GoesOn(archive_->WriteWorkArchive())) return false;
    const std::string workArchive = WorkPath(names_.temporaryArchive);
    return ArchiveIsSound(WrittenArchiveProblems(workArchive, names_.temporaryArchive, manifest), WorkStop()) &&
           writer.WriteFromWorkArchive(lines, workArchive, names_.temporaryArchive);
}

// Refused before anything is written: a typed text that would add lines of
// its own to the descriptor, and an output that would overwrite the template.
bool Build::InputsAreSafe() {
    if (const std::optional<std::string> subject = TextWithLineEnd(request_)) {
        log_(StopLine("改行を含む値は使えません(" + *subject + ")"));
        return false;
    }
    const Outcome<bool> isTemplate = OutputIsTemplate(request_.outputPath, request_.templatePath);
    if (!isTemplate) return Stop(isTemplate.Error(), "ファイル作成失敗(" + request_.outputPath + ")");
    if (*isTemplate) {
        log_(StopLine("ファイル作成失敗(" + request_.outputPath + ")"));
        return false;
    }
    return true;
}

// The names go into the package in CP932 and must fit its header.
bool Build::NameThePackage() {
    NamedPackage named = NamePackage(request_.templatePath);
    if (named.refusal) {
        log_(*named.refusal);
        return false;
    }
    names_.package = std::move(named.naming);
    return true;
}

void Build::LogReason(const std::string& what, const std::string& subject, const SystemError& error) {
    log_(ReasonLine(what, subject, error));
}

// A system error ends the build, whatever it happened to: the disk, the file
// system and memory are nothing the user chose. The earlier package stays.
bool Build::Stop(const SystemError& error, const std::string& stop) {
    log_(SystemProblemLine(error));
    log_(StopLine(stop));
    return false;
}

// A package is only made from an archive a handset can load; the problems
// come first, then the line that ends the build, and no output is touched.
// An archive the system would not let us read ends the build with stop.
bool Build::ArchiveIsSound(const ArchiveCheck& check, const std::string& stop) {
    if (check.systemError) return Stop(*check.systemError, stop);
    if (check.problems.empty()) return true;
    for (const LogLine& problem : check.problems) log_(problem);
    log_(StopLine("アーカイブが壊れています(" + names_.temporaryArchive + ")"));
    return false;
}

// A descriptor that is not there or is no file is the template's own fault,
// raised as loading its lines raises it; a read the system refuses stops
// the build.
bool Build::ReadTemplate(StringList& templateLines) {
    const Outcome<FileStatus> status = StatusOf(request_.templatePath);
    if (!status && !IsNotFound(status.Error())) {
        return Stop(status.Error(), "ファイル読み込み失敗(" + request_.templatePath + ")");
    }
    if (!status || status->kind != FileKind::Regular) {
        throw OpenError(request_.templatePath);
    }
    Outcome<StringList> read = ReadLines(request_.templatePath);
    if (!read) return Stop(read.Error(), "ファイル読み込み失敗(" + request_.templatePath + ")");
    templateLines = std::move(*read);
    return true;
}

// The attributes the template's own archive declares, which the new
// manifest should keep; read from the template, so its failure is a
// failure to read the template.
bool Build::CheckManifestAgainstTemplate() {
    const ArchiveContents contents = ReadArchiveContents(names_.templateArchive);
    if (contents.systemError) return StopInWork(*contents.systemError);
    LogProblems(CheckManifest(manifest_, contents.manifest.value_or(std::vector<std::string>{})));
    return true;
}

// The archive is read where it lies, and only when it is a regular file (or
// a link to one) that opens for reading; the session writes the edited one
// into the new package, or into the work directory. It is looked at before
// it is opened: opening a FIFO would wait for a writer.
bool Build::FindTemplateArchive() {
    const std::string& path = names_.templateArchive;
    const Outcome<FileStatus> status = StatusOf(path);
    if (!status) {
        LogReason("テンプレートのアーカイブを読めません", path, status.Error());
    } else if (status->kind != FileKind::Regular) {
        log_(ProblemLine("テンプレートのアーカイブを読めません(" + path + ": not a regular file)"));
    } else if (const Outcome<File> readable = OpenToRead(path); !readable) {
        LogReason("テンプレートのアーカイブを読めません", path, readable.Error());
    } else {
        return true;
    }
    log_(StopLine("一時ファイル作成失敗(" + names_.temporaryArchive + ")"));
    return false;
}

bool Build::ApplyOptions(StringList& lines) {
    if (!request_.options) return true;
    for (int i = 0; i < request_.options->Count(); ++i) {
        const OptionRecord& record = RecordOf(*request_.options, i);
        if (record.Item(kRecordValue).empty()) {
            log_(ProblemLine(Cp932ToUtf8(record.Item(kRecordLabel)) + " が未入力"));
        } else if (!IsFileOption(record.Item(kRecordKey))) {
            std::optional<std::string> line = DescriptorLineOf(record);
            if (!line) {
                log_(StopLine("名前を変換できません(" + record.Item(kRecordValue) + ")"));
                return false;
            }
            lines.Add(*line);
        } else if (!PutFileIntoArchive(record)) {
            return false;
        }
    }
    return true;
}

// A file that cannot go in as the user chose it is theirs to fix; the build
// goes on without it. False when the build stopped.
bool Build::PutFileIntoArchive(const OptionRecord& record) {
    const std::string& value = record.Item(kRecordValue);
    const std::optional<std::string> entry = ArchiveEntryOf(record.Item(kRecordType));
    const bool usable = entry && IsUsableWorkName(*entry, names_.temporaryArchive);
    const Copy copy = usable ? CopyChosenFile(value, *entry) : Copy::Skipped;
    if (copy == Copy::Skipped) log_(ProblemLine("コピー失敗(" + ReadableText(value) + ")"));
    if (copy != Copy::Done) return copy != Copy::Stopped;
    return GoesOn(archive_->Store(*entry));
}

// The user's choice fails the copy when the file is not there or is no
// regular file, and the build goes on without it; any other failure is the
// system's, reading the chosen file or writing the work file.
Build::Copy Build::CopyChosenFile(const std::string& value, const std::string& entry) {
    const std::string source = FileOptionSource(request_.templateDirectory, value);
    const std::string readStop = "ファイル読み込み失敗(" + ReadableText(value) + ")";
    const Outcome<FileStatus> status = StatusOf(source);
    if (!status) {
        if (IsNotFound(status.Error())) return Copy::Skipped;
        Stop(status.Error(), readStop);
        return Copy::Stopped;
    }
    if (status->kind != FileKind::Regular) return Copy::Skipped;
    const Outcome<void> copied = PlaceWorkFile(source, work_->Path(), entry);
    if (copied) return Copy::Done;
    const bool reading = copied.Error().subject == source;
    if (reading && IsNotFound(copied.Error())) return Copy::Skipped;  // gone since it was looked at
    Stop(copied.Error(), reading ? readStop : WorkStop());
    return Copy::Stopped;
}

// The package is still written as composed; the log says what handsets will make of it.
void Build::LogProblems(const Problems& problems) const {
    for (const Problem& problem : problems) log_(LogLineOf(problem));
}

}  // namespace

bool MakePackage(const BuildRequest& request, const LogSink& log) {
    return Build(request, log).Run();
}

}  // namespace pelko
