#pragma once
// Random parts of new names, as mkstemp and mkdtemp choose them on POSIX.
#include <string>

namespace pelko::win32 {

// Six letters and digits.
std::string RandomSuffix();

}  // namespace pelko::win32
