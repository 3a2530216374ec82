#include "package/checks/TemplateCheck.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <set>

#include "package/archive/ArchiveContents.h"
#include "package/checks/DescriptorEncoding.h"
#include "package/checks/FileOptionChecks.h"
#include "package/checks/HandsetChecks.h"
#include "package/checks/Wording.h"
#include "package/kjx/Compose.h"
#include "package/kjx/PackageNaming.h"
#include "system/FileStatus.h"
#include "templates/Descriptor.h"
#include "text/CommaList.h"
#include "text/Cp932.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

// The fate of one template line when the window reads it on its own.
struct OptionLineFate {
    int line = 0;
    std::string text;
    std::string key;
    std::optional<std::string> error;  // the load stops here
    bool makesOption = false;
};

std::vector<OptionLineFate> OptionLines(const StringList& lines) {
    std::vector<OptionLineFate> fates;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines.Item(i);
        std::optional<std::string> key = TemplateLineKey(line);
        if (!key) continue;
        // The same reading as the window's, one line at a time, so that
        // every faulty line is found and not only the first.
        const LoadedTemplate alone = ParseTemplate(StringList{line});
        fates.push_back({i + 1, line, std::move(*key), alone.error, alone.options.Count() == 1});
    }
    return fates;
}

int FieldCount(const std::string& line) {
    StringList fields;
    SplitCommaList(fields, SubText(line, PositionOf(line, ":") + 2, static_cast<long>(line.size())));
    return fields.Count();
}


int OriginOf(int line, const std::vector<int>& origins) {
    if (line < 1 || line > static_cast<int>(origins.size())) return 0;
    return origins[static_cast<std::size_t>(line - 1)];
}

class Check {
public:
    Check(const std::string& path, const StringList& lines)
        : path_(path), lines_(lines), fates_(OptionLines(lines)), loaded_(ParseTemplate(WithoutFaultyLines())) {}

    Problems Run() {
        CheckOptionLines();
        Take(CheckDescriptorEncoding(lines_));
        const bool usableArchive = ReadArchive();
        CheckNames();
        CheckComposedTexts();
        Take(CheckFileOptions(FileOptions(), usableArchive ? &archive_.entryNames : nullptr, DirectoryOf(path_)));
        CheckSharedKeys();
        std::stable_sort(problems_.begin(), problems_.end(), [](const Problem& a, const Problem& b) {
            // Problems of no line (a missing attribute, say) come last.
            const int left = a.line == 0 ? std::numeric_limits<int>::max() : a.line;
            const int right = b.line == 0 ? std::numeric_limits<int>::max() : b.line;
            return left < right;
        });
        return std::move(problems_);
    }

private:
    void Report(ProblemRule rule, int line, std::string message, Severity severity = Severity::Problem) {
        problems_.push_back({rule, ProblemPlace::Template, line, {}, std::move(message), severity});
    }
    void Take(Problems problems) {
        for (Problem& problem : problems) problems_.push_back(std::move(problem));
    }
    void ReportOption(int line, std::string_view sentence, std::string_view cp932Subject) {
        Report(ProblemRule::TemplateOption, line, ProblemMessage(sentence, ShownSubject(cp932Subject)));
    }

    // Lines the window cannot read stop its load; lines it reads into short
    // records fail later, when the option is shown or built.
    void CheckOptionLines() {
        for (const OptionLineFate& fate : fates_) {
            if (fate.error) {
                // The window fails on the label (index 1), or for a file
                // option on the entry name it copies as the value (index 2).
                const bool noEntry = IsFileOption(fate.key) && FieldCount(fate.text) == 1;
                const char* sentence = noEntry ? "Fileの項目にエントリ名がない" : "項目のラベルがない";
                ReportOption(fate.line, sentence, fate.text);
                continue;
            }
            if (!fate.makesOption) continue;
            optionLines_.push_back(fate.line);
            const LoadedTemplate alone = ParseTemplate(StringList{fate.text});
            if (RecordOf(alone.options, 0).Count() < 4) {
                ReportOption(fate.line, "項目の型か既定値がない", fate.text);
            }
        }
    }

    // The window stops at the first line it cannot read; the lines after it
    // are checked as they will be once that line is put right.
    StringList WithoutFaultyLines() const {
        StringList kept;
        std::size_t fate = 0;
        for (int i = 0; i < lines_.Count(); ++i) {
            while (fate < fates_.size() && fates_[fate].line < i + 1) ++fate;
            const bool faulty = fate < fates_.size() && fates_[fate].line == i + 1 && fates_[fate].error;
            if (!faulty) kept.Add(lines_.Item(i));
        }
        return kept;
    }

    // A system error is told in the words the build would use for it.
    bool ReadArchive() {
        archivePath_ = TemplateArchivePath(path_);
        archive_ = ReadArchiveContents(archivePath_);
        if (!archive_.error) return true;
        const std::string name = ReadableText(FileNameOf(archivePath_));
        if (archive_.systemError) {
            ReportUnreadable(archive_.systemError->reason);
        } else {
            Report(ProblemRule::TemplateFiles, 0, "アーカイブがZIPとして読めない(" + name + ": " + *archive_.error + ")");
        }
        return false;
    }

