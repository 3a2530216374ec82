#include "package/kjx/Compose.h"

#include <gtest/gtest.h>

#include "support/TestFiles.h"
#include "support/WorkedExample.h"
#include "text/Lines.h"

namespace pelko {
namespace {

using test::CrLf;
using test::Sjis;
using test::SjisLines;
using test::SjisText;

TEST(Compose, WorkedExampleManifestAndDescriptorByteForByte) {
    namespace worked = test::worked;
    StringList lines = ComposeManifestLines(SjisLines(worked::TemplateLines()), worked::Settings());
    const std::string manifest = JoinLines(lines);
    EXPECT_EQ(manifest.size(), worked::kManifestBytes);
    EXPECT_EQ(manifest, SjisText(worked::ManifestLines()));

    const StringList options = test::OptionList(worked::BuildRecords());
    for (int i = 0; i < options.Count(); ++i) {
        const OptionRecord& record = RecordOf(options, i);
        if (record.Item(kRecordKey) != "File") lines.Add(OptionLine(record));
    }
    PrependArchiveLines(lines, worked::kArchiveBytes, "block.jar");
    const std::string descriptor = JoinLines(lines);
    EXPECT_EQ(descriptor.size(), worked::kDescriptorBytes);
    EXPECT_EQ(descriptor, SjisText(worked::DescriptorLines()));
}

TEST(Compose, NameLineUsesTitlesOfThreeToTwentyFourBytes) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", "Pelko"},
        {"ab", "Pelko"},
        {"abc", "abc"},
        {std::string(24, 'x'), std::string(24, 'x')},
        {std::string(25, 'x'), "Pelko"},
        {"あいうえおかきくけこさし", "あいうえおかきくけこさし"},  // 12 characters, 24 bytes
        {"あいうえおかきくけこさしす", "Pelko"},                    // 13 characters, 26 bytes
        {"あい", "あい"},                                          // 4 bytes
        {" a ", " a "},                                            // used as typed
    };
    for (const auto& [title, name] : cases) {
        StringList lines = ComposeManifestLines({}, AppSettings{Sjis(title), "", false});
        EXPECT_EQ(lines.Item(0), Sjis("MIDlet-Name: " + name)) << title;
    }
}

TEST(Compose, VendorLineFollowsTheAuthorRule) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"rivo", "MIDlet-Vendor: rivo"},
        {"Rivo", "MIDlet-Vendor: Rivo/rivo"},
        {"dev01", "MIDlet-Vendor: dev01/rivo"},
        {std::string(19, 'a'), "MIDlet-Vendor: " + std::string(19, 'a') + "/rivo"},
        {std::string(20, 'a'), "MIDlet-Vendor: 名無しさん/rivo"},
        {"", "MIDlet-Vendor: 名無しさん/rivo"},
        {"開発者", "MIDlet-Vendor: 開発者/rivo"},
        {"あいうえおかきくけこ", "MIDlet-Vendor: 名無しさん/rivo"},  // 20 bytes
    };
    for (const auto& [author, line] : cases) {
        StringList lines = ComposeManifestLines({}, AppSettings{"Game", Sjis(author), false});
        EXPECT_EQ(lines.Item(1), Sjis(line)) << author;
    }
}

TEST(Compose, CarriesEveryLineButTheReplacedOnes) {
    StringList templateLines = SjisLines({
        "MIDlet-Name:Block",        // no space: carried
        "midlet-name: Block",       // other case: carried
        "",                         // blank: carried
        "MIDlet-X-Copyright: OFF",  // dropped
        "MIDlet-Vendor:x",          // carried
        "MIDlet-Jar-Size: 1",       // dropped
        "MIDlet-Jar-URL: a.jar",    // dropped
        "MIDlet-Description: 元",   // carried
        "Pelko-",                   // dropped
        "Pelko",                    // carried: shorter than the prefix
        "MIDlet-Vendor: ",          // dropped
    });
    StringList lines = ComposeManifestLines(templateLines, AppSettings{"Game", "me", false});
    EXPECT_EQ(JoinLines(lines),
              SjisText({"MIDlet-Name:Block", "midlet-name: Block", "", "MIDlet-Vendor:x",
                        "MIDlet-Description: 元", "Pelko", "MIDlet-Name: Game", "MIDlet-Vendor: me/rivo",
                        "X-Powered-By: Rivo software"}));
}

TEST(Compose, OnlyPelkoLinesGiveTheFixedLinesAlone) {
    StringList lines = ComposeManifestLines(SjisLines({"Pelko-Name: x", "Pelko-A: a,TEXT,1"}),
                                            AppSettings{"", "", true});
    EXPECT_EQ(JoinLines(lines), SjisText({"MIDlet-X-Copyright: ON", "MIDlet-Name: Pelko",
                                          "MIDlet-Vendor: 名無しさん/rivo", "X-Powered-By: Rivo software"}));
}

TEST(OptionLine, MidletKeysAreWrittenAsTheyAreOthersGetThePrefix) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
        {{"Speed", "速度", "INT", "5"}, "Pelko-Speed: 5"},
        {{"MIDlet-Description", "説明", "TEXT", "x y"}, "MIDlet-Description: x y"},
        {{"MIDlet-Name", "名", "TEXT", "Other"}, "MIDlet-Name: Other"},
        {{"MIDlet", "m", "TEXT", "v"}, "Pelko-MIDlet: v"},
        {{"File2", "画像", "icon.png", "/home/u/a.png"}, "Pelko-File2: /home/u/a.png"},
        {{"", "空", "TEXT", "v"}, "Pelko-: v"},
        {{"K", "l", "TEXT", "値", "extra"}, "Pelko-K: 値"},
    };
    for (const auto& [texts, line] : cases) {
        OptionRecord record;
        for (const auto& text : texts) record.Add(Sjis(text));
        EXPECT_EQ(OptionLine(record), Sjis(line));
    }
}

TEST(PrependArchiveLines, SizeFirstThenName) {
    StringList lines{"A: 1"};
    PrependArchiveLines(lines, 0, "block.jar");
    EXPECT_EQ(JoinLines(lines), CrLf({"MIDlet-Jar-Size: 0", "MIDlet-Jar-URL: block.jar", "A: 1"}));
    StringList big;
    PrependArchiveLines(big, 3000000000LL, Sjis("ブロック.jar"));
    EXPECT_EQ(big.Item(0), "MIDlet-Jar-Size: 3000000000");
    EXPECT_EQ(big.Item(1), Sjis("MIDlet-Jar-URL: ブロック.jar"));
}

}  // namespace
}  // namespace pelko
