#include "package/build/Build.h"

#include <optional>
#include <utility>

#include "options/Editors.h"
#include "package/archive/Archive.h"
#include "package/archive/ArchiveContents.h"
#include "package/archive/ManifestNames.h"
#include "package/build/ArchiveVerification.h"
#include "package/build/BuildInputs.h"
#include "package/build/BuildLog.h"
#include "package/build/PackageWriter.h"
#include "package/checks/HandsetChecks.h"
#include "package/kjx/PackageNaming.h"
#include "system/Directories.h"
#include "system/FileStatus.h"
#include "system/Files.h"
#include "system/Staging.h"
#include "text/Cp932.h"
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

// A name is quoted in the archive command line without escapes, and the line
// ends at its first NUL: neither byte can be part of a name there.
bool FitsCommandLine(std::string_view name) {
    return name.find('"') == std::string_view::npos && name.find('\0') == std::string_view::npos;
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
    bool ArchiveIsSound(const std::vector<LogLine>& problems);
    void LogReason(const std::string& what, const std::string& subject, const SystemError& error);
    void UpdateManifest(const StringList& lines);
    bool ApplyOptions(StringList& lines);
    void PutFileIntoArchive(const OptionRecord& record);
    void WriteArchive();
    bool WritePackage(StringList& lines, const std::string& manifest);
    void LogProblems(const Problems& problems) const;
    int Archive(std::string_view switches, std::string_view name);
    std::string WorkPath(std::string_view name) const { return work_->Path() + std::string(name); }
    std::string SourcePathOf(const std::string& value) const;

    const BuildRequest& request_;
    const LogSink& log_;
    PackageNames names_;
    const WorkDirectory* work_ = nullptr;  // lives as long as Run()
    ArchiveSession* session_ = nullptr;    // lives as long as Run(), within work_
    bool manifestHeld_ = false;            // the session holds a new manifest
    bool entriesHeld_ = false;             // the session holds files to store
    std::vector<std::string> manifest_;    // as composed, for the descriptor's checks
    char output_[kArchiveOutputSize] = {};
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
    if (!ArchiveIsSound(TemplateArchiveProblems(names_.templateArchive, FileNameOf(names_.templateArchive)))) {
        return false;
    }
    // Every edit of the archive goes through one session, written once.
    ArchiveSession session(work_->Path(), names_.temporaryArchive, names_.templateArchive);
    session_ = &session;
    StringList templateLines;
    LoadLines(templateLines, request_.templatePath);
    StringList lines = ComposeManifestLines(templateLines, request_.settings);
    manifest_ = lines.Texts();
    LogProblems(CheckManifest(manifest_, ManifestLinesOf(names_.templateArchive)));
    UpdateManifest(lines);
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
    if (templateArchive &&
        !writer.WriteArchive(*session_, lines, static_cast<std::int64_t>(templateArchive->size))) {
        return false;
    }
    if (writer.ArchiveWritten()) {
        return ArchiveIsSound(WrittenArchiveProblems(writer.PackageFile(), writer.ArchiveStart(), writer.ArchiveSize(),
                                                     names_.temporaryArchive, manifest)) &&
               writer.Finish(lines);
    }
    WriteArchive();
    const std::string workArchive = WorkPath(names_.temporaryArchive);
    return ArchiveIsSound(WrittenArchiveProblems(workArchive, names_.temporaryArchive, manifest)) &&
           writer.WriteFromWorkArchive(lines, workArchive, names_.temporaryArchive);
}

// Refused before anything is written: a typed text that would add lines of
// its own to the descriptor, and an output that would overwrite the template.
bool Build::InputsAreSafe() {
    if (const std::optional<std::string> subject = TextWithLineEnd(request_)) {
        log_(StopLine("改行を含む値は使えません(" + *subject + ")"));
        return false;
    }
    if (OutputIsTemplateFile(request_.outputPath, request_.templatePath)) {
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

// A package is only made from an archive a handset can load; the problems
// come first, then the line that ends the build, and no output is touched.
bool Build::ArchiveIsSound(const std::vector<LogLine>& problems) {
    if (problems.empty()) return true;
    for (const LogLine& problem : problems) log_(problem);
    log_(StopLine("アーカイブが壊れています(" + names_.temporaryArchive + ")"));
    return false;
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

int Build::Archive(std::string_view switches, std::string_view name) {
    // Each call gets a clean buffer, so a message never quotes an earlier call.
    output_[0] = '\0';
    return session_->Run(ArchiveCommandLine(switches, names_.temporaryArchive, name), output_, sizeof output_);
}

// The session's changes reach the work archive here, all at once. A failed
// write leaves the work archive unchanged, as it was before the session's
// changes; the build goes on with it, as it goes on after a failed command,
// and says which changes were lost, in the words a failed command would use.
void Build::WriteArchive() {
    output_[0] = '\0';
    if (session_->Commit(output_, sizeof output_) == 0) return;
    const std::string message = ReadableText(output_);
    if (manifestHeld_) log_(ProblemLine("Manifest追加失敗(" + message + ")"));
    if (entriesHeld_ || !manifestHeld_) log_(ProblemLine("圧縮失敗(" + message + ")"));
}

void Build::UpdateManifest(const StringList& lines) {
    // A failure shows when the manifest is saved.
    static_cast<void>(MakeDirectory(WorkPath("META-INF")));
    std::string manifestPath = WorkPath(kManifestEntry);
    SaveLines(lines, manifestPath);
    if (Archive("-Xqu9", kManifestCommandName) != 0) {
        log_(ProblemLine("Manifest追加失敗(" + ReadableText(output_) + ")"));
    } else {
        manifestHeld_ = true;
    }
    DeleteFileAt(manifestPath);
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
        } else {
            PutFileIntoArchive(record);
        }
    }
    return true;
}

// A value the user chose is a host path; a default written in the
// descriptor is CP932 and names the same file in the host's UTF-8.
std::string Build::SourcePathOf(const std::string& value) const {
    std::string path = ReadableText(value);
    if (IsAbsolutePath(path)) return path;
    return request_.templateDirectory + path;
}

void Build::PutFileIntoArchive(const OptionRecord& record) {
    const std::string& value = record.Item(kRecordValue);
    std::string workName = FileNameOf(record.Item(kRecordType), PathSyntax::Archive);
    // A work file may not take the place of the archive or the manifest's
    // folder, and its name must travel inside the command line's quotes.
    bool usableName = !workName.empty() && !TextEquals(workName, names_.temporaryArchive) &&
                      !TextEquals(workName, "META-INF") && FitsCommandLine(workName);
    if (!usableName || !CopyRegularFile(SourcePathOf(value), WorkPath(workName))) {
        log_(ProblemLine("コピー失敗(" + ReadableText(value) + ")"));
        return;
    }
    Archive("-qd", workName);  // an entry that is not there is no problem
    if (Archive("-Xqju9", workName) != 0) {
        log_(ProblemLine("圧縮失敗(" + ReadableText(output_) + ")"));
    } else {
        entriesHeld_ = true;
    }
    DeleteFileAt(WorkPath(workName));
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
