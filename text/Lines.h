#pragma once
// Text files as string lists: cut at CR, LF or CR LF, joined with CR LF.
#include <string>
#include <string_view>

#include "system/SystemError.h"
#include "text/StringList.h"

namespace pelko {

// CR, LF and NUL: put into a line, each would end that line and begin
// another. For characters of any text, bytes of CP932 and UTF-8 included.
bool IsLineEnd(char32_t character);
// True when the text holds a byte that IsLineEnd.
bool HasLineEnd(std::string_view text);
// Replaces the items by the lines of bytes (a NUL ends the text).
void SplitLines(StringList& list, std::string_view bytes);
// Reads the whole file, bytes untouched. OpenError(path), as a FileError with
// the system's error, when it cannot be opened or read; the list is then
// unchanged.
void LoadLines(StringList& list, const std::string& path);
// The same, with the system's error instead of an exception.
Outcome<StringList> ReadLines(const std::string& path);
// Every item followed by CR LF.
std::string JoinLines(const StringList& list);
// CreateError(path) when the file cannot be created; StreamWriteError() when
// writing fails, each as a FileError with the system's error (the file is closed and stays as written). A write the
// system cuts short or interrupts goes on with the rest.
void SaveLines(const StringList& list, const std::string& path);
// The same, with the system's error instead of an exception.
Outcome<void> WriteLines(const StringList& list, const std::string& path);

}  // namespace pelko
