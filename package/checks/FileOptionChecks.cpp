#include "package/checks/FileOptionChecks.h"

#include <set>

#include "package/checks/Wording.h"
#include "package/kjx/FileOptions.h"
#include "system/FileStatus.h"

namespace pelko {
namespace {

class FileOptionCheck {
public:
    FileOptionCheck(const std::vector<std::string>* entryNames, const std::string& templateDirectory)
        : templateDirectory_(templateDirectory) {
        if (entryNames) entries_.emplace(entryNames->begin(), entryNames->end());
    }

    void Check(const FileOptionAt& option) {
        const std::string& written = option.record->Item(kRecordType);
        const std::optional<std::string> entry = ArchiveEntryOf(written);
        if (!entry) {
            Report(option.line, "Fileのエントリ名が使えない", written);
        } else {
            CheckEntry(option.line, *entry, written);
        }
        if (option.record->Count() > kRecordValue) CheckDefault(option.line, option.record->Item(kRecordValue));
    }

    Problems Result() { return std::move(problems_); }

private:
    // An entry that is not there adds a file that nothing in the application reads.
    void CheckEntry(int line, const std::string& entry, const std::string& written) {
        if (entries_ && entries_->count(entry) == 0) Report(line, "アーカイブにないエントリ", written);
        if (!replaced_.insert(entry).second) Report(line, "同じエントリを置き換える項目がある", written);
    }

    // A default that names no file makes every build that keeps it say
    // that it could not copy it. An empty one is reported by the build
    // as not filled in.
    void CheckDefault(int line, const std::string& value) {
        if (value.empty()) return;
        const Outcome<FileStatus> status = StatusOf(FileOptionSource(templateDirectory_, value));
        if (!status || status->kind != FileKind::Regular) Report(line, "Fileの既定値のファイルがない", value);
    }

    void Report(int line, std::string_view sentence, std::string_view cp932Subject) {
        problems_.push_back({ProblemRule::TemplateOption, ProblemPlace::Template, line, {},
                             ProblemMessage(sentence, ShownSubject(cp932Subject))});
    }

    const std::string& templateDirectory_;
    std::optional<std::set<std::string>> entries_;
    std::set<std::string> replaced_;
    Problems problems_;
};

}  // namespace

Problems CheckFileOptions(const std::vector<FileOptionAt>& options, const std::vector<std::string>* entryNames,
                          const std::string& templateDirectory) {
    FileOptionCheck check(entryNames, templateDirectory);
    for (const FileOptionAt& option : options) check.Check(option);
    return check.Result();
}

}  // namespace pelko
