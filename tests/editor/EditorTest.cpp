// The script editor in a modeless dialog as in the main dialog: the libraries' lifetime, keys,
// text as UTF-16, and completion with the real script facade and `Driver`.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "../script/FakeScriptHostOwner.h"
#include "CaretExpression.h"
#include "Completion.h"
#include "Dialog.h"
#include "DialogMessages.h"
#include "DriverWrapper.h"
#include "EditorTestIds.h"
#include "FakeDriverHandler.h"
#include "KeyState.h"
#include "MSScriptObject.h"
#include "MessagePump.h"
#include "ScintillaWnd.h"
#include "Strings.h"
#include "TestFiles.h"
#include "UniqueHandle.h"
#include "VariableExpansion.h"

namespace {

// Under Wine a freed Scintilla.dll leaves its window class registered, so the library cannot be
// loaded a second time in the same process; the test program keeps a reference of its own for
// its whole run, which also stands for any other holder of the library.
struct ComponentHold {
    vb::UniqueModule scintilla{::LoadLibraryW((vb::test::BinDir() + L"Scintilla.dll").c_str())};
    vb::UniqueModule lexilla{::LoadLibraryW((vb::test::BinDir() + L"Lexilla.dll").c_str())};
};
const ComponentHold g_hold;

// A modeless dialog whose placeholder the editor replaces.
class EditorHost : public vb::Dialog {
public:
    EditorHost() : Dialog(IDD_EDITOR_TEST) {}
    ~EditorHost() override {
        vb::UnregisterModelessDialog(Handle());
        DestroyWindowNow();
    }
    int cancelled = 0;

protected:
    void OnCancel() override { ++cancelled; }
};

// Posts a key to the editor as the keyboard would and lets the program's own loop handle it.
void PressKey(CScintillaWnd& editor, WPARAM key) {
    ::PostMessageW(editor.Handle(), WM_KEYDOWN, key, 1);
    vb::DispatchPendingMessages();
}

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override {
        INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_WIN95_CLASSES};
        ::InitCommonControlsEx(&controls);
        host = std::make_unique<EditorHost>();
        ASSERT_TRUE(host->Create());
        vb::RegisterModelessDialog(host->Handle());
        editor = std::make_unique<CScintillaWnd>();
        ASSERT_TRUE(editor->CreateOver(::GetDlgItem(host->Handle(), IDC_EDITOR_PLACEHOLDER)));
    }
    // A set-up editor with `text`, coloured.
    void Load(const wchar_t* text) {
        editor->Setup();
        ::SetWindowTextW(editor->Handle(), text);
        Call(SCI_COLOURISE, 0, -1);
    }
    sptr_t Call(UINT message, uptr_t w = 0, sptr_t l = 0) { return editor->Call(message, w, l); }

    std::unique_ptr<EditorHost> host;
    std::unique_ptr<CScintillaWnd> editor;  // destroyed before its host
};

const wchar_t kScript[] = L"Sub Main\r\n    n = 42\r\n    MsgBox n\r\nEnd Sub\r\n";

std::unique_ptr<CScintillaWnd> NewEditor(HWND parent) {
    auto editor = std::make_unique<CScintillaWnd>();
    RECT rect{0, 0, 200, 100};
    return editor->Create(WS_CHILD, rect, parent, 1) ? std::move(editor) : nullptr;
}

SHORT WINAPI ControlDown(int key) { return key == VK_CONTROL ? SHORT(0x8000) : 0; }

// Clicks the middle of the bookmark margin (the second) beside `line`, as the mouse would.
void ClickBookmarkMargin(CScintillaWnd& editor, int line) {
    const auto x = static_cast<int>(editor.Call(SCI_GETMARGINWIDTHN, 0) + editor.Call(SCI_GETMARGINWIDTHN, 1) / 2);
    const auto y = static_cast<int>(editor.Call(SCI_TEXTHEIGHT, 0)) * line + 2;
    ::SendMessageW(editor.Handle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(x, y));
    ::SendMessageW(editor.Handle(), WM_LBUTTONUP, 0, MAKELPARAM(x, y));
}

