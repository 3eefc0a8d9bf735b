#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

#include "../script/ScriptTestSupport.h"
#include "AutomationObject.h"
#include "GlobalScript.h"
#include "GlobalScriptHeader.h"
#include "MSScriptObject.h"
#include "Strings.h"

namespace {

TEST(GlobalScriptTest, ExpressionsEvaluateFromLeftToRightAndWrapAt32Bits) {
    struct Case {
        const wchar_t* text;
        bool evaluates;
        int value;
    };
    const Case cases[] = {
        {L"8192 + 18", true, 8210},
        {L"1 + 2 * 3", true, 9},
        {L"(1+2)*3", true, 9},
        {L" 7 / 2 ", true, 3},
        {L"4294967295 + 1", true, 0},
        {L"2147483647 + 1", true, INT_MIN},
        {L"4294967298", true, 2},
        {L"(0 - 2147483647 - 1) / (0 - 1)", true, INT_MIN},
        {L"2*(3", false, 0},
        {L"1 2", false, 0},
        {L"1)", false, 0},
        {L"1\t+ 2", false, 0},
        {L"-1", false, 0},
        {L"7 / 0", false, 0},
    };
    for (const Case& c : cases) {
        const wchar_t* position = c.text;
        int value = -7;
        EXPECT_EQ(c.evaluates, EvaluateIntExpression(position, value, FALSE) != FALSE) << vb::ToUtf8(c.text);
        if (c.evaluates) {
            EXPECT_EQ(c.value, value) << vb::ToUtf8(c.text);
        }
    }
}

// Found by fuzzing: 40,000 nested parentheses ran the evaluator out of stack.
TEST(GlobalScriptTest, DeepNestingFailsInsteadOfOverflowingTheStack) {
    for (size_t depth : {256u, 257u, 100000u}) {
        const std::wstring text = std::wstring(depth, L'(') + L"1" + std::wstring(depth, L')');
        const wchar_t* position = text.c_str();
        int value = 0;
        EXPECT_EQ(depth <= 256, EvaluateIntExpression(position, value, FALSE) != FALSE) << depth;
    }
}

TEST(GlobalScriptTest, ConstantLinesAreRewrittenIntoScriptNotation) {
    const struct {
        const wchar_t* line;
        const wchar_t* rewritten;
    } cases[] = {
        {L"const A\t= 8192 + 18", L"const A\t= 8210"},
        {L"const A\t= 2147483647 + 1", L"const A\t= -2147483648"},
        {L"const A\t= B + 1", L"const A\t= B + 1"},
        {L"Const A\t= 1 + 2", L"Const A\t= 1 + 2"},
        {L"const A\t= 0x0200", L"const A\t= &h0200"},
        {L"const A\t= (DWORD)0x00000042", L"const A\t= &h00000042"},
        {L"\tIf x = (1 + 2) Then", L"\tIf x = (1 + 2) Then"},
    };
    for (const auto& c : cases) {
        std::wstring out;
        RewriteGlobalScript(std::wstring(c.line) + L"\r\n", out);
        EXPECT_EQ(std::wstring(c.rewritten) + L"\r\n", out) << vb::ToUtf8(c.line);
    }
    // Only the empty lines before the first text are dropped.
    std::wstring out;
    RewriteGlobalScript(L"\r\n\r\nA\r\n\r\nB\r\nconst C\t= 0x1 + 1", out);
    EXPECT_EQ(L"A\r\n\r\nB\r\nconst C\t= &h1 + 1", out);
}

TEST(GlobalScriptTest, BuiltTextOpensWithOptionExplicitAndHoldsScriptValues) {
    std::wstring text;
    BuildGlobalScript(text);
    // Comments may come first; VBScript only needs that no statement precedes it.
    std::wistringstream lines(text);
    std::wstring line;
    while (std::getline(lines, line) && (line == L"\r" || line.rfind(L"'", 0) == 0)) {
    }
    EXPECT_EQ(L"Option Explicit\r", line);
    EXPECT_EQ(std::wstring::npos, text.find(L"0x"));
}

// Stands in for the driver: the print routines only call these members, in this order.
class PrintRecorder : public vb::AutomationObject<PrintRecorder> {
public:
    static vb::DispatchTable<PrintRecorder> Members() {
        using T = PrintRecorder;
        static const vb::DispatchMember<T> members[] = {
            {1, L"StartDoc", vb::MemberKind::Method, &T::Record<1>},
            {2, L"StartPage", vb::MemberKind::Method, &T::Record<2>},
            {3, L"EndPage", vb::MemberKind::Method, &T::Record<3>},
            {4, L"EndDoc", vb::MemberKind::Method, &T::Record<4>},
        };
        return members;
    }
    static DISPID DefaultMember() noexcept { return DISPID_UNKNOWN; }
    static const IID* const* InterfaceIds() noexcept { return nullptr; }

