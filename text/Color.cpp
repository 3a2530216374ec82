#include "text/Color.h"

namespace pelko {

std::int32_t ResolveColor(std::int32_t value, const SystemColors& colors) {
    if (value >= 0) {
        return value;  // a plain 0x00BBGGRR colour, or any other value, unchanged
    }
    const int index = static_cast<int>(static_cast<std::uint32_t>(value) & 0xFFu);
    return static_cast<std::int32_t>(colors.SystemColor(index));
}

}  // namespace pelko