// The test program holds its own reference to both libraries (see ComponentHold), as
// another part of a process might: the editors must give back exactly what they took.
TEST_F(EditorTest, EditorsHoldTheLibrariesEachForItselfAndGiveBackOnlyTheirOwn) {
    EXPECT_EQ(1u, CScintillaWnd::ComponentUseCount());
    auto second = NewEditor(host->Handle());
    ASSERT_TRUE(second);
    EXPECT_EQ(2u, CScintillaWnd::ComponentUseCount());
    editor.reset();
    ::SetWindowTextW(second->Handle(), L"still alive");
    EXPECT_EQ(11, ::GetWindowTextLengthW(second->Handle()));
    second.reset();
    EXPECT_EQ(0u, CScintillaWnd::ComponentUseCount());
    EXPECT_TRUE(::GetModuleHandleW(L"Scintilla.dll") && ::GetModuleHandleW(L"Lexilla.dll"));
    EXPECT_TRUE(NewEditor(host->Handle()));
}

TEST_F(EditorTest, MarginClickAndCtrlF2ToggleBookmarksAndF2VisitsThem) {
    Load(kScript);
    ClickBookmarkMargin(*editor, 2);
    EXPECT_EQ(1, Call(SCI_MARKERGET, 2) & 1);
    ClickBookmarkMargin(*editor, 2);
    EXPECT_EQ(0, Call(SCI_MARKERGET, 2) & 1);

    vb::KeyStateFunction previous = vb::SetKeyStateFunction(ControlDown);
    Call(SCI_GOTOLINE, 1);
    PressKey(*editor, VK_F2);
    vb::SetKeyStateFunction(previous);
    EXPECT_EQ(1, Call(SCI_MARKERGET, 1) & 1);

    Call(SCI_GOTOLINE, 3);
    PressKey(*editor, VK_F2);  // the only bookmark is above: wraps round to it
    EXPECT_EQ(1, editor->GetCurrentLine());
}

TEST_F(EditorTest, SetTextLeavesAFreshDocumentAndTextRoundTripsAsUtf16) {
    const std::wstring text = L"x = \"\u00E9\u20AC\U0001D11E\"\r\n";
    Call(SCI_APPENDTEXT, 3, reinterpret_cast<sptr_t>("old"));
    Call(SCI_GOTOPOS, 3);
    ASSERT_TRUE(Call(SCI_GETMODIFY));
    EXPECT_TRUE(::SetWindowTextW(editor->Handle(), text.c_str()));
    EXPECT_FALSE(Call(SCI_CANUNDO));
    EXPECT_FALSE(Call(SCI_GETMODIFY));
    EXPECT_EQ(0, Call(SCI_GETCURRENTPOS));
    EXPECT_EQ(static_cast<int>(text.size()), ::GetWindowTextLengthW(editor->Handle()));
    EXPECT_EQ(static_cast<sptr_t>(vb::ToUtf8(text).size()), Call(SCI_GETLENGTH));
    wchar_t buffer[64] = {};
    EXPECT_EQ(static_cast<int>(text.size()), ::GetWindowTextW(editor->Handle(), buffer, 64));
    EXPECT_EQ(text, buffer);
    // A buffer that ends inside the surrogate pair keeps no half character.
    EXPECT_EQ(7, ::GetWindowTextW(editor->Handle(), buffer, 9));
    EXPECT_EQ(text.substr(0, 7), buffer);
}

TEST_F(EditorTest, EscapeClosesTheListAndKeepsTheDialog) {
    Load(kScript);
    editor->SetEditorFocus();
    Call(SCI_AUTOCSHOW, 0, reinterpret_cast<sptr_t>("alpha beta"));
    ASSERT_TRUE(Call(SCI_AUTOCACTIVE));
    PressKey(*editor, VK_ESCAPE);
    EXPECT_FALSE(Call(SCI_AUTOCACTIVE));
    EXPECT_EQ(0, host->cancelled);
    EXPECT_TRUE(Call(SCI_GETFOCUS));
}

