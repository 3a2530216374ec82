// Paths from the command line are taken from the current directory exactly
// as the standard library takes them, with nothing resolved or tidied.
#include "system/Locations.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

namespace pelko {
namespace {

TEST(AbsolutePath, IsWhatTheStandardLibraryMakesOfIt) {
    const char* cases[] = {"a.jad", "./a.jad", "../x/a.jad", "/abs/a.jad", "dir/", "名前.jad"};
    for (const char* path : cases) {
        SCOPED_TRACE(path);
        const Outcome<std::string> absolute = AbsolutePath(path);
        ASSERT_TRUE(absolute);
        EXPECT_EQ(*absolute, std::filesystem::absolute(path).string());
    }
    EXPECT_FALSE(AbsolutePath("")) << "an empty path names nothing";
}

TEST(EnvironmentValue, TellsUnsetFromEmpty) {
    setenv("PELKO_TEST_VALUE", "", 1);
    EXPECT_EQ(EnvironmentValue("PELKO_TEST_VALUE"), std::string());
    setenv("PELKO_TEST_VALUE", "/data", 1);
    EXPECT_EQ(EnvironmentValue("PELKO_TEST_VALUE"), std::string("/data"));
    unsetenv("PELKO_TEST_VALUE");
    EXPECT_EQ(EnvironmentValue("PELKO_TEST_VALUE"), std::nullopt);
}

}  // namespace
}  // namespace pelko
