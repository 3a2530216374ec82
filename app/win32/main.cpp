// Process entry: the window and its message loop.
#include <windows.h>
#include <commctrl.h>

#include <exception>
#include <memory>

#include "app/win32/MainWindow.h"
#include "app/win32/Win32Dialogs.h"
#include "system/LocalTimeZone.h"
#include "text/Errors.h"
#include "text/Paths.h"

namespace {

void ShowFatal(const char* message) {
    Win32Dialogs(nullptr).ShowError(pelko::ErrorBoxText(message));
}

void RunMessageLoop(MainWindow& window) {
    MSG message;
    while (window.Handle() && GetMessageW(&message, nullptr, 0, 0) > 0) window.Dispatch(message);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int show) {
    pelko::PinLocalTimeZone();
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&controls);
    // An error that escapes the window's creation or the message loop is
    // shown like any other; the process then ends as after a normal close.
    try {
        MainWindow form1(pelko::ProgramDirectory(),
                         [](HWND owner) { return std::make_unique<Win32Dialogs>(owner); });
        form1.Show(show);
        RunMessageLoop(form1);
    } catch (const std::exception& error) {
        ShowFatal(error.what());
    } catch (...) {
        ShowFatal("");
    }
    return 0;
}
