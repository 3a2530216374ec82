// The user's input as the Win32 controls receive it: what the edits take,
// which actions reach their handlers, and files dropped on the window.
#include <gtest/gtest.h>

#include <windows.h>

#include "ScriptedView.h"
#include "Win32TestWindow.h"
#include "app/win32/ControlIds.h"
#include "app/win32/Wide.h"

namespace pelko::test {
namespace {

constexpr int kSpeed = 0;  // the options of the block game
constexpr int kBackColor = 1;
constexpr int kSound = 2;
constexpr int kDescription = 3;
constexpr int kFile = 4;

TEST(Win32Input, EditsRefuseWhatTheirTextCannotHold) {
    TestWindow window(BlockDescriptor());
    window.ChooseTemplate();
    window.Type(ControlId::EditAuthor, L"作者한😀");
    EXPECT_EQ(window.Text(ControlId::EditAuthor), L"作者");
    window.Paste(ControlId::EditAuthor, L"日本");
    // A one-line edit keeps a pasted text's first line only: no line of
    // the descriptor can be slipped in.
    window.Paste(ControlId::EditAuthor, L"ab\r\nMIDlet-Jar-URL: x");
    window.Paste(ControlId::EditAuthor, L"C한");
    EXPECT_EQ(window.Text(ControlId::EditAuthor), L"作者日本ab");
    // The caret stays where a refused paste found it.
    DWORD start = 0;
    DWORD end = 0;
    SendMessageW(window.Control(ControlId::EditAuthor), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 6u);
    EXPECT_EQ(end, 6u);

    window.ChooseOption(kDescription);
    window.Type(ControlId::EditValue, L"説明한");
    EXPECT_EQ(window.Value(kDescription), Sjis("FallingBlocks説明"));
    // A path comes from the file system and may hold any character but a line break.
    window.ChooseOption(kFile);
    window.Paste(ControlId::EditValue, L"\\한.png");
    window.Paste(ControlId::EditValue, L"\nx");
    EXPECT_EQ(window.Value(kFile), "back.png\\" + Narrow(L"한") + ".png");
}

TEST(Win32Input, UserActionsReachTheirHandlers) {
    TestWindow window(BlockDescriptor());
    window.ChooseTemplate();
    EXPECT_EQ(window.Text(ControlId::EditValue), L"3");
    window.Type(ControlId::EditValue, L"07");  // typed after the 3: kept canonical
    EXPECT_EQ(window.Value(kSpeed), "307");
    SendMessageW(window.Control(ControlId::EditValue), EM_SETSEL, 0, -1);
    window.Type(ControlId::EditValue, L"007");
    EXPECT_EQ(window.Text(ControlId::EditValue), L"7");

    window.ChooseOption(kSound);
    EXPECT_TRUE(GetWindowLongPtrW(window.Control(ControlId::CheckValue), GWL_STYLE) & WS_VISIBLE);
    SendMessageW(window.Control(ControlId::CheckValue), BM_CLICK, 0, 0);
    EXPECT_EQ(window.Value(kSound), "0");

    window.ChooseOption(kBackColor);
    SendMessageW(window.Control(ControlId::ButtonBrowse), BM_CLICK, 0, 0);  // cancelled
    EXPECT_EQ(window.Dialogs().CallsOf("PickColor").size(), 1u);
    SendMessageW(window.Control(ControlId::ButtonMake), BM_CLICK, 0, 0);  // cancelled
    EXPECT_EQ(window.Dialogs().CallsOf("SaveFile").size(), 1u);
    EXPECT_TRUE(window.Dialogs().Errors().empty());
}

// The dialog manager's keys, as the message loop hands them on: a caption's
// accelerator and Tab move the keyboard; an edit so reached has its text
// selected, to be typed over.
TEST(Win32Input, TabAndTheCaptionsAcceleratorsMoveTheKeyboard) {
    TestWindow window(BlockDescriptor());
    window.View().Show(SW_SHOWNORMAL);
    window.ChooseTemplate();
    constexpr LPARAM kAltHeld = 1 | (1 << 29);
    window.Key(WM_SYSCHAR, 'a', kAltHeld);
    EXPECT_EQ(GetFocus(), window.Control(ControlId::EditAuthor));
    window.Key(WM_KEYDOWN, VK_TAB);
    EXPECT_EQ(GetFocus(), window.Control(ControlId::ComboOptions));
    window.Key(WM_KEYDOWN, VK_TAB);
    ASSERT_EQ(GetFocus(), window.Control(ControlId::EditValue));
    DWORD start = 1;
    DWORD end = 0;
    SendMessageW(GetFocus(), EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 1u);  // all of "3"
}

// Passing over the items of the open list chooses nothing; the pick does,
// once the list has closed.
TEST(Win32Input, OnlyAPickFromTheOpenListChoosesATemplate) {
    TestWindow window(BlockDescriptor());
    HWND combo = window.Control(ControlId::ComboTemp);
    SendMessageW(combo, CB_SHOWDROPDOWN, TRUE, 0);
    SendMessageW(combo, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(SendMessageW(window.Control(ControlId::ComboOptions), CB_GETCOUNT, 0, 0), 0);
    SendMessageW(combo, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(SendMessageW(window.Control(ControlId::ComboOptions), CB_GETCOUNT, 0, 0), 5);
}

TEST(Win32Input, OnlyTheFileEditorTakesDroppedFiles) {
    TestWindow window(BlockDescriptor());
    window.ChooseTemplate();
    EXPECT_FALSE(window.AcceptsDrops());
    window.Drop({L"C:\\a.png"});
    EXPECT_EQ(window.Value(kSpeed), "3");

    window.ChooseOption(kFile);
    EXPECT_TRUE(window.AcceptsDrops());
    window.Drop({L"C:\\画像\\first.png", L"C:\\second.png"});
    EXPECT_EQ(window.Text(ControlId::EditValue), L"C:\\画像\\first.png");
    EXPECT_EQ(window.Value(kFile), Narrow(L"C:\\画像\\first.png"));
    window.ChooseOption(kDescription);
    EXPECT_FALSE(window.AcceptsDrops());
}

}  // namespace
}  // namespace pelko::test
