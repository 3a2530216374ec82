#pragma once
// The Win32 API's texts are UTF-16; the form's are UTF-8.
#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
// A lone surrogate, which no UTF-8 text holds, becomes U+FFFD.
std::string Narrow(std::wstring_view utf16);
