#include "system/windows/ConsoleStream.h"

#include <algorithm>

namespace pelko::win32 {
namespace {

constexpr std::size_t kPassOnAt = 8192;

// How much of text is whole UTF-8 characters: a character cut off at the
// end waits for its other bytes, so that a console never shows it as two
// broken halves.
std::size_t WholeCharacters(const std::string& text) {
    std::size_t start = text.size();
    for (std::size_t back = 0; back < 4 && start > 0; ++back) {
        const auto byte = static_cast<unsigned char>(text[start - 1]);
        if ((byte & 0xC0) != 0x80) {
            --start;  // the lead byte (or an ASCII one) of the last character
            const std::size_t length = byte >= 0xF0 ? 4 : byte >= 0xE0 ? 3 : byte >= 0xC0 ? 2 : 1;
            return text.size() - start < length ? start : text.size();
        }
        --start;
    }
    return text.size();
}

}  // namespace

ConsoleStreamBuffer::ConsoleStreamBuffer(DWORD standardHandle) : handle_(GetStdHandle(standardHandle)) {
    DWORD mode = 0;
    console_ = handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE && GetConsoleMode(handle_, &mode);
}

ConsoleStreamBuffer::~ConsoleStreamBuffer() {
    WritePending();
}

ConsoleStreamBuffer::int_type ConsoleStreamBuffer::overflow(int_type c) {
    if (traits_type::eq_int_type(c, traits_type::eof())) return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    if (pending_.size() >= kPassOnAt && !WritePending()) return traits_type::eof();
    return c;
}

std::streamsize ConsoleStreamBuffer::xsputn(const char* bytes, std::streamsize count) {
    pending_.append(bytes, static_cast<std::size_t>(count));
    if (pending_.size() >= kPassOnAt && !WritePending()) return 0;
    return count;
}

int ConsoleStreamBuffer::sync() {
    return WritePending() ? 0 : -1;
}

bool ConsoleStreamBuffer::WritePending() {
    const std::size_t length = console_ ? WholeCharacters(pending_) : pending_.size();
    const bool written = console_ ? WriteToConsole(length) : WriteToFile(length);
    pending_.erase(0, length);
    return written;
}

// Bytes that are no UTF-8 are shown as U+FFFD.
bool ConsoleStreamBuffer::WriteToConsole(std::size_t length) {
    if (length == 0) return true;
    const int size = static_cast<int>(length);
    const int wideLength = MultiByteToWideChar(CP_UTF8, 0, pending_.data(), size, nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(wideLength > 0 ? wideLength : 0), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, pending_.data(), size, wide.data(), wideLength);
    for (std::size_t done = 0; done < wide.size();) {
        DWORD put = 0;
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(wide.size() - done, 16384));
        if (!WriteConsoleW(handle_, wide.data() + done, piece, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

bool ConsoleStreamBuffer::WriteToFile(std::size_t length) {
    for (std::size_t done = 0; done < length;) {
        DWORD put = 0;
        const auto piece = static_cast<DWORD>(std::min<std::size_t>(length - done, 1 << 20));
        if (!WriteFile(handle_, pending_.data() + done, piece, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

}  // namespace pelko::win32
