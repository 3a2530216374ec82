#include "app/win32/Win32Dialogs.h"

#include <commdlg.h>

#include <stdexcept>
#include <vector>

#include "app/win32/Wide.h"

namespace {

// Room for the longest path the wide functions take.
constexpr std::size_t kPathRoom = 32768;

constexpr DWORD kSaveFlags = OFN_OVERWRITEPROMPT | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST |
                             OFN_NOREADONLYRETURN | OFN_ENABLESIZING | OFN_EXPLORER;
constexpr DWORD kOpenFlags =
    OFN_HIDEREADONLY | OFN_PATHMUSTEXIST | OFN_FILEMUSTEXIST | OFN_ENABLESIZING | OFN_EXPLORER;

using FileDialogFunction = BOOL(WINAPI*)(OPENFILENAMEW*);

// One filter entry: description and pattern, each ended by NUL, and a NUL
// after the last entry.
std::wstring Filter(const std::string& description, const std::string& pattern) {
    std::wstring filter = Widen(description);
    filter.push_back(L'\0');
    filter += Widen(pattern);
    filter.push_back(L'\0');
    return filter;  // c_str() adds the final NUL
}

std::vector<wchar_t> PathBuffer(const std::wstring& proposed) {
    std::vector<wchar_t> buffer(kPathRoom, L'\0');
    if (proposed.size() < buffer.size()) proposed.copy(buffer.data(), proposed.size());
    return buffer;
}

std::optional<std::string> RunFileDialog(FileDialogFunction run, HWND owner, DWORD flags, const std::string& title,
                                         const std::string& description, const std::string& pattern,
                                         const std::string& proposed) {
    const std::wstring wideTitle = Widen(title);
    const std::wstring filter = Filter(description, pattern);
    std::vector<wchar_t> path = PathBuffer(Widen(proposed));
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrTitle = wideTitle.c_str();
    dialog.Flags = flags;
    if (run(&dialog)) return Narrow(path.data());
    // A proposed name the dialog cannot start from (a folder that has gone,
    // a name too long) opens it empty instead.
    if (CommDlgExtendedError() == FNERR_INVALIDFILENAME && path[0] != L'\0') {
        path.assign(path.size(), L'\0');
        if (run(&dialog)) return Narrow(path.data());
    }
    if (const DWORD error = CommDlgExtendedError()) {
        throw std::runtime_error("ダイアログを開けません (" + std::to_string(error) + ")");
    }
    return std::nullopt;  // cancelled
}

}  // namespace

Win32Dialogs::Win32Dialogs(HWND owner) : owner_(owner) {
    customColors_.fill(RGB(255, 255, 255));
}

std::optional<std::string> Win32Dialogs::SaveFile(const std::string& title, const std::string& description,
                                                  const std::string& pattern, const std::string& proposed) {
    return RunFileDialog(GetSaveFileNameW, owner_, kSaveFlags, title, description, pattern, proposed);
}

std::optional<std::string> Win32Dialogs::OpenFile(const std::string& title, const std::string& description,
                                                  const std::string& pattern, const std::string& proposed) {
    return RunFileDialog(GetOpenFileNameW, owner_, kOpenFlags, title, description, pattern, proposed);
}

std::optional<std::int32_t> Win32Dialogs::PickColor(std::int32_t initialDialogOrder) {
    CHOOSECOLORW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = owner_;
    dialog.rgbResult = static_cast<COLORREF>(initialDialogOrder);
    dialog.lpCustColors = customColors_.data();
    dialog.Flags = CC_RGBINIT;
    if (!ChooseColorW(&dialog)) return std::nullopt;
    return static_cast<std::int32_t>(dialog.rgbResult);
}

void Win32Dialogs::ShowError(const std::string& message) {
    MessageBoxW(owner_, Widen(message).c_str(), L"Pelko", MB_ICONSTOP | MB_OK);
}

bool Win32Dialogs::ConfirmReplace(const std::string& path) {
    const int answer = MessageBoxW(owner_, Widen(ReplaceQuestion(path)).c_str(), L"作成",
                                   MB_ICONQUESTION | MB_YESNO | MB_DEFBUTTON2);
    return answer == IDYES;
}
