#pragma once
// Path texts. The host syntax is the file system's own; the Windows syntax
// (backslash and colon, CP932 trail bytes never taken for a delimiter) is the
// same code with another delimiter set. Host paths are UTF-8 on every
// system, where no byte of a character is a delimiter.
#include <string>
#include <string_view>

namespace pelko {

// Posix: "/" only. Windows: backslash and colon. Archive: backslash and slash,
// for entry names written in a descriptor by authors on either system.
// Windows and Archive pass over CP932 trail bytes. WindowsHost: the host
// paths of Windows, in UTF-8: backslash, slash and colon, no pairs.
enum class PathSyntax { Posix, Windows, Archive, WindowsHost };

#ifdef _WIN32
inline constexpr PathSyntax kHostSyntax = PathSyntax::WindowsHost;
#else
inline constexpr PathSyntax kHostSyntax = PathSyntax::Posix;
#endif

// Up to and including the last delimiter; empty when there is none.
std::string DirectoryOf(std::string_view path, PathSyntax syntax = kHostSyntax);
// After the last delimiter; the whole path when there is none.
std::string FileNameOf(std::string_view path, PathSyntax syntax = kHostSyntax);
// From the last dot, when it comes after the last delimiter; else empty.
std::string ExtensionOf(std::string_view path, PathSyntax syntax = kHostSyntax);
// The path without its extension, followed by extension (which brings its dot).
std::string WithExtension(std::string_view path, std::string_view extension,
                          PathSyntax syntax = kHostSyntax);
// Whether path names its file without a starting directory: it begins with a
// delimiter (a slash for Windows too), or, on Windows, with a drive letter
// and its colon.
bool IsAbsolutePath(std::string_view path, PathSyntax syntax = kHostSyntax);

// Full path of the running executable.
std::string ProgramPath();
// DirectoryOf(ProgramPath()), with its trailing separator.
std::string ProgramDirectory();

}  // namespace pelko
