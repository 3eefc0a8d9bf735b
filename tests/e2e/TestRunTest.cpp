// Test runs: one script on one model, its text executed as a statement, each job sent to the
// output port and nothing stored. Scripts using `Me` during a run.
#include "BatchFixture.h"
#include "HookLibrary.h"
#include "ResourceIds.h"

namespace vb::test {
namespace {

constexpr wchar_t kProgId[] = L"Vellbrook.E2eServer";
constexpr wchar_t kClassKey[] = L"CLSID\\{5B0C6E1A-3D2F-4C8B-9E71-2A6F0D4B8C17}";

// A local server registered for the test's prefix alone: the system's class lookup reads only
// the machine's classes, so it goes there and is removed again afterwards.
struct RegisteredServer {
    ~RegisteredServer() {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
    }
    static bool Set(const std::wstring& key, const std::wstring& value) {
        return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
};

class TestRunTest : public BatchFixture {
protected:
    // The lines that tell what went to the port.
    std::vector<std::wstring> Sent() const {
        std::vector<std::wstring> lines;
        const std::wstring log = Log();
        const std::wstring mark = L"Sending data (";
        for (size_t at = log.find(mark); at != std::wstring::npos; at = log.find(mark, at + 1)) {
            lines.push_back(log.substr(at, log.find(L"\r\n", at) - at));
        }
        return lines;
    }
    std::wstring SentLine(const std::wstring& file) const {
        return L"Sending data (" + std::to_wstring(ReadFileBytes(file).size()) + L" bytes) to [" + port_ + L"]...";
    }

