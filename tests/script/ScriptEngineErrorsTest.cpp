#include <gtest/gtest.h>

#include "ScriptEngine.h"
#include "ScriptTestSupport.h"

namespace {

// The record the site fills from IActiveScriptError. Wine leaves some descriptions empty, so
// only the texts the script itself raises are checked.
TEST(ScriptEngineErrorsTest, RaisedErrorAndTypeMismatchAreRecordedWithTheirPosition) {
    ScriptEngine engine;
    ASSERT_EQ(S_OK, engine.AddCode(L"Sub Raiser()\r\n"
                                   L"  Err.Raise 1000, \"test source\", \"raised by the test\"\r\n"
                                   L"End Sub\r\n"
                                   L"Sub Mismatch()\r\n"
                                   L"    y = \"text\" * 2\r\n"
                                   L"End Sub\r\n"));
    const ScriptErrorInfo& record = engine.ErrorRecord();
    EXPECT_TRUE(FAILED(engine.Run(L"Raiser", nullptr, nullptr)));
    EXPECT_EQ(static_cast<SCODE>(0x800A03E8), record.Number());
    EXPECT_EQ(1u, record.line);
    EXPECT_EQ(2, record.column);
    EXPECT_STREQ(L"raised by the test", record.exception.bstrDescription);
    EXPECT_STREQ(L"test source", record.exception.bstrSource);

    // The second error replaces the first one whole; a reset keeps it.
    EXPECT_TRUE(FAILED(engine.Run(L"Mismatch", nullptr, nullptr)));
    EXPECT_EQ(static_cast<SCODE>(0x800A000D), record.Number());
    EXPECT_EQ(4u, record.line);
    EXPECT_EQ(4, record.column);
    engine.Reset();
    EXPECT_EQ(static_cast<SCODE>(0x800A000D), record.Number());
}

TEST(ScriptEngineErrorsTest, SyntaxErrorAtTheFirstParseLeavesAClosedEngineUntilReset) {
    ScriptEngine engine;
    EXPECT_TRUE(FAILED(engine.AddCode(L"Sub (")));
    EXPECT_TRUE(engine.HasEngine());
    EXPECT_EQ(nullptr, engine.CodeObject());
    EXPECT_EQ(0u, engine.ErrorRecord().line);
    EXPECT_EQ(4, engine.ErrorRecord().column);
    EXPECT_TRUE(FAILED(engine.ExecuteStatement(L"x = 1")));
    EXPECT_TRUE(FAILED(engine.Run(L"Anything", nullptr, nullptr)));

    engine.Reset();
    EXPECT_EQ(S_OK, engine.ExecuteStatement(L"x = 1"));
    EXPECT_EQ(L"1", vb::test::Evaluate(engine, L"x"));
    // Later syntax errors fail only their own text.
    EXPECT_TRUE(FAILED(engine.ExecuteStatement(L"x = (")));
    EXPECT_EQ(S_OK, engine.ExecuteStatement(L"x = 2"));
}

}  // namespace
