#include "system/LocalTimeZone.h"

#include <cctype>
#include <cstdlib>
#include <string_view>

namespace pelko {
namespace {

// The C runtime reads TZ in its own form only: a zone name of three letters
// or more, then an offset ("JST-9") or nothing ("UTC"). Any other value
// ("Asia/Tokyo", ":/etc/localtime") it misreads as UTC.
bool RuntimeReads(std::string_view zone) {
    std::size_t letters = 0;
    while (letters < zone.size() && std::isalpha(static_cast<unsigned char>(zone[letters]))) ++letters;
    if (letters < 3) return false;
    if (letters == zone.size()) return true;
    const char next = zone[letters];
    return next == '+' || next == '-' || std::isdigit(static_cast<unsigned char>(next));
}

}  // namespace

// Windows keeps the zone in the system, where the runtime reads it; only a
// TZ in a form the runtime would misread needs removing, so that entry
// times follow the system's zone as they do on Linux.
void PinLocalTimeZone() {
    const char* zone = std::getenv("TZ");
    if (zone != nullptr && !RuntimeReads(zone)) _putenv("TZ=");
}

}  // namespace pelko
