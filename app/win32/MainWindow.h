#pragma once
// The Win32 view of the window: creates the controls at their places with
// the window's fonts, captions and tab order, keeps them scaled to the
// monitor's DPI, and hands the user's actions to the form, which holds every
// handler.
#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "app/Controls.h"
#include "app/Dialogs.h"
#include "app/Unit1.h"
#include "app/win32/Fonts.h"
#include "app/win32/Handles.h"
#include "app/win32/Layout.h"
#include "app/win32/Win32SystemColors.h"

class MainWindow : private DropTarget {
public:
    // Makes the window's dialogs, given the window that owns them.
    using DialogsFactory = std::function<std::unique_ptr<Dialogs>(HWND owner)>;

    // programDirectory: the host path holding the templates, with its
    // trailing separator. The window is made hidden, centred on the screen;
    // the form runs FormCreate before this returns.
    MainWindow(std::string programDirectory, const DialogsFactory& makeDialogs);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // nullptr once the window is closed.
    HWND Handle() const { return window_.get(); }
    void Show(int how);
    // A message of this thread's queue, with the dialog manager's keys: Tab,
    // the arrows, and the accelerators of the captions.
    void Dispatch(MSG& message);
    // nullptr once the window is closed.
    TForm1* Form() { return form_.get(); }
    const Fonts& WindowFonts() const { return fonts_; }

private:
    struct Adapters;

    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;
    LRESULT Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void ShowFailure(const char* message) noexcept;
    void CreateControls();
    void ApplyDpi(int dpi);
    SIZE WindowSize(int dpi) const;
    void CentreOnScreen();
    void OnCommand(int id, int notification);
    void OnDropFiles(HDROP dropped);
    void OnDpiChanged(int dpi, const RECT& suggested);
    void OnActivate(bool active);
    LRESULT OnLogColor(HDC dc);
    void AcceptDrops(bool accept) override;

    UniqueWindow window_;
    HWND focus_ = nullptr;  // the control that had the focus when the window was left
    Layout layout_;
    Fonts fonts_;
    Win32SystemColors systemColors_;
    std::unique_ptr<Dialogs> dialogs_;
    std::unique_ptr<Adapters> adapters_;
    std::unique_ptr<TForm1> form_;
};
