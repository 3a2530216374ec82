#include "options/Editors.h"

#include <gtest/gtest.h>

#include "support/TestFiles.h"
#include "text/Errors.h"

namespace pelko {
namespace {

using test::Sjis;

TEST(EditorFor, KeyDecidesFileThenTypeDecides) {
    struct Case {
        StringList record;
        EditorKind kind;
    };
    const std::vector<Case> cases = {
        {{"File", "l", "back.png", "back.png"}, EditorKind::File},
        {{"File2", "l", "COLOR", "1"}, EditorKind::File},  // the key is looked at first
        {{"Filename", "l", "INT", "1"}, EditorKind::File},
        {{"file", "l", "TEXT", "x"}, EditorKind::Text},
        {{"Fil", "l", "TEXT", "x"}, EditorKind::Text},
        {{"C", "l", "COLOR", "1"}, EditorKind::Color},
        {{"I", "l", "INT", "1"}, EditorKind::Integer},
        {{"B", "l", "BOOL", "1"}, EditorKind::YesNo},
        {{"T", "l", "int", "1"}, EditorKind::Text},
        {{"T", "l", "TEXT", "1"}, EditorKind::Text},
        {{"T", "l", "", "1"}, EditorKind::Text},
        {{"T", "l", "BOOL"}, EditorKind::YesNo},  // the value is not needed to choose
        {{"File", "l"}, EditorKind::File},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(EditorFor(c.record), c.kind) << c.record.Item(0) << "/" << c.record.Item(1);
    }
}

TEST(EditorFor, MissingTypeRaisesIndexTwo) {
    StringList record{"Speed", "速度"};
    try {
        EditorFor(record);
        FAIL();
    } catch (const Error& error) {
        EXPECT_STREQ(error.what(), "リストのインデックスが範囲を超えています (2)");
    }
}

TEST(CanonicalIntegerText, KeepsEveryKeystrokeADecimalNumber) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"007", "7"},   {"+5", "5"},      {"-5", "-5"},           {"x", ""},
        {"$1F", "31"},  {"0x10", "16"},   {"-$10", "-16"},        {"", ""},
        {"-", ""},      {"12 ", ""},      {"$FFFFFFFF", "-1"},    {"2147483648", ""},
        {" 42", "42"},  {"-0", "0"},      {"16777215", "16777215"},
    };
    for (const auto& [input, expected] : cases) {
        EXPECT_EQ(CanonicalIntegerText(input), expected) << input;
    }
}

TEST(FileFilterFor, UsesTheEntryNamesExtension) {
    struct Case {
        std::string type;
        std::string description;
        std::string pattern;
    };
    const std::vector<Case> cases = {
        {"back.png", "*.pngファイル", "*.png"},
        {"noext", "*ファイル", "*"},
        {"img\\sky.gif", "*.gifファイル", "*.gif"},
        {"dir.d/readme", "*ファイル", "*"},
        {"a.tar.gz", "*.gzファイル", "*.gz"},
        {"name.", "*.ファイル", "*."},
        {Sjis("背景.png"), "*.pngファイル", "*.png"},
    };
    for (const auto& c : cases) {
        FileFilter filter = FileFilterFor(c.type);
        EXPECT_EQ(filter.description, c.description) << c.type;
        EXPECT_EQ(filter.pattern, c.pattern) << c.type;
    }
}

}  // namespace
}  // namespace pelko
