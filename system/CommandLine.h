#pragma once
// A command-line program's words and its two output streams. Arguments
// arrive as UTF-8 on every system, and what is printed is UTF-8 too: shown
// as text on a console, written as the bytes they are to files and pipes.
#include <iosfwd>
#include <string>
#include <vector>

namespace pelko {

// The arguments after the program's name, as UTF-8: argv as main got it on
// POSIX; on Windows, where argv is in the ANSI code page and loses what
// that cannot hold, they are read again from the UTF-16 command line.
std::vector<std::string> ProgramArguments(int argc, char** argv);

// The standard output, and the standard error (which flushes after every
// output operation), for UTF-8 text.
std::ostream& StandardOutput();
std::ostream& StandardError();

}  // namespace pelko
