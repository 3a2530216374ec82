#pragma once
// The buffer behind the standard streams on Windows: UTF-8 text goes to a
// console through WriteConsoleW, which shows every character whatever the
// console's code page, and to anything else (a file, a pipe) through
// WriteFile as the bytes it is, with no line ends changed.
#include <windows.h>

#include <streambuf>
#include <string>

namespace pelko::win32 {

class ConsoleStreamBuffer : public std::streambuf {
public:
    explicit ConsoleStreamBuffer(DWORD standardHandle);
    ~ConsoleStreamBuffer() override;
    ConsoleStreamBuffer(const ConsoleStreamBuffer&) = delete;
    ConsoleStreamBuffer& operator=(const ConsoleStreamBuffer&) = delete;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* bytes, std::streamsize count) override;
    int sync() override;

private:
    bool WritePending();
    bool WriteToConsole(std::size_t length);
    bool WriteToFile(std::size_t length);

    HANDLE handle_;
    bool console_;
    std::string pending_;  // written but not yet passed on
};

}  // namespace pelko::win32
