#pragma once
// The paths a command line names, made absolute from the current directory;
// the build itself never looks at it.
#include <string>

namespace pelko::cli {

// A template's descriptor: the build derives the archive's name from it, so
// any other file (the .jar, say) would be read as descriptor lines. A bare
// file name that the current directory lacks names one of the templates the
// window lists (program directory first, then the user's). ArgumentError
// when it is no ".jad".
std::string TemplatePath(const std::string& typed);

// The package to write, given its ".kjx". ArgumentError when it names a
// directory.
std::string OutputPath(const std::string& typed);

}  // namespace pelko::cli
