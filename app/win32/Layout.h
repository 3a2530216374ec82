#pragma once
// Where the controls go. Every rectangle is given in client pixels at 96
// pixels per inch, as the window was drawn, and placed scaled to the DPI of
// the monitor the window is on; a change of DPI places them all again.
#include <windows.h>

#include <vector>

struct DesignRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;
};

class Layout {
public:
    static constexpr int kDesignDpi = 96;

    explicit Layout(int dpi = kDesignDpi);

    int Dpi() const { return dpi_; }
    int Scale(int designPixels) const;
    // Places the control now and after every change of DPI. listHeight: a
    // drop-down list's room below its closed box, which its window includes.
    void Add(HWND control, DesignRect rect, int listHeight = 0);
    // Moves a control's top edge, keeping the rest of its rectangle.
    void SetTop(HWND control, int designTop);
    void Rescale(int dpi);

private:
    struct Placed {
        HWND control;
        DesignRect rect;
        int listHeight;
    };
    void Place(const Placed& placed) const;

    int dpi_;
    std::vector<Placed> placed_;
};
