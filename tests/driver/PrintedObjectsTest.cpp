// Known variables becoming their text, and the objects they make, are compared whole in the print
// file tests; here, the splitting and what the driver is told that the print file never shows.
#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;
using Pieces = std::vector<std::wstring>;

class PrintedObjectsTest : public OpenDeviceFixture {
protected:
    void SetUp() override { Open(L"FAM03.PRN", L"Model 300"); }
    void AddVariable(const wchar_t* name, const wchar_t* value) {
        driver_.Call(L"AddVariable", {Str(name), Str(value), Variant(0L)});
    }
};

TEST_F(PrintedObjectsTest, SplitsAtVariableNamesOnlyWhenThereAreVariables) {
    EXPECT_EQ(Pieces{L"A {{x}} B"}, wrapper_.SplitVariables(L"A {{x}} B", false));
    AddVariable(L"Serial", L"7");
    EXPECT_EQ((Pieces{L"No ", L"{{Serial}}", L" of ", L"{{ x }}"}),
              wrapper_.SplitVariables(L"No {{Serial}} of {{ x }}", false));
    EXPECT_EQ((Pieces{L"{{ x }}", L" of ", L"{{Serial}}", L"No "}),
              wrapper_.SplitVariables(L"No {{Serial}} of {{ x }}", true));
    EXPECT_EQ((Pieces{L"tail ", L"{{Seri"}), wrapper_.SplitVariables(L"tail {{Seri", false));
    EXPECT_EQ((Pieces{L"ends ", L"{{"}), wrapper_.SplitVariables(L"ends {{", false));
    EXPECT_EQ(Pieces{}, wrapper_.SplitVariables(L"", false));
}

TEST_F(PrintedObjectsTest, KnownVariablePrintsAsItsPrefixValueAndSuffix) {
    Variant lot = driver_.Call(L"AddVariable", {Str(L"Lot"), Str(L"A-17"), Variant(0L)});
    vb::test::DispatchClient variable(V_DISPATCH(lot.Get()));
    variable.Put(L"Prefix", Str(L"No. "));
    variable.Put(L"Suffix", Str(L"/B"));
    variable.Call(L"Update");
    std::wstring piece = L"{{ LOT }}";
    EXPECT_TRUE(wrapper_.SendVariableInfo(piece));
    EXPECT_EQ(L"No. A-17/B", piece);
}

TEST_F(PrintedObjectsTest, TextWithAVariableBetweenTwoRunsIsThreeObjectsForTheDriver) {
    AddVariable(L"Lot", L"A-17");
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
