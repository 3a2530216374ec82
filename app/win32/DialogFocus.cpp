#include "app/win32/DialogFocus.h"

void MoveDialogFocus(HWND window, WPARAM wParam, LPARAM lParam) {
    HWND target = nullptr;
    if (LOWORD(lParam)) {
        target = reinterpret_cast<HWND>(wParam);
    } else {
        HWND focus = GetFocus();
        if (!IsChild(window, focus)) focus = nullptr;
        target = GetNextDlgTabItem(window, focus, wParam != 0);
    }
    if (!target || !IsChild(window, target)) return;
    SetFocus(target);
    // As in a dialog, an edit reached from the keyboard has its text selected.
    if (SendMessageW(target, WM_GETDLGCODE, 0, 0) & DLGC_HASSETSEL) SendMessageW(target, EM_SETSEL, 0, -1);
}
