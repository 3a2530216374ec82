// What the test support does with POSIX calls: shell commands, the open
// descriptors, the environment, file times, and programs run in a folder.
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <stdexcept>

#include "support/CliRunner.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko::test {

int Run(const std::string& command, std::string* out) {
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return -1;
    std::array<char, 4096> buffer;
    std::string text;
    size_t got;
    while ((got = fread(buffer.data(), 1, buffer.size(), pipe)) > 0) text.append(buffer.data(), got);
    int status = pclose(pipe);
    if (out) *out = text;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

int OpenDescriptorCount() {
    int count = 0;
    if (DIR* fds = ::opendir("/proc/self/fd")) {
        while (::readdir(fds) != nullptr) ++count;
        ::closedir(fds);
    }
    return count;
}

File OpenForUpdate(const std::string& path) {
    return File(FileHandle(::open(path.c_str(), O_RDWR | O_CLOEXEC)), path);
}

File OpenWriteOnly(const std::string& path) {
    return File(FileHandle(::open(path.c_str(), O_WRONLY | O_CLOEXEC)), path);
}

void SetEnvironment(const char* name, const std::optional<std::string>& value) {
    if (value) {
        setenv(name, value->c_str(), 1);
    } else {
        unsetenv(name);
    }
}

void SetFileTime(const std::string& path, std::time_t time) {
    const timespec times[2] = {{time, 0}, {time, 0}};
    if (utimensat(AT_FDCWD, path.c_str(), times, 0) != 0) {
        throw std::runtime_error("cannot set the time of " + path);
    }
}

bool HaveProgram(std::string_view name) {
    return Run("command -v " + ShellQuoted(name) + " >/dev/null 2>&1") == 0;
}

CliResult RunProgram(const std::string& directory, const std::string& program, const std::vector<std::string>& args) {
    ScratchDir capture;
    std::string command = "cd " + ShellQuoted(directory) + " && " + ShellQuoted(program);
    for (const std::string& arg : args) command += " " + ShellQuoted(arg);
    command += " 2>" + ShellQuoted(capture / "stderr");
    CliResult result;
    result.code = Run(command, &result.out);
    result.err = Exists(capture / "stderr") ? ReadFile(capture / "stderr") : std::string();
    return result;
}

}  // namespace pelko::test
