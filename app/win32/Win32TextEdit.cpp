#include "app/win32/Win32TextEdit.h"

#include <commctrl.h>

#include <utility>

#include "app/Fields.h"
#include "app/win32/Wide.h"

namespace {

// The messages by which a user puts text into an edit. Removing text never
// makes it one the edit may not hold, so the keys and commands that only
// delete need no guard.
bool MayInsertText(UINT message) {
    switch (message) {
        case WM_CHAR:
        case WM_KEYDOWN:  // Shift+Insert pastes
        case WM_PASTE:
        case WM_IME_CHAR:
        case WM_IME_COMPOSITION:
        case WM_UNDO:
        case EM_UNDO:
        case EM_REPLACESEL:
            return true;
        default:
            return false;
    }
}

class Quiet {
public:
    explicit Quiet(int& depth) : depth_(depth) { ++depth_; }
    ~Quiet() { --depth_; }
    Quiet(const Quiet&) = delete;
    Quiet& operator=(const Quiet&) = delete;

private:
    int& depth_;
};

}  // namespace

Win32TextEdit::Win32TextEdit(HWND edit, Layout& layout, std::function<void()> onUserEdit)
    : Win32Control(edit, layout), onUserEdit_(std::move(onUserEdit)), kept_(Shown()) {
    attached_ = SetWindowSubclass(edit, Subclass, 0, reinterpret_cast<DWORD_PTR>(this)) != FALSE;
}

Win32TextEdit::~Win32TextEdit() {
    Detach();
}

void Win32TextEdit::Detach() {
    if (attached_) RemoveWindowSubclass(Handle(), Subclass, 0);
    attached_ = false;
}

std::string Win32TextEdit::Text() const {
    return Narrow(Shown());
}

void Win32TextEdit::SetText(const std::string& utf8) {
    Quiet quiet(quiet_);
    SetWindowTextW(Handle(), Widen(utf8).c_str());
    kept_ = Shown();
    // Typing goes on after the new text, not before it: "007" typed into a
    // number becomes 7, then 70 were the caret back at the start.
    const auto end = static_cast<WPARAM>(kept_.size());
    SendMessageW(Handle(), EM_SETSEL, end, static_cast<LPARAM>(end));
}

void Win32TextEdit::AcceptOnly(TextEncoding encoding) {
    accepts_ = encoding;
}

std::wstring Win32TextEdit::Shown() const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Handle())) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(Handle(), text.data(), static_cast<int>(text.size()))));
    return text;
}

Win32TextEdit::Snapshot Win32TextEdit::Take() const {
    Snapshot snapshot{Shown()};
    SendMessageW(Handle(), EM_GETSEL, reinterpret_cast<WPARAM>(&snapshot.selectionStart),
                 reinterpret_cast<LPARAM>(&snapshot.selectionEnd));
    return snapshot;
}

void Win32TextEdit::Changed() {
    if (quiet_ > 0) return;
    if (guarding_) {
        changed_ = true;  // judged once the message is done
        return;
    }
    // A change by a way no guard knows of is judged against the last text kept.
    const auto end = static_cast<DWORD>(kept_.size());
    Judge({kept_, end, end});
}

// A lone half of a surrogate pair is no character at all.
bool Win32TextEdit::MayHold(const std::wstring& text) const {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1])) {
            ++i;
        } else if (IS_HIGH_SURROGATE(text[i]) || IS_LOW_SURROGATE(text[i])) {
            return false;
        }
    }
    return EditMayHold(Narrow(text), accepts_);
}

void Win32TextEdit::Judge(const Snapshot& before) {
    std::wstring now = Shown();
    if (!MayHold(now)) {
        PutBack(before);
        MessageBeep(MB_OK);
        return;
    }
    kept_ = std::move(now);
    if (onUserEdit_) onUserEdit_();
}

void Win32TextEdit::PutBack(const Snapshot& before) {
    Quiet quiet(quiet_);
    SetWindowTextW(Handle(), before.text.c_str());
    SendMessageW(Handle(), EM_SETSEL, before.selectionStart, before.selectionEnd);
    kept_ = before.text;
}

template <typename Change>
LRESULT Win32TextEdit::Judged(Change change) {
    const Snapshot before = Take();
    guarding_ = true;
    changed_ = false;
    const LRESULT result = change();
    guarding_ = false;
    if (changed_) Judge(before);
    return result;
}

LRESULT Win32TextEdit::Guarded(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CHAR) return Typed(static_cast<wchar_t>(wParam), lParam);
    pendingHalf_ = 0;
    return Judged([&] { return DefSubclassProc(Handle(), message, wParam, lParam); });
}

// A character beyond U+FFFF comes as two WM_CHAR, one half each: the first
// waits for the second, and the edit judges the character whole.
LRESULT Win32TextEdit::Typed(wchar_t character, LPARAM lParam) {
    if (IS_HIGH_SURROGATE(character)) {
        pendingHalf_ = character;
        return 0;
    }
    const wchar_t first = std::exchange(pendingHalf_, 0);
    return Judged([&] {
        if (first && IS_LOW_SURROGATE(character)) DefSubclassProc(Handle(), WM_CHAR, first, lParam);
        return DefSubclassProc(Handle(), WM_CHAR, character, lParam);
    });
}

LRESULT CALLBACK Win32TextEdit::Subclass(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR,
                                         DWORD_PTR self) {
    auto* field = reinterpret_cast<Win32TextEdit*>(self);
    if (message == WM_NCDESTROY) {
        field->Detach();
        return DefSubclassProc(edit, message, wParam, lParam);
    }
    // A paste inside a keystroke is judged with the keystroke.
    if (field->guarding_ || field->quiet_ > 0 || !MayInsertText(message)) {
        return DefSubclassProc(edit, message, wParam, lParam);
    }
    return field->Guarded(message, wParam, lParam);
}