// The smallest rectangle holding every pixel that `draw` does not leave white on a white image
// of `size`; empty (right <= left) when it drew nothing.
template <class Draw>
RECT InkBounds(SIZE size, Draw draw) {
    BITMAPINFO info{};
    info.bmiHeader = {sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    void* bits = nullptr;
    vb::UniqueDC dc(::CreateCompatibleDC(nullptr));
    vb::UniqueBitmap bitmap(::CreateDIBSection(dc.Get(), &info, DIB_RGB_COLORS, &bits, nullptr, 0));
    RECT ink{size.cx, size.cy, 0, 0};
    if (!bitmap || !bits) return ink;
    auto* pixels = static_cast<const DWORD*>(bits);
    std::fill_n(static_cast<DWORD*>(bits), size.cx * size.cy, 0xFFFFFFu);
    vb::ScopedSelect select(dc.Get(), bitmap.Get());
    draw(dc.Get());
    ::GdiFlush();
    for (LONG y = 0; y < size.cy; ++y) {
        for (LONG x = 0; x < size.cx; ++x) {
            if ((pixels[y * size.cx + x] & 0xFFFFFFu) == 0xFFFFFFu) continue;
            ink = {std::min(ink.left, x), std::min(ink.top, y), std::max(ink.right, x + 1),
                   std::max(ink.bottom, y + 1)};
        }
    }
    return ink;
}

// An image of the editor taken through WM_PRINT (here without the window's own painting) holds
// the whole document as it prints, 4 pixels right and 3 down from where a print at the client's
// corner puts it.
TEST_F(EditorTest, PrintDrawsTheWholeDocumentMovedInFromTheCorner) {
    Load(kScript);
    RECT client{};
    ::GetClientRect(editor->Handle(), &client);
    const SIZE size{client.right + 10, client.bottom + 10};
    RECT printed = InkBounds(size, [&](HDC dc) {
        ::SendMessageW(editor->Handle(), WM_PRINT, reinterpret_cast<WPARAM>(dc), 0);
    });
    RECT atCorner = InkBounds(size, [&](HDC dc) {
        Sci_RangeToFormat range{dc, dc, {0, 0, client.right, client.bottom}, {0, 0, client.right, client.bottom},
                                {0, static_cast<Sci_PositionCR>(Call(SCI_GETLENGTH))}};
        Call(SCI_FORMATRANGE, TRUE, reinterpret_cast<sptr_t>(&range));
    });
    ASSERT_LT(atCorner.left, atCorner.right);
    ::OffsetRect(&atCorner, 4, 3);
    EXPECT_TRUE(::EqualRect(&atCorner, &printed));
}

std::wstring Expand(const std::wstring& script, int line, const wchar_t* expression) {
    std::vector<std::wstring> lines;
    std::wistringstream stream(script);
    for (std::wstring text; std::getline(stream, text);) lines.push_back(text);
    return ExpandScriptVariables(expression, line, [&](int at) {
        return at < static_cast<int>(lines.size()) ? lines[static_cast<size_t>(at)] : std::wstring();
    });
}

TEST(VariableExpansionTest, VariablesBecomeWhatTheLinesAboveAssigned) {
    const struct {
        const wchar_t* script;
        int line;
        const wchar_t* expression;
        const wchar_t* expanded;
    } cases[] = {
        {L"Set d = Driver\nSet f = d.GetFont(0)", 2, L"f.Name", L"driver.GetFont(0).name"},
        {L"Set me = Nothing", 1, L"Me.Trace", L"Me.Trace"},
        {L"Set f = Driver\n' Set f = Nothing\n  rem f = Nothing", 3, L"f", L"driver"},
        {L"Set f = Driver", 0, L"f", L"f"},  // the caret's own line does not count
        {L"For n = 1 To 9", 1, L"Driver.Item(n)", L"driver.Item(1)"},
        {L"Set font = Driver", 1, L"f", L"f"},  // a longer name is another variable
        // A literal that looks like a placeholder stays as written.
        {L"Set x = Driver\ny = 5", 2, L"x.Item(\"%s\", y)", L"driver.Item(\"%s\",5)"},
        {L"x = \"%s%s\"", 1, L"x", L"\"%s%s\""},
    };
    for (const auto& test : cases) {
        EXPECT_EQ(test.expanded, Expand(test.script, test.line, test.expression)) << vb::ToUtf8(test.expression);
    }
}

TEST(VariableExpansionTest, ValuesThatDoubleAtEveryLineStillEnd) {
    std::wstring script = L"Set a0 = Driver\nSet b0 = Driver\n";
    const int levels = 40;
    for (int i = 1; i <= levels; ++i) {
        const std::wstring before = std::to_wstring(i - 1);
        for (const wchar_t* name : {L"a", L"b"}) {
            script += name + std::to_wstring(i) + L" = a" + before + L" + b" + before + L"\n";
        }
    }
    EXPECT_FALSE(Expand(script, 2 + 2 * levels, L"a40").empty());
}

TEST(CaretExpressionTest, TheExpressionBeforeTheTypedCharacter) {
    const struct {
        const wchar_t* line;
        int column;  // of the typed character
        const wchar_t* expression;
    } cases[] = {
        {L"Set f = Driver.GetFont(0).", 25, L"Driver.GetFont(0)"},
        {L"MsgBox (Driver.", 14, L"Driver"},
        {L"\u20ACx.", 2, L"x"},
        {L"", 1100, L""},  // an over-long line reads as empty
    };
    for (const auto& test : cases) {
        int column = test.column;
        EXPECT_EQ(test.expression, StripOuterParentheses(GetExpressionBeforeCaret(test.line, column)))
            << vb::ToUtf8(test.line);
    }
}

TEST(CallTipTest, TheNameThenItsArgumentsBetweenParentheses) {
    EXPECT_EQ(L"", CallTipText({}));
    EXPECT_EQ(L"Now()", CallTipText({L"Now"}));
    EXPECT_EQ(L"Mid(string, start, length)", CallTipText({L"Mid", L"string", L"start", L"length"}));
}

// The editor with the real script facade and the real `Driver`, typed into as the keyboard would.
class CompletionTest : public EditorTest {
protected:
    void SetUp() override {
        EditorTest::SetUp();
        ASSERT_TRUE(facade.Init());
        ASSERT_TRUE(facade.AddObject(L"Driver", wrapper.AsDispatch()));
        editor->Setup();
        editor->SetScriptObject(&facade);
        editor->SetEditorFocus();
    }

    // Types `typed` at the end of a document holding `before`.
    void Type(const std::wstring& before, const wchar_t* typed) {
        ::SetWindowTextW(editor->Handle(), before.c_str());
        Call(SCI_DOCUMENTEND);
        TypeOn(typed);
    }
    void TypeOn(const wchar_t* typed) {
        for (const wchar_t* c = typed; *c; ++c) ::PostMessageW(editor->Handle(), WM_CHAR, *c, 1);
        vb::DispatchPendingMessages();
    }

    std::string Selected(const char* prefix) {
        Call(SCI_AUTOCSELECT, 0, reinterpret_cast<sptr_t>(prefix));
        char text[64] = {};
        Call(SCI_AUTOCGETCURRENTTEXT, 0, reinterpret_cast<sptr_t>(text));
        return text;
    }

    vb::test::FakeScriptHostOwner owner;
    vb::test::FakeDriverHandler handler;
    CDriverWrapper wrapper{&handler};
    CMSScriptObject facade{&owner};
};

// Through a variable: which variables expand is VariableExpansionTest's.
TEST_F(CompletionTest, AFullStopListsTheObjectsMembers) {
    Type(L"Set d = Driver\r\n", L"d.");
    ASSERT_TRUE(Call(SCI_AUTOCACTIVE));
    EXPECT_EQ("TextOut", Selected("textout"));
    EXPECT_EQ("ShortName", Selected("shortn"));
}

TEST_F(CompletionTest, AnOpeningParenthesisShowsTheArgumentsUntilTheClosingOne) {
    for (const wchar_t* typed : {L"Driver.TextOut(", L"Driver.TextOut ", L"Driver.TextOut\t", L"x = Mid("}) {
        Type(L"", typed);
        EXPECT_TRUE(Call(SCI_CALLTIPACTIVE)) << vb::ToUtf8(typed);
        TypeOn(L")");
        EXPECT_FALSE(Call(SCI_CALLTIPACTIVE)) << vb::ToUtf8(typed);
    }
}

TEST_F(CompletionTest, NothingOpensWhereNothingCanBeEvaluated) {
    const std::wstring longLine = L"x = \"" + std::wstring(1100, L'a') + L"\" : ";
    const struct {
        std::wstring before;
        const wchar_t* typed;
        bool withFacade;
    } cases[] = {
        {L"", L"Driver.NoSuchMember.", true},
        {L"", L"Err.Raise(5).", true},
        {L"", L"NoSuchProcedure(", true},
        {longLine, L"Driver.", true},
        {L"", L"Driver.", false},
    };
    for (const auto& test : cases) {
        SCOPED_TRACE(vb::ToUtf8(test.typed));
        editor->SetScriptObject(test.withFacade ? &facade : nullptr);
        Type(test.before, test.typed);
        EXPECT_FALSE(Call(SCI_AUTOCACTIVE));
        EXPECT_FALSE(Call(SCI_CALLTIPACTIVE));
        EXPECT_FALSE(facade.IsBusy());
    }
}

}  // namespace
