#include "options/OptionValues.h"

#include <string>

#include "text/Text.h"

namespace pelko {

std::string_view YesNoText(bool yes) { return yes ? kYesText : kNoText; }

bool IsYesText(std::string_view value) { return value == kYesText; }

std::optional<bool> YesNoWord(std::string_view word) {
    // Only ASCII letters are lowered: the words are English, and a typed
    // argument is UTF-8, which the CP932 lowering must not be given.
    const std::string lowered = AsciiLower(word);
    for (const std::string_view yes : {kYesText, std::string_view("yes"), std::string_view("true"),
                                       std::string_view("on")}) {
        if (lowered == yes) return true;
    }
    for (const std::string_view no : {kNoText, std::string_view("no"), std::string_view("false"),
                                      std::string_view("off")}) {
        if (lowered == no) return false;
    }
    return std::nullopt;
}

EditorKind EditorForShortRecord(const OptionRecord& record) {
    if (HasFileEditor(record.Item(kRecordKey))) return EditorKind::File;
    return record.Count() > kRecordType ? EditorFor(record) : EditorKind::Text;
}

ColorChannels ChannelsOfDialogOrder(std::uint32_t dialogOrder) {
    return ColorChannels{static_cast<int>(dialogOrder & 0xFFu), static_cast<int>((dialogOrder >> 8) & 0xFFu),
                         static_cast<int>((dialogOrder >> 16) & 0xFFu)};
}

std::uint32_t DialogOrderOf(ColorChannels channels) {
    const auto channel = [](int value) { return static_cast<std::uint32_t>(value) & 0xFFu; };
    return channel(channels.red) | channel(channels.green) << 8 | channel(channels.blue) << 16;
}

std::uint32_t SwapColorOrder(std::uint32_t value) {
    // Read as the dialogs' order, the value's lowest byte is red: written
    // back with red highest, it is the other order.
    const ColorChannels channels = ChannelsOfDialogOrder(value);
    return DialogOrderOf({channels.blue, channels.green, channels.red});
}

}  // namespace pelko
