// The workspace as the script's `Me`, called the way a script calls it.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Bstr.h"
#include "CICodeEx.h"
#include "CIFontEx.h"
#include "CISize.h"
#include "CIVariable.h"
#include "ComPtr.h"
#include "DispatchClient.h"
#include "Resources.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace {

class ApplicationObjectTest : public ::testing::Test {
protected:
    vb::test::TempFolder folder_;
    vb::MessageBoxCapture boxes_;
    CWorkSpace workspace_{folder_ / L"Vellbrook.exe"};
    vb::test::DispatchClient me_{workspace_.AsDispatch()};
};

// AppPath, Trace, DoCommand and UpdateDriver inside a run are proven by scripts in whole runs.
TEST_F(ApplicationObjectTest, PropertiesAndMethodsAnswerOutsideARun) {
    EXPECT_EQ(workspace_.RunContext().UserName(), vb::ToText(*me_.Get(L"UserName").Get()).value_or(L"?"));
    // Direct printing: a Test run (no script key) whose output is not "FILE".
    workspace_.RunContext().key.KEY = -1;
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(me_.Get(L"DirectPrintMode").Get()));
    workspace_.SetOutput(L"COM9");
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(me_.Get(L"DirectPrintMode").Get()));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(me_.Call(L"Trace", {vb::Variant(std::wstring(L"outside"))}).Get()));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(me_.Call(L"UpdateDriver", {vb::Variant(std::wstring(L"No.Such.Server"))}).Get()));
}

template <class T>
std::map<DISPID, std::wstring> TableMembers() {
    std::map<DISPID, std::wstring> members;
    for (const auto& member : T::Members()) {
        if (member.kind != vb::MemberKind::Placeholder) members[member.id] = member.name;
    }
    return members;
}

std::map<DISPID, std::wstring> DescribedMembers(ITypeInfo* info) {
    std::map<DISPID, std::wstring> members;
    TYPEATTR* attributes = nullptr;
    if (!info || FAILED(info->GetTypeAttr(&attributes))) return members;
    auto add = [&](MEMBERID id) {
        BSTR name = nullptr;
        if (FAILED(info->GetDocumentation(id, &name, nullptr, nullptr, nullptr))) return;
        members[id] = vb::Bstr::Attach(name).Str();
    };
    for (UINT i = 0; i < attributes->cFuncs; ++i) {
        FUNCDESC* function = nullptr;
        if (FAILED(info->GetFuncDesc(i, &function))) continue;
        add(function->memid);
        info->ReleaseFuncDesc(function);
    }
    for (UINT i = 0; i < attributes->cVars; ++i) {
        VARDESC* variable = nullptr;
        if (FAILED(info->GetVarDesc(i, &variable))) continue;
        add(variable->memid);
        info->ReleaseVarDesc(variable);
    }
    info->ReleaseTypeAttr(attributes);
    return members;
}

template <class T>
void ExpectDescribedAsInTable(ITypeLib* library, const char* name) {
    SCOPED_TRACE(name);
    vb::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*T::InterfaceIds()[0], info.Put()));
    EXPECT_EQ(TableMembers<T>(), DescribedMembers(info.Get()));
}

// Scripts, the editor and tools that ask `Me` for its type know the members by the type
// library's ids: every dispatch table names the same members under the same ids.
TEST_F(ApplicationObjectTest, DispatchTablesMatchTheTypeLibrary) {
    IDispatch* me = workspace_.AsDispatch();
    UINT count = 0;
    ASSERT_EQ(S_OK, me->GetTypeInfoCount(&count));
    EXPECT_EQ(1u, count);
    vb::ComPtr<ITypeInfo> application;
    ASSERT_EQ(S_OK, me->GetTypeInfo(0, 0, application.Put()));
    EXPECT_EQ(TableMembers<CWorkSpace>(), DescribedMembers(application.Get()));

    vb::ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, application->GetContainingTypeLib(library.Put(), nullptr));
    ExpectDescribedAsInTable<CDriverWrapper>(library.Get(), "IDriver");
    ExpectDescribedAsInTable<CIFontEx>(library.Get(), "IFont");
    ExpectDescribedAsInTable<CICodeEx>(library.Get(), "ICode");
    ExpectDescribedAsInTable<CIVariable>(library.Get(), "IVariable");
    ExpectDescribedAsInTable<CISize>(library.Get(), "ISize");
}

}  // namespace
