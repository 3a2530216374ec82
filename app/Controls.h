#pragma once
// What the form asks of a window's controls, whatever toolkit draws them.
// Texts cross this interface as UTF-8, the way they show; the form converts
// them to and from CP932 or host-path bytes. A view reports the user's own
// actions to the form and never a change the form makes through these calls.
#include <string>

enum class TextEncoding { Cp932, HostPath };

class Control {
public:
    virtual ~Control() = default;
    virtual void SetVisible(bool visible) = 0;
    // The control's own state, whether or not its window shows.
    virtual bool Visible() const = 0;
    virtual void SetEnabled(bool enabled) = 0;
    // Client pixels at 96 pixels per inch.
    virtual void SetTop(int top) = 0;
};

// A single-line edit.
class TextEdit : public Control {
public:
    virtual std::string Text() const = 0;
    virtual void SetText(const std::string& utf8) = 0;
    // What the user may type or paste: never a line break; for CP932 texts
    // only characters CP932 holds, for host paths any other character.
    virtual void AcceptOnly(TextEncoding encoding) = 0;
};

class CheckBox : public Control {
public:
    virtual bool Checked() const = 0;
    virtual void SetChecked(bool checked) = 0;
};

// A drop-down list without free text. Adding and clearing items never
// changes which item is selected, except that clearing leaves none.
class DropDown : public Control {
public:
    virtual int Count() const = 0;
    virtual void Add(const std::string& utf8) = 0;
    virtual void Clear() = 0;
    // -1 when nothing is selected.
    virtual int ItemIndex() const = 0;
    virtual void SetItemIndex(int index) = 0;
};

// The read-only log pane, one line per entry.
class LogPane {
public:
    virtual ~LogPane() = default;
    virtual void Append(const std::string& utf8Line) = 0;
    virtual void Clear() = 0;
};

// The window as a target of files dropped anywhere on it.
class DropTarget {
public:
    virtual ~DropTarget() = default;
    virtual void AcceptDrops(bool accept) = 0;
};

// What assistive technology tells of the value editors, which have no
// caption of their own that says what they edit: the option chosen in
// ComboOptions does.
class EditorDescriptions {
public:
    virtual ~EditorDescriptions() = default;
    // label: the chosen option's label, UTF-8; empty when none is chosen.
    virtual void DescribeEditors(const std::string& label) = 0;
};

// The controls the handlers read and write, named as in the window; the
// view owns them and keeps them for the form's whole life.
struct FormControls {
    DropDown& ComboTemp;
    TextEdit& EditTitle;
    TextEdit& EditAuthor;
    CheckBox& CheckCopy;
    DropDown& ComboOptions;
    TextEdit& EditValue;
    Control& ButtonBrowse;
    LogPane& Log;
    CheckBox& CheckValue;
    DropDown& ComboValue;
    DropTarget& Form1;
    // Left out by a view that has no such descriptions to give.
    EditorDescriptions* Descriptions = nullptr;
};
