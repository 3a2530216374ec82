// The wine prefix the Windows tests run in draws Japanese text with real
// glyphs in the fonts Windows programs use: wine's own interface fonts have
// none, and without the prefix's font settings every kanji is the same box.

#include <gtest/gtest.h>

#include <windows.h>

#include <memory>
#include <ostream>
#include <string>
#include <vector>

namespace {

constexpr int kWidth = 48;
constexpr int kHeight = 32;

struct DcDeleter {
  void operator()(HDC dc) const { DeleteDC(dc); }
};
struct GdiObjectDeleter {
  void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
using UniqueDc = std::unique_ptr<std::remove_pointer_t<HDC>, DcDeleter>;
using UniqueGdiObject = std::unique_ptr<std::remove_pointer_t<HGDIOBJ>, GdiObjectDeleter>;

// The pixels of `text` drawn black on white in `font`.
std::vector<DWORD> Draw(HFONT font, const std::wstring& text) {
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = kWidth;
  info.bmiHeader.biHeight = -kHeight;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  UniqueDc dc(CreateCompatibleDC(nullptr));
  void* bits = nullptr;
  UniqueGdiObject bitmap(CreateDIBSection(dc.get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  if (!dc || !bitmap) return {};
  HGDIOBJ oldBitmap = SelectObject(dc.get(), bitmap.get());
  HGDIOBJ oldFont = SelectObject(dc.get(), font);
  RECT all{0, 0, kWidth, kHeight};
  FillRect(dc.get(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  SetTextColor(dc.get(), RGB(0, 0, 0));
  SetBkMode(dc.get(), TRANSPARENT);
  TextOutW(dc.get(), 2, 2, text.c_str(), static_cast<int>(text.size()));
  GdiFlush();
  const auto* pixels = static_cast<const DWORD*>(bits);
  std::vector<DWORD> drawn(pixels, pixels + kWidth * kHeight);
  SelectObject(dc.get(), oldFont);
  SelectObject(dc.get(), oldBitmap);
  return drawn;
}

int InkedPixels(const std::vector<DWORD>& pixels) {
  int inked = 0;
  for (DWORD pixel : pixels) inked += (pixel & 0xFFFFFF) != 0xFFFFFF;
  return inked;
}

UniqueGdiObject FontNamed(const wchar_t* face, BYTE charset) {
  return UniqueGdiObject(CreateFontW(-12, 0, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE, charset,
                                     OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                     DEFAULT_PITCH, face));
}

UniqueGdiObject MessageBoxFont() {
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (!SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0)) return nullptr;
  return UniqueGdiObject(CreateFontIndirectW(&metrics.lfMessageFont));
}

struct FontCase {
  std::string name;
  UniqueGdiObject (*make)();
};

void PrintTo(const FontCase& font, std::ostream* out) { *out << font.name; }

class JapaneseGlyphs : public testing::TestWithParam<FontCase> {};

// Two different kanji that come out as the same picture are two boxes.
TEST_P(JapaneseGlyphs, TwoKanjiAreDrawnAsTwoDifferentGlyphs) {
  UniqueGdiObject font = GetParam().make();
  ASSERT_NE(font, nullptr);
  auto sun = Draw(static_cast<HFONT>(font.get()), L"\u65E5");   // 日
  auto book = Draw(static_cast<HFONT>(font.get()), L"\u672C");  // 本
  ASSERT_GT(InkedPixels(sun), 0);
  EXPECT_NE(sun, book);
}

INSTANTIATE_TEST_SUITE_P(
    Fonts, JapaneseGlyphs,
    testing::Values(
        FontCase{"StockGuiFont",
                 [] { return UniqueGdiObject(GetStockObject(DEFAULT_GUI_FONT)); }},
        FontCase{"DialogFont", [] { return FontNamed(L"MS Shell Dlg", DEFAULT_CHARSET); }},
        FontCase{"MessageBoxFont", MessageBoxFont},
        // ＭＳ Ｐゴシック in Shift-JIS: the Japanese window's font.
        FontCase{"JapaneseProportionalGothic",
                 [] { return FontNamed(L"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF", SHIFTJIS_CHARSET); }}),
    [](const testing::TestParamInfo<FontCase>& info) { return info.param.name; });

}  // namespace
