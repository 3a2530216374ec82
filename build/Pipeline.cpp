#include "build/Pipeline.h"

#include <filesystem>
#include <optional>

#include "build/Archive.h"
#include "build/Container.h"
#include "build/Staging.h"
#include "text/Cp932.h"
#include "text/Files.h"
#include "text/Integer.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kManifestName = "META-INF\\MANIFEST.MF";

// The names a build derives from the template path, never from the output.
struct PackageNames {
    std::string templateArchive;  // host path of the template's ".jar"
    std::string temporaryArchive; // bare host name inside the work directory
    std::string containerName;    // CP932, stored in the header
    std::string descriptorName;   // CP932, stored in the header
    std::string archiveFileName;  // CP932, the "MIDlet-Jar-URL: " value
};

PackageNames HostNames(const std::string& templatePath) {
    PackageNames names;
    names.templateArchive = WithExtension(templatePath, ".jar");
    names.temporaryArchive = WithExtension(FileNameOf(templatePath), ".tmp");
    return names;
}

class Build {
public:
    Build(const BuildRequest& request, const LogSink& log) : request_(request), log_(log) {}
    bool Run();

private:
    bool NameThePackage();
    bool CopyTemplateArchive();
    void UpdateManifest(const StringList& lines);
    void ApplyOptions(StringList& lines);
    void PutFileIntoArchive(const OptionRecord& record);
    void WriteArchive();
    bool WritePackage(StringList& lines);
    int Archive(std::string_view switches, std::string_view name);
    std::string WorkPath(std::string_view name) const { return work_->Path() + std::string(name); }
    std::string SourcePathOf(const std::string& value) const;

    const BuildRequest& request_;
    const LogSink& log_;
    PackageNames names_;
    const WorkDirectory* work_ = nullptr;  // lives as long as Run()
    ArchiveSession* session_ = nullptr;    // lives as long as Run(), within work_
    char output_[kArchiveOutputSize] = {};
};

bool Build::Run() {
    names_ = HostNames(request_.templatePath);
    if (!NameThePackage()) return false;
    std::optional<WorkDirectory> work = WorkDirectory::Create(request_.workParent);
    if (!work) {
        log_("[X]一時ファイル作成失敗(" + names_.temporaryArchive + ")");
        return false;
    }
    work_ = &*work;
    if (!CopyTemplateArchive()) return false;
    // Every edit of the work archive goes through one session, written once.
    ArchiveSession session(work_->Path(), names_.temporaryArchive);
    session_ = &session;
    StringList templateLines;
    LoadLines(templateLines, request_.templatePath);
    StringList lines = ComposeManifestLines(templateLines, request_.settings);
    UpdateManifest(lines);
    ApplyOptions(lines);
    WriteArchive();
    if (!WritePackage(lines)) return false;
    log_("[O]作成完了(" + request_.outputPath + ")");
    return true;
}

// The names go into the package in CP932 and must fit its header.
bool Build::NameThePackage() {
    std::string templateFile = FileNameOf(request_.templatePath);
    std::optional<std::string> base = Utf8ToCp932(WithExtension(templateFile, ""));
    if (!base) {
        log_("[X]名前を変換できません(" + templateFile + ")");
        return false;
    }
    names_.containerName = *base + ".kjx";
    names_.descriptorName = *base + ".jad";
    names_.archiveFileName = *base + ".jar";
    if (!NamesFitHeader(names_.containerName.size(), names_.descriptorName.size())) {
        log_("[X]名前が長すぎます(" + Cp932ToUtf8(names_.containerName) + ")");
        return false;
    }
    return true;
}

bool Build::CopyTemplateArchive() {
    std::error_code error;
    fs::copy_file(names_.templateArchive, WorkPath(names_.temporaryArchive),
                  fs::copy_options::overwrite_existing, error);
    if (error) {
        log_("[X]一時ファイル作成失敗(" + names_.temporaryArchive + ")");
        return false;
    }
    return true;
}

int Build::Archive(std::string_view switches, std::string_view name) {
    // Each call gets a clean buffer, so a message never quotes an earlier call.
    output_[0] = '\0';
    return session_->Run(ArchiveCommandLine(switches, names_.temporaryArchive, name), output_, sizeof output_);
}