    std::wstring calls;

private:
    template <DISPID id>
    HRESULT Record(vb::DispatchCall&) {
        calls += Members().begin()[id - 1].name;
        calls += L' ';
        return S_OK;
    }
};

class GlobalScriptEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        BuildGlobalScript(text_);
        ASSERT_TRUE(facade_.Init());
        ASSERT_TRUE(facade_.AddObject(L"Driver", driver_.AsDispatch()));
    }
    std::wstring Evaluate(const wchar_t* expression) { return vb::test::Evaluate(facade_.Engine(), expression); }

    std::wstring text_;
    PrintRecorder driver_;
    CMSScriptObject facade_{nullptr};  // last: it holds the driver
};

TEST_F(GlobalScriptEngineTest, BuildProcedureAfterItPrintsThroughTheRoutines) {
    const std::wstring code = text_ + L"\r\nSub ScriptItem_7()\r\nBeginPrintJob\r\nEndPrintJob\r\nEnd Sub\r\n";
    ASSERT_TRUE(facade_.AddCode(code.c_str())) << vb::ToUtf8(facade_.LastComError());
    ASSERT_TRUE(facade_.Run(L"ScriptItem_7")) << vb::ToUtf8(facade_.LastComError());
    EXPECT_EQ(L"StartDoc StartPage EndPage EndDoc ", driver_.calls);
}

TEST_F(GlobalScriptEngineTest, ConstantsAndRoutinesGiveTheirDocumentedValues) {
    // Wine's VBScript has no Join, so arrays are listed by hand, empty elements included.
    const std::wstring code = text_ +
                              L"Function Listed(values)\r\n"
                              L"\tDim i\r\n"
                              L"\tFor i = 0 To UBound(values)\r\n"
                              L"\t\tListed = Listed & values(i) & \",\"\r\n"
                              L"\tNext\r\n"
                              L"End Function\r\n";
    ASSERT_TRUE(facade_.AddCode(code.c_str())) << vb::ToUtf8(facade_.LastComError());
    const struct {
        const wchar_t* expression;
        const wchar_t* value;
    } cases[] = {
        {L"RQ_ESC_IMGDATA", L"8210"},
        {L"WHITENESS", L"16711778"},
        {L"STR_SUBID_PROFILE", L"#FILE_PROFILE#"},
        {L"HiWord(65535)", L"1"},  // divides by 65535, not 65536
        {L"HiWord(&H20000)", L"2"},
        {L"LoWord(&H12345)", L"9029"},
        {L"LoWord(&H18000)", L"-32768"},
        {L"Listed(BuildBinaryRange(4, 5))", L"1,0,1,0,,"},
        {L"Listed(CombineValues(Array(1, 2, 4)))", L"1,2,3,4,5,6,7,,"},
    };
    for (const auto& c : cases) EXPECT_EQ(c.value, Evaluate(c.expression)) << vb::ToUtf8(c.expression);
}

}  // namespace
