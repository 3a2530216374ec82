#pragma once
// What the Win32 window tests share: the window over a program directory of
// its own and scripted dialogs, and the user's ways of acting on its
// controls, as the messages the system delivers to them.
#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "ScriptedDialogs.h"
#include "app/win32/MainWindow.h"
#include "support/TestFiles.h"

namespace pelko::test {

class TestWindow {
public:
    // jadLines: the CP932 lines of the one template t.jad, none for none.
    explicit TestWindow(const std::vector<std::string>& jadLines = {});

    HWND Handle() const { return view_->Handle(); }
    HWND Control(int id) const { return GetDlgItem(Handle(), id); }
    MainWindow& View() { return *view_; }
    ScriptedDialogs& Dialogs() { return *dialogs_; }
    const ScratchDir& Directory() const { return dir_; }

    // Chooses t.jad in ComboTemp with the arrow keys.
    void ChooseTemplate();
    // Moves ComboOptions to the option with the arrow keys.
    void ChooseOption(int index);
    // Each character as a key typed into the control.
    void Type(int id, const std::wstring& text);
    // Through the clipboard, with Ctrl+V.
    void Paste(int id, const std::wstring& text);
    // A key message for the focused control, through the window's message loop.
    void Key(UINT message, WPARAM key, LPARAM flags = 1);
    std::wstring Text(int id) const;
    // The option record's value, as stored.
    std::string Value(int option);
    bool AcceptsDrops() const;
    // Paths dropped on the window, as the shell drops them.
    void Drop(const std::vector<std::wstring>& paths);

private:
    void Arrow(HWND combo, int steps);

    ScratchDir dir_;
    ScriptedDialogs* dialogs_ = nullptr;  // owned by the view
    std::unique_ptr<MainWindow> view_;
};

}  // namespace pelko::test
