// The workspace as the script's `Me`, called the way a script calls it.
#include <gtest/gtest.h>

#include "ComPtr.h"
#include "DispatchClient.h"
#include "HiddenLogPane.h"
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

TEST_F(ApplicationObjectTest, PropertiesAnswerAndRefuseWritesAsDeclared) {
    EXPECT_EQ(folder_.Path(), vb::ToText(*me_.Get(L"AppPath").Get()).value_or(L""));
    EXPECT_FALSE(vb::ToText(*me_.Get(L"ComputerName").Get()).value_or(L"").empty());
    vb::Variant byDefault;
    ASSERT_EQ(S_OK, me_.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, byDefault));
    EXPECT_EQ(vb::ToText(*me_.Get(L"ComputerName").Get()), vb::ToText(*byDefault.Get()));
    EXPECT_EQ(workspace_.RunContext().UserName(), vb::ToText(*me_.Get(L"UserName").Get()).value_or(L"?"));

    // Writes refused, UsesOutput and StopProcess are proven by scripts in whole runs.
    me_.Get(L"12");
    EXPECT_EQ(vb::DispatchSupport::kGetNotSupported, me_.LastExceptionCode());

    // Direct printing: a Test run (no script key) whose output is not "FILE".
    workspace_.RunContext().key.KEY = -1;
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(me_.Get(L"DirectPrintMode").Get()));
    workspace_.SetOutput(L"COM9");
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(me_.Get(L"DirectPrintMode").Get()));
}

TEST_F(ApplicationObjectTest, TraceAndDoCommandReachTheRun) {
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(me_.Call(L"Trace", {vb::Variant(std::wstring(L"outside"))}).Get()));
    vb::test::HiddenLogPane pane;
    workspace_.SetLogWindow(pane.Edit());
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(me_.Call(L"Trace", {vb::Variant(std::wstring(L"100% done"))}).Get()));
    EXPECT_NE(std::wstring::npos, pane.Text().find(L"   100% done\r\n"));

    me_.Call(L"DoCommand", {vb::Variant(1L), vb::Variant(std::wstring(L"sub"))});
    EXPECT_EQ(S_OK, me_.LastResult());
    EXPECT_EQ(L"SUB", workspace_.RunContext().key.KEY_SUB);
    me_.Call(L"DoCommand", {vb::Variant(1L)});
    EXPECT_EQ(L"NOP", workspace_.RunContext().key.KEY_SUB);
    workspace_.SetLogWindow(nullptr);
}

TEST_F(ApplicationObjectTest, LocalServerFolderComesFromTheProgramPath) {
    const std::pair<std::wstring, std::wstring> cases[] = {
        {L"\"C:\\Srv\\server.exe\" /log:C:\\logs\\a.txt", L"C:\\Srv\\"},
        {L"\"C:\\Srv\\server.exe\" /automation", L"C:\\Srv\\"},
        {L"C:\\Srv\\server.exe", L"C:\\Srv\\"},
        {L"server.exe", L""},
    };
    for (const auto& [commandLine, folder] : cases) EXPECT_EQ(folder, CWorkSpace::LocalServerFolder(commandLine));
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
