#include "system/LocalTimeZone.h"

#include <cstdlib>

namespace pelko {

void PinLocalTimeZone() {
    if (std::getenv("TZ") == nullptr) setenv("TZ", ":/etc/localtime", 0);
}

}  // namespace pelko
