#include "app/win32/MainWindow.h"

#include <imm.h>
#include <shellapi.h>

#include <exception>
#include <stdexcept>
#include <utility>
#include <vector>

#include "app/win32/ControlIds.h"
#include "app/win32/ControlTable.h"
#include "app/win32/DialogFocus.h"
#include "app/win32/Handles.h"
#include "app/win32/Wide.h"
#include "app/win32/Win32Controls.h"
#include "app/win32/Win32TextEdit.h"
#include "text/Errors.h"

namespace {

constexpr int kClientWidth = 290;
constexpr int kClientHeight = 200;
// A single fixed border, the system menu and minimise; no maximise.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
constexpr DWORD kWindowExStyle = 0;

HINSTANCE Instance() {
    return GetModuleHandleW(nullptr);
}

void RegisterWindowClass(WNDPROC procedure) {
    static const ATOM registered = [procedure] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.lpfnWndProc = procedure;
        windowClass.hInstance = Instance();
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
        windowClass.lpszClassName = kWindowClassName;
        return RegisterClassExW(&windowClass);
    }();
    if (!registered) throw std::runtime_error("ウィンドウクラスを登録できません");
}

HWND MakeControl(HWND parent, const ControlSpec& spec) {
    HWND control = CreateWindowExW(spec.exStyle, spec.windowClass, spec.caption, WS_CHILD | spec.style, 0, 0, 0, 0,
                                   parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(spec.id)), Instance(),
                                   nullptr);
    if (!control) throw std::runtime_error("コントロールを作成できません");
    return control;
}

}  // namespace

struct MainWindow::Adapters {
    Win32DropDown comboTemp;
    Win32TextEdit editTitle;
    Win32TextEdit editAuthor;
    Win32CheckBox checkCopy;
    Win32DropDown comboOptions;
    Win32TextEdit editValue;
    Win32Button buttonBrowse;
    Win32LogPane log;
    Win32CheckBox checkValue;
    Win32DropDown comboValue;

    FormControls Controls(DropTarget& window) {
        return {comboTemp,    editTitle, editAuthor, checkCopy,  comboOptions, editValue,
                buttonBrowse, log,       checkValue, comboValue, window};
    }
};

MainWindow::MainWindow(std::string programDirectory, const DialogsFactory& makeDialogs) {
    RegisterWindowClass(WindowProc);
    CreateWindowExW(kWindowExStyle, kWindowClassName, L"Pelko", kWindowStyle, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, Instance(), this);
    if (!window_) throw std::runtime_error("ウィンドウを作成できません");
    CreateControls();
    ApplyDpi(static_cast<int>(GetDpiForWindow(window_.get())));
    CentreOnScreen();

    dialogs_ = makeDialogs(window_.get());
    const auto item = [this](int id) { return GetDlgItem(window_.get(), id); };
    adapters_.reset(new Adapters{
        Win32DropDown(item(ControlId::ComboTemp), layout_),
        Win32TextEdit(item(ControlId::EditTitle), layout_),
        Win32TextEdit(item(ControlId::EditAuthor), layout_),
        Win32CheckBox(item(ControlId::CheckCopy), layout_),
        Win32DropDown(item(ControlId::ComboOptions), layout_),
        Win32TextEdit(item(ControlId::EditValue), layout_,
                      [this] {
                          if (form_) form_->Run(&TForm1::EditValueChange);
                      }),
        Win32Button(item(ControlId::ButtonBrowse), layout_),
        Win32LogPane(item(ControlId::Log)),
        Win32CheckBox(item(ControlId::CheckValue), layout_),
        Win32DropDown(item(ControlId::ComboValue), layout_),
    });
    form_ = std::make_unique<TForm1>(std::move(programDirectory), adapters_->Controls(*this), *dialogs_,
                                     systemColors_);
}

MainWindow::~MainWindow() {
    form_.reset();  // FormDestroy, while the controls are there
    window_.reset();
}

