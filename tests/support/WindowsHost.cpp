// What the test support does on Windows with the system's own calls: the
// open handles, the environment, file times, and programs run in a folder
// with their output captured. There is no POSIX shell to run commands in.
#include <windows.h>

#include <gtest/gtest.h>

#include <stdexcept>

#include "support/CliRunner.h"
#include "support/TestFiles.h"
#include "support/ZipTools.h"

namespace pelko::test {
namespace {

std::wstring Wide(const std::string& utf8) {
    return HostPath(utf8).wstring();
}

// One argument as the C runtime splits a command line again: quoted, with
// the backslashes before a quote doubled.
std::wstring Quoted(const std::wstring& argument) {
    std::wstring quoted = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : argument) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == L'"' ? 2 * backslashes + 1 : backslashes, L'\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(2 * backslashes, L'\\');
    return quoted + L"\"";
}

// A file the child writes its output into, inherited by it.
HANDLE InheritedFile(const std::string& path) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    return CreateFileW(Wide(path).c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       &inherit, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

int Run(const std::string& command, std::string*) {
    ADD_FAILURE() << "no POSIX shell on Windows to run: " << command;
    return -1;
}

int OpenDescriptorCount() {
    DWORD count = 0;
    GetProcessHandleCount(GetCurrentProcess(), &count);
    return static_cast<int>(count);
}

File Opened(const std::string& path, DWORD access) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return File(file == INVALID_HANDLE_VALUE ? kNoFile : FileHandle(reinterpret_cast<std::intptr_t>(file)), path);
}

File OpenForUpdate(const std::string& path) { return Opened(path, GENERIC_READ | GENERIC_WRITE); }

File OpenWriteOnly(const std::string& path) { return Opened(path, GENERIC_WRITE); }

// No POSIX shell, so none of the build machine's programs (zip, unzip, the
// JDK) to compare with: the tests that need one skip.
bool HaveProgram(std::string_view) { return false; }

void SetEnvironment(const char* name, const std::optional<std::string>& value) {
    const std::wstring wideName = Wide(name);
    SetEnvironmentVariableW(wideName.c_str(), value ? Wide(*value).c_str() : nullptr);
}

void SetFileTime(const std::string& path, std::time_t time) {
    const HANDLE file = CreateFileW(Wide(path).c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    const std::uint64_t ticks = (static_cast<std::uint64_t>(time) + 11644473600u) * 10000000u;
    const FILETIME stamp{static_cast<DWORD>(ticks & 0xFFFFFFFFu), static_cast<DWORD>(ticks >> 32)};
    const bool set = file != INVALID_HANDLE_VALUE && ::SetFileTime(file, nullptr, &stamp, &stamp);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
    if (!set) throw std::runtime_error("cannot set the time of " + path);
}

CliResult RunProgram(const std::string& directory, const std::string& program, const std::vector<std::string>& args) {
    ScratchDir capture;
    std::wstring commandLine = Quoted(Wide(program));
    for (const std::string& arg : args) commandLine += L" " + Quoted(Wide(arg));
    const HANDLE out = InheritedFile(capture / "stdout");
    const HANDLE err = InheritedFile(capture / "stderr");
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = out;
    startup.hStdError = err;
    PROCESS_INFORMATION process{};
    const std::wstring folder = Wide(directory);
    const bool started = CreateProcessW(Wide(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0,
                                        nullptr, folder.c_str(), &startup, &process);
    CloseHandle(out);
    CloseHandle(err);
    CliResult result;
    if (!started) {
        ADD_FAILURE() << "cannot start " << program << " (error " << GetLastError() << ")";
        return result;
    }
    WaitForSingleObject(process.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    result.code = static_cast<int>(code);
    result.out = ReadFile(capture / "stdout");
    result.err = ReadFile(capture / "stderr");
    return result;
}

}  // namespace pelko::test
