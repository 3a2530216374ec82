#include "app/win32/Fonts.h"

#include <initializer_list>
#include <utility>

namespace {

constexpr int kFontPixels = 12;

// The Windows faces in order of preference: the classic ones first, then
// those every Japanese Windows has had since.
constexpr std::initializer_list<const wchar_t*> kWindowFaces = {
    L"ＭＳ Ｐゴシック", L"MS PGothic", L"Meiryo UI", L"Yu Gothic UI", L"MS UI Gothic"};
constexpr std::initializer_list<const wchar_t*> kLogFaces = {
    L"ＭＳ ゴシック", L"MS Gothic", L"Meiryo UI", L"Yu Gothic UI", L"MS UI Gothic"};

int CALLBACK FoundFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM found) {
    *reinterpret_cast<bool*>(found) = true;
    return 0;  // one is enough
}

bool IsInstalled(const wchar_t* face) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    lstrcpynW(wanted.lfFaceName, face, LF_FACESIZE);
    bool found = false;
    HDC screen = GetDC(nullptr);
    EnumFontFamiliesExW(screen, &wanted, FoundFace, reinterpret_cast<LPARAM>(&found), 0);
    ReleaseDC(nullptr, screen);
    return found;
}

// The first installed face; with none, the first, which the font mapper
// then matches as well as it can in the Japanese character set.
std::wstring FirstInstalled(std::initializer_list<const wchar_t*> faces) {
    for (const wchar_t* face : faces) {
        if (IsInstalled(face)) return face;
    }
    return *faces.begin();
}

UniqueFont MakeFont(const std::wstring& face, int dpi, DWORD pitch) {
    HFONT font = CreateFontW(-MulDiv(kFontPixels, dpi, 96), 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                             SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                             pitch | FF_DONTCARE, face.c_str());
    // The system's own font keeps the window usable where no font could be made.
    return UniqueFont(font ? font : static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT)));
}

}  // namespace

Fonts::Fonts() : windowFace_(FirstInstalled(kWindowFaces)), logFace_(FirstInstalled(kLogFaces)) {}

void Fonts::Create(int dpi) {
    previousWindow_ = std::exchange(window_, MakeFont(windowFace_, dpi, VARIABLE_PITCH));
    previousLog_ = std::exchange(log_, MakeFont(logFace_, dpi, FIXED_PITCH));
}