    const std::wstring port_ = program_ / L"port.prn";
};

TEST_F(TestRunTest, EachJobGoesToThePortAndNothingIsStored) {
    ws_->SetOutput(port_);
    const CScriptItem twoJobs = StoreScript(
        3, L"Two jobs",
        L"Driver.StartDoc\r\nDriver.TextOut 0, 0, \"first\", 0\r\nDriver.EndDoc \"A\"\r\n"
        L"Driver.StartDoc\r\nDriver.TextOut 0, 0, \"second label\", 0\r\nDriver.EndDoc \"B/C|D\"");
    EXPECT_TRUE(TestRun(twoJobs, L"Model 300"));

    const std::wstring first = program_ / L"Output\\print_A.txt";
    const std::wstring second = program_ / L"Output\\print_B_C_D.txt";
    ASSERT_NE(ReadFileBytes(first), ReadFileBytes(second));
    EXPECT_EQ((std::vector<std::wstring>{SentLine(first), SentLine(second)}), Sent());
    EXPECT_EQ(ReadFileBytes(second), ReadFileBytes(port_));
    EXPECT_EQ(NotepadStubFolder::Expected(port_), NotepadStubFolder::Record(port_));
    EXPECT_EQ((std::vector<std::wstring>{L"model Model 300"}), progress_);
    EXPECT_FALSE(FileExists(ResultsFile(L"FAM01")));
    EXPECT_EQ(L"", ws_->GetSavedSelection(L"FAM01", TRUE));

    // A job whose print file is gone: the copy an earlier job left under the same name must not
    // go out in its place. Its extra data go beside the copy's name.
    EXPECT_TRUE(TestRun(StoreScript(4, L"Lost job", L"Me.DoCommand 0\r\nMe.DoCommand 1, \"A\", \"extra\""),
                        L"Model 300"));
    EXPECT_FALSE(FileExists(first));
    EXPECT_EQ("extra", ReadFileBytes(first + L".ext"));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(Logged(first + L" cannot be read: 2: ")) << vb::ToUtf8(Log());
    EXPECT_TRUE(Logged(L"End processing...\r\n"));

    // A script may keep its jobs from the port; the next run sends again.
    EXPECT_TRUE(TestRun(StoreScript(5, L"Quiet", std::wstring(L"Me.UsesOutput = False\r\n") + kTextScript),
                        L"Model 300"));
    EXPECT_TRUE(Sent().empty());
    EXPECT_TRUE(TestRun(twoJobs, L"Model 300"));
    EXPECT_EQ(2u, Sent().size());

    // The global script tested alone runs as it stands, without `Option Explicit`.
    StoreScript(0, L"#Global_Script", L"loose = 1\r\nMe.Trace \"global ran \" & loose");
    EXPECT_TRUE(TestRun(GlobalScript(), L"Model 300"));
    EXPECT_TRUE(Logged(L"   Testing VB script [#Global_Script].\r\n"));
    EXPECT_TRUE(Logged(L"   global ran 1\r\n"));
}

// The Me object in a run: a trace logged as it stands, job ends raised by hand with extra data,
// a refused write, and the driver substituted in a registered printing server whose program path
// is quoted with arguments that hold backslashes of their own; the driver's settings for the
// model are found from the server's folder and erased; a substitution the script leaves in place
// ends with the run.
TEST_F(TestRunTest, ScriptUsesTheApplicationObject) {
    // Extra data naming a file of Output\ are stored as they stand, not read as a list.
    const std::wstring kept = program_ / L"Output\\kept.txt";
    ASSERT_TRUE(CWorkSpace::EnsureFolderPath(kept));
    ASSERT_TRUE(WriteFileBytes(kept, "kept"));
    const std::wstring server = program_ / L"Print Server\\";
    RegisteredServer registration;
    ASSERT_TRUE(registration.Set(std::wstring(kProgId) + L"\\CLSID", std::wstring(kClassKey).substr(6)));
    ASSERT_TRUE(registration.Set(std::wstring(kClassKey) + L"\\LocalServer32",
                                 L"\"" + server + L"server.exe\" /log:" + program_.Path() + L"logs\\server.log"));
    wchar_t account[260] = {};
    DWORD size = 260;
    ASSERT_TRUE(::GetUserNameW(account, &size));
    const std::wstring userFile = server + L"users\\" + account + L".INI";
    ASSERT_TRUE(CWorkSpace::EnsureFolderPath(userFile));
    ASSERT_TRUE(WriteFileBytes(server + L"TOVR.INI", "[CONFIG_FILES]\r\nRQ.INI=" + vb::ToUtf8(server) + "\r\n"));
    ASSERT_TRUE(WriteFileBytes(server + L"RQ.INI",
                               "[GENERAL]\r\nUSER=" + vb::ToUtf8(server) + "users\r\nSETTINGSMODE=1\r\n"));
    ASSERT_TRUE(WriteFileBytes(userFile, "[Model 300,a]\r\nk=1\r\n[Model 300 B,a]\r\nk=2\r\n"));
    const CScriptItem script = StoreScript(
        9, L"Me",
        L"Me.Trace \"100% as it stands: %s [x]\"\r\n"
        L"Driver.StartDoc\r\nDriver.TextOut 0, 0, \"label\", 0\r\nDriver.EndDoc \"Lbl\"\r\n"
        L"Me.DoCommand 1, \"Sub\", Me.AppPath & \"Output\\kept.txt\"\r\n"
        L"Me.Trace \"substituted \" & Me.UpdateDriver(\"Vellbrook.E2eServer\")\r\n"
        L"Me.Trace \"restored \" & Me.UpdateDriver(\"Vellbrook.E2eServer\", True)\r\n"
        L"Me.Trace \"left \" & Me.UpdateDriver(\"Vellbrook.E2eServer\")\r\n"
        L"On Error Resume Next\r\n"
        L"Me.ComputerName = \"other\"\r\n"
        L"Me.Trace \"computer \" & Err.Number & \" \" & Err.Description");
    EXPECT_TRUE(Build(1, {scripts_[0], script}, {L"Model 300"}));

    const Rows rows = StoredRows(L"FAM01");
    ASSERT_EQ(3u, rows.size());
    EXPECT_NE(std::string::npos, rows[0][3].find("\"label\""));
    EXPECT_EQ((Rows{{"MODEL 300", "9", "LBL", rows[0][3], "<null>", "0"},
                    {"MODEL 300", "9", "SUB", rows[0][3], "<null>", "0"},
                    {"MODEL 300", "9", "SUB::EXTDATA", vb::ToAnsi(kept), "<null>", "0"}}),
              rows);
    EXPECT_EQ("kept", ReadFileBytes(kept));
    EXPECT_TRUE(Logged(L"   100% as it stands: %s [x]\r\n"));
    // The framework's refusal, numbered as the script language numbers it (0x800A017F).
    EXPECT_TRUE(Logged(L"   computer 383 " + vb::LoadResString(IDS_SET_NOT_SUPPORTED) + L"\r\n"));
    EXPECT_TRUE(Logged(L"   Erasing section [Model 300,a] in [" + userFile + L"].\r\n")) << vb::ToUtf8(Log());
    EXPECT_FALSE(Logged(L"Erasing section [Model 300 B,a]"));
    EXPECT_TRUE(Logged(server + L"Devices\\FAM01.prn"));
    EXPECT_TRUE(Logged(L"   substituted True\r\n"));
    EXPECT_TRUE(Logged(L"   restored True\r\n"));
    EXPECT_TRUE(Logged(L"   left True\r\n"));
    EXPECT_LT(LatchwireState(0), 0);
}

}  // namespace
}  // namespace vb::test
