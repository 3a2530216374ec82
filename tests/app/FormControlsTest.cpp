// The behaviour the handlers rely on, whatever view draws the controls:
// changes from code run a handler only when something changes, and no
// error leaves a handler except as an error box.
#include <gtest/gtest.h>

#include <new>
#include <stdexcept>

#include "ScriptedView.h"
#include "app/Fields.h"
#include "support/RowName.h"
#include "support/TestFiles.h"
#include "text/Errors.h"

namespace pelko::test {
namespace {

class CountingEdit : public ScriptedEdit {
public:
    int sets = 0;
    void SetText(const std::string& utf8) override {
        ++sets;
        ScriptedEdit::SetText(utf8);
    }
};

struct FieldCase {
    std::string name;
    std::string before;  // shown, UTF-8
    std::string bytes;
    TextEncoding encoding;
    std::string shown;
    bool changes;
};

class TextFieldSetFromCode : public ::testing::TestWithParam<FieldCase> {};

TEST_P(TextFieldSetFromCode, RunsItsHandlerOnlyWhenTheTextChanges) {
    const FieldCase& c = GetParam();
    CountingEdit edit;
    edit.text = c.before;
    int runs = 0;
    std::string bytesSeen;
    TextField field(edit, [&] {
        ++runs;
        bytesSeen = field.Bytes(c.encoding);
    });
    field.SetBytes(c.bytes, c.encoding);
    EXPECT_EQ(edit.text, c.shown);
    EXPECT_EQ(runs, c.changes ? 1 : 0);
    EXPECT_EQ(edit.sets, c.changes ? 1 : 0);  // the same text is not set again
    if (c.changes) {
        EXPECT_EQ(bytesSeen, c.bytes);  // the handler reads the new bytes
    }
    EXPECT_EQ(field.Bytes(c.encoding), c.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, TextFieldSetFromCode,
    ::testing::Values(
        FieldCase{"SameText", "abc", "abc", TextEncoding::Cp932, "abc", false},
        FieldCase{"NewText", "", "abc", TextEncoding::Cp932, "abc", true},
        FieldCase{"Emptied", "abc", "", TextEncoding::Cp932, "", true},
        FieldCase{"Cp932ShownDecoded", "", "\x91\xac\x93\x78", TextEncoding::Cp932, "速度", true},
        FieldCase{"SameJapaneseText", "速度", "\x91\xac\x93\x78", TextEncoding::Cp932, "速度", false},
        FieldCase{"HostPathShownAsItIs", "", "/画像.png", TextEncoding::HostPath, "/画像.png", true},
        FieldCase{"UndecodableBytesKept", "", "A\x82", TextEncoding::Cp932, "A\xEF\xBF\xBD", true}),
    RowName<FieldCase>);

// What every view's edits let the user type or paste, by the encoding the
// text goes into.
struct HoldCase {
    std::string name;
    std::string typed;  // UTF-8
    bool cp932;
    bool path;
};

class EditMayHoldText : public ::testing::TestWithParam<HoldCase> {};

TEST_P(EditMayHoldText, AsTheEncodingAllows) {
    const HoldCase& c = GetParam();
    EXPECT_EQ(EditMayHold(c.typed, TextEncoding::Cp932), c.cp932);
    EXPECT_EQ(EditMayHold(c.typed, TextEncoding::HostPath), c.path);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, EditMayHoldText,
    ::testing::Values(HoldCase{"Empty", "", true, true}, HoldCase{"Japanese", "日本ｶﾅ①", true, true},
                      HoldCase{"Hangul", "A한", false, true}, HoldCase{"Emoji", "作者😀", false, true},
                      HoldCase{"ReplacementOfUndecodedBytes", "a\xEF\xBF\xBD" "b", true, true},
                      HoldCase{"CrLf", "ab\r\nMIDlet-Jar-URL: x", false, false},
                      HoldCase{"Lf", "ab\ncd", false, false}, HoldCase{"Cr", "ab\rcd", false, false},
                      HoldCase{"Nul", std::string("ab\0", 3), false, false}),
    RowName<HoldCase>);

TEST(TextField, ReadsWhatTheUserTyped) {
    ScriptedEdit edit;
    TextField field(edit);
    field.SetBytes("A\x82", TextEncoding::Cp932);
    edit.text += "速度";  // typed after the stand-in
    EXPECT_EQ(field.Bytes(TextEncoding::Cp932), Sjis("A速度"));
    edit.text = "A한";  // a character CP932 lacks is an error, never a "?"
    EXPECT_THROW(field.Bytes(TextEncoding::Cp932), Error);
    EXPECT_EQ(field.Bytes(TextEncoding::HostPath), "A한");
}

TEST(TextField, TheHandlersErrorReachesTheCaller) {
    ScriptedEdit edit;
    TextField field(edit, [] { throw Error("stored nowhere"); });
    EXPECT_THROW(field.SetBytes("x", TextEncoding::Cp932), Error);
    EXPECT_EQ(edit.text, "x");
    EXPECT_NO_THROW(field.SetBytes("x", TextEncoding::Cp932));  // no change, no handler
}

TEST(CheckField, SetFromCodeRunsItsHandlerOnlyWhenTheStateChanges) {
    ScriptedCheck box;
    int runs = 0;
    CheckField field(box, [&] { ++runs; });
    field.SetChecked(false);
    EXPECT_EQ(runs, 0);
    field.SetChecked(true);
    EXPECT_TRUE(box.checked);
    EXPECT_EQ(runs, 1);
    field.SetChecked(true);
    EXPECT_EQ(runs, 1);
}

struct GuardCase {
    std::string name;
    void (*raise)();
    std::string shown;
};

class Guard : public ::testing::TestWithParam<GuardCase> {};

TEST_P(Guard, ShowsEveryErrorInTheErrorBox) {
    ScratchDir dir;
    ScriptedView view(dir.Path());
    view.form->Guard(GetParam().raise);
    EXPECT_EQ(view.dialogs.Errors(), std::vector<std::string>{GetParam().shown});
}

INSTANTIATE_TEST_SUITE_P(
    Errors, Guard,
    ::testing::Values(GuardCase{"ErrorGetsAFullStop", [] { throw OpenError("/a.jad"); },
                                "ファイル /a.jad は開けません."},
                      GuardCase{"StandardErrorToo", [] { throw std::length_error("too long"); }, "too long."},
                      GuardCase{"UnknownErrorShowsAnEmptyBox", [] { throw 42; }, ""}),
    RowName<GuardCase>);

class FailingErrorBox : public ScriptedDialogs {
public:
    void ShowError(const std::string&) override { throw std::bad_alloc(); }
};

TEST(Guard, NothingEscapesWhenTheErrorBoxFails) {
    ScratchDir dir;
    ScriptedView view(dir.Path());
    FailingErrorBox dialogs;
    TForm1 form(dir.Path(), view.Controls(), dialogs, view.colors);
    form.Guard([] { throw Error("lost"); });
    form.DropFiles({"/a.png"});
    SUCCEED();  // Guard is noexcept: an escape would have ended the process
}

TEST(FormStart, LogStartsWithItsTwoLinesAndComboValueMoves) {
    ScratchDir dir;
    ScriptedView view(dir.Path());
    EXPECT_EQ(view.Log.lines, TForm1::StartLines());
    ASSERT_EQ(view.Log.lines.size(), 2u);
    EXPECT_EQ(view.Log.lines[0].rfind("Pelko ", 0), 0u);
    EXPECT_EQ(view.ComboValue.top, 85);
    EXPECT_FALSE(view.ComboValue.visible);
}

}  // namespace
}  // namespace pelko::test
