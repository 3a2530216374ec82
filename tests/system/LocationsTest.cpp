// Paths from the command line are taken from the current directory exactly
// as the standard library takes them, with nothing resolved or tidied.
#include "system/Locations.h"

#include <cstdlib>
#include <filesystem>

#include <gtest/gtest.h>

#include "support/TestFiles.h"

namespace pelko {
namespace {

// Windows' absolute paths begin with a drive or a share; the standard
// library's absolute() tidies them, which ours leaves to the system.
TEST(AbsolutePath, PutsTheCurrentFolderBeforeARelativePath) {
#ifdef _WIN32
    const char* cases[] = {"a.jad", "dir\\a.jad", "dir/", "名前.jad", "..\\x\\a.jad"};
#else
    const char* cases[] = {"a.jad", "./a.jad", "../x/a.jad", "dir/", "名前.jad"};
#endif
    const std::string current = test::Utf8Of(std::filesystem::current_path());
    for (const char* path : cases) {
        SCOPED_TRACE(path);
        const Outcome<std::string> absolute = AbsolutePath(path);
        ASSERT_TRUE(absolute);
        EXPECT_EQ(*absolute, current + test::kSeparator + path);
    }
    EXPECT_FALSE(AbsolutePath("")) << "an empty path names nothing";
}

TEST(AbsolutePath, LeavesAbsolutePathsAsTheyAre) {
#ifdef _WIN32
    const char* cases[] = {"C:\\kit\\a.jad", "d:/kit/../a.jad", "\\\\host\\share\\a.jad"};
#else
    const char* cases[] = {"/abs/a.jad", "/abs/../a.jad", "//host/a.jad"};
#endif
    for (const char* path : cases) {
        const Outcome<std::string> absolute = AbsolutePath(path);
        ASSERT_TRUE(absolute) << path;
        EXPECT_EQ(*absolute, path);
    }
}

TEST(EnvironmentValue, TellsUnsetFromEmpty) {
    test::SetEnvironment("PELKO_TEST_VALUE", "");
    EXPECT_EQ(EnvironmentValue("PELKO_TEST_VALUE"), std::string());
    test::SetEnvironment("PELKO_TEST_VALUE", "/data/名前");
    EXPECT_EQ(EnvironmentValue("PELKO_TEST_VALUE"), std::string("/data/名前"));
    test::SetEnvironment("PELKO_TEST_VALUE", std::nullopt);
    EXPECT_EQ(EnvironmentValue("PELKO_TEST_VALUE"), std::nullopt);
}

}  // namespace
}  // namespace pelko
