#include "system/Locations.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <vector>

#include "system/posix/Posix.h"

namespace pelko {

std::string ExecutablePath() {
    // The link's length is not known beforehand: grow until it fits, with no
    // fixed cut at any length.
    std::vector<char> buffer(256);
    for (;;) {
        const ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
        if (length < 0) {
            return {};
        }
        if (static_cast<std::size_t>(length) < buffer.size()) {
            return std::string(buffer.data(), static_cast<std::size_t>(length));
        }
        buffer.resize(buffer.size() * 2);
    }
}

std::optional<std::string> EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

Outcome<std::string> AbsolutePath(const std::string& path) {
    std::error_code error;
    const std::filesystem::path absolute = std::filesystem::absolute(path, error);
    if (error) return posix::ErrorOf("find", path, error.value());
    return absolute.string();
}

}  // namespace pelko
