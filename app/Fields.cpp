#include "app/Fields.h"

#include <utility>

#include "text/Cp932.h"
#include "text/Errors.h"
#include "text/Lines.h"

namespace {

// U+FFFD in UTF-8: what the view shows for bytes that did not decode.
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";

std::string WithoutReplacements(std::string text) {
    for (auto at = text.find(kReplacement); at != std::string::npos; at = text.find(kReplacement, at)) {
        text.erase(at, kReplacement.size());
    }
    return text;
}

}  // namespace

std::string ShownText(std::string_view bytes, TextEncoding encoding) {
    // A path the user chose is the file system's UTF-8; a default written in
    // a descriptor is CP932.
    if (encoding == TextEncoding::HostPath) return pelko::ReadableText(bytes);
    return pelko::Cp932ToUtf8(bytes);
}

bool EditMayHold(std::string_view utf8, TextEncoding encoding) {
    if (pelko::HasLineEnd(utf8)) return false;
    return encoding == TextEncoding::HostPath || pelko::FitsCp932(WithoutReplacements(std::string(utf8)));
}

TextField::TextField(TextEdit& edit, std::function<void()> onChange)
    : edit_(edit), onChange_(std::move(onChange)) {}

void TextField::SetBytes(std::string bytes, TextEncoding encoding) {
    std::string shown = ShownText(bytes, encoding);
    // Remember first: the change handler reads Bytes().
    bytes_ = std::move(bytes);
    remembered_ = true;
    // The same text again changes nothing on screen: the caret, the selection
    // and the undo steps stay where the user left them.
    if (edit_.Text() == shown) {
        shown_ = std::move(shown);
        return;
    }
    edit_.SetText(shown);
    shown_ = edit_.Text();  // as the control holds it
    if (onChange_) onChange_();
}

std::string TextField::Bytes(TextEncoding encoding) const {
    std::string text = edit_.Text();
    if (remembered_ && text == shown_) return bytes_;
    if (encoding == TextEncoding::HostPath) return text;
    text = WithoutReplacements(std::move(text));
    if (auto cp932 = pelko::Utf8ToCp932(text)) return *std::move(cp932);
    throw pelko::Error("'" + text + "' はCP932で表せません");
}

CheckField::CheckField(CheckBox& box, std::function<void()> onClick)
    : box_(box), onClick_(std::move(onClick)) {}

void CheckField::SetChecked(bool checked) {
    if (box_.Checked() == checked) return;
    box_.SetChecked(checked);
    if (onClick_) onClick_();
}
