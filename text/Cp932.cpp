#include "text/Cp932.h"

#include <iconv.h>

#include <cerrno>

#include "text/Utf8.h"

namespace pelko {

namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";
constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD

// Owns one iconv conversion descriptor.
class Converter {
public:
    Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    ~Converter() {
        if (IsOpen()) iconv_close(cd_);
    }

    bool IsOpen() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of in as it can, appending to out. Returns 0 when all
    // of in was converted, otherwise the errno that stopped it (EILSEQ for a
    // byte sequence that cannot be converted, EINVAL for one cut off at the
    // end); in then starts at the offending bytes.
    int Convert(std::string_view& in, std::string& out) {
        iconv(cd_, nullptr, nullptr, nullptr, nullptr);  // fresh shift state
        char* source = const_cast<char*>(in.data());
        std::size_t sourceLeft = in.size();
        char chunk[1024];
        int stop = 0;
        while (sourceLeft > 0) {
            char* target = chunk;
            std::size_t targetLeft = sizeof chunk;
            const std::size_t done = iconv(cd_, &source, &sourceLeft, &target, &targetLeft);
            out.append(chunk, sizeof chunk - targetLeft);
            if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
                stop = errno;
                break;
            }
        }
        in.remove_prefix(in.size() - sourceLeft);
        return stop;
    }

private:
    iconv_t cd_;
};

}  // namespace

std::optional<std::string> Utf8ToCp932(std::string_view utf8) {
    Converter converter(kCp932, kUtf8);
    if (!converter.IsOpen()) {
        return std::nullopt;
    }
    std::string out;
    // Any stop (a character CP932 lacks, or broken UTF-8) refuses the whole
    // text: nothing is ever replaced.
    if (converter.Convert(utf8, out) != 0) {
        return std::nullopt;
    }
    return out;
}

std::string Cp932ToUtf8(std::string_view cp932) {
    Converter converter(kUtf8, kCp932);
    std::string out;
    if (!converter.IsOpen()) {
        // Without a converter only ASCII is certain; everything else is shown
        // as replaced rather than as bytes that are not UTF-8.
        for (const char byte : cp932) {
            if (static_cast<unsigned char>(byte) < 0x80) out += byte;
            else out += kReplacement;
        }
        return out;
    }
    while (!cp932.empty()) {
        if (converter.Convert(cp932, out) == 0) {
            break;
        }
        // One byte that does not decode (or a lead byte cut off at the end)
        // becomes U+FFFD; decoding goes on with the byte after it.
        out += kReplacement;
        cp932.remove_prefix(1);
    }
    return out;
}

bool FitsCp932(std::string_view utf8) {
    return Utf8ToCp932(utf8).has_value();
}

std::string ReadableText(std::string_view bytes) {
    return IsUtf8(bytes) ? std::string(bytes) : Cp932ToUtf8(bytes);
}

}  // namespace pelko
