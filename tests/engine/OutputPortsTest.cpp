// The output ports: the port list in a real combo box with printers registered in the test's own
// prefix, and captured files sent to file ports, a pseudo-terminal serial port, USB entries and
// Notepad (a stub beside the tests that records how it was started).
#include <gtest/gtest.h>

#include <string>
#include <vector>

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

TEST(OutputPortListTest, OffersReadWritePortsWithoutColonsAndWithoutTheSpoolersUsbPorts) {
    const std::vector<CWorkSpace::PortRecord> records = {
        {L"COM9:", 3}, {L"XPS:", 1}, {L"FILE:", 3}, {L"USB001", 3}, {L"usb002:", 3},
        {L"Ne00::", 3}, {L"\\\\srv\\Labels", 3}, {L"XPS", 2}, {L"USB", 3}};
    const std::vector<std::wstring> expected = {L"COM9", L"FILE", L"Ne00", L"\\\\srv\\Labels", L"USB"};
    EXPECT_EQ(expected, CWorkSpace::PrinterPorts(records));

    bool fileFound = false;
    for (const auto& record : CWorkSpace::ReadSpoolerPorts()) fileFound = fileFound || record.name == L"FILE:";
    EXPECT_TRUE(fileFound);
}

TEST_F(OutputPortsTest, ComboListsPortsThenNumberedPrintersAndFallsBackToFile) {
    TestDevice first(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0001", L"Label Printer A", nullptr);
    TestDevice unnamed(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0002", nullptr, nullptr);
    TestDevice third(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0003", L"Label Printer C", nullptr);
    ASSERT_TRUE(first.Added() && unnamed.Added() && third.Added());
    HWND combo = ::CreateWindowExW(0, L"COMBOBOX", L"", WS_CHILD | CBS_DROPDOWNLIST, 0, 0, 200, 200, pane_.Parent(), nullptr,
                                   nullptr, nullptr);
    const std::vector<CWorkSpace::PortRecord> withFile = {{L"FILE:", 3}, {L"COM7:", 3}};
    struct Case {
        const wchar_t* saved;
        std::vector<CWorkSpace::PortRecord> spooler;
        const wchar_t* selected;
        const wchar_t* output;
    } cases[] = {
        {L"usb003 label printer c", withFile, L"USB003 Label Printer C", L"usb003 label printer c"},
        {L"COM5", withFile, L"FILE", L"FILE"},
        {L"COM5", {{L"COM7:", 3}}, L"", L"FILE"},
    };
    for (const Case& c : cases) {
        LoadOutput(c.saved);
        int added = workspace_.FillPortList(combo, c.spooler);
        std::vector<std::wstring> entries;
        for (LRESULT i = 0; i < ::SendMessageW(combo, CB_GETCOUNT, 0, 0); ++i) {
            std::wstring text(256, L'\0');
            text.resize(static_cast<size_t>(::SendMessageW(combo, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text.data()))));
            entries.push_back(text);
        }
        std::vector<std::wstring> expected = CWorkSpace::PrinterPorts(c.spooler);
        expected.insert(expected.end(), {L"USB001 Label Printer A", L"USB003 Label Printer C"});
        EXPECT_EQ(expected, entries) << c.saved;
        EXPECT_EQ(static_cast<int>(expected.size()), added);
        LRESULT selection = ::SendMessageW(combo, CB_GETCURSEL, 0, 0);
        EXPECT_EQ(c.selected, selection == CB_ERR ? L"" : entries[static_cast<size_t>(selection)]) << c.saved;
        EXPECT_EQ(c.output, workspace_.Output());
        EXPECT_FALSE(workspace_.SettingsDirty());
    }
}

TEST_F(OutputPortsTest, UsbEntryIsOpenedThroughTheInterfaceOfTheSameContainer) {
    const std::wstring file = folder_ / L"job.prn";
    ASSERT_TRUE(WriteFileBytes(file, "^XA^XZ"));
    struct Case {
        const wchar_t* printerContainer;
        const wchar_t* usbContainer;
        bool matches;
    } cases[] = {
        {L"{6B2C0D1E-0000-4000-8000-00000000C0DE}", L"{6b2c0d1e-0000-4000-8000-00000000c0de}", true},
        {L"{6B2C0D1E-0000-4000-8000-00000000C0DE}", L"{6B2C0D1E-0000-4000-8000-0000000000FF}", false},
        {L"", L"", false},  // no container on either side is no match
    };
    for (const Case& c : cases) {
        TestDevice printer(vb::kPrinterSetupClass, L"ROOT\\VBPORTTEST\\0001", L"Label Printer", c.printerContainer);
        TestDevice usb(kUsbSetupClass, L"ROOT\\VBPORTUSB\\0001", L"USB Printing Support", c.usbContainer);
        std::wstring interfacePath = usb.AddUsbInterface();
        ASSERT_FALSE(interfacePath.empty());
        workspace_.SetOutput(L"USB001 Label Printer");
        workspace_.SendToPort(file, TRUE);
        std::wstring log = TakeLog();
        EXPECT_LOGGED(log, L"Found USB Device[0]=Label Printer\r\n");
        EXPECT_LOGGED(log, L"Opening port [" + (c.matches ? interfacePath : L"USB001 Label Printer") + L"]...");
        EXPECT_LOGGED(log, L"# ERROR 'USB001 Label Printer cannot be opened!'");
    }
}

TEST_F(OutputPortsTest, FilePortHoldsExactlyTheBytesSentAndOpensInNotepad) {
    const std::wstring file = folder_ / L"job.prn";
    const std::string data = Pattern(70000);
    ASSERT_TRUE(WriteFileBytes(file, data));
    // A path holding "COM" is set up as a serial line too: that fails on a file, is logged,
    // and the data go out all the same.
    for (const wchar_t* name : {L"out.prn", L"PORTCOM.out"}) {
        const std::wstring port = folder_ / name;
        ASSERT_TRUE(WriteFileBytes(port, std::string(100000, 'x')));
        workspace_.SetOutput(port);
        workspace_.SendToPort(file, TRUE);
        EXPECT_EQ(data, ReadFileBytes(port)) << name;
        std::wstring log = TakeLog();
        EXPECT_LOGGED(log, L"Opening port [" + port + L"]...");
        EXPECT_LOGGED(log, L"Sending data (70000 bytes) to [" + port + L"]...");
        EXPECT_EQ(std::wstring(name) == L"PORTCOM.out", log.find(L"# ERROR '") != std::wstring::npos) << log;
        EXPECT_EQ(NotepadStubFolder::Expected(port), NotepadStubFolder::Record(port));
    }
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
    EXPECT_LOGGED(log, L"Opening port [COM9]...");
    EXPECT_LOGGED(log, L"Serial settings 'baud=9600 parity=n data=8 stop=1'...");
    EXPECT_LOGGED(log, L"Sending data (3000 bytes) to [COM9]...");
    wchar_t saved[64] = {};
    ::GetPrivateProfileStringW(L"GENERAL", L"COM9", L"", saved, 64, workspace_.IniPath().c_str());
    EXPECT_STREQ(L"baud=9600 parity=n data=8 stop=1", saved);
}

TEST_F(OutputPortsTest, FileOutputShowsTheListedFilesThenThePrintFileInNotepad) {
    const std::wstring first = folder_ / L"page1.bin", second = folder_ / L"page2.bin", list = folder_ / L"print.txt";
    const std::wstring unsent = folder_ / L"unsent.txt";
    ASSERT_TRUE(WriteFileBytes(first, "1") && WriteFileBytes(second, "2") && WriteFileBytes(unsent, "-"));
    ASSERT_TRUE(WriteFileBytes(list, vb::ToUtf8(first + L"\r\n" + second + L"\r\n")));
    LoadOutput(L"FILE");
    workspace_.SetUsesOutput(false);
    workspace_.SendToPort(unsent, TRUE);
    workspace_.SetUsesOutput(true);
    workspace_.SendToPort(list, FALSE);  // the extra-data call acts on "FILE" too
    for (const std::wstring& shown : {first, second, list}) {
        EXPECT_EQ(NotepadStubFolder::Expected(shown), NotepadStubFolder::Record(shown));
    }
    EXPECT_FALSE(vb::test::FileExists(unsent + L".notepad"));
    EXPECT_EQ(L"", TakeLog());
}

TEST_F(OutputPortsTest, WhatCannotBeSentIsLoggedAndNothingIsWritten) {
    const std::wstring port = folder_ / L"out.prn", job = folder_ / L"job.prn", empty = folder_ / L"empty.prn";
    ASSERT_TRUE(WriteFileBytes(job, "^XA^XZ") && WriteFileBytes(empty, ""));
    struct Case {
        std::wstring output, file;
        bool usesOutput;
        BOOL toDevice;
        std::wstring logged;       // empty: nothing at all
        std::string portContent;  // what the file port holds afterwards
    } cases[] = {
        {L"VBNOPORT7", job, true, TRUE, L"# ERROR 'VBNOPORT7 cannot be opened!'", "old"},
        {port, folder_ / L"missing.prn", true, TRUE, L"# ERROR '" + folder_ / L"missing.prn" + L" cannot be read: 2: ", "old"},
        {port, empty, true, TRUE, L"Opening port [" + port + L"]...", ""},
        {port, job, false, TRUE, L"", "old"},
        {port, job, true, FALSE, L"", "old"},
    };
    for (const Case& c : cases) {
        ASSERT_TRUE(WriteFileBytes(port, "old"));
        workspace_.SetOutput(c.output);
        workspace_.SetUsesOutput(c.usesOutput);
        workspace_.SendToPort(c.file, c.toDevice);
        std::wstring log = TakeLog();
        if (c.logged.empty()) {
            EXPECT_EQ(L"", log);
        } else {
            EXPECT_LOGGED(log, c.logged);
        }
        EXPECT_EQ(std::wstring::npos, log.find(L"Sending data")) << log;
        EXPECT_EQ(c.portContent, ReadFileBytes(port)) << vb::ToUtf8(c.output);
    }
    // The port that took the empty file is shown, as any file port after a send.
    EXPECT_EQ(NotepadStubFolder::Expected(port), NotepadStubFolder::Record(port));
}

}  // namespace
