#include "text/Color.h"

#include <gtest/gtest.h>

#include <vector>

namespace pelko {
namespace {

// Answers index * 0x010101 and remembers which indexes were asked for.
class FakeSystemColors : public SystemColors {
public:
    std::uint32_t SystemColor(int index) const override {
        asked.push_back(index);
        return static_cast<std::uint32_t>(index) * 0x010101u;
    }
    mutable std::vector<int> asked;
};

TEST(ResolveColor, PlainValuesComeBackUnchanged) {
    FakeSystemColors colors;
    for (const std::int32_t value : {0, 255, 0x00FF8040, 0x7F123456, 0x01000000}) {
        EXPECT_EQ(ResolveColor(value, colors), value);
    }
    EXPECT_TRUE(colors.asked.empty());
}

TEST(ResolveColor, TopBitNamesASystemColourByItsLowestByte) {
    FakeSystemColors colors;
    EXPECT_EQ(ResolveColor(static_cast<std::int32_t>(0x80000005u), colors), 0x050505);
    EXPECT_EQ(ResolveColor(static_cast<std::int32_t>(0xFF00FF0Fu), colors), 0x0F0F0F);
    EXPECT_EQ(ResolveColor(static_cast<std::int32_t>(0x800000FFu), colors), 0xFFFFFF);
    EXPECT_EQ(colors.asked, (std::vector<int>{5, 15, 255}));
    EXPECT_EQ(ResolveColor(-1, BlackSystemColors()), 0);
}

}  // namespace
}  // namespace pelko