void MainWindow::CreateControls() {
    HWND previous = HWND_TOP;
    for (const ControlSpec& spec : Controls()) {
        HWND control = MakeControl(window_.get(), spec);
        // The order of the windows is the order of tab stops.
        SetWindowPos(control, previous, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        previous = control;
        layout_.Add(control, spec.rect, spec.listHeight);
    }
    // Nothing is typed into the log, in any script.
    ImmAssociateContext(GetDlgItem(window_.get(), ControlId::Log), nullptr);
}

void MainWindow::ApplyDpi(int dpi) {
    fonts_.Create(dpi);
    for (const ControlSpec& spec : Controls()) {
        HFONT font = spec.logFont ? fonts_.Log() : fonts_.Window();
        SendMessageW(GetDlgItem(window_.get(), spec.id), WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    }
    layout_.Rescale(dpi);
}

SIZE MainWindow::WindowSize(int dpi) const {
    RECT frame{0, 0, MulDiv(kClientWidth, dpi, Layout::kDesignDpi), MulDiv(kClientHeight, dpi, Layout::kDesignDpi)};
    AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, kWindowExStyle, static_cast<UINT>(dpi));
    return {frame.right - frame.left, frame.bottom - frame.top};
}

void MainWindow::CentreOnScreen() {
    const SIZE size = WindowSize(layout_.Dpi());
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window_.get(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int left = work.left + (work.right - work.left - size.cx) / 2;
    const int top = work.top + (work.bottom - work.top - size.cy) / 2;
    SetWindowPos(window_.get(), nullptr, left, top, size.cx, size.cy, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::Show(int how) {
    ShowWindow(window_.get(), how);
    UpdateWindow(window_.get());
}

void MainWindow::Dispatch(MSG& message) {
    if (window_ && IsDialogMessageW(window_.get(), &message)) return;
    TranslateMessage(&message);
    DispatchMessageW(&message);
}

void MainWindow::AcceptDrops(bool accept) {
    DragAcceptFiles(window_.get(), accept);
}

// ---- messages -----------------------------------------------------------------

LRESULT CALLBACK MainWindow::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message == WM_NCCREATE) {
        auto* creator = static_cast<MainWindow*>(reinterpret_cast<const CREATESTRUCTW*>(lParam)->lpCreateParams);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creator));
        creator->window_.reset(window);
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (!self) return DefWindowProcW(window, message, wParam, lParam);
    try {
        return self->Handle(window, message, wParam, lParam);
    } catch (const std::exception& error) {
        self->ShowFailure(error.what());
    } catch (...) {
        self->ShowFailure("");
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::ShowFailure(const char* message) noexcept {
    try {
        const std::string text = pelko::ErrorBoxText(message);
        MessageBoxW(window_.get(), Widen(text).c_str(), L"Pelko", MB_ICONSTOP | MB_OK);
    } catch (...) {
        // Not even the box could be shown; the window stays usable.
    }
}

LRESULT MainWindow::Handle(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_COMMAND:
            OnCommand(LOWORD(wParam), HIWORD(wParam));
            return 0;
        case WM_NEXTDLGCTL:
            MoveDialogFocus(window, wParam, lParam);
            return 0;
        case WM_DROPFILES:
            OnDropFiles(reinterpret_cast<HDROP>(wParam));
            return 0;
        case WM_GETDPISCALEDSIZE:
            *reinterpret_cast<SIZE*>(lParam) = WindowSize(static_cast<int>(wParam));
            return TRUE;
        case WM_DPICHANGED:
            OnDpiChanged(LOWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
            return 0;
        case WM_ACTIVATE:
            if (HIWORD(wParam) == 0) {  // not while minimised
                OnActivate(LOWORD(wParam) != WA_INACTIVE);
                return 0;
            }
            break;
        case WM_CTLCOLORSTATIC:
            if (reinterpret_cast<HWND>(lParam) == GetDlgItem(window, ControlId::Log)) {
                return OnLogColor(reinterpret_cast<HDC>(wParam));
            }
            break;
        case WM_DESTROY:
            form_.reset();  // FormDestroy, as the window goes
            break;
        case WM_NCDESTROY:
            SetWindowLongPtrW(window, GWLP_USERDATA, 0);
            (void)window_.release();  // gone already
            break;
        default:
            break;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void MainWindow::OnCommand(int id, int notification) {
    if (!adapters_ || !form_) return;
    Adapters& controls = *adapters_;
    switch (id) {
        case ControlId::ComboTemp:
            if (controls.comboTemp.Chosen(notification)) form_->Run(&TForm1::ComboTempChange);
            break;
        case ControlId::ComboOptions:
            if (controls.comboOptions.Chosen(notification)) form_->Run(&TForm1::ComboOptionsChange);
            break;
        case ControlId::EditTitle:
            if (notification == EN_CHANGE) controls.editTitle.Changed();
            break;
        case ControlId::EditAuthor:
            if (notification == EN_CHANGE) controls.editAuthor.Changed();
            break;
        case ControlId::EditValue:
            if (notification == EN_CHANGE) controls.editValue.Changed();
            break;
        case ControlId::CheckValue:
            if (notification == BN_CLICKED) form_->Run(&TForm1::CheckValueClick);
            break;
        case ControlId::ButtonBrowse:
            if (notification == BN_CLICKED) form_->Run(&TForm1::ButtonBrowseClick);
            break;
        case ControlId::ButtonMake:
            if (notification == BN_CLICKED) form_->Run(&TForm1::ButtonMakeClick);
            break;
        default:
            break;
    }
}

void MainWindow::OnDropFiles(HDROP dropped) {
    const UniqueDrop drop(dropped);
    // Only while the file editor is shown does the window take files.
    if (!form_ || !(GetWindowLongPtrW(window_.get(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES)) return;
    const UINT count = DragQueryFileW(dropped, 0xFFFFFFFF, nullptr, 0);
    std::vector<std::string> paths;
    for (UINT i = 0; i < count; ++i) {
        std::wstring path(DragQueryFileW(dropped, i, nullptr, 0) + 1, L'\0');
        path.resize(DragQueryFileW(dropped, i, path.data(), static_cast<UINT>(path.size())));
        paths.push_back(Narrow(path));
    }
    form_->DropFiles(paths);
}

void MainWindow::OnDpiChanged(int dpi, const RECT& suggested) {
    ApplyDpi(dpi);
    // Where the system suggests, at the size of the client area scaled exactly.
    const SIZE size = WindowSize(dpi);
    SetWindowPos(window_.get(), nullptr, suggested.left, suggested.top, size.cx, size.cy,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

// A plain window forgets which control had the focus when another window
// took it; the save dialog would leave the keyboard nowhere.
void MainWindow::OnActivate(bool active) {
    if (!active) {
        HWND focus = GetFocus();
        if (focus && IsChild(window_.get(), focus)) focus_ = focus;
        return;
    }
    HWND target = focus_;
    if (!target || !IsWindowVisible(target) || !IsWindowEnabled(target)) {
        target = GetNextDlgTabItem(window_.get(), nullptr, FALSE);
    }
    if (target) SetFocus(target);
}

// The log reads on the edit's own background, read-only or not.
LRESULT MainWindow::OnLogColor(HDC dc) {
    SetTextColor(dc, GetSysColor(COLOR_WINDOWTEXT));
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}