// The session's changes reach the work archive here, all at once. A failed
// write leaves the work archive unchanged, as it was before the session's
// changes; the build goes on with it, as it goes on after a failed command.
void Build::WriteArchive() {
    output_[0] = '\0';
    if (session_->Commit(output_, sizeof output_) != 0) {
        log_("[!]圧縮失敗(" + ReadableText(output_) + ")");
    }
}

void Build::UpdateManifest(const StringList& lines) {
    std::error_code ignored;  // a failure shows when the manifest is saved
    fs::create_directory(WorkPath("META-INF"), ignored);
    std::string manifestPath = WorkPath("META-INF/MANIFEST.MF");
    SaveLines(lines, manifestPath);
    if (Archive("-Xqu9", kManifestName) != 0) {
        log_("[!]Manifest追加失敗(" + ReadableText(output_) + ")");
    }
    DeleteFileAt(manifestPath);
}

void Build::ApplyOptions(StringList& lines) {
    if (!request_.options) return;
    for (int i = 0; i < request_.options->Count(); ++i) {
        const OptionRecord& record = RecordOf(*request_.options, i);
        if (record.Item(kRecordValue).empty()) {
            log_("[!]" + Cp932ToUtf8(record.Item(kRecordLabel)) + " が未入力");
        } else if (!TextEquals(record.Item(kRecordKey), "File")) {
            lines.Add(OptionLine(record));
        } else {
            PutFileIntoArchive(record);
        }
    }
}

std::string Build::SourcePathOf(const std::string& value) const {
    if (!value.empty() && value.front() == '/') return value;
    return request_.programDirectory + value;
}

void Build::PutFileIntoArchive(const OptionRecord& record) {
    const std::string& value = record.Item(kRecordValue);
    std::string workName = FileNameOf(record.Item(kRecordType), PathSyntax::Archive);
    // A work file may not take the place of the archive or the manifest's folder.
    bool usableName = !workName.empty() && !TextEquals(workName, names_.temporaryArchive) &&
                      !TextEquals(workName, "META-INF");
    std::error_code error;
    if (usableName) {
        fs::copy_file(SourcePathOf(value), WorkPath(workName), fs::copy_options::overwrite_existing, error);
    }
    if (!usableName || error) {
        log_("[!]コピー失敗(" + ReadableText(value) + ")");
        return;
    }
    Archive("-qd", workName);  // an entry that is not there is no problem
    if (Archive("-Xqju9", workName) != 0) {
        log_("[!]圧縮失敗(" + ReadableText(output_) + ")");
    }
    DeleteFileAt(WorkPath(workName));
}

bool Build::WritePackage(StringList& lines) {
    UniqueFile archive(OpenForReading(WorkPath(names_.temporaryArchive)));
    std::int64_t size = archive.IsOpen() ? SeekFile(archive.Get(), 0, 2) : -1;
    if (size < 0) {
        log_("[X]一時ファイルオープン失敗(" + names_.temporaryArchive + ")");
        return false;
    }
    PrependArchiveLines(lines, size, names_.archiveFileName);
    std::string descriptor = JoinLines(lines);
    if (descriptor.size() > kMaxDescriptorLength) {
        log_("[X]記述子が長すぎます(" + FormatInteger(static_cast<std::int64_t>(descriptor.size())) + ")");
        return false;
    }
    std::optional<AtomicOutput> output = AtomicOutput::Create(request_.outputPath);
    if (!output) {
        log_("[X]ファイル作成失敗(" + request_.outputPath + ")");
        return false;
    }
    bool written = WriteContainer(output->Handle(), names_.containerName, names_.descriptorName,
                                  descriptor, archive.Get());
    if (!written || !output->Commit()) {
        log_("[X]ファイル書き込み失敗(" + request_.outputPath + ")");
        return false;
    }
    return true;
}

}  // namespace

bool MakePackage(const BuildRequest& request, const LogSink& log) {
    return Build(request, log).Run();
}

std::string OutputPathFor(std::string_view chosen) {
    std::string path(chosen);
    if (!TextEquals(LowerText(ExtensionOf(path)), ".kjx")) path += ".kjx";
    return path;
}

}  // namespace pelko
