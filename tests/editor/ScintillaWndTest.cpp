#include <windows.h>

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "EditorTestSupport.h"
#include "KeyState.h"
#include "Strings.h"

namespace {

const wchar_t kScript[] =
    L"Sub Main\r\n"
    L"    Dim n ' count\r\n"
    L"    n = 42\r\n"
    L"    MsgBox \"done\", True\r\n"
    L"End Sub\r\n";

SHORT WINAPI ControlDown(int key) { return key == VK_CONTROL ? SHORT(0x8000) : 0; }

// Clicks the middle of margin `margin` beside `line`, as the mouse would.
void ClickMargin(CScintillaWnd& editor, int margin, int line, WPARAM keys) {
    int x = 0;
    for (int m = 0; m < margin; ++m) x += static_cast<int>(editor.Call(SCI_GETMARGINWIDTHN, static_cast<uptr_t>(m)));
    x += static_cast<int>(editor.Call(SCI_GETMARGINWIDTHN, static_cast<uptr_t>(margin))) / 2;
    int y = static_cast<int>(editor.Call(SCI_TEXTHEIGHT, 0)) * line + 2;
    ::SendMessageW(editor.Handle(), WM_LBUTTONDOWN, MK_LBUTTON | keys, MAKELPARAM(x, y));
    ::SendMessageW(editor.Handle(), WM_LBUTTONUP, keys, MAKELPARAM(x, y));
}

}  // namespace

TEST_F(EditorTest, VbScriptTextTakesThePartStyles) {
    Load(kScript);
    std::string text = vb::ToUtf8(kScript);
    struct Row {
        const char* word;
        int style;
        COLORREF colour;
        bool bold;
    } rows[] = {
        {"Dim", 3, 0xFF0000, true},     {"' count", 1, 0x008000, false}, {"42", 2, 0x9020D0, true},
        {"\"done\"", 4, 0x2222B2, false}, {"True", 10, 0x000000, true},  {"=", 6, 0x0000FF, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.word);
        auto at = static_cast<uptr_t>(text.find(row.word));
        EXPECT_EQ(row.style, Call(SCI_GETSTYLEAT, at));
        EXPECT_EQ(static_cast<sptr_t>(row.colour), Call(SCI_STYLEGETFORE, static_cast<uptr_t>(row.style)));
        EXPECT_EQ(row.bold, Call(SCI_STYLEGETBOLD, static_cast<uptr_t>(row.style)) != 0);
        EXPECT_EQ(0xFFFFFF, Call(SCI_STYLEGETBACK, static_cast<uptr_t>(row.style)));
    }
}

TEST_F(EditorTest, FoldMarginClicksFoldOneBlockOrTheWholeDocument) {
    Load(L"Sub A\r\n    x = 1\r\nEnd Sub\r\nSub B\r\n    y = 2\r\nEnd Sub\r\n");
    ASSERT_TRUE(Call(SCI_GETFOLDLEVEL, 0) & SC_FOLDLEVELHEADERFLAG);
    ClickMargin(*editor, 2, 0, 0);
    EXPECT_FALSE(Call(SCI_GETFOLDEXPANDED, 0));
    EXPECT_TRUE(Call(SCI_GETFOLDEXPANDED, 3));
    ClickMargin(*editor, 2, 0, MK_CONTROL);  // on a folded block: unfold all
    EXPECT_TRUE(Call(SCI_GETFOLDEXPANDED, 0));
    EXPECT_TRUE(Call(SCI_GETLINEVISIBLE, 1));
    ClickMargin(*editor, 2, 0, MK_CONTROL);  // on an expanded one: fold all
    EXPECT_FALSE(Call(SCI_GETFOLDEXPANDED, 0));
    EXPECT_FALSE(Call(SCI_GETFOLDEXPANDED, 3));
    EXPECT_FALSE(Call(SCI_GETLINEVISIBLE, 4));
}

TEST_F(EditorTest, BookmarkMarginClickTogglesTheMarkerDrawnFromTheStrip) {
    Load(kScript);
    EXPECT_EQ(SC_MARK_RGBAIMAGE, Call(SCI_MARKERSYMBOLDEFINED, 0));
    EXPECT_EQ(SC_MARK_RGBAIMAGE, Call(SCI_MARKERSYMBOLDEFINED, SC_MARKNUM_FOLDER));
    ClickMargin(*editor, 1, 2, 0);
    EXPECT_EQ(1, Call(SCI_MARKERGET, 2) & 1);
    ClickMargin(*editor, 1, 2, 0);
    EXPECT_EQ(0, Call(SCI_MARKERGET, 2) & 1);
}

