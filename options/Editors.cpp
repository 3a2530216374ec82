#include "options/Editors.h"

#include "text/Cp932.h"
#include "text/Integer.h"
#include "text/Paths.h"
#include "text/Text.h"

namespace pelko {

bool HasFileEditor(std::string_view key) { return StartsWith(key, "File"); }

bool IsIntegerType(std::string_view type) {
    return TextEquals(type, "INT") || TextEquals(type, "COLOR");
}

EditorKind EditorFor(const OptionRecord& record) {
    if (HasFileEditor(record.Item(kRecordKey))) return EditorKind::File;
    const std::string& type = record.Item(kRecordType);
    if (TextEquals(type, "COLOR")) return EditorKind::Color;
    if (TextEquals(type, "INT")) return EditorKind::Integer;
    if (TextEquals(type, "BOOL")) return EditorKind::YesNo;
    return EditorKind::Text;
}

std::string CanonicalIntegerText(std::string_view text) {
    auto value = TryParseInteger(text);
    return value ? FormatInteger(*value) : std::string();
}

FileFilter FileFilterFor(std::string_view typeField) {
    // The type field is an entry name written by the template's author; its
    // extension (dot included) picks the files the open dialog offers.
    std::string extension = Cp932ToUtf8(ExtensionOf(typeField, PathSyntax::Archive));
    return FileFilter{"*" + extension + "ファイル", "*" + extension};
}

}  // namespace pelko
