#pragma once
// The window's controls: kind, place, caption and initial state of each.
#include <windows.h>

#include <span>

#include "app/win32/Layout.h"

struct ControlSpec {
    int id;                      // ControlId
    const wchar_t* windowClass;  // a system control class
    DWORD style;                 // besides WS_CHILD
    DWORD exStyle;
    DesignRect rect;
    const wchar_t* caption;
    int listHeight;  // a drop-down list's room for its open list
    bool logFont;    // the log pane's font, not the window's
};

// In the order of tab stops, each label just before the control it names:
// the dialog manager moves the focus, and a label's accelerator, in the
// order of the windows.
std::span<const ControlSpec> Controls();
