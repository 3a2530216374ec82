#include "app/win32/Win32Controls.h"

#include "app/win32/Wide.h"

void HandOnFocus(HWND control) {
    if (GetFocus() != control) return;
    HWND next = GetNextDlgTabItem(GetParent(control), control, FALSE);
    SetFocus(next != control ? next : GetParent(control));
}

bool Win32CheckBox::Checked() const {
    return SendMessageW(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void Win32CheckBox::SetChecked(bool checked) {
    SendMessageW(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}

int Win32DropDown::Count() const {
    return static_cast<int>(SendMessageW(Handle(), CB_GETCOUNT, 0, 0));
}

void Win32DropDown::Add(const std::string& utf8) {
    const std::wstring item = Widen(utf8);
    SendMessageW(Handle(), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(item.c_str()));
}

void Win32DropDown::Clear() {
    known_ = -1;
    SendMessageW(Handle(), CB_RESETCONTENT, 0, 0);
}

int Win32DropDown::ItemIndex() const {
    const LRESULT index = SendMessageW(Handle(), CB_GETCURSEL, 0, 0);
    return index == CB_ERR ? -1 : static_cast<int>(index);
}

void Win32DropDown::SetItemIndex(int index) {
    SendMessageW(Handle(), CB_SETCURSEL, static_cast<WPARAM>(index), 0);
    known_ = ItemIndex();
}

bool Win32DropDown::Chosen(int notification) {
    if (notification != CBN_SELCHANGE && notification != CBN_CLOSEUP) return false;
    // Over the open list the selection follows the pointer; what was picked
    // is known once the list has closed.
    if (SendMessageW(Handle(), CB_GETDROPPEDSTATE, 0, 0)) return false;
    const int index = ItemIndex();
    if (index == known_) return false;
    known_ = index;
    return true;
}

Win32LogPane::Win32LogPane(HWND log) : log_(log) {
    // As much text as the edit can hold, not the 32K characters it starts with.
    SendMessageW(log_, EM_SETLIMITTEXT, 0, 0);
}

void Win32LogPane::Append(const std::string& utf8Line) {
    const int end = GetWindowTextLengthW(log_);
    const std::wstring line = (end > 0 ? L"\r\n" : L"") + Widen(utf8Line);
    SendMessageW(log_, EM_SETSEL, end, end);
    SendMessageW(log_, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line.c_str()));
    SendMessageW(log_, EM_SCROLLCARET, 0, 0);
}

void Win32LogPane::Clear() {
    SetWindowTextW(log_, L"");
}
