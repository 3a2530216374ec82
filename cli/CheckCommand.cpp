#include "cli/CheckCommand.h"

#include <algorithm>
#include <limits>
#include <optional>
#include <ostream>
#include <set>

#include "cli/Texts.h"
#include "package/kjx/Compose.h"
#include "package/kjx/Container.h"
#include "package/checks/HandsetChecks.h"
#include "system/FileStatus.h"
#include "templates/Descriptor.h"
#include "text/CommaList.h"
#include "text/Cp932.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko::cli {
namespace {

struct Finding {
    int line = 0;  // of the template's descriptor; 0 when no line holds the problem
    std::string text;
};

std::string Parenthesised(std::string_view sentence, std::string_view cp932Subject) {
    return std::string(sentence) + "(" + ShownSubject(cp932Subject) + ")";
}

// The fate of one "Pelko-" line when the window reads it on its own.
struct OptionLineFate {
    int line = 0;
    std::string text;
    std::optional<std::string> error;  // the load stops here
    bool makesOption = false;
};

std::vector<OptionLineFate> OptionLines(const StringList& lines) {
    std::vector<OptionLineFate> fates;
    for (int i = 0; i < lines.Count(); ++i) {
        const std::string& line = lines.Item(i);
        if (!StartsWith(line, "Pelko-") || PositionOf(line, ":") == 0) continue;
        // The same reading as the window's, one line at a time, so that
        // every faulty line is found and not only the first.
        const LoadedTemplate alone = ParseTemplate(StringList{line});
        fates.push_back({i + 1, line, alone.error, alone.options.Count() == 1});
    }
    return fates;
}

class TemplateCheck {
public:
    TemplateCheck(const std::string& path, const StringList& lines)
        : path_(path),
          lines_(lines),
          fates_(OptionLines(lines)),
          loaded_(ParseTemplate(WithoutFaultyLines())) {}

    std::vector<Finding> Run() {
        CheckOptionLines();
        const bool usableArchive = ReadArchive();
        CheckNames();
        CheckComposedTexts();
        if (usableArchive) CheckFileEntries();
        CheckSharedKeys();
        std::stable_sort(findings_.begin(), findings_.end(), [](const Finding& a, const Finding& b) {
            // Problems of no line (a missing attribute, say) come last.
            const int left = a.line == 0 ? std::numeric_limits<int>::max() : a.line;
            const int right = b.line == 0 ? std::numeric_limits<int>::max() : b.line;
            return left < right;
        });
        return findings_;
    }

private:
    void Report(int line, std::string text) { findings_.push_back({line, std::move(text)}); }

    // Lines the window cannot read stop its load; lines it reads into short
    // records fail later, when the option is shown or built.
    void CheckOptionLines() {
        for (const OptionLineFate& fate : fates_) {
            const std::string key = SubText(fate.text, 7, PositionOf(fate.text, ":") - 7);
            if (fate.error) {
                // The window fails on the label (index 1), or for "File" on
                // the entry name it copies as the value (index 2).
                const bool noEntry = TextEquals(key, "File") && FieldCount(fate.text) == 1;
                Report(fate.line,
                       Parenthesised(noEntry ? "[!]Fileの項目にエントリ名がない" : "[!]項目のラベルがない",
                                     fate.text));
                continue;
            }
            if (!fate.makesOption) continue;
            optionLines_.push_back(fate.line);
            const LoadedTemplate alone = ParseTemplate(StringList{fate.text});
            if (RecordOf(alone.options, 0).Count() < 4) {
                Report(fate.line, Parenthesised("[!]項目の型か既定値がない", fate.text));
            }
        }
    }

