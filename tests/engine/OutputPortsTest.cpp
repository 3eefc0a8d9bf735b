// The output ports: the port list in a real combo box with printers registered in the test's own
// prefix, and captured files sent to file ports, a pseudo-terminal serial port, USB entries and
// Notepad (a stub beside the tests that records how it was started).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ComboBoxView.h"
#include "DeviceSetup.h"
#include "HiddenLogPane.h"
#include "NotepadStubFolder.h"
#include "Strings.h"
#include "TestFiles.h"
#include "WorkSpace.h"

namespace {

using vb::test::AwaitFile;
using vb::test::NotepadStubFolder;
using vb::test::ReadFileBytes;
using vb::test::WriteFileBytes;

// {36FC9E60-C465-11CF-8056-444553540000}: the set-up class of USB devices.
constexpr GUID kUsbSetupClass = {0x36FC9E60, 0xC465, 0x11CF, {0x80, 0x56, 0x44, 0x45, 0x53, 0x54, 0x00, 0x00}};

// A device registered in the prefix for one test, and removed with everything it made.
class TestDevice {
public:
    TestDevice(const GUID& setupClass, const wchar_t* id, const wchar_t* description, const wchar_t* containerId)
        : set_(::SetupDiCreateDeviceInfoList(&setupClass, nullptr)) {
        // A device left by an aborted run is taken over, so it is removed this time.
        added_ = (::SetupDiCreateDeviceInfoW(set_.Get(), id, &setupClass, nullptr, nullptr, 0, &device_) ||
                  ::SetupDiOpenDeviceInfoW(set_.Get(), id, nullptr, 0, &device_)) &&
                 ::SetupDiRegisterDeviceInfo(set_.Get(), &device_, 0, nullptr, nullptr, nullptr);
        if (description) SetText(SPDRP_DEVICEDESC, description);
        if (containerId) SetText(vb::kBaseContainerIdProperty, containerId);
    }
    ~TestDevice() {
        if (added_) ::SetupDiRemoveDevice(set_.Get(), &device_);
    }
    bool Added() const { return added_; }

    // A present USB device interface, as a plugged-in printer's: the path a send opens.
    std::wstring AddUsbInterface() {
        auto entry = vb::SizedRecord<SP_DEVICE_INTERFACE_DATA>();
        if (!::SetupDiCreateDeviceInterfaceW(set_.Get(), &device_, &vb::kUsbDeviceInterface, nullptr, 0, &entry)) return {};
        std::vector<DWORD> buffer(256, 0);
        auto* detail = reinterpret_cast<SP_DEVICE_INTERFACE_DETAIL_DATA_W*>(buffer.data());
        detail->cbSize = sizeof(SP_DEVICE_INTERFACE_DETAIL_DATA_W);
        if (!::SetupDiGetDeviceInterfaceDetailW(set_.Get(), &entry, detail, 1024, nullptr, nullptr)) return {};
        std::wstring path = detail->DevicePath;
        std::wstring key = L"System\\CurrentControlSet\\Control\\DeviceClasses\\{A5DCBF10-6530-11D2-901F-00C04FB951ED}\\##?#" +
                           path.substr(4) + L"\\#\\Control";
        DWORD linked = 1;
        ::RegSetKeyValueW(HKEY_LOCAL_MACHINE, key.c_str(), L"Linked", REG_DWORD, &linked, sizeof linked);
        return path;
    }

private:
    void SetText(DWORD property, const std::wstring& text) {
        ::SetupDiSetDeviceRegistryPropertyW(set_.Get(), &device_, property, reinterpret_cast<const BYTE*>(text.c_str()),
                                            static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
    }

    vb::UniqueDeviceInfoSet set_;
    SP_DEVINFO_DATA device_ = vb::SizedRecord<SP_DEVINFO_DATA>();
    bool added_ = false;
};

std::string Pattern(size_t size) {
    std::string bytes(size, '\0');
    for (size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 7 % 251);
    return bytes;
}

class OutputPortsTest : public ::testing::Test {
protected:
    void SetUp() override { workspace_.SetLogWindow(pane_.Edit()); }
    std::wstring TakeLog() { return pane_.Take(); }
    // The configuration as saved, so the workspace starts with nothing changed.
    void LoadOutput(const std::wstring& output) {
        for (const auto& [key, value] : {std::pair<const wchar_t*, std::wstring>{L"Version", L"1"},
                                         {L"HashCode", L"50656c6f6b"}, {L"Output", output}}) {
            ::WritePrivateProfileStringW(L"GENERAL", key, value.c_str(), workspace_.IniPath().c_str());
        }
        workspace_.LoadSettings();
        ASSERT_FALSE(workspace_.SettingsDirty());
    }

