#pragma once
// The system colours a colour value may name, as Windows has them now.
#include <windows.h>

#include "text/Color.h"

class Win32SystemColors : public pelko::SystemColors {
public:
    std::uint32_t SystemColor(int index) const override { return GetSysColor(index); }
};
