#pragma once
// The rules of the option editors that do not depend on any toolkit: which
// editor an option gets, how integer texts are kept canonical and the file
// filter.
#include <cstdint>
#include <string>
#include <string_view>

#include "templates/Descriptor.h"

namespace pelko {

enum class EditorKind { File, Color, Integer, YesNo, Text };

// First 4 bytes of the key are "File" (File2 too).
bool HasFileEditor(std::string_view key);
// Decided by the key first, then by the type; a record without a type raises
// ListIndexError(2).
EditorKind EditorFor(const OptionRecord& record);
// Types whose values are kept as canonical decimal integers.
bool IsIntegerType(std::string_view type);
// FormatInteger of ParseInteger, or the empty text when the text is no integer.
std::string CanonicalIntegerText(std::string_view text);

// The open dialog's filter for a file option, in UTF-8: "*" + ext + "ファイル"
// as the description and "*" + ext as the pattern, ext with its dot.
struct FileFilter {
    std::string description;
    std::string pattern;
};
FileFilter FileFilterFor(std::string_view typeField);

}  // namespace pelko
