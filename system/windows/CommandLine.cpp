#include "system/CommandLine.h"

#include <ostream>

#include "system/windows/ConsoleStream.h"
#include "system/windows/Win32.h"
// After windows.h, which it needs.
#include <shellapi.h>

namespace pelko {
namespace {

// A stream with its buffer, passing on what is left when the program ends.
struct StandardStream {
    StandardStream(DWORD handle, bool flushEveryOutput) : buffer(handle), stream(&buffer) {
        if (flushEveryOutput) stream.setf(std::ios::unitbuf);
    }
    ~StandardStream() { stream.flush(); }
    win32::ConsoleStreamBuffer buffer;
    std::ostream stream;
};

}  // namespace

std::vector<std::string> ProgramArguments(int argc, char** argv) {
    int count = 0;
    LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
    if (words == nullptr) return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
    std::vector<std::string> arguments;
    for (int i = 1; i < count; ++i) arguments.push_back(win32::Narrow(words[i]));
    LocalFree(words);
    return arguments;
}

std::ostream& StandardOutput() {
    static StandardStream output(STD_OUTPUT_HANDLE, false);
    return output.stream;
}

std::ostream& StandardError() {
    static StandardStream error(STD_ERROR_HANDLE, true);
    return error.stream;
}

}  // namespace pelko
