#include "package/build/BuildInputs.h"

#include "package/kjx/PackageNaming.h"
#include "system/FileStatus.h"
#include "templates/Descriptor.h"
#include "text/Cp932.h"
#include "text/Lines.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {
namespace {

std::string OptionName(const OptionRecord& record) {
    if (record.Count() > kRecordLabel && !record.Item(kRecordLabel).empty()) {
        return Cp932ToUtf8(record.Item(kRecordLabel));
    }
    return Cp932ToUtf8(record.Item(kRecordKey));
}

}  // namespace

std::optional<std::string> TextWithLineEnd(const BuildRequest& request) {
    if (HasLineEnd(request.settings.title)) return std::string("AppName");
    if (HasLineEnd(request.settings.author)) return std::string("Author");
    if (!request.options) return std::nullopt;
    for (int i = 0; i < request.options->Count(); ++i) {
        const OptionRecord& record = RecordOf(*request.options, i);
        // A short record is left to the build, which reports it as it always has.
        if (record.Count() <= kRecordValue || IsFileOption(record.Item(kRecordKey))) continue;
        if (HasLineEnd(record.Item(kRecordValue))) return OptionName(record);
    }
    return std::nullopt;
}

// Links are followed, so a link to the template counts as the template.
Outcome<bool> OutputIsTemplate(const std::string& outputPath, const std::string& templatePath) {
    std::optional<FileIdentity> identities[3];
    const std::string paths[3] = {outputPath, templatePath, TemplateArchivePath(templatePath)};
    for (int i = 0; i < 3; ++i) {
        const Outcome<FileStatus> status = StatusOf(paths[i]);
        if (status) {
            identities[i] = status->identity;
        } else if (!IsNotFound(status.Error())) {
            return status.Error();
        }
    }
    return identities[0] && (identities[0] == identities[1] || identities[0] == identities[2]);
}

}  // namespace pelko
