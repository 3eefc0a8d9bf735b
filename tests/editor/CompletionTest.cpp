#include <windows.h>

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "../script/FakeScriptHostOwner.h"
#include "CaretExpression.h"
#include "Completion.h"
#include "DriverWrapper.h"
#include "EditorTestSupport.h"
#include "FakeDriverHandler.h"
#include "MSScriptObject.h"
#include "MessagePump.h"
#include "Strings.h"
#include "VariableExpansion.h"

namespace {

using Texts = std::vector<std::wstring>;

std::wstring Expand(const std::wstring& script, int line, const wchar_t* expression) {
    Texts lines;
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
        {L"Set oFont = Driver.GetFont(0)", 1, L"oFont", L"driver.GetFont(0)"},
        {L"Set d = Driver\nSet f = d.GetFont(0)", 2, L"f.Name", L"driver.GetFont(0).name"},
        {L"", 0, L"Driver.Fonts", L"driver.fonts"},
        {L"Set me = Nothing", 1, L"Me.Trace", L"Me.Trace"},
        {L"Set f = Driver\n' Set f = Nothing\n  rem f = Nothing", 3, L"f", L"driver"},
        {L"Set f = Driver", 0, L"f", L"f"},  // the caret's own line does not count
        {L"For i = 1 To 9", 1, L"i", L"1"},
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
        {L"Call Show(Driver.TextOut(", 25, L"Driver.TextOut"},
        {L"x = Mid(", 7, L"Mid"},
        {L"f = x_1  .", 9, L"x_1"},
        {L"\u20ACx.", 2, L"x"},
        {L"Driver.", 0, L"Driver"},
        {L"", 1100, L""},  // an over-long line reads as empty
    };
    for (const auto& test : cases) {
        int column = test.column;
        EXPECT_EQ(test.expression, StripOuterParentheses(GetExpressionBeforeCaret(test.line, column)))
            << vb::ToUtf8(test.line);
    }
}

TEST(CompletionTextTest, ListItemsCarryTheirImagesAndTipsTheirArguments) {
    EXPECT_EQ(L"TextOut?1 StartDoc?1 Name?0", MemberListText({L"TextOut", L"StartDoc"}, {L"Name"}));
    EXPECT_EQ(L"Integer TextOut(left, [BkMode])", CallTipText({L"Integer TextOut", L"left", L"[BkMode]"}));
    EXPECT_EQ(L"Now()", CallTipText({L"Now"}));
    EXPECT_EQ(L"", CallTipText({}));
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

TEST_F(CompletionTest, AFullStopListsTheObjectsMembers) {
    for (const wchar_t* before : {L"", L"Set d = Driver\r\n' d = Nothing\r\n"}) {
        Type(before, *before ? L"d." : L"Driver.");
        ASSERT_TRUE(Call(SCI_AUTOCACTIVE)) << vb::ToUtf8(before);
        EXPECT_EQ("TextOut", Selected("textout"));
        EXPECT_EQ("ShortName", Selected("shortn"));
        Call(SCI_AUTOCCANCEL);
    }
}

TEST_F(CompletionTest, AnOpeningParenthesisShowsTheArgumentsUntilTheClosingOne) {
    for (const wchar_t* typed : {L"Driver.TextOut(", L"Driver.TextOut ", L"x = Mid("}) {
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
        {longLine, L"Mid(", true},
        {L"", L"Driver.", false},
        {L"", L"Mid(", false},
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
