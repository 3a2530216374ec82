// pelko.exe as a user meets it: started, a template chosen with the keys,
// Japanese typed and seen drawn, an author typed, the package made through
// the save dialog, the window closed. Reads the window's texts and the
// screen's pixels back to see what it shows.
//
//   pelko_window_smoke PELKO-EXE OUTPUT-KJX
//
// Exits 0 when the log ends with the success line and the package holds
// the author; otherwise prints what went wrong and exits 1.
#include <windows.h>

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "ScreenPixels.h"
#include "app/win32/ControlIds.h"
#include "app/win32/Wide.h"
#include "text/Cp932.h"

namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

constexpr auto kPatience = 30s;

struct Failure : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// The program, ended by force if it is still running when the test ends.
class Program {
public:
    explicit Program(const std::wstring& path) {
        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        std::wstring commandLine = L"\"" + path + L"\"";
        if (!CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            &startup, &process_)) {
            throw Failure("cannot start " + Narrow(path));
        }
    }
    ~Program() {
        if (WaitForSingleObject(process_.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(process_.hProcess, 1);
        CloseHandle(process_.hThread);
        CloseHandle(process_.hProcess);
    }
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    DWORD Id() const { return process_.dwProcessId; }
    // The exit code, or nothing when it is still running after the wait.
    std::optional<DWORD> WaitForExit(DWORD milliseconds) const {
        if (WaitForSingleObject(process_.hProcess, milliseconds) != WAIT_OBJECT_0) return std::nullopt;
        DWORD code = 0;
        GetExitCodeProcess(process_.hProcess, &code);
        return code;
    }

private:
    PROCESS_INFORMATION process_{};
};

template <typename Condition>
bool WaitUntil(Condition condition) {
    for (const auto end = Clock::now() + kPatience; Clock::now() < end;) {
        if (condition()) return true;
        std::this_thread::sleep_for(50ms);
    }
    return false;
}

// A top-level window of the process with this class and title.
HWND WindowOf(const Program& program, const wchar_t* windowClass, const wchar_t* title) {
    for (HWND window = FindWindowW(windowClass, title); window;
         window = FindWindowExW(nullptr, window, windowClass, title)) {
        DWORD owner = 0;
        GetWindowThreadProcessId(window, &owner);
        if (owner == program.Id() && IsWindowVisible(window)) return window;
    }
    return nullptr;
}

HWND AwaitWindow(const Program& program, const wchar_t* windowClass, const wchar_t* title) {
    HWND found = nullptr;
    if (!WaitUntil([&] { return (found = WindowOf(program, windowClass, title)) != nullptr; })) {
        throw Failure("no window \"" + Narrow(title) + "\" appeared");
    }
    return found;
}

// Another process's control: its text comes only through WM_GETTEXT.
std::wstring TextOf(HWND control) {
    std::wstring text(static_cast<std::size_t>(SendMessageW(control, WM_GETTEXTLENGTH, 0, 0)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        SendMessageW(control, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
    return text;
}

std::vector<std::wstring> ItemsOf(HWND combo) {
    std::vector<std::wstring> items;
    const auto count = static_cast<int>(SendMessageW(combo, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        std::wstring item(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXTLEN, i, 0)) + 1, L'\0');
        item.resize(static_cast<std::size_t>(SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item.data()))));
        items.push_back(item);
    }
    return items;
}

// ---- the keyboard, as the system delivers it to the focused window ----

void Send(std::vector<INPUT> inputs) {
    SendInput(static_cast<UINT>(inputs.size()), inputs.data(), sizeof(INPUT));
    std::this_thread::sleep_for(20ms);
}

INPUT KeyInput(WORD key, bool up) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

void Press(WORD key) {
    Send({KeyInput(key, false), KeyInput(key, true)});
}

// A caption's accelerator: Alt and the letter.
void PressAlt(char letter) {
    Send({KeyInput(VK_MENU, false), KeyInput(letter, false), KeyInput(letter, true), KeyInput(VK_MENU, true)});
}

// Characters as an input method delivers them, whatever the keyboard.
void Type(const std::wstring& text) {
    for (wchar_t character : text) {
        INPUT down{};
        down.type = INPUT_KEYBOARD;
        down.ki.wScan = character;
        down.ki.dwFlags = KEYEVENTF_UNICODE;
        INPUT up = down;
        up.ki.dwFlags |= KEYEVENTF_KEYUP;
        Send({down, up});
    }
}

// The control that has the keyboard in the program's window thread, by id.
std::string FocusOf(HWND window) {
    GUITHREADINFO thread{};
    thread.cbSize = sizeof thread;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &thread)) return "unknown";
    if (!thread.hwndFocus) return "none";
    return std::to_string(GetDlgCtrlID(thread.hwndFocus));
}

