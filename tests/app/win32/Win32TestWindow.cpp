#include "Win32TestWindow.h"

#include <shlobj.h>

#include <cstring>
#include <stdexcept>

#include "ScriptedView.h"
#include "app/win32/ControlIds.h"
#include "templates/Descriptor.h"

namespace pelko::test {

TestWindow::TestWindow(const std::vector<std::string>& jadLines) {
    if (!jadLines.empty()) WriteJad(dir_ / "t.jad", jadLines);
    view_ = std::make_unique<MainWindow>(dir_.Path(), [this](HWND) {
        auto dialogs = std::make_unique<ScriptedDialogs>();
        dialogs_ = dialogs.get();
        return dialogs;
    });
}

void TestWindow::Arrow(HWND combo, int steps) {
    for (; steps > 0; --steps) SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
    for (; steps < 0; ++steps) SendMessageW(combo, WM_KEYDOWN, VK_UP, 0);
}

void TestWindow::ChooseTemplate() {
    const std::vector<std::string>& paths = view_->Form()->TemplatePaths();
    int index = 0;
    while (index < static_cast<int>(paths.size()) && !paths[static_cast<std::size_t>(index)].ends_with("t.jad")) {
        ++index;
    }
    if (index == static_cast<int>(paths.size())) throw std::logic_error("no t.jad to choose");
    HWND combo = Control(ControlId::ComboTemp);
    Arrow(combo, index - static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
}

void TestWindow::ChooseOption(int index) {
    HWND combo = Control(ControlId::ComboOptions);
    Arrow(combo, index - static_cast<int>(SendMessageW(combo, CB_GETCURSEL, 0, 0)));
}

void TestWindow::Type(int id, const std::wstring& text) {
    for (wchar_t character : text) SendMessageW(Control(id), WM_CHAR, character, 1);
}

void TestWindow::Paste(int id, const std::wstring& text) {
    if (!OpenClipboard(Handle())) throw std::runtime_error("the clipboard is busy");
    EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    std::memcpy(GlobalLock(memory), text.c_str(), bytes);
    GlobalUnlock(memory);
    SetClipboardData(CF_UNICODETEXT, memory);  // the clipboard owns it now
    CloseClipboard();
    SendMessageW(Control(id), WM_CHAR, 0x16, 1);  // Ctrl+V
}

void TestWindow::Key(UINT message, WPARAM key, LPARAM flags) {
    MSG queued{GetFocus(), message, key, flags, 0, {}};
    view_->Dispatch(queued);
}

std::wstring TestWindow::Text(int id) const {
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(Control(id))) + 1, L'\0');
    text.resize(static_cast<std::size_t>(GetWindowTextW(Control(id), text.data(), static_cast<int>(text.size()))));
    return text;
}

std::string TestWindow::Value(int option) {
    return RecordOf(view_->Form()->OptionRecords(), option).Item(kRecordValue);
}

bool TestWindow::AcceptsDrops() const {
    return (GetWindowLongPtrW(Handle(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) != 0;
}

void TestWindow::Drop(const std::vector<std::wstring>& paths) {
    std::wstring files;
    for (const std::wstring& path : paths) files += path + L'\0';
    files += L'\0';
    const std::size_t bytes = sizeof(DROPFILES) + files.size() * sizeof(wchar_t);
    HGLOBAL memory = GlobalAlloc(GHND, bytes);
    auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
    drop->pFiles = sizeof(DROPFILES);
    drop->fWide = TRUE;
    std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), files.data(), files.size() * sizeof(wchar_t));
    GlobalUnlock(memory);
    // The window releases the drop, whatever it does with the files.
    SendMessageW(Handle(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
}

}  // namespace pelko::test
