// The workspace as the script's `Me`, called the way a script calls it.
#include <gtest/gtest.h>

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

// Scripts and the editor know the members by the type library's ids: the table must agree.
TEST(ApplicationObjectTypeTest, MembersHaveTheTypeLibrarysIdsAndNames) {
    wchar_t program[MAX_PATH];
    ::GetModuleFileNameW(nullptr, program, MAX_PATH);
    vb::ComPtr<ITypeLib> library;
    ASSERT_EQ(S_OK, ::LoadTypeLibEx(program, REGKIND_NONE, library.Put()));
    vb::ComPtr<ITypeInfo> info;
    ASSERT_EQ(S_OK, library->GetTypeInfoOfGuid(*CWorkSpace::InterfaceIds()[0], info.Put()));
    for (const auto& member : CWorkSpace::Members()) {
        if (member.kind == vb::MemberKind::Placeholder) continue;
        LPOLESTR names[] = {const_cast<LPOLESTR>(member.name)};
        MEMBERID id = MEMBERID_NIL;
        EXPECT_EQ(S_OK, info->GetIDsOfNames(names, 1, &id)) << vb::ToUtf8(member.name);
        EXPECT_EQ(member.id, id) << vb::ToUtf8(member.name);
    }
}

}  // namespace
