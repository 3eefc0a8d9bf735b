// Scripts using `Me` during a run: the log, print events raised by hand, a refused write, and the
// substitution of the driver inside a registered printing server.
#include "BatchFixture.h"
#include "HookLibrary.h"
#include "ResourceIds.h"
#include "Strings.h"

namespace vb::test {
namespace {

constexpr wchar_t kProgId[] = L"Vellbrook.E2eServer";
constexpr wchar_t kClassKey[] = L"CLSID\\{5B0C6E1A-3D2F-4C8B-9E71-2A6F0D4B8C17}";

// A local server registered for the test's prefix alone: the system's class lookup reads only
// the machine's classes, so it goes there and is removed again afterwards.
class RegisteredServer {
public:
    explicit RegisteredServer(const std::wstring& commandLine) {
        const std::wstring classId = std::wstring(kClassKey).substr(6);
        registered_ = SetText(std::wstring(kProgId) + L"\\CLSID", classId) &&
                      SetText(std::wstring(kClassKey) + L"\\LocalServer32", commandLine);
    }
    ~RegisteredServer() {
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kProgId);
        ::RegDeleteTreeW(HKEY_CLASSES_ROOT, kClassKey);
    }
    bool Registered() const { return registered_; }

private:
    static bool SetText(const std::wstring& key, const std::wstring& value) {
        return ::RegSetKeyValueW(HKEY_CLASSES_ROOT, key.c_str(), nullptr, REG_SZ, value.c_str(),
                                 static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
    }
    bool registered_ = false;
};

class ApplicationObjectRunTest : public BatchFixture {
protected:
    void SetUp() override { UseFamily(L"FAM01"); }
};

TEST_F(ApplicationObjectRunTest, ScriptWritesTheLogRaisesJobEndsAndMeetsRefusals) {
    // Extra data naming a file of Output\ are stored as they stand, not read as a list.
    const std::wstring kept = OutputPath(L"kept.txt");
    ASSERT_TRUE(CWorkSpace::EnsureFolderPath(kept));
    ASSERT_TRUE(WriteFileBytes(kept, "kept"));
    const CScriptItem script = StoreScript(
        9, L"Me",
        L"Me.Trace \"100% as it stands: %s [x]\"\r\n"
        L"Driver.StartDoc\r\nDriver.TextOut 0, 0, \"label\", 0\r\nDriver.EndDoc \"Lbl\"\r\n"
        L"Me.DoCommand 1, \"Sub\", Me.AppPath & \"Output\\kept.txt\"\r\n"
        L"On Error Resume Next\r\n"
        L"Me.ComputerName = \"other\"\r\n"
        L"Me.Trace \"computer \" & Err.Number & \" \" & Err.Description");
    EXPECT_TRUE(Build(1, {GlobalScript(), script}, {L"Model 300"}));

    const Rows rows = StoredRows(L"FAM01");
    ASSERT_EQ(3u, rows.size());
    EXPECT_EQ("LBL", rows[0][2]);
    EXPECT_EQ("SUB", rows[1][2]);
    EXPECT_EQ(rows[0][3], rows[1][3]);
    EXPECT_NE(std::string::npos, rows[0][3].find("\"label\""));
    EXPECT_EQ("SUB::EXTDATA", rows[2][2]);
    EXPECT_EQ(vb::ToAnsi(kept), rows[2][3]);
    EXPECT_EQ("kept", ReadFileBytes(kept));

    EXPECT_TRUE(Logged(L"   100% as it stands: %s [x]\r\n"));
    // The framework's refusal, numbered as the script language numbers it (0x800A017F).
    EXPECT_TRUE(Logged(L"   computer 383 " + vb::LoadResString(IDS_SET_NOT_SUPPORTED) + L"\r\n"));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// The server's program path is quoted and its arguments hold backslashes of their own; the
// driver's settings for the model are found from the server's folder and erased.
TEST_F(ApplicationObjectRunTest, UpdateDriverSubstitutesInTheQuotedServersFolder) {
    const std::wstring server = program_ / L"Print Server\\";
    RegisteredServer registration(L"\"" + server + L"server.exe\" /log:" + program_.Path() + L"logs\\server.log");
    ASSERT_TRUE(registration.Registered());
    wchar_t account[260] = {};
    DWORD size = 260;
    ASSERT_TRUE(::GetUserNameW(account, &size));
    const std::wstring userFile = server + L"users\\" + account + L".INI";
    ASSERT_TRUE(CWorkSpace::EnsureFolderPath(userFile));
    ASSERT_TRUE(WriteFileBytes(server + L"TOVR.INI", "[CONFIG_FILES]\r\nRQ.INI=" + vb::ToUtf8(server) + "\r\n"));
    ASSERT_TRUE(WriteFileBytes(server + L"RQ.INI",
                               "[GENERAL]\r\nUSER=" + vb::ToUtf8(server) + "users\r\nSETTINGSMODE=1\r\n"));
    ASSERT_TRUE(WriteFileBytes(userFile, "[Model 300,a]\r\nk=1\r\n[Model 300 B,a]\r\nk=2\r\n"));

    const CScriptItem script = StoreScript(10, L"Substitute",
                                           L"Me.Trace \"substituted \" & Me.UpdateDriver(\"Vellbrook.E2eServer\")\r\n"
                                           L"Me.Trace \"restored \" & Me.UpdateDriver(\"Vellbrook.E2eServer\", True)");
    EXPECT_TRUE(TestRun(script, L"Model 300"));

    EXPECT_TRUE(Logged(L"   Erasing section [Model 300,a] in [" + userFile + L"].\r\n")) << vb::ToUtf8(Log());
    EXPECT_FALSE(Logged(L"Erasing section [Model 300 B,a]"));
    EXPECT_TRUE(Logged(server + L"Devices\\FAM01.prn"));
    EXPECT_TRUE(Logged(L"   substituted True\r\n"));
    EXPECT_TRUE(Logged(L"   restored True\r\n"));
    EXPECT_LT(LatchwireState(0), 0);
    EXPECT_TRUE(boxes_.Boxes().empty());
}

// Scripts compiled against the type library call members by these numbers.
TEST_F(ApplicationObjectRunTest, MembersKeepTheirDispatchIds) {
    const std::pair<const wchar_t*, DISPID> members[] = {
        {L"ComputerName", 1}, {L"UserName", 2}, {L"TempPath", 3},    {L"DirectPrintMode", 4},
        {L"UsesOutput", 5},   {L"StopProcess", 6}, {L"AppPath", 7},  {L"Trace", 20},
        {L"UpdateDriver", 21}, {L"DoCommand", 22},
    };
    for (const auto& [name, expected] : members) {
        std::wstring text = name;
        LPOLESTR names[] = {text.data()};
        DISPID id = DISPID_UNKNOWN;
        EXPECT_EQ(S_OK, ws_->AsDispatch()->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id)) << text;
        EXPECT_EQ(expected, id) << text;
    }
}

}  // namespace
}  // namespace vb::test
