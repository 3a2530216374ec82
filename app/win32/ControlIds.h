#pragma once
// The child-window identifiers of the window's controls, named as the
// controls: what WM_COMMAND reports and what GetDlgItem finds. None is IDOK
// or IDCANCEL, which the dialog manager sends for Return and Escape.
namespace ControlId {

inline constexpr int LabelTemp = 1001;
inline constexpr int LabelTitle = 1002;
inline constexpr int LabelAuthor = 1003;
inline constexpr int LabelOptions = 1004;
inline constexpr int LabelValue = 1005;
inline constexpr int ComboTemp = 1006;
inline constexpr int EditTitle = 1007;
inline constexpr int EditAuthor = 1008;
inline constexpr int CheckCopy = 1009;
inline constexpr int ButtonMake = 1010;
inline constexpr int ComboOptions = 1011;
inline constexpr int EditValue = 1012;
inline constexpr int ButtonBrowse = 1013;
inline constexpr int Log = 1014;
inline constexpr int CheckValue = 1015;
inline constexpr int ComboValue = 1016;

}  // namespace ControlId

// The window's class name, by which other programs find it.
inline constexpr wchar_t kWindowClassName[] = L"TForm1";
