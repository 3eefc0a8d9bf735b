#include <gtest/gtest.h>

#include "ScriptEngine.h"
#include "ScriptTestSupport.h"
#include "TestHostObject.h"
#include "Variant.h"

namespace {

using vb::test::MakeArguments;

// Procedures of the global module called with arguments through the real VBScript engine.
class ScriptEngineRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, engine_.AddCode(L"Dim seen\r\n"
                                        L"Sub Three(a, b, c)\r\n  seen = a & \",\" & b & \",\" & c\r\nEnd Sub\r\n"
                                        L"Sub NoArgs()\r\n  seen = \"none\"\r\nEnd Sub\r\n"));
    }
    HRESULT Run(const wchar_t* procedure, SAFEARRAY* args, const wchar_t* module = nullptr) {
        return engine_.RunProcedure(module, procedure, &args, nullptr);
    }
    std::wstring Seen() { return vb::test::Evaluate(engine_, L"seen"); }

    ScriptEngine engine_;
};

TEST_F(ScriptEngineRunTest, FirstArrayElementIsTheFirstParameter) {
    EXPECT_EQ(S_OK, Run(L"Three", MakeArguments({1, 2, 3}).get()));
    EXPECT_EQ(L"1,2,3", Seen());
    // An array that does not start at 0 passes its own elements, no more.
    EXPECT_EQ(S_OK, Run(L"Three", MakeArguments({7, 8, 9}, 1).get(), L"GLOBAL"));
    EXPECT_EQ(L"7,8,9", Seen());
}

TEST_F(ScriptEngineRunTest, EmptyOrMissingArrayCallsWithoutArguments) {
    EXPECT_EQ(S_OK, Run(L"NoArgs", MakeArguments({}).get(), L"Global"));
    EXPECT_EQ(L"none", Seen());
    ASSERT_EQ(S_OK, engine_.ExecuteStatement(L"seen = \"\""));
    EXPECT_EQ(S_OK, engine_.Run(L"NoArgs", nullptr, nullptr));
    EXPECT_EQ(L"none", Seen());
}

TEST_F(ScriptEngineRunTest, BadNamesAndArraysFailWithoutCalling) {
    EXPECT_EQ(DISP_E_UNKNOWNNAME, Run(L"Missing", nullptr));
    EXPECT_TRUE(FAILED(Run(L"", nullptr)));
    EXPECT_TRUE(FAILED(Run(nullptr, nullptr)));
    EXPECT_TRUE(FAILED(Run(L"NoArgs", nullptr, L"nomodule")));
    EXPECT_TRUE(FAILED(Run(L"Three", MakeArguments({}).get())));
    SAFEARRAYBOUND square[2] = {{3, 0}, {1, 0}};
    vb::test::UniqueSafeArray twoDimensions(::SafeArrayCreate(VT_VARIANT, 2, square));
    EXPECT_EQ(E_INVALIDARG, Run(L"Three", twoDimensions.get()));
    vb::test::UniqueSafeArray numbers(::SafeArrayCreateVector(VT_I4, 0, 3));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, Run(L"Three", numbers.get()));
    EXPECT_EQ(L"", Seen());
    EXPECT_EQ(S_OK, engine_.ExecuteStatement(nullptr));
}

TEST(ScriptEngineStateTest, WithoutEngineAndAfterReset) {
    vb::test::TestHostObject host;
    ScriptEngine engine;
    EXPECT_EQ(E_FAIL, engine.Run(L"Anything", nullptr, nullptr));
    EXPECT_EQ(E_FAIL, engine.AddNamedObject(L"Driver", host.AsDispatch(), 1));
    engine.Reset();
    EXPECT_EQ(S_OK, engine.ExecuteStatement(L"x = 1"));
}

// What a syntax error leaves; the record it fills is read through the facade's error texts.
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
