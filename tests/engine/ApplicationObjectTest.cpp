// The workspace as the script's `Me`, called the way a script calls it.
#include <gtest/gtest.h>

#include "DispatchClient.h"
#include "HiddenLogPane.h"
#include "Resources.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace {

using vb::test::WriteFileBytes;

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

    EXPECT_TRUE(FAILED(me_.Put(L"ComputerName", vb::Variant(std::wstring(L"x")))));
    EXPECT_EQ(vb::DispatchSupport::kSetNotSupported, me_.LastExceptionCode());
    me_.Get(L"12");
    EXPECT_EQ(vb::DispatchSupport::kGetNotSupported, me_.LastExceptionCode());

    EXPECT_EQ(S_OK, me_.Put(L"UsesOutput", vb::Variant::Bool(false)));
    EXPECT_FALSE(workspace_.UsesOutput());
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(me_.Get(L"StopProcess").Get()));
    workspace_.SetStop(true);
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(me_.Get(L"StopProcess").Get()));

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

// The driver's installation leads from TOVR.INI to RQ.INI to the user file named by the mode.
TEST_F(ApplicationObjectTest, ModelSettingsAreErasedInTheAccountsFile) {
    wchar_t account[260] = {};
    DWORD size = 260;
    ASSERT_TRUE(::GetUserNameW(account, &size));
    std::string config = vb::ToUtf8(folder_.Path());
    ASSERT_TRUE(WriteFileBytes(folder_ / L"TOVR.INI", "[CONFIG_FILES]\r\nRQ.INI=" + config + "\r\n"));
    ASSERT_TRUE(WriteFileBytes(folder_ / L"RQ.INI", "[GENERAL]\r\nUSER=" + config + "users\r\nSETTINGSMODE=1\r\n"));
    ASSERT_TRUE(::CreateDirectoryW((folder_ / L"users").c_str(), nullptr));
    std::wstring userFile = folder_ / (L"users\\" + std::wstring(account) + L".INI");
    ASSERT_TRUE(WriteFileBytes(userFile, "[LX 600,a]\r\nk=1\r\n[LX 600 B,a]\r\nk=2\r\n[lx 600,b]\r\nk=3\r\n[LX 600,c]\r\nk=4\r\n"));

    workspace_.EraseModelSettings(folder_.Path(), L"LX 600");
    std::string left = vb::test::ReadFileBytes(userFile);
    EXPECT_EQ(std::string::npos, left.find("[LX 600,a]"));
    EXPECT_EQ(std::string::npos, left.find("[LX 600,c]"));
    EXPECT_NE(std::string::npos, left.find("[LX 600 B,a]"));
    EXPECT_NE(std::string::npos, left.find("[lx 600,b]"));
}

}  // namespace
