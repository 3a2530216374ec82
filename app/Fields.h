#pragma once
// The behaviour the handlers rely on, on top of any view's controls: a text
// or check state set from code runs the control's handler at once, inside
// the caller, and only when what shows actually changes; the handler's error
// reaches the caller. An edit also keeps the bytes set from code, so bytes
// that have no Unicode form survive as long as the user leaves them alone.
#include <functional>
#include <string>
#include <string_view>

#include "app/Controls.h"

// The UTF-8 text that shows bytes of the encoding.
std::string ShownText(std::string_view bytes, TextEncoding encoding);
// Whether an edit that accepts the encoding may hold the UTF-8 text the user
// typed or pasted: never a CR, LF or NUL, which would end the descriptor line
// the text goes into; for CP932 only characters CP932 holds. U+FFFD passes:
// it stands for bytes set from code that did not decode, which the form keeps.
bool EditMayHold(std::string_view utf8, TextEncoding encoding);

class TextField {
public:
    explicit TextField(TextEdit& edit, std::function<void()> onChange = {});

    // Shows bytes; runs the change handler when the text shown changes.
    void SetBytes(std::string bytes, TextEncoding encoding);
    // The text as bytes of the encoding: the bytes set from code while the
    // text shown is theirs, else the text read back. A CP932 text that was
    // edited loses its U+FFFD stand-ins; pelko::Error if it still does not
    // convert.
    std::string Bytes(TextEncoding encoding) const;
    // As shown, UTF-8.
    std::string Text() const { return edit_.Text(); }
    TextEdit& Edit() const { return edit_; }

private:
    TextEdit& edit_;
    std::function<void()> onChange_;
    std::string bytes_;
    std::string shown_;
    bool remembered_ = false;
};

class CheckField {
public:
    explicit CheckField(CheckBox& box, std::function<void()> onClick = {});

    // Runs the click handler when the state changes.
    void SetChecked(bool checked);
    bool Checked() const { return box_.Checked(); }
    CheckBox& Box() const { return box_; }

private:
    CheckBox& box_;
    std::function<void()> onClick_;
};
