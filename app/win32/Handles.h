#pragma once
// Owners of the window's handles: every way out releases them.
#include <windows.h>
#include <shellapi.h>

#include <memory>
#include <type_traits>

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;

// A window destroyed without its procedure hearing of it: the object behind
// the procedure may be half gone by then.
struct WindowDeleter {
    void operator()(HWND window) const {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        DestroyWindow(window);
    }
};
using UniqueWindow = std::unique_ptr<std::remove_pointer_t<HWND>, WindowDeleter>;

// The shell's drop, released whatever becomes of the files.
struct DropDeleter {
    void operator()(HDROP drop) const { DragFinish(drop); }
};
using UniqueDrop = std::unique_ptr<std::remove_pointer_t<HDROP>, DropDeleter>;
