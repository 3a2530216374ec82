#pragma once
// Where things are: the running program, the environment's settings, paths
// taken from the current directory.
#include <optional>
#include <string>

#include "system/SystemError.h"

namespace pelko {

// Full path of the running executable; empty when the system does not say.
std::string ExecutablePath();

// The environment variable's value; nullopt when it is not set.
std::optional<std::string> EnvironmentValue(const char* name);

// path as it is when absolute, otherwise behind the current directory;
// nothing is resolved or tidied. An empty path is an error.
Outcome<std::string> AbsolutePath(const std::string& path);

}  // namespace pelko
