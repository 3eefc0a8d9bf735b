#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;
using Pieces = std::vector<std::wstring>;

class PrintedObjectsTest : public OpenDeviceFixture {
protected:
    void SetUp() override { Open(L"FAM03.PRN", L"Model 300"); }
    void AddVariable(const wchar_t* name, const wchar_t* value, long type = 0) {
        driver_.Call(L"AddVariable", {Variant(std::wstring(name)), Variant(std::wstring(value)), Variant(type)});
    }
};

TEST_F(PrintedObjectsTest, ObjectNamesCountBothEnds) {
    sandbox_.ClearCalls();
    EXPECT_EQ(L"TEXT_OBJECT_1", wrapper_.BeginObject(L"TEXT_OBJECT"));
    wrapper_.EndObject(L"TEXT");
    EXPECT_EQ(L"GENERIC_OBJECT_3", wrapper_.BeginObject(L""));
    wrapper_.EndObject(L"");
    EXPECT_EQ((std::vector<std::string>{"D_SetVarInfo(1, 0, TEXT_OBJECT_1)", "D_EscapeW(1, 0x202A, 0, TEXT_2, 0)",
                                        "D_SetVarInfo(1, 0, GENERIC_OBJECT_3)", "D_EscapeW(1, 0x202A, 0, OBJECT_4, 0)"}),
              CallsOf({"D_SetVarInfo", "D_EscapeW"}));
    wrapper_.ReleaseDriver();
    sandbox_.ClearCalls();
    wrapper_.EndObject(L"TEXT");
    EXPECT_TRUE(sandbox_.Calls().empty());
}

TEST_F(PrintedObjectsTest, SplitsAtVariableNamesOnlyWhenThereAreVariables) {
    EXPECT_EQ(Pieces{L"A {{x}} B"}, wrapper_.SplitVariables(L"A {{x}} B", false));
    EXPECT_EQ(Pieces{L""}, wrapper_.SplitVariables(L"", false));
    AddVariable(L"Serial", L"7");
    EXPECT_EQ((Pieces{L"No ", L"{{Serial}}", L" of ", L"{{ x }}"}),
              wrapper_.SplitVariables(L"No {{Serial}} of {{ x }}", false));
    EXPECT_EQ((Pieces{L"{{ x }}", L" of ", L"{{Serial}}", L"No "}),
              wrapper_.SplitVariables(L"No {{Serial}} of {{ x }}", true));
    EXPECT_EQ((Pieces{L"{{Serial}}"}), wrapper_.SplitVariables(L"{{Serial}}", false));
    EXPECT_EQ((Pieces{L"tail ", L"{{Seri"}), wrapper_.SplitVariables(L"tail {{Seri", false));
    EXPECT_EQ((Pieces{L"ends ", L"{{"}), wrapper_.SplitVariables(L"ends {{", false));
    EXPECT_EQ(Pieces{}, wrapper_.SplitVariables(L"", false));
}

TEST_F(PrintedObjectsTest, KnownVariablesBecomeTheirTextAndEveryPieceIsAnnounced) {
    AddVariable(L" Serial ", L"7", 0);
    auto variable = driver_.Call(L"GetVariable", {Variant(std::wstring(L"serial"))});
    vb::test::DispatchClient(V_DISPATCH(variable.Get())).Put(L"Prefix", Variant(std::wstring(L"N")));
    vb::test::DispatchClient(V_DISPATCH(variable.Get())).Call(L"Update");
    sandbox_.ClearCalls();

    std::wstring known = L"{{SERIAL }}";
    EXPECT_TRUE(wrapper_.SendVariableInfo(known));
    EXPECT_EQ(L"N7", known);
    std::wstring unknown = L"{{other}}";
    EXPECT_FALSE(wrapper_.SendVariableInfo(unknown));
    EXPECT_EQ(L"{{other}}", unknown);
    std::wstring plain = L"text";
    EXPECT_FALSE(wrapper_.SendVariableInfo(plain));
    EXPECT_EQ((std::vector<std::string>{"D_SetVarInfo(1, 0,  Serial )", "D_SetVarInfo(1, 0, )", "D_SetVarInfo(1, 0, )"}),
              CallsOf({"D_SetVarInfo"}));
}

TEST_F(PrintedObjectsTest, TextWithAVariableBetweenTwoRunsIsThreeObjectsForTheDriver) {
    AddVariable(L"Lot", L"A-17", 0);
    sandbox_.ClearCalls();
    driver_.Call(L"TextOut", {Variant(0L), Variant(0L), Variant(std::wstring(L"No {{lot}}!")), Variant(0L)});
    EXPECT_EQ((std::vector<std::string>{
                  "D_EscapeW(1, 0x202D, 0, 0, 0)",
                  "D_SetVarInfo(1, 0, )", "D_SetVarInfo(1, 0, TEXT_OBJECT_1)", "D_GetTextExtW(1, No )",
                  "D_EscapeW(1, 0x201F, 0, 0, 0)", "D_TextOutW(1, 0, 0, No )",
                  "D_SetVarInfo(1, 0, Lot)", "D_GetTextExtW(1, A-17)",
                  "D_EscapeW(1, 0x201F, 0, 0, 0)", "D_TextOutW(1, 48, 0, A-17)",
                  "D_SetVarInfo(1, 0, )", "D_SetVarInfo(1, 0, TEXT_OBJECT_2)", "D_GetTextExtW(1, !)",
                  "D_EscapeW(1, 0x201F, 0, 0, 0)", "D_TextOutW(1, 112, 0, !)",
                  "D_EscapeW(1, 0x202D, 0, 0, 0)", "D_EscapeW(1, 0x202A, 0, TEXT_3, 0)",
                  "D_SetVarInfo(1, 0, )"}),
              CallsOf({"D_"}));
}

}  // namespace