    vb::test::TempFolder folder_;
    NotepadStubFolder notepad_;
    CWorkSpace workspace_{folder_ / L"Vellbrook.exe"};
    vb::test::HiddenLogPane pane_;
};

#define EXPECT_LOGGED(log, text) EXPECT_NE(std::wstring::npos, (log).find(text)) << (log)

// Only the spooler's read-and-write ports without colons, and none of its own USB ports; a saved
// output found in any letter case is selected as saved, one no longer listed falls back to FILE.
TEST_F(OutputPortsTest, ComboListsPortsThenNumberedPrintersAndFallsBackToFile) {
    TestDevice first(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0001", L"Label Printer A", nullptr);
    TestDevice unnamed(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0002", nullptr, nullptr);
    TestDevice third(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0003", L"Label Printer C", nullptr);
    ASSERT_TRUE(first.Added() && unnamed.Added() && third.Added());
    vb::ComboBoxView combo(::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 200, 200,
                                             pane_.Parent(), nullptr, nullptr, nullptr));
    const std::vector<CWorkSpace::PortRecord> spooler = {
        {L"COM9:", 3}, {L"XPS:", 1}, {L"FILE:", 3}, {L"USB001", 3}, {L"usb002:", 3},
        {L"Ne00::", 3}, {L"\\\\srv\\Labels", 3}, {L"XPS", 2}, {L"USB", 3}};
    const std::vector<std::wstring> expected = {L"COM9", L"FILE", L"Ne00", L"\\\\srv\\Labels", L"USB",
                                                L"USB001 Label Printer A", L"USB003 Label Printer C"};
    for (const auto& [saved, selected] : {std::pair(L"usb003 label printer c", L"USB003 Label Printer C"),
                                          std::pair(L"COM5", L"FILE")}) {
        LoadOutput(saved);
        EXPECT_EQ(7, workspace_.FillPortList(combo.Handle(), spooler));
        std::vector<std::wstring> entries;
        for (int i = 0; i < combo.GetCount(); ++i) entries.push_back(combo.GetText(i));
        EXPECT_EQ(expected, entries);
        EXPECT_EQ(selected, combo.GetText(combo.GetCurSel())) << saved;
        EXPECT_EQ(vb::EqualsNoCase(saved, selected) ? saved : L"FILE", workspace_.Output());
        EXPECT_FALSE(workspace_.SettingsDirty());
    }
}

// The printer and the USB interface share a container id, written in other letter cases.
TEST_F(OutputPortsTest, UsbEntryIsOpenedThroughTheInterfaceOfTheSameContainer) {
    const std::wstring file = folder_ / L"job.prn";
    ASSERT_TRUE(WriteFileBytes(file, "^XA^XZ"));
    TestDevice printer(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0001", L"Label Printer",
                       L"{6B2C0D1E-0000-4000-8000-00000000C0DE}");
    TestDevice usb(kUsbSetupClass, L"ROOT\\VBPORTUSB\\0001", L"USB Printing Support",
                   L"{6b2c0d1e-0000-4000-8000-00000000c0de}");
    std::wstring interfacePath = usb.AddUsbInterface();
    ASSERT_FALSE(interfacePath.empty());
    workspace_.SetOutput(L"USB001 Label Printer");
    workspace_.SendToPort(file, TRUE);
    std::wstring log = TakeLog();
    EXPECT_LOGGED(log, L"Opening port [" + interfacePath + L"]...");
    EXPECT_LOGGED(log, L"# ERROR 'USB001 Label Printer cannot be opened!'");
}

TEST_F(OutputPortsTest, SerialPortIsSetUpFromTheConfigurationAndGetsTheData) {
    const std::wstring reader = vb::test::BinDir() + L"pty_reader";
    using UnixName = char*(CDECL*)(const wchar_t*);
    auto unixName = reinterpret_cast<UnixName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    if (!vb::test::FileExists(reader) || !unixName) GTEST_SKIP() << "needs Wine and the host's pseudo-terminal reader";
    const std::wstring received = folder_ / L"serial.out";
    char* unixPath = unixName(received.c_str());
    std::wstring commandLine = reader + L" com9 " + vb::FromUtf8(unixPath) + L" 3000";
    ::HeapFree(::GetProcessHeap(), 0, unixPath);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &process));
    vb::UniqueKernelHandle processHandle(process.hProcess), thread(process.hThread);
    AwaitFile(received + L".ready");

    const std::wstring file = folder_ / L"job.prn";
    const std::string data = Pattern(3000);
    ASSERT_TRUE(WriteFileBytes(file, data));
    workspace_.SetOutput(L"COM9");
    workspace_.SendToPort(file, TRUE);
    EXPECT_EQ("9600\n" + data, AwaitFile(received));
    std::wstring log = TakeLog();
    EXPECT_LOGGED(log, L"Serial settings 'baud=9600 parity=n data=8 stop=1'...");
    EXPECT_LOGGED(log, L"Sending data (3000 bytes) to [COM9]...");
}

TEST_F(OutputPortsTest, FileOutputShowsTheListedFilesThenThePrintFileInNotepad) {
    const std::wstring first = folder_ / L"page1.bin", second = folder_ / L"page2.bin", list = folder_ / L"print.txt";
    ASSERT_TRUE(WriteFileBytes(first, "1") && WriteFileBytes(second, "2"));
    ASSERT_TRUE(WriteFileBytes(list, vb::ToUtf8(first + L"\r\n" + second + L"\r\n")));
    workspace_.SendToPort(list, FALSE);  // the extra-data call acts on "FILE" too
    for (const std::wstring& shown : {first, second, list}) {
        EXPECT_EQ(NotepadStubFolder::Expected(shown), NotepadStubFolder::Record(shown));
    }
    EXPECT_EQ(L"", TakeLog());
}

// A plain file port is proven by whole Test runs. A path holding "COM" is set up as a serial line
// too: that fails on a file and the data go out all the same, replacing all the file held.
// What cannot be sent is logged and changes nothing.
TEST_F(OutputPortsTest, FilePortHoldsExactlyTheBytesSentOrWhatItHeld) {
    const std::wstring port = folder_ / L"PORTCOM.out", job = folder_ / L"job.prn", empty = folder_ / L"empty.prn";
    const std::string data = Pattern(70000), before(100000, 'x');
    ASSERT_TRUE(WriteFileBytes(job, data) && WriteFileBytes(empty, ""));
    struct Case {
        std::wstring output, file, logged;
        std::string portContent;  // what the file port holds afterwards
    } cases[] = {
        {port, job, L"Sending data (70000 bytes) to [" + port + L"]...", data},
        {L"VBNOPORT7", job, L"# ERROR 'VBNOPORT7 cannot be opened!'", before},
        {port, folder_ / L"missing.prn", L"# ERROR '" + folder_ / L"missing.prn" + L" cannot be read: 2: ", before},
        {port, empty, L"Opening port [" + port + L"]...", ""},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(port, before));
        workspace_.SetOutput(c.output);
        workspace_.SendToPort(c.file, TRUE);
        std::wstring log = TakeLog();
        EXPECT_LOGGED(log, c.logged);
        EXPECT_EQ(c.portContent, ReadFileBytes(port)) << vb::ToUtf8(c.output);
    }
    // The port that took the empty file is shown, as any file port after a send.
    EXPECT_EQ(NotepadStubFolder::Expected(port), NotepadStubFolder::Record(port));
}

}  // namespace
