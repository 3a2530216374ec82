#include "package/kjx/PackageNaming.h"

#include "package/kjx/KjxFormat.h"
#include "text/Cp932.h"
#include "text/Paths.h"

namespace pelko {

NamedPackage NamePackage(std::string_view templatePath) {
    NamedPackage named;
    const std::string templateFile = FileNameOf(templatePath);
    const std::optional<std::string> base = Utf8ToCp932(WithExtension(templateFile, ""));
    if (!base) {
        named.refusal = StopLine("名前を変換できません(" + templateFile + ")");
        return named;
    }
    named.naming = {*base + ".kjx", *base + ".jad", *base + ".jar"};
    if (!NamesFitHeader(named.naming.containerName.size(), named.naming.descriptorName.size())) {
        named.refusal = StopLine("名前が長すぎます(" + Cp932ToUtf8(named.naming.containerName) + ")");
    }
    return named;
}

std::string TemplateArchivePath(std::string_view templatePath) { return WithExtension(templatePath, ".jar"); }

}  // namespace pelko
