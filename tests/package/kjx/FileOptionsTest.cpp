// The entry a File option replaces, read from its type field as authors on
// either system write it, and the names that lead out of an archive.
#include "package/kjx/FileOptions.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace pelko {
namespace {

using test::Sjis;

TEST(ArchiveEntryOf, FoldersTakeEitherSeparatorAndNoPathLeadsOut) {
    struct Case {
        const char* name;
        std::string typeField;             // CP932
        std::optional<std::string> entry;  // CP932; nullopt: refused
        bool inFolder = false;
    };
    const std::string table = Sjis("表.png");  // its second byte is a backslash
    const std::vector<Case> cases = {
        {"bare name at the root", "back.png", "back.png"},
        {"folder with a slash", "icons/app.png", "icons/app.png", true},
        {"folder with a backslash", "icons\\app.png", "icons/app.png", true},
        {"both separators", "res\\img/app.png", "res/img/app.png", true},
        {"a trail byte 0x5C is no separator", Sjis("画像\\") + table, Sjis("画像/") + table, true},
        {"a dotted name is a name", "..app.png", "..app.png"},
        {"empty", "", std::nullopt},
        {"leading slash", "/icons/app.png", std::nullopt},
        {"leading backslash", "\\icons\\app.png", std::nullopt},
        {"drive and backslash", "C:\\icons\\app.png", std::nullopt},
        {"drive without a separator", "c:app.png", std::nullopt},
        {"empty part", "icons//app.png", std::nullopt},
        {"trailing separator", "icons\\", std::nullopt},
        {"dot part", "./app.png", std::nullopt},
        {"dot-dot part", "icons\\..\\..\\app.png", std::nullopt},
        {"dot-dot alone", "..", std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::optional<std::string> entry = ArchiveEntryOf(c.typeField);
        EXPECT_EQ(entry, c.entry);
        if (entry) {
            EXPECT_EQ(IsInFolder(*entry), c.inFolder);
        }
    }
    EXPECT_EQ(TopNameOf("icons/app.png"), "icons");
    EXPECT_EQ(TopNameOf(table), table);
}

}  // namespace
}  // namespace pelko
