#pragma once
// The system's converter between CP932 and UTF-8 (iconv here, the code page
// 932 functions on Windows). It only converts; text/Cp932 holds the rules
// for what cannot be converted.
#include <string>
#include <string_view>

namespace pelko {

class Cp932Converter {
public:
    enum class Direction { FromUtf8, ToUtf8 };

    explicit Cp932Converter(Direction direction);
    Cp932Converter(const Cp932Converter&) = delete;
    Cp932Converter& operator=(const Cp932Converter&) = delete;
    ~Cp932Converter();

    // False when the system has no such converter.
    bool IsOpen() const;
    // Converts as much of in as it can, appending to out; true when all of
    // it was converted. Otherwise in then starts at the bytes that stopped
    // it: a sequence the other side lacks, or one cut off at the end.
    bool Convert(std::string_view& in, std::string& out);

private:
    void* state_;  // the system's conversion descriptor
};

}  // namespace pelko
