#include <gtest/gtest.h>

#include "Bstr.h"
#include "ComPtr.h"
#include "ScriptEngine.h"
#include "Variant.h"

namespace {

using MSSCtrl::IScriptProcedure;
using MSSCtrl::IScriptProcedureCollection;
using vb::ComPtr;
using vb::Variant;

// The procedures of a real VBScript engine's module, as the listings walk them.
TEST(ScriptObjectModelTest, ProceduresWithArgumentCountsAndResults) {
    ScriptEngine engine;
    ASSERT_EQ(S_OK, engine.AddCode(L"Sub Three(a, b, c)\r\nEnd Sub\r\n"
                                   L"Function Answer(x)\r\n  Answer = x + 40\r\nEnd Function\r\n"
                                   L"Sub Quiet()\r\nEnd Sub\r\n"));
    ComPtr<IScriptProcedureCollection> procedures;
    ASSERT_EQ(S_OK, engine.GetProcedures(L"Global", procedures.Put()));
    long count = 0;
    ASSERT_EQ(S_OK, procedures->get_Count(&count));
    ASSERT_EQ(3, count);
    const struct {
        const wchar_t* name;
        long arguments;
        VARIANT_BOOL returnsValue;
    } expected[] = {{L"Three", 3, VARIANT_FALSE}, {L"Answer", 1, VARIANT_TRUE}, {L"Quiet", 0, VARIANT_FALSE}};
    for (long i = 0; i < count; ++i) {
        ComPtr<IScriptProcedure> procedure;
        // Positions may come as text; names may not.
        ASSERT_EQ(S_OK, procedures->get_Item(*Variant(std::to_wstring(i + 1)).Get(), procedure.Put()));
        vb::Bstr name;
        long arguments = -1;
        VARIANT_BOOL returnsValue = 7;
        procedure->get_Name(name.Put());
        procedure->get_NumArgs(&arguments);
        procedure->get_HasReturnValue(&returnsValue);
        EXPECT_EQ(expected[i].name, name.Str());
        EXPECT_EQ(expected[i].arguments, arguments) << expected[i].name;
        EXPECT_EQ(expected[i].returnsValue, returnsValue) << expected[i].name;
    }
    ComPtr<IScriptProcedure> procedure;
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, procedures->get_Item(*Variant(std::wstring(L"Three")).Get(), procedure.Put()));
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, procedures->get_Item(*Variant(4L).Get(), procedure.Put()));
}

}  // namespace
