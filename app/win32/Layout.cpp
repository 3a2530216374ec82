#include "app/win32/Layout.h"

Layout::Layout(int dpi) : dpi_(dpi) {}

int Layout::Scale(int designPixels) const {
    return MulDiv(designPixels, dpi_, kDesignDpi);
}

void Layout::Add(HWND control, DesignRect rect, int listHeight) {
    placed_.push_back({control, rect, listHeight});
    Place(placed_.back());
}

void Layout::SetTop(HWND control, int designTop) {
    for (Placed& placed : placed_) {
        if (placed.control != control) continue;
        placed.rect.top = designTop;
        Place(placed);
    }
}

void Layout::Rescale(int dpi) {
    dpi_ = dpi;
    for (const Placed& placed : placed_) Place(placed);
}

void Layout::Place(const Placed& placed) const {
    const DesignRect& r = placed.rect;
    SetWindowPos(placed.control, nullptr, Scale(r.left), Scale(r.top), Scale(r.width),
                 Scale(r.height + placed.listHeight), SWP_NOZORDER | SWP_NOACTIVATE);
}
