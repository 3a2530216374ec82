#pragma once
// What the screen shows of a window, read back pixel by pixel: the X server
// under wine draws what any program draws, so one program can look at
// another's window.
#include <windows.h>

#include <cstdint>
#include <vector>

// The window's client area on the screen, as 32-bit pixels row by row.
std::vector<std::uint32_t> ScreenPixelsOf(HWND window);
