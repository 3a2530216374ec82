#pragma once
// The window's two fonts: a proportional Japanese font for the controls and
// a fixed-pitch one for the log, each 12 pixels high at 96 DPI. The faces are
// those of Japanese Windows where installed, else a Japanese face Windows
// has (under wine, whatever the prefix puts in their place).
#include <windows.h>

#include <string>

#include "app/win32/Handles.h"

class Fonts {
public:
    Fonts();

    // Makes both fonts again for the DPI; the earlier ones stay valid until
    // the next call, so the controls can be given the new ones first.
    void Create(int dpi);
    HFONT Window() const { return window_.get(); }
    HFONT Log() const { return log_.get(); }
    const std::wstring& WindowFace() const { return windowFace_; }
    const std::wstring& LogFace() const { return logFace_; }

private:
    std::wstring windowFace_;
    std::wstring logFace_;
    UniqueFont window_;
    UniqueFont log_;
    UniqueFont previousWindow_;
    UniqueFont previousLog_;
};
