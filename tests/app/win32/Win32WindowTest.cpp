// The Win32 window itself: its frame, the controls at their places with
// their captions, tab order and fonts, and all of it scaled to the DPI.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "Win32TestWindow.h"
#include "app/win32/ControlIds.h"
#include "pelko/Version.h"
#include "support/RowName.h"

namespace pelko::test {
namespace {

RECT ClientRectOf(HWND control) {
    RECT rect;
    GetWindowRect(control, &rect);
    MapWindowPoints(nullptr, GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

LOGFONTW FontOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font, &font);
    return font;
}

struct ControlCase {
    std::string name;
    int id;
    RECT rect;  // left, top, right, bottom at 96 DPI
    std::wstring caption;
    bool shown;
    bool enabled;
};

class Win32Window : public ::testing::TestWithParam<ControlCase> {};

TEST_P(Win32Window, PlacesTheControlWithItsCaption) {
    const ControlCase& c = GetParam();
    TestWindow window;
    HWND control = window.Control(c.id);
    ASSERT_NE(control, nullptr);
    const RECT rect = ClientRectOf(control);
    EXPECT_EQ(rect.left, c.rect.left);
    EXPECT_EQ(rect.top, c.rect.top);
    EXPECT_EQ(rect.right, c.rect.right);
    // A closed drop-down list is as high as its font makes it.
    if (c.id != ControlId::ComboTemp && c.id != ControlId::ComboOptions && c.id != ControlId::ComboValue) {
        EXPECT_EQ(rect.bottom, c.rect.bottom);
    }
    EXPECT_EQ(window.Text(c.id), c.caption);
    EXPECT_EQ((GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) != 0, c.shown);
    EXPECT_EQ(IsWindowEnabled(control) != FALSE, c.enabled);
}

INSTANTIATE_TEST_SUITE_P(
    Controls, Win32Window,
    ::testing::Values(ControlCase{"LabelTemp", ControlId::LabelTemp, {5, 15, 55, 27}, L"&Template", true, true},
                      ControlCase{"LabelTitle", ControlId::LabelTitle, {5, 40, 55, 52}, L"App&Name", true, true},
                      ControlCase{"LabelAuthor", ControlId::LabelAuthor, {155, 40, 195, 52}, L"&Author", true, true},
                      ControlCase{"LabelOptions", ControlId::LabelOptions, {5, 65, 55, 77}, L"&Options", true, true},
                      ControlCase{"LabelValue", ControlId::LabelValue, {5, 90, 55, 102}, L"Value", true, true},
                      ControlCase{"ComboTemp", ControlId::ComboTemp, {55, 10, 205, 30}, L"", true, true},
                      ControlCase{"EditTitle", ControlId::EditTitle, {55, 35, 145, 55}, L"Pelko", true, true},
                      ControlCase{"EditAuthor", ControlId::EditAuthor, {195, 35, 285, 55}, L"", true, true},
                      ControlCase{"CheckCopy", ControlId::CheckCopy, {215, 15, 285, 27}, L"&Copyright", true, true},
                      ControlCase{"ButtonMake", ControlId::ButtonMake, {210, 60, 285, 80}, L"作成(&M)", true, true},
                      ControlCase{"ComboOptions", ControlId::ComboOptions, {55, 60, 205, 80}, L"", true, true},
                      ControlCase{"EditValue", ControlId::EditValue, {55, 85, 265, 105}, L"", false, true},
                      ControlCase{"ButtonBrowse", ControlId::ButtonBrowse, {265, 85, 285, 105}, L"...", false, false},
                      ControlCase{"CheckValue", ControlId::CheckValue, {55, 90, 285, 102}, L"Enable", false, true},
                      // Moved up by the form as the window is created.
                      ControlCase{"ComboValue", ControlId::ComboValue, {55, 85, 285, 105}, L"", false, true}),
    RowName<ControlCase>);

TEST(Win32WindowFrame, IsFixedCentredAndButtonFaced) {
    TestWindow window;
    const LONG_PTR style = GetWindowLongPtrW(window.Handle(), GWL_STYLE);
    EXPECT_EQ(style & (WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX), WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX);
    EXPECT_EQ(style & (WS_MAXIMIZEBOX | WS_THICKFRAME), 0);
    RECT client;
    GetClientRect(window.Handle(), &client);
    EXPECT_EQ(client.right, 290);
    EXPECT_EQ(client.bottom, 200);

    RECT frame;
    GetWindowRect(window.Handle(), &frame);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    GetMonitorInfoW(MonitorFromWindow(window.Handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    EXPECT_NEAR(frame.left + frame.right, monitor.rcWork.left + monitor.rcWork.right, 1);
    EXPECT_NEAR(frame.top + frame.bottom, monitor.rcWork.top + monitor.rcWork.bottom, 1);

    wchar_t title[16] = {};
    GetWindowTextW(window.Handle(), title, 16);
    EXPECT_STREQ(title, L"Pelko");
    EXPECT_EQ(reinterpret_cast<HBRUSH>(GetClassLongPtrW(window.Handle(), GCLP_HBRBACKGROUND)),
              GetSysColorBrush(COLOR_BTNFACE));
}

// With the file editor shown, every tab stop but the hidden ones; each
// label's accelerator goes to the control after it.
TEST(Win32WindowFrame, TabStopsAndAcceleratorsFollowTheWindowsOrder) {
    TestWindow window({Sjis("Pelko-File: 画像,back.png")});
    window.ChooseTemplate();
    ASSERT_TRUE(IsWindowEnabled(window.Control(ControlId::ButtonBrowse)));
    const std::vector<int> order = {ControlId::ComboTemp,  ControlId::EditTitle,    ControlId::EditAuthor,
                                    ControlId::ComboOptions, ControlId::EditValue, ControlId::ButtonBrowse,
                                    ControlId::CheckCopy,  ControlId::ButtonMake,   ControlId::Log,
                                    ControlId::ComboTemp};
    for (std::size_t i = 1; i < order.size(); ++i) {
        EXPECT_EQ(GetDlgCtrlID(GetNextDlgTabItem(window.Handle(), window.Control(order[i - 1]), FALSE)), order[i])
            << "after " << order[i - 1];
    }
    const std::pair<int, int> accelerators[] = {{ControlId::LabelTemp, ControlId::ComboTemp},
                                                {ControlId::LabelTitle, ControlId::EditTitle},
                                                {ControlId::LabelAuthor, ControlId::EditAuthor},
                                                {ControlId::LabelOptions, ControlId::ComboOptions}};
    for (const auto& [label, control] : accelerators) {
        EXPECT_EQ(GetWindow(window.Control(label), GW_HWNDNEXT), window.Control(control)) << label;
    }
}

// The test prefix puts its Japanese fonts in the place of the faces the
// window asks for first, so those are the ones found.
TEST(Win32WindowFrame, ControlsUseTheJapaneseFaces) {
    TestWindow window;
    for (int id : {ControlId::LabelTemp, ControlId::EditTitle, ControlId::ComboTemp, ControlId::ButtonMake}) {
        const LOGFONTW font = FontOf(window.Control(id));
        EXPECT_STREQ(font.lfFaceName, L"ＭＳ Ｐゴシック") << id;
        EXPECT_EQ(font.lfHeight, -12) << id;
        EXPECT_EQ(font.lfCharSet, SHIFTJIS_CHARSET) << id;
    }
    EXPECT_STREQ(FontOf(window.Control(ControlId::Log)).lfFaceName, L"ＭＳ ゴシック");
}

TEST(Win32WindowFrame, ADpiChangeScalesTheWindowItsControlsAndFonts) {
    TestWindow window;
    RECT suggested{10, 20, 10, 20};
    SendMessageW(window.Handle(), WM_DPICHANGED, MAKEWPARAM(144, 144), reinterpret_cast<LPARAM>(&suggested));
    // Where suggested, a frame round a client area of 435 x 300, the frame
    // as thick as it is at the new DPI.
    RECT frame;
    GetWindowRect(window.Handle(), &frame);
    RECT expected{0, 0, 435, 300};
    AdjustWindowRectExForDpi(&expected, static_cast<DWORD>(GetWindowLongPtrW(window.Handle(), GWL_STYLE)), FALSE,
                             static_cast<DWORD>(GetWindowLongPtrW(window.Handle(), GWL_EXSTYLE)), 144);
    EXPECT_EQ(frame.left, 10);
    EXPECT_EQ(frame.top, 20);
    EXPECT_EQ(frame.right - frame.left, expected.right - expected.left);
    EXPECT_EQ(frame.bottom - frame.top, expected.bottom - expected.top);
    // 55, 35, 90 x 20 at 96 DPI; halves round up.
    const RECT title = ClientRectOf(window.Control(ControlId::EditTitle));
    EXPECT_EQ(title.left, 83);
    EXPECT_EQ(title.top, 53);
    EXPECT_EQ(title.right, 218);
    EXPECT_EQ(title.bottom, 83);
    EXPECT_EQ(FontOf(window.Control(ControlId::EditTitle)).lfHeight, -18);
    EXPECT_EQ(FontOf(window.Control(ControlId::Log)).lfHeight, -18);
    // A control the form moved keeps its new place.
    EXPECT_EQ(ClientRectOf(window.Control(ControlId::ComboValue)).top, 128);
}

TEST(Win32WindowFrame, LogShowsItsStartLinesReadOnly) {
    TestWindow window;
    EXPECT_EQ(window.Text(ControlId::Log), L"Pelko " PELKO_VERSION L"\r\nPersonalised ezplus packages for Java handsets");
    const LONG_PTR style = GetWindowLongPtrW(window.Control(ControlId::Log), GWL_STYLE);
    EXPECT_EQ(style & (ES_MULTILINE | ES_READONLY | WS_VSCROLL), ES_MULTILINE | ES_READONLY | WS_VSCROLL);
    EXPECT_EQ(style & ES_WANTRETURN, 0);
}

}  // namespace
}  // namespace pelko::test
