#include "system/Cp932Converter.h"

#include <iconv.h>

#include <cerrno>

namespace pelko {
namespace {

constexpr const char* kCp932 = "CP932";
constexpr const char* kUtf8 = "UTF-8";
const iconv_t kNoConverter = reinterpret_cast<iconv_t>(-1);

iconv_t Descriptor(void* state) {
    return static_cast<iconv_t>(state);
}

}  // namespace

Cp932Converter::Cp932Converter(Direction direction)
    : state_(direction == Direction::FromUtf8 ? iconv_open(kCp932, kUtf8) : iconv_open(kUtf8, kCp932)) {}

Cp932Converter::~Cp932Converter() {
    if (IsOpen()) iconv_close(Descriptor(state_));
}

bool Cp932Converter::IsOpen() const {
    return Descriptor(state_) != kNoConverter;
}

// iconv stops at a sequence it cannot convert (EILSEQ) or one cut off at
// the end (EINVAL); E2BIG only asks for more room.
bool Cp932Converter::Convert(std::string_view& in, std::string& out) {
    const iconv_t cd = Descriptor(state_);
    iconv(cd, nullptr, nullptr, nullptr, nullptr);  // fresh shift state
    char* source = const_cast<char*>(in.data());
    std::size_t sourceLeft = in.size();
    char chunk[1024];
    bool complete = true;
    while (sourceLeft > 0) {
        char* target = chunk;
        std::size_t targetLeft = sizeof chunk;
        const std::size_t done = iconv(cd, &source, &sourceLeft, &target, &targetLeft);
        out.append(chunk, sizeof chunk - targetLeft);
        if (done == static_cast<std::size_t>(-1) && errno != E2BIG) {
            complete = false;
            break;
        }
    }
    in.remove_prefix(in.size() - sourceLeft);
    return complete;
}

}  // namespace pelko
