#pragma once
// The system colours a colour value may name (Win32 indices, as templates
// and colour dialogs have always used them), read from the Qt palette.
#include <QPalette>
#include <functional>

#include "text/Color.h"

class QtSystemColors : public pelko::SystemColors {
public:
    // The palette is read at every call, so a theme change is seen at once.
    explicit QtSystemColors(std::function<QPalette()> palette = DefaultPalette);

    // 0x00BBGGRR of the palette role that stands for the index; black where
    // no role fits.
    std::uint32_t SystemColor(int index) const override;

private:
    static QPalette DefaultPalette();
    std::function<QPalette()> palette_;
};
