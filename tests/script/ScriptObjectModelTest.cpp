#include <gtest/gtest.h>

#include "Bstr.h"
#include "ComPtr.h"
#include "ScriptEngine.h"
#include "ScriptTestSupport.h"
#include "Variant.h"

namespace {

using MSSCtrl::IScriptModule;
using MSSCtrl::IScriptProcedure;
using MSSCtrl::IScriptProcedureCollection;
using vb::ComPtr;
using vb::Variant;

vb::Bstr Text(const wchar_t* text) { return vb::Bstr(std::wstring(text)); }

// Modules, procedures and the error object of a real VBScript engine.
class ScriptObjectModelTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_EQ(S_OK, engine_.AddCode(L"Sub Three(a, b, c)\r\nEnd Sub\r\n"
                                        L"Function Answer(x)\r\n  Answer = x + 40\r\nEnd Function\r\n"
                                        L"Sub Quiet()\r\nEnd Sub\r\n"));
        ASSERT_EQ(S_OK, engine_.GetModules(modules_.Put()));
    }
    // The module's name, or "<none>" with the HRESULT when there is none at that index.
    std::wstring ModuleAt(const Variant& index) {
        ComPtr<IScriptModule> module;
        HRESULT hr = modules_->get_Item(*index.Get(), module.Put());
        if (FAILED(hr)) return hr == TYPE_E_ELEMENTNOTFOUND ? L"<not found>" : L"<failed>";
        vb::Bstr name;
        module->get_Name(name.Put());
        return name.Str();
    }
    long Count() {
        long count = -1;
        modules_->get_Count(&count);
        return count;
    }

    ScriptEngine engine_;
    ComPtr<MSSCtrl::IScriptModuleCollection> modules_;
};

TEST_F(ScriptObjectModelTest, ModulesByNameAndOneBasedPosition) {
    EXPECT_EQ(1, Count());
    EXPECT_EQ(L"global", ModuleAt(Variant(1L)));
    EXPECT_EQ(L"global", ModuleAt(Variant(std::wstring(L"GLOBAL"))));
    EXPECT_EQ(L"<not found>", ModuleAt(Variant(0L)));
    EXPECT_EQ(L"<not found>", ModuleAt(Variant(2L)));
    EXPECT_EQ(L"<not found>", ModuleAt(Variant(std::wstring(L"other"))));

    ComPtr<IScriptModule> extra;
    ASSERT_EQ(S_OK, modules_->Add(Text(L"Extra").Get(), nullptr, extra.Put()));
    EXPECT_EQ(2, Count());
    EXPECT_EQ(L"extra", ModuleAt(Variant(2L)));
    EXPECT_EQ(L"<not found>", ModuleAt(Variant(3L)));

    // Code added twice to a module is all there, and runs there with its arguments.
    ASSERT_EQ(S_OK, extra->AddCode(Text(L"Function One()\r\n One = 1\r\nEnd Function").Get()));
    ASSERT_EQ(S_OK, extra->AddCode(Text(L"Function Two(a)\r\n Two = a * 2\r\nEnd Function").Get()));
    auto args = vb::test::MakeArguments({21});
    SAFEARRAY* array = args.get();
    Variant result;
    EXPECT_EQ(S_OK, extra->Run(Text(L"Two").Get(), &array, result.Put()));
    EXPECT_EQ(42, vb::ToLong(*result.Get()).value_or(-1));
    EXPECT_EQ(S_OK, extra->Eval(Text(L"One() + 1").Get(), result.Put()));
    EXPECT_EQ(2, vb::ToLong(*result.Get()).value_or(-1));
}

TEST_F(ScriptObjectModelTest, ProceduresWithArgumentCountsAndResults) {
    ComPtr<IScriptProcedureCollection> procedures;
    ASSERT_EQ(S_OK, engine_.GetProcedures(L"Global", procedures.Put()));
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
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, procedures->get_Item(*Variant(0L).Get(), procedure.Put()));
    EXPECT_EQ(TYPE_E_ELEMENTNOTFOUND, procedures->get_Item(*Variant(4L).Get(), procedure.Put()));

    // The objects are reached through their interface tables only.
    void* dispatch = reinterpret_cast<void*>(1);
    EXPECT_EQ(E_NOINTERFACE, procedures->QueryInterface(IID_IDispatch, &dispatch));
    EXPECT_EQ(nullptr, dispatch);
}

// What the error object reads shows in the facade's error texts; here, its Clear.
TEST_F(ScriptObjectModelTest, ErrorObjectClearsTheRecord) {
    EXPECT_TRUE(FAILED(engine_.ExecuteStatement(L"Err.Raise 1001, \"here\", \"what happened\"")));
    ComPtr<MSSCtrl::IScriptError> error = ComPtr<MSSCtrl::IScriptError>::Attach(engine_.GetError());
    ASSERT_TRUE(error);
    long number = 0;
    vb::Bstr description;
    error->get_Number(&number);
    EXPECT_EQ(static_cast<long>(0x800A03E9), number);
    EXPECT_EQ(S_OK, error->get_Source(nullptr));

    EXPECT_EQ(S_OK, error->Clear());
    error->get_Number(&number);
    error->get_Description(description.Put());
    EXPECT_EQ(0, number);
    EXPECT_EQ(nullptr, description.Get());
}

}  // namespace
