// The names a package carries come from the template's file name alone,
// and a name the header cannot hold stops the build (and the check) with
// one line.
#include "package/kjx/PackageNaming.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "support/TestFiles.h"

namespace pelko {
namespace {

using test::Sjis;

TEST(NamePackage, BaseNameOfTheTemplateWithinTheHeader) {
    struct Case {
        const char* name;
        std::string templatePath;  // UTF-8
        std::string base;          // UTF-8; empty when none can be written
        std::optional<std::string> refusal;
    };
    const std::string longest(119, 'b');  // 8 + 123 + 123 = 254 bytes of header
    std::string sixty;
    for (int i = 0; i < 60; ++i) sixty += "あ";
    const std::vector<Case> cases = {
        {"plain", "/kit/block.jad", "block", std::nullopt},
        {"a dotted base keeps its dots", "/kit/game.v2.jad", "game.v2", std::nullopt},
        {"Japanese counts two bytes a character", "/kit/落ち物.jad", "落ち物", std::nullopt},
        {"the longest base that fits", "/kit/" + longest + ".jad", longest, std::nullopt},
        {"one byte more", "/kit/" + longest + "b.jad", longest + "b", "名前が長すぎます(" + longest + "b.kjx)"},
        {"sixty Japanese characters are 120 bytes", "/kit/" + sixty + ".jad", sixty,
         "名前が長すぎます(" + sixty + ".kjx)"},
        {"a character CP932 lacks", "/kit/\xF0\x9F\x8E\xAE.jad", "", "名前を変換できません(\xF0\x9F\x8E\xAE.jad)"},
    };
    for (const Case& c : cases) {
        const NamedPackage named = NamePackage(c.templatePath);
        const std::string base = c.base.empty() ? "" : Sjis(c.base);
        EXPECT_EQ(named.naming.containerName, base.empty() ? "" : base + ".kjx") << c.name;
        EXPECT_EQ(named.naming.descriptorName, base.empty() ? "" : base + ".jad") << c.name;
        EXPECT_EQ(named.naming.archiveFileName, base.empty() ? "" : base + ".jar") << c.name;
        ASSERT_EQ(named.refusal.has_value(), c.refusal.has_value()) << c.name;
        if (!c.refusal) continue;
        EXPECT_EQ(named.refusal->severity, Severity::Stop) << c.name;
        EXPECT_EQ(named.refusal->text, *c.refusal) << c.name;
    }
    EXPECT_EQ(TemplateArchivePath("/kit/game.v2.jad"), "/kit/game.v2.jar");
}

}  // namespace
}  // namespace pelko
