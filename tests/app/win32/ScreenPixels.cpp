#include "ScreenPixels.h"

#include <memory>
#include <stdexcept>
#include <type_traits>

namespace {

struct ScreenDcReleaser {
    void operator()(HDC dc) const { ReleaseDC(nullptr, dc); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};
struct ObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
template <typename Handle, typename Deleter>
using Owned = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;

}  // namespace

std::vector<std::uint32_t> ScreenPixelsOf(HWND window) {
    RECT rect;
    if (!GetClientRect(window, &rect)) throw std::runtime_error("the window has no place on the screen");
    MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    const int width = rect.right - rect.left;
    const int height = rect.bottom - rect.top;
    const Owned<HDC, ScreenDcReleaser> screen(GetDC(nullptr));
    const Owned<HDC, DcDeleter> memory(CreateCompatibleDC(screen.get()));
    const Owned<HBITMAP, ObjectDeleter> bitmap(CreateCompatibleBitmap(screen.get(), width, height));
    if (!screen || !memory || !bitmap) throw std::runtime_error("cannot copy the screen");
    const HGDIOBJ previous = SelectObject(memory.get(), bitmap.get());
    BitBlt(memory.get(), 0, 0, width, height, screen.get(), rect.left, rect.top, SRCCOPY);
    SelectObject(memory.get(), previous);

    BITMAPINFO format{};
    format.bmiHeader.biSize = sizeof format.bmiHeader;
    format.bmiHeader.biWidth = width;
    format.bmiHeader.biHeight = -height;  // top row first
    format.bmiHeader.biPlanes = 1;
    format.bmiHeader.biBitCount = 32;
    format.bmiHeader.biCompression = BI_RGB;
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * static_cast<std::size_t>(height));
    if (GetDIBits(memory.get(), bitmap.get(), 0, static_cast<UINT>(height), pixels.data(), &format,
                  DIB_RGB_COLORS) != height) {
        throw std::runtime_error("cannot read the screen's pixels");
    }
    return pixels;
}
