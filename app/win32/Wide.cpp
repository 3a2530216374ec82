#include "app/win32/Wide.h"

#include <windows.h>

#include <limits>

namespace {

// The API counts in int; a text beyond that is no text of a window.
int Length(std::size_t size) {
    return size > static_cast<std::size_t>(std::numeric_limits<int>::max()) ? 0 : static_cast<int>(size);
}

}  // namespace

std::wstring Widen(std::string_view utf8) {
    const int length = Length(utf8.size());
    if (length == 0) return {};
    const int needed = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(needed), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), length, wide.data(), needed);
    return wide;
}

std::string Narrow(std::wstring_view utf16) {
    const int length = Length(utf16.size());
    if (length == 0) return {};
    const int needed = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, nullptr, 0, nullptr, nullptr);
    std::string narrow(static_cast<std::size_t>(needed), '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), length, narrow.data(), needed, nullptr, nullptr);
    return narrow;
}
