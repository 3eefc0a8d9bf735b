#include <gtest/gtest.h>

#include "ScriptEngine.h"
#include "ScriptTestSupport.h"

namespace {

// The record the site fills from IActiveScriptError, as the error object reads it, is checked
// through the facade's error texts; here, what a syntax error leaves.
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
    EXPECT_EQ(4, engine.ErrorRecord().column);  // the record outlives the reset
    EXPECT_EQ(S_OK, engine.ExecuteStatement(L"x = 1"));
    EXPECT_EQ(L"1", vb::test::Evaluate(engine, L"x"));
    // Later syntax errors fail only their own text.
    EXPECT_TRUE(FAILED(engine.ExecuteStatement(L"x = (")));
    EXPECT_EQ(S_OK, engine.ExecuteStatement(L"x = 2"));
}

}  // namespace
