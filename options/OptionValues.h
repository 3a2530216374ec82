#pragma once
// How option values are written into their records, the same for the window
// and the command line: the yes/no texts, the words a user may type for them,
// and colours between 0xRRGGBB and the colour dialogs' 0x00BBGGRR order.
#include <cstdint>
#include <optional>
#include <string_view>

#include "options/Editors.h"
#include "templates/Descriptor.h"

namespace pelko {

// What a yes/no option's record holds.
inline constexpr std::string_view kYesText = "1";
inline constexpr std::string_view kNoText = "0";

std::string_view YesNoText(bool yes);
// Only kYesText is yes; any other value, empty included, is no.
bool IsYesText(std::string_view value);
// The words a user may type: 1/0, yes/no, true/false, on/off, in any letter
// case of ASCII; nullopt for any other word.
std::optional<bool> YesNoWord(std::string_view word);

// The editor of a record that may stop before its type: the key still picks
// the file editor, and without a type the option is plain text.
EditorKind EditorForShortRecord(const OptionRecord& record);

struct ColorChannels {
    int red = 0;
    int green = 0;
    int blue = 0;
};
// The dialogs' order keeps red in the lowest byte (0x00BBGGRR); a colour
// option's value keeps it in the third (0xRRGGBB). The top byte is no channel.
ColorChannels ChannelsOfDialogOrder(std::uint32_t dialogOrder);
std::uint32_t DialogOrderOf(ColorChannels channels);
// 0xRRGGBB <-> 0x00BBGGRR; the same swap serves both ways.
std::uint32_t SwapColorOrder(std::uint32_t value);

}  // namespace pelko
