#pragma once
// Texts at the edge of the command line: arguments arrive as UTF-8 and go
// into packages as CP932; texts read from templates and packages are printed
// as UTF-8, without control characters that would steer the terminal.
#include <string>
#include <string_view>

namespace pelko::cli {

// ArgumentError naming the argument when the text holds a CR, LF or NUL,
// which would end a descriptor line and begin another.
void RequireSingleLine(std::string_view argument, std::string_view text);

// The CP932 form of a UTF-8 argument for a package, on one line. ArgumentError naming the
// argument (for example "--title") and the first character CP932 cannot
// hold, or saying that the text is not UTF-8.
std::string PackageText(std::string_view argument, std::string_view utf8);

// A CP932 text from a template or package, ready to print.
std::string Shown(std::string_view cp932);
// A name that may be UTF-8 or CP932 (an archive entry's), ready to print.
std::string ShownName(std::string_view raw);
// Raw bytes that should be ASCII, ready to print: others as \xNN.
std::string ShownBytes(std::string_view raw);

}  // namespace pelko::cli
