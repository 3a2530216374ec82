#pragma once
// A single-line edit as the form's TextEdit. It refuses what the form's rule
// (EditMayHold) says its text may not hold, however it comes: typed, pasted,
// composed by an input method, brought back by undo. A refused change is
// taken back whole, with the caret and selection the user had, and the user
// hears the system's beep. Changes the form makes are never reported back to
// it; the user's own are, once the edit has kept them.
#include <windows.h>

#include <functional>
#include <string>

#include "app/Controls.h"
#include "app/win32/Win32Controls.h"

class Win32TextEdit : public Win32Control<TextEdit> {
public:
    // onUserEdit: runs after each change of the user's that the edit keeps.
    Win32TextEdit(HWND edit, Layout& layout, std::function<void()> onUserEdit = {});
    ~Win32TextEdit() override;
    Win32TextEdit(const Win32TextEdit&) = delete;
    Win32TextEdit& operator=(const Win32TextEdit&) = delete;

    std::string Text() const override;
    void SetText(const std::string& utf8) override;
    void AcceptOnly(TextEncoding encoding) override;

    // The edit's EN_CHANGE, as its parent receives it.
    void Changed();

private:
    struct Snapshot {
        std::wstring text;
        DWORD selectionStart = 0;
        DWORD selectionEnd = 0;
    };

    static LRESULT CALLBACK Subclass(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                     DWORD_PTR self);
    LRESULT Guarded(UINT message, WPARAM wParam, LPARAM lParam);
    template <typename Change>
    LRESULT Judged(Change change);
    LRESULT Typed(wchar_t character, LPARAM lParam);
    bool MayHold(const std::wstring& text) const;
    std::wstring Shown() const;
    Snapshot Take() const;
    // Keeps the text when it may be held and tells the form; else puts back
    // what was there before.
    void Judge(const Snapshot& before);
    void PutBack(const Snapshot& before);
    void Detach();

    std::function<void()> onUserEdit_;
    TextEncoding accepts_ = TextEncoding::HostPath;
    int quiet_ = 0;          // > 0 while the form or the edit itself sets the text
    bool guarding_ = false;  // inside a message that may change the text
    bool changed_ = false;   // the text changed inside that message
    bool attached_ = false;
    wchar_t pendingHalf_ = 0;  // the first half of a character typed in two
    std::wstring kept_;      // the last text the edit accepted
};