void Expect(bool condition, const std::string& what) {
    if (!condition) throw Failure(what);
}

// Fails with the error box's message when the window shows one.
void NoErrorBox(const Program& program) {
    if (HWND box = WindowOf(program, L"#32770", L"Pelko")) {
        std::wstring message;
        for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
            message += TextOf(child) + L" ";
        }
        throw Failure("error box: " + Narrow(message));
    }
}

std::wstring LastLine(const std::wstring& text) {
    const auto end = text.find_last_not_of(L"\r\n");
    if (end == std::wstring::npos) return {};
    const auto newline = text.find_last_of(L"\r\n", end);
    const auto start = newline == std::wstring::npos ? 0 : newline + 1;
    return text.substr(start, end + 1 - start);
}

// The application name's edit as the screen shows it holding this text,
// typed over what it held, with the keyboard (and so the caret) elsewhere.
std::vector<std::uint32_t> TitleShowing(HWND window, const std::wstring& text) {
    HWND title = GetDlgItem(window, ControlId::EditTitle);
    PressAlt('N');
    Type(text);
    Expect(WaitUntil([&] { return TextOf(title) == text; }), "the application name reads " + Narrow(TextOf(title)));
    PressAlt('A');
    std::this_thread::sleep_for(300ms);  // drawn by now
    return ScreenPixelsOf(title);
}

void MakeAPackage(const std::wstring& pelko, const std::wstring& output) {
    Program program(pelko);
    HWND window = AwaitWindow(program, kWindowClassName, L"Pelko");
    const auto control = [window](int id) { return GetDlgItem(window, id); };
    SetForegroundWindow(window);

    // The template's Japanese name, as the list holds it.
    const std::vector<std::wstring> templates = ItemsOf(control(ControlId::ComboTemp));
    std::size_t chosen = 0;
    while (chosen < templates.size() && templates[chosen] != L"落ち物ゲーム") ++chosen;
    Expect(chosen < templates.size(), "the template list lacks 落ち物ゲーム");

    PressAlt('T');
    for (std::size_t i = 0; i <= chosen; ++i) Press(VK_DOWN);
    Expect(WaitUntil([&] { return SendMessageW(control(ControlId::ComboOptions), CB_GETCOUNT, 0, 0) > 0; }),
           "choosing the template loaded no options");

    // Two kanji drawn alike are boxes: no font of the window has them.
    Expect(TitleShowing(window, L"作") != TitleShowing(window, L"者"), "the window draws 作 and 者 alike");

    PressAlt('A');
    Type(L"作者한");  // the last one CP932 cannot hold
    Expect(WaitUntil([&] { return TextOf(control(ControlId::EditAuthor)) == L"作者"; }),
           "the author reads \"" + Narrow(TextOf(control(ControlId::EditAuthor))) + "\", the focus is on " + FocusOf(window));

    PressAlt('M');
    HWND save = AwaitWindow(program, L"#32770", L"作成");
    SetForegroundWindow(save);
    Type(output);
    Press(VK_RETURN);

    const std::wstring success = L"[O]作成完了(" + output + L")";
    const bool made = WaitUntil([&] {
        NoErrorBox(program);
        return LastLine(TextOf(control(ControlId::Log))) == success;
    });
    Expect(made, "the log reads: " + Narrow(TextOf(control(ControlId::Log))));

    std::ifstream package(std::filesystem::path(output), std::ios::binary);
    const std::string bytes{std::istreambuf_iterator<char>(package), std::istreambuf_iterator<char>()};
    Expect(bytes.find(*pelko::Utf8ToCp932("作者")) != std::string::npos, "the package lacks the author");

    PostMessageW(window, WM_CLOSE, 0, 0);
    const std::optional<DWORD> code = program.WaitForExit(10000);
    Expect(code.has_value(), "the window did not close");
    Expect(*code == 0, "pelko.exe exited with " + std::to_string(*code));
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fputs("usage: pelko_window_smoke PELKO-EXE OUTPUT-KJX\n", stderr);
        return 2;
    }
    try {
        MakeAPackage(argv[1], argv[2]);
    } catch (const std::exception& error) {
        std::printf("FAILED: %s\n", error.what());
        return 1;
    }
    std::puts("made a package through the window");
    return 0;
}