TEST_F(EditorTest, TextRoundTripsAsUtf16) {
    const std::wstring text = L"x = \"\u00E9\u20AC\U0001D11E\"\r\n";
    ::SetWindowTextW(editor->Handle(), text.c_str());
    EXPECT_EQ(static_cast<int>(text.size()), ::GetWindowTextLengthW(editor->Handle()));
    EXPECT_EQ(static_cast<sptr_t>(vb::ToUtf8(text).size()), Call(SCI_GETLENGTH));
    wchar_t buffer[64] = {};
    EXPECT_EQ(static_cast<int>(text.size()), ::GetWindowTextW(editor->Handle(), buffer, 64));
    EXPECT_EQ(text, buffer);
    // A buffer that ends inside the surrogate pair keeps no half character.
    EXPECT_EQ(7, ::GetWindowTextW(editor->Handle(), buffer, 9));
    EXPECT_EQ(text.substr(0, 7), buffer);

    ::SendMessageW(editor->Handle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(L"\u20AC "));
    ::GetWindowTextW(editor->Handle(), buffer, 64);
    EXPECT_EQ(L"\u20AC " + text, buffer);
}

TEST_F(EditorTest, SettingTextLeavesAFreshDocument) {
    for (const wchar_t* text : {L"Dim a\r\nDim b\r\n", L""}) {
        SCOPED_TRACE(text);
        Call(SCI_APPENDTEXT, 3, reinterpret_cast<sptr_t>("old"));
        Call(SCI_GOTOPOS, 3);
        ASSERT_TRUE(Call(SCI_GETMODIFY));
        EXPECT_TRUE(::SetWindowTextW(editor->Handle(), text));
        EXPECT_FALSE(Call(SCI_CANUNDO));
        EXPECT_FALSE(Call(SCI_GETMODIFY));
        EXPECT_EQ(0, Call(SCI_GETCURRENTPOS));
        EXPECT_EQ(static_cast<int>(std::wcslen(text)), ::GetWindowTextLengthW(editor->Handle()));
    }
}

TEST_F(EditorTest, PageKeysMoveOnePage) {
    std::wstring text;
    for (int i = 0; i < 200; ++i) text += L"line\r\n";
    Load(text.c_str());
    Call(SCI_PAGEDOWN);  // the control's own page command, for comparison
    sptr_t onePage = editor->GetCurrentLine();
    ASSERT_GT(onePage, 1);
    Call(SCI_GOTOPOS, 0);
    PressKey(*editor, VK_NEXT);
    EXPECT_EQ(onePage, editor->GetCurrentLine());
    PressKey(*editor, VK_NEXT);
    PressKey(*editor, VK_PRIOR);
    EXPECT_EQ(onePage, editor->GetCurrentLine());
}

TEST_F(EditorTest, F2KeysToggleAndVisitBookmarks) {
    Load(kScript);
    Call(SCI_GOTOLINE, 3);
    PressKey(*editor, VK_F2);  // none yet: stays
    EXPECT_EQ(3, editor->GetCurrentLine());

    vb::KeyStateFunction previous = vb::SetKeyStateFunction(ControlDown);
    Call(SCI_GOTOLINE, 1);
    PressKey(*editor, VK_F2);
    vb::SetKeyStateFunction(previous);
    EXPECT_EQ(1, Call(SCI_MARKERGET, 1) & 1);

    Call(SCI_GOTOLINE, 3);
    PressKey(*editor, VK_F2);  // the only bookmark is above: wraps round to it
    EXPECT_EQ(1, editor->GetCurrentLine());
}

TEST_F(EditorTest, EscapeClosesTheListAndKeepsTheDialog) {
    Load(kScript);
    editor->SetEditorFocus();
    Call(SCI_AUTOCSHOW, 0, reinterpret_cast<sptr_t>("alpha beta"));
    ASSERT_TRUE(Call(SCI_AUTOCACTIVE));
    PressKey(*editor, VK_ESCAPE);
    EXPECT_FALSE(Call(SCI_AUTOCACTIVE));
    EXPECT_EQ(0, host->cancelled);
    EXPECT_TRUE(::IsWindow(host->Handle()));
    EXPECT_TRUE(Call(SCI_GETFOCUS));
}
