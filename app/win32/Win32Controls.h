#pragma once
// The form's control interfaces over Win32 controls. Each adapter only
// passes calls on: the behaviour the handlers rely on lives in the form.
#include <windows.h>

#include <string>

#include "app/Controls.h"
#include "app/win32/Layout.h"

// Keeps the keyboard usable: a control that loses the focus by being hidden
// or disabled hands it to the next tab stop.
void HandOnFocus(HWND control);

template <typename Interface>
class Win32Control : public Interface {
public:
    Win32Control(HWND control, Layout& layout) : control_(control), layout_(layout) {}
    void SetVisible(bool visible) override {
        if (!visible) HandOnFocus(control_);
        ShowWindow(control_, visible ? SW_SHOWNA : SW_HIDE);
    }
    bool Visible() const override { return (GetWindowLongPtrW(control_, GWL_STYLE) & WS_VISIBLE) != 0; }
    void SetEnabled(bool enabled) override {
        if (!enabled) HandOnFocus(control_);
        EnableWindow(control_, enabled);
    }
    void SetTop(int top) override { layout_.SetTop(control_, top); }

protected:
    HWND Handle() const { return control_; }

private:
    HWND control_;
    Layout& layout_;
};

using Win32Button = Win32Control<Control>;

class Win32CheckBox : public Win32Control<CheckBox> {
public:
    using Win32Control::Win32Control;
    bool Checked() const override;
    void SetChecked(bool checked) override;
};

class Win32DropDown : public Win32Control<DropDown> {
public:
    using Win32Control::Win32Control;
    int Count() const override;
    void Add(const std::string& utf8) override;
    void Clear() override;
    int ItemIndex() const override;
    void SetItemIndex(int index) override;

    // Whether the notification, as the parent receives it, ends a choice of
    // the user's: another item than the form last knew of, picked from the
    // open list or selected with the keys while it is closed. Passing over
    // items in the open list chooses nothing, nor does closing it unpicked.
    bool Chosen(int notification);

private:
    int known_ = -1;  // the selection the form made or was told of
};

class Win32LogPane : public LogPane {
public:
    explicit Win32LogPane(HWND log);
    void Append(const std::string& utf8Line) override;
    void Clear() override;

private:
    HWND log_;
};