    void ReportUnreadable(const std::string& reason) {
        Report(ProblemRule::TemplateFiles, 0,
               "テンプレートのアーカイブを読めません(" + ReadableText(FileNameOf(archivePath_)) + ": " + reason + ")");
    }

    // The names the build would give the package, with its own words when
    // it would stop for them.
    void CheckNames() {
        NamedPackage named = NamePackage(path_);
        archiveName_ = std::move(named.naming.archiveFileName);
        if (named.refusal) Report(ProblemRule::TemplateFiles, 0, named.refusal->text, named.refusal->severity);
    }

    // Composes both texts as a build right after loading the template would,
    // and reports each problem at the template line it comes from.
    void CheckComposedTexts() {
        AppSettings settings;
        settings.title = loaded_.title;
        settings.copyright = loaded_.copyright;
        const StringList manifest = ComposeManifestLines(lines_, settings);
        const std::vector<int> manifestOrigins = ManifestOrigins(manifest.Count());
        const std::vector<std::string> manifestTexts = manifest.Texts();
        for (const Problem& problem :
             CheckManifest(manifestTexts, archive_.manifest.value_or(std::vector<std::string>{}))) {
            Carry(problem, OriginOf(problem.line, manifestOrigins));
        }

        StringList descriptor = manifest;
        std::vector<int> origins = manifestOrigins;
        origins.insert(origins.begin(), {0, 0});
        for (int i = 0; i < loaded_.options.Count(); ++i) {
            const OptionRecord& record = RecordOf(loaded_.options, i);
            if (record.Count() < 4 || record.Item(kRecordValue).empty() || IsFileOption(record.Item(kRecordKey))) {
                continue;
            }
            descriptor.Add(OptionLine(record));
            origins.push_back(LineOfOption(i));
        }
        PrependArchiveLines(descriptor, ArchiveSize(), archiveName_);
        for (const Problem& problem : CheckDescriptor(descriptor.Texts(), manifestTexts)) {
            Carry(problem, OriginOf(problem.line, origins));
        }
        for (const Problem& problem : CheckForAuthors(descriptor.Texts(), manifestTexts)) {
            Carry(problem, OriginOf(problem.line, origins));
        }
    }

    // The size the archive lines of the descriptor would give; 0 when the
    // archive is no file that can be measured, which its own problem
    // already reports, or when the system will not say.
    std::int64_t ArchiveSize() {
        const Outcome<FileStatus> status = StatusOf(archivePath_);
        if (!status && !IsNotFound(status.Error())) ReportUnreadable(status.Error().reason);
        const bool sized = status && status->kind == FileKind::Regular;
        return sized ? static_cast<std::int64_t>(status->size) : 0;
    }

    // A problem of a composed text, moved to the template line it comes from.
    void Carry(Problem problem, int templateLine) {
        problem.place = ProblemPlace::Template;
        problem.line = templateLine;
        problems_.push_back(std::move(problem));
    }

    // The template line of each manifest line: the carried lines keep their
    // order, the lines the build adds after them come from no line.
    std::vector<int> ManifestOrigins(int manifestLines) const {
        std::vector<int> origins;
        for (int i = 0; i < lines_.Count(); ++i) {
            if (IsCarriedTemplateLine(lines_.Item(i))) origins.push_back(i + 1);
        }
        origins.resize(static_cast<std::size_t>(manifestLines), 0);
        return origins;
    }

    std::vector<FileOptionAt> FileOptions() const {
        std::vector<FileOptionAt> options;
        for (int i = 0; i < loaded_.options.Count(); ++i) {
            const OptionRecord& record = RecordOf(loaded_.options, i);
            if (IsFileOption(record.Item(kRecordKey)) && record.Count() > kRecordType) {
                options.push_back({LineOfOption(i), &record});
            }
        }
        return options;
    }

    // Two options of one key write two lines of one attribute.
    void CheckSharedKeys() {
        std::set<std::string> keys;
        for (int i = 0; i < loaded_.options.Count(); ++i) {
            const std::string& key = RecordOf(loaded_.options, i).Item(kRecordKey);
            if (IsFileOption(key)) continue;
            if (!keys.insert(key).second) ReportOption(LineOfOption(i), "同じキーの項目がある", key);
        }
    }

    int LineOfOption(int index) const {
        return index < static_cast<int>(optionLines_.size()) ? optionLines_[static_cast<std::size_t>(index)] : 0;
    }

    const std::string& path_;
    const StringList& lines_;
    const std::vector<OptionLineFate> fates_;
    LoadedTemplate loaded_;
    std::vector<int> optionLines_;  // the template line of each option of loaded_
    std::string archivePath_;
    std::string archiveName_;
    ArchiveContents archive_;
    Problems problems_;
};

}  // namespace

Problems CheckTemplate(const std::string& templatePath, const StringList& lines) {
    return Check(templatePath, lines).Run();
}

Problems CheckTemplateFile(const std::string& templatePath) {
    StringList lines;
    LoadLines(lines, templatePath);
    return CheckTemplate(templatePath, lines);
}

}  // namespace pelko
