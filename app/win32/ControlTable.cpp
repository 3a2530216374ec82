#include "app/win32/ControlTable.h"

#include <commctrl.h>

#include <array>

#include "app/win32/ControlIds.h"

namespace {

constexpr DWORD kShown = WS_VISIBLE;
constexpr DWORD kHidden = 0;
// Room below a drop-down list's closed box for its open list: eight items.
constexpr int kListHeight = 8 * 16;

constexpr ControlSpec Label(int id, DesignRect rect, const wchar_t* caption) {
    return {id, WC_STATICW, SS_CENTER | kShown, 0, rect, caption, 0, false};
}

constexpr ControlSpec DropDownList(int id, DesignRect rect, DWORD shown) {
    return {id, WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP | shown, 0, rect, L"", kListHeight, false};
}

constexpr ControlSpec Edit(int id, DesignRect rect, const wchar_t* text, DWORD shown) {
    return {id, WC_EDITW, ES_AUTOHSCROLL | WS_TABSTOP | shown, WS_EX_CLIENTEDGE, rect, text, 0, false};
}

constexpr ControlSpec Button(int id, DesignRect rect, const wchar_t* caption, DWORD state) {
    return {id, WC_BUTTONW, BS_PUSHBUTTON | WS_TABSTOP | state, 0, rect, caption, 0, false};
}

constexpr ControlSpec CheckBox(int id, DesignRect rect, const wchar_t* caption, DWORD shown) {
    return {id, WC_BUTTONW, BS_AUTOCHECKBOX | WS_TABSTOP | shown, 0, rect, caption, 0, false};
}

// Read-only, wrapping its lines, and without ES_WANTRETURN: Return is not
// the log's.
constexpr ControlSpec LogPane(int id, DesignRect rect) {
    return {id, WC_EDITW, ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | WS_VSCROLL | WS_TABSTOP | kShown,
            WS_EX_CLIENTEDGE, rect, L"", 0, true};
}

constexpr std::array kControls{
    Label(ControlId::LabelTemp, {5, 15, 50, 12}, L"&Template"),
    DropDownList(ControlId::ComboTemp, {55, 10, 150, 20}, kShown),
    Label(ControlId::LabelTitle, {5, 40, 50, 12}, L"App&Name"),
    Edit(ControlId::EditTitle, {55, 35, 90, 20}, L"Pelko", kShown),
    Label(ControlId::LabelAuthor, {155, 40, 40, 12}, L"&Author"),
    Edit(ControlId::EditAuthor, {195, 35, 90, 20}, L"", kShown),
    Label(ControlId::LabelOptions, {5, 65, 50, 12}, L"&Options"),
    DropDownList(ControlId::ComboOptions, {55, 60, 150, 20}, kShown),
    Label(ControlId::LabelValue, {5, 90, 50, 12}, L"Value"),
    Edit(ControlId::EditValue, {55, 85, 210, 20}, L"", kHidden),
    Button(ControlId::ButtonBrowse, {265, 85, 20, 20}, L"...", kHidden | WS_DISABLED),
    DropDownList(ControlId::ComboValue, {55, 95, 230, 20}, kHidden),
    CheckBox(ControlId::CheckValue, {55, 90, 230, 12}, L"Enable", kHidden),
    CheckBox(ControlId::CheckCopy, {215, 15, 70, 12}, L"&Copyright", kShown),
    Button(ControlId::ButtonMake, {210, 60, 75, 20}, L"作成(&M)", kShown),
    LogPane(ControlId::Log, {5, 115, 280, 75}),
};

}  // namespace

std::span<const ControlSpec> Controls() {
    return kControls;
}
