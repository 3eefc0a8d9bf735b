#include <gtest/gtest.h>

#include <climits>
#include <sstream>
#include <string>

#include "../script/ScriptTestSupport.h"
#include "GlobalScript.h"
#include "GlobalScriptHeader.h"
#include "MSScriptObject.h"
#include "Strings.h"

namespace {

TEST(GlobalScriptTest, ExpressionsEvaluateFromLeftToRightAndWrapAt32Bits) {
    struct Case {
        std::wstring text;
        bool evaluates;
        int value;
    };
    const Case cases[] = {
        {L"1 + 2 * 3", true, 9},
        {L"4294967295 + 1", true, 0},
        {L"(0 - 2147483647 - 1) / (0 - 1)", true, INT_MIN},
        {L"2*(3", false, 0},
        {L"1\t+ 2", false, 0},
        {L"-1", false, 0},
        {L"7 / 0", false, 0},
        // Found by fuzzing: 40,000 nested parentheses ran the evaluator out of stack.
        {std::wstring(256, L'(') + L"1" + std::wstring(256, L')'), true, 1},
        {std::wstring(257, L'(') + L"1" + std::wstring(257, L')'), false, 0},
        {std::wstring(100000, L'(') + L"1" + std::wstring(100000, L')'), false, 0},
    };
    for (const Case& c : cases) {
        const wchar_t* position = c.text.c_str();
        int value = -7;
        EXPECT_EQ(c.evaluates, EvaluateIntExpression(position, value, FALSE) != FALSE) << c.text.size();
        if (c.evaluates) {
            EXPECT_EQ(c.value, value) << vb::ToUtf8(c.text.substr(0, 40));
        }
    }
}

// Only the empty lines before the first text are dropped; lines naming constants and other
// statements stay as written.
TEST(GlobalScriptTest, ConstantLinesAreRewrittenIntoScriptNotation) {
    std::wstring out;
    RewriteGlobalScript(L"\r\n\r\nconst A\t= 2147483647 + 1\r\n\r\n"
                        L"const B\t= A + 1\r\n"
                        L"const C\t= (DWORD)0x00000042\r\n"
                        L"\tIf x = (1 + 2) Then\r\n"
                        L"const D\t= 0x1 + 1",
                        out);
    EXPECT_EQ(L"const A\t= -2147483648\r\n\r\n"
              L"const B\t= A + 1\r\n"
              L"const C\t= &h00000042\r\n"
              L"\tIf x = (1 + 2) Then\r\n"
              L"const D\t= &h1 + 1",
              out);
}

// The built text in the real engine, a script class standing in for the driver: the print
// routines only call these members, in this order.
TEST(GlobalScriptEngineTest, BuiltTextOpensWithOptionExplicitAndItsRoutinesWork) {
    std::wstring text;
    BuildGlobalScript(text);
    // Comments may come first; VBScript only needs that no statement precedes it.
    std::wistringstream lines(text);
    std::wstring line;
    while (std::getline(lines, line) && (line == L"\r" || line.rfind(L"'", 0) == 0)) {
    }
    EXPECT_EQ(L"Option Explicit\r", line);

    CMSScriptObject facade(nullptr);
    ASSERT_TRUE(facade.Init());
    // Wine's VBScript has no Join, so arrays are listed by hand, empty elements included.
    const std::wstring code = text +
                              L"Function Listed(values)\r\n"
                              L"\tDim i\r\n"
                              L"\tFor i = 0 To UBound(values)\r\n"
                              L"\t\tListed = Listed & values(i) & \",\"\r\n"
                              L"\tNext\r\n"
                              L"End Function\r\n"
                              L"Class PrintRecorder\r\n"
                              L"\tPublic Calls\r\n"
                              L"\tSub StartDoc : Calls = Calls & \"StartDoc \" : End Sub\r\n"
                              L"\tSub StartPage : Calls = Calls & \"StartPage \" : End Sub\r\n"
                              L"\tSub EndPage : Calls = Calls & \"EndPage \" : End Sub\r\n"
                              L"\tSub EndDoc : Calls = Calls & \"EndDoc \" : End Sub\r\n"
                              L"End Class\r\n"
                              L"Dim Driver\r\n"
                              L"Set Driver = New PrintRecorder\r\n"
                              L"BeginPrintJob\r\nEndPrintJob\r\n";
    ASSERT_TRUE(facade.AddCode(code.c_str())) << vb::ToUtf8(facade.LastComError());
    const struct {
        const wchar_t* expression;
        const wchar_t* value;
    } cases[] = {
        {L"Driver.Calls", L"StartDoc StartPage EndPage EndDoc "},
        {L"RQ_ESC_IMGDATA", L"8210"},
        {L"STR_SUBID_PROFILE", L"#FILE_PROFILE#"},
        {L"HiWord(65535)", L"1"},  // divides by 65535, not 65536
        {L"LoWord(&H18000)", L"-32768"},
        {L"Listed(BuildBinaryRange(4, 5))", L"1,0,1,0,,"},
        {L"Listed(CombineValues(Array(1, 2, 4)))", L"1,2,3,4,5,6,7,,"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.value, vb::test::Evaluate(facade.Engine(), c.expression)) << vb::ToUtf8(c.expression);
    }
}

}  // namespace