    static int FieldCount(const std::string& line) {
        StringList fields;
        SplitCommaList(fields, SubText(line, PositionOf(line, ":") + 2, static_cast<long>(line.size())));
        return fields.Count();
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

    bool ReadArchive() {
        archivePath_ = WithExtension(path_, ".jar");
        archive_ = ReadArchiveContents(archivePath_);
        if (archive_.error) {
            Report(0, "[!]アーカイブがZIPとして読めない(" + ReadableText(FileNameOf(archivePath_)) + ": " +
                          *archive_.error + ")");
            return false;
        }
        return true;
    }

    // The names the build gives the package, from the template's file name.
    void CheckNames() {
        const std::string file = FileNameOf(path_);
        std::optional<std::string> base = Utf8ToCp932(WithExtension(file, ""));
        if (!base) {
            Report(0, "[X]名前を変換できません(" + file + ")");
            return;
        }
        archiveName_ = *base + ".jar";
        if (!NamesFitHeader(base->size() + 4, base->size() + 4)) {
            Report(0, "[X]名前が長すぎます(" + Cp932ToUtf8(*base) + ".kjx)");
        }
    }

    // Composes both texts as a build right after loading the template would,
    // and reports each problem at the template line it comes from.
    void CheckComposedTexts() {
        AppSettings settings;
        settings.title = loaded_.title;
        settings.copyright = loaded_.copyright;
        const StringList manifest = ComposeManifestLines(lines_, settings);
        const std::vector<int> manifestOrigins = CarriedOrigins(manifest, settings.copyright ? 4 : 3);
        const std::vector<std::string> manifestTexts = manifest.Texts();
        for (const HandsetProblem& problem :
             CheckManifest(manifestTexts, archive_.manifest.value_or(std::vector<std::string>{}))) {
            Report(OriginOf(problem.line, manifestOrigins), LogLine(problem));
        }

        StringList descriptor = manifest;
        std::vector<int> origins = manifestOrigins;
        origins.insert(origins.begin(), {0, 0});
        for (int i = 0; i < loaded_.options.Count(); ++i) {
            const OptionRecord& record = RecordOf(loaded_.options, i);
            if (record.Count() < 4 || record.Item(kRecordValue).empty() ||
                TextEquals(record.Item(kRecordKey), "File")) {
                continue;
            }
            descriptor.Add(OptionLine(record));
            origins.push_back(
                i < static_cast<int>(optionLines_.size()) ? optionLines_[static_cast<std::size_t>(i)] : 0);
        }
        const Outcome<FileStatus> archive = StatusOf(archivePath_);
        const bool sized = archive && archive->kind == FileKind::Regular;
        PrependArchiveLines(descriptor, sized ? static_cast<std::int64_t>(archive->size) : 0, archiveName_);
        for (const HandsetProblem& problem : CheckDescriptor(descriptor.Texts(), manifestTexts)) {
            Report(OriginOf(problem.line, origins), LogLine(problem));
        }
    }

    // The template line of each manifest line: the carried lines keep their
    // order, the fixed lines at the end come from no line.
    std::vector<int> CarriedOrigins(const StringList& manifest, int fixedLines) const {
        std::vector<int> origins;
        const int carried = manifest.Count() - fixedLines;
        int next = 0;
        for (int i = 0; i < manifest.Count(); ++i) {
            int origin = 0;
            if (i < carried) {
                while (next < lines_.Count() && lines_.Item(next) != manifest.Item(i)) ++next;
                origin = next < lines_.Count() ? ++next : 0;
            }
            origins.push_back(origin);
        }
        return origins;
    }

    static int OriginOf(int line, const std::vector<int>& origins) {
        if (line < 1 || line > static_cast<int>(origins.size())) return 0;
        return origins[static_cast<std::size_t>(line - 1)];
    }

    // A file option replaces an entry at the archive's root; one that is not
    // there adds a file that nothing in the application reads.
    void CheckFileEntries() {
        const std::set<std::string> entries(archive_.entryNames.begin(), archive_.entryNames.end());
        std::set<std::string> replaced;
        for (int i = 0; i < loaded_.options.Count(); ++i) {
            const OptionRecord& record = RecordOf(loaded_.options, i);
            if (!TextEquals(record.Item(kRecordKey), "File") || record.Count() < 3) continue;
            const std::string entry = FileNameOf(record.Item(kRecordType), PathSyntax::Archive);
            const int line = LineOfOption(i);
            if (entries.count(entry) == 0) Report(line, Parenthesised("[!]アーカイブにないエントリ", entry));
            if (!replaced.insert(entry).second)
                Report(line, Parenthesised("[!]同じエントリを置き換える項目がある", entry));
        }
    }

    // Two options of one key write two lines of one attribute.
    void CheckSharedKeys() {
        std::set<std::string> keys;
        for (int i = 0; i < loaded_.options.Count(); ++i) {
            const std::string& key = RecordOf(loaded_.options, i).Item(kRecordKey);
            if (TextEquals(key, "File")) continue;
            if (!keys.insert(key).second)
                Report(LineOfOption(i), Parenthesised("[!]同じキーの項目がある", key));
        }
    }

    int LineOfOption(int index) const {
        return index < static_cast<int>(optionLines_.size()) ? optionLines_[static_cast<std::size_t>(index)]
                                                             : 0;
    }

    const std::string& path_;
    const StringList& lines_;
    const std::vector<OptionLineFate> fates_;
    LoadedTemplate loaded_;
    std::vector<int> optionLines_;  // the template line of each option of loaded_
    std::string archivePath_;
    std::string archiveName_;
    ArchiveContents archive_;
    std::vector<Finding> findings_;
};

std::string WhereInPackage(const HandsetProblem& problem) {
    const std::string text = problem.text == CheckedText::Manifest ? "manifest" : "descriptor";
    if (problem.line == 0) return text + ": ";
    return text + " line " + std::to_string(problem.line) + ": ";
}

}  // namespace

int CheckTemplate(const std::string& templatePath, std::ostream& out) {
    StringList lines;
    LoadLines(lines, templatePath);
    const std::vector<Finding> findings = TemplateCheck(templatePath, lines).Run();
    const std::string name = ReadableText(FileNameOf(templatePath));
    for (const Finding& finding : findings) {
        out << ShownName(name) << ':';
        if (finding.line > 0) out << finding.line << ':';
        out << ' ' << ShownName(finding.text) << '\n';
    }
    if (findings.empty()) out << "ok\n";
    return findings.empty() ? 0 : 1;
}

void AddHandsetProblems(const std::string& packagePath, InspectReport& report) {
    if (!report.descriptor || !report.archiveOffset || !report.archiveIsZip) return;
    const ArchiveContents archive =
        ReadArchiveContents(packagePath, *report.archiveOffset, report.archiveSize);
    StringList descriptor;
    SplitLines(descriptor, *report.descriptor);
    HandsetProblems problems;
    std::vector<std::string> manifest;
    if (archive.manifest) {
        manifest = *archive.manifest;
        problems = CheckManifest(manifest);
    }
    for (HandsetProblem& problem : CheckDescriptor(descriptor.Texts(), manifest)) {
        const bool alreadyRequired =
            problem.rule == HandsetRule::RequiredAttribute && problem.line == 0 &&
            std::find(std::begin(kRequiredDescriptorKeys), std::end(kRequiredDescriptorKeys), problem.key) !=
                std::end(kRequiredDescriptorKeys);
        if (!alreadyRequired) problems.push_back(std::move(problem));
    }
    for (const HandsetProblem& problem : problems) {
        report.problems.push_back(WhereInPackage(problem) + problem.message);
    }
}

}  // namespace pelko::cli
