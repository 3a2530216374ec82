#pragma once
#include <cstdint>

namespace pelko {

// System colours as 0x00BBGGRR by their Win32 index; the window supplies one
// from its palette, the core stays free of any toolkit.
class SystemColors {
public:
    virtual ~SystemColors() = default;
    virtual std::uint32_t SystemColor(int index) const = 0;
};

// Every system colour black: what a front end without a palette has.
class BlackSystemColors : public SystemColors {
public:
    std::uint32_t SystemColor(int) const override { return 0; }
};

// A value with its top bit set names system colour (value & 0xFF); any other
// value comes back unchanged.
std::int32_t ResolveColor(std::int32_t value, const SystemColors& colors);

}  // namespace pelko
