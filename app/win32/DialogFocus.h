#pragma once
// The dialog manager (IsDialogMessage) moves the keyboard for Tab and for a
// caption's accelerator by sending WM_NEXTDLGCTL to the window, which only a
// dialog's own procedure answers. The window is a plain one, so it answers
// the message with this.
#include <windows.h>

// wParam and lParam as WM_NEXTDLGCTL carries them: a control to focus when
// LOWORD(lParam) is set, otherwise the previous (wParam set) or next tab stop.
void MoveDialogFocus(HWND window, WPARAM wParam, LPARAM lParam);
