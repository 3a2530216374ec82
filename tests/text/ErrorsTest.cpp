#include "text/Errors.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace pelko {
namespace {

TEST(Errors, MessagesCarryTheirSubject) {
    EXPECT_STREQ(OpenError("/tmp/a b.jad").what(), "ファイル /tmp/a b.jad は開けません");
    EXPECT_STREQ(CreateError("out.kjx").what(), "ファイル out.kjx を作成できません");
    EXPECT_STREQ(StreamWriteError().what(), "ストリームへの書き込みエラー");
    EXPECT_STREQ(NotIntegerError("1%s\x95\x5C").what(), "'1%s表' は整数ではありません");
    EXPECT_STREQ(ListIndexError(-2147483648L).what(),
                 "リストのインデックスが範囲を超えています (-2147483648)");
    // A placeholder inside the subject is left as it is.
    EXPECT_STREQ(OpenError("%s%d").what(), "ファイル %s%d は開けません");
}

TEST(ErrorBoxText, AddsAFullStopAfterCharactersSortingAfterTheDot) {
    const std::vector<std::pair<std::string, std::string>> cases = {
        {"", ""},
        {"abc", "abc."},
        {"abc.", "abc."},
        {"a-", "a-"},       // 0x2D sorts before "."
        {"a!", "a!"},
        {"a)", "a)"},
        {"a/", "a/."},      // 0x2F sorts after
        {"123", "123."},
        {"ファイル x は開けません", "ファイル x は開けません."},
        {"(5)", "(5)"},
    };
    for (const auto& [message, shown] : cases) {
        EXPECT_EQ(ErrorBoxText(message), shown) << message;
    }
}

}  // namespace
}  // namespace pelko
