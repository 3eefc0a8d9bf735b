#include <gtest/gtest.h>

#include <algorithm>

#include "DriverWrapper.h"
#include "FakeDriverHandler.h"
#include "Resources.h"
#include "SampleDriverSandbox.h"

namespace {

using vb::test::FakeDriverHandler;
using vb::test::SampleDriverSandbox;

class DriverWrapperLoadTest : public ::testing::Test {
protected:
    BOOL LoadFrom(const std::wstring& path) {
        return wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE);
    }
    bool Logged(const std::string& line) const {
        auto calls = sandbox_.Calls();
        return std::find(calls.begin(), calls.end(), line) != calls.end();
    }

    SampleDriverSandbox sandbox_;
    FakeDriverHandler handler_;
    CDriverWrapper wrapper_{&handler_};
    vb::MessageBoxCapture boxes_;
};

TEST_F(DriverWrapperLoadTest, LoadsAndBindsEveryEntryPoint) {
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(LoadFrom(path));

    EXPECT_TRUE(wrapper_.IsLoaded());
    EXPECT_EQ(path, wrapper_.DllPath());
    EXPECT_EQ(L"FAM03.PRN", wrapper_.ShortName());
    EXPECT_EQ(sandbox_.OutputFile(), wrapper_.OutputFile());
    EXPECT_EQ(sandbox_.SettingsFile(), wrapper_.SettingsFile());
    EXPECT_EQ(L"2.5.17.301", wrapper_.VersionText());
    EXPECT_EQ(L"", wrapper_.Model());

    const DriverEntryPoints& entry = wrapper_.EntryPoints();
    EXPECT_NE(nullptr, entry.D_Disable);
    EXPECT_NE(nullptr, entry.D_EnableDriverW);
    EXPECT_NE(nullptr, entry.D_CheckPrinter);
    EXPECT_EQ(53, DriverEntryPoints{}.Bind(::GetModuleHandleW(path.c_str())));
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DriverWrapperLoadTest, MissingTextsRefuseQuietly) {
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    EXPECT_FALSE(wrapper_.Load(path, sandbox_.OutputFile(), L"", FALSE));
    EXPECT_FALSE(wrapper_.Load(path, L"", sandbox_.SettingsFile(), FALSE));
    EXPECT_FALSE(wrapper_.Load(L"", sandbox_.OutputFile(), sandbox_.SettingsFile(), TRUE));
    EXPECT_FALSE(wrapper_.IsLoaded());
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_TRUE(sandbox_.Calls().empty());
}

TEST_F(DriverWrapperLoadTest, MissingFileShowsNotFound) {
    std::wstring path = sandbox_.Path(L"FAM07.PRN");
    EXPECT_FALSE(LoadFrom(path));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(L"The driver [" + path + L"] cannot be found.\n\nThe process is aborted.", boxes_.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes_.Boxes()[0].flags);
    EXPECT_FALSE(wrapper_.IsLoaded());
}

TEST_F(DriverWrapperLoadTest, FileThatDoesNotLoadShowsNotLoadable) {
    std::wstring path = sandbox_.AddDriver(L"FAM04.PRN", L"unloadable_driver.dll");
    EXPECT_FALSE(LoadFrom(path));
    ASSERT_EQ(1u, boxes_.Boxes().size());
    EXPECT_EQ(L"The driver [" + path + L"] cannot be loaded.\nCheck module dependencies.\n\nThe process is aborted.",
              boxes_.Boxes()[0].text);
    EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes_.Boxes()[0].flags);
    EXPECT_FALSE(wrapper_.IsLoaded());
    EXPECT_EQ(L"", wrapper_.ShortName());
}

TEST_F(DriverWrapperLoadTest, ShortNameOfAPathWithoutBackslashIsThePath) {
    // A bare name is found in the program's own folder, where the test builds sit.
    ASSERT_TRUE(LoadFrom(L"sample_driver.dll"));
    EXPECT_EQ(L"sample_driver.dll", wrapper_.ShortName());
}

TEST_F(DriverWrapperLoadTest, LibraryWithoutVersionOrSomeExports) {
    std::wstring path = sandbox_.AddDriver(L"FAM06.PRN", L"partial_driver.dll");
    ASSERT_TRUE(LoadFrom(path));
    EXPECT_EQ(L"?.?.?.?", wrapper_.VersionText());
    EXPECT_EQ(nullptr, wrapper_.EntryPoints().D_SetPFAppEvent);
    EXPECT_EQ(nullptr, wrapper_.EntryPoints().D_GetLastError);
    EXPECT_NE(nullptr, wrapper_.EntryPoints().D_SetPFMessageBox);

    // Members over missing entry points call nothing and do not fail.
    wrapper_.SetEnableEvents(TRUE);
    EXPECT_EQ((std::vector<std::string>{"FAM06.PRN: attach", "FAM06.PRN: D_SetPFMessageBox(0, 0)"}), sandbox_.Calls());
    EXPECT_TRUE(boxes_.Boxes().empty());
}

TEST_F(DriverWrapperLoadTest, SecondLoadEndsTheFirstDriverAndFreesItsLibrary) {
    std::wstring first = sandbox_.AddDriver(L"FAM01.PRN");
    std::wstring second = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(LoadFrom(first));
    ASSERT_TRUE(LoadFrom(second));

    EXPECT_EQ(nullptr, ::GetModuleHandleW(first.c_str()));
    EXPECT_NE(nullptr, ::GetModuleHandleW(second.c_str()));
    EXPECT_EQ(L"FAM03.PRN", wrapper_.ShortName());
    EXPECT_EQ((std::vector<std::string>{"FAM01.PRN: attach", "FAM01.PRN: D_Disable(0)", "FAM01.PRN: detach",
                                        "FAM03.PRN: attach"}),
              sandbox_.Calls());
}

TEST_F(DriverWrapperLoadTest, AfterUnloadNothingReachesTheDriver) {
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(LoadFrom(path));
    wrapper_.Unload();
    sandbox_.ClearCalls();

    EXPECT_FALSE(wrapper_.IsLoaded());
    EXPECT_EQ(nullptr, ::GetModuleHandleW(path.c_str()));
    EXPECT_EQ(FALSE, wrapper_.ReleaseDriver());
    wrapper_.SetEnableEvents(TRUE);
    wrapper_.Unload();
    EXPECT_EQ(L"", wrapper_.DllPath());
    EXPECT_EQ(L"", wrapper_.ShortName());
    EXPECT_EQ(L"", wrapper_.VersionText());
    EXPECT_EQ(L"", wrapper_.OutputFile());
    EXPECT_EQ(nullptr, wrapper_.EntryPoints().D_Disable);
    EXPECT_TRUE(sandbox_.Calls().empty());
}

TEST_F(DriverWrapperLoadTest, DefaultsAfterConstructionAndRelease) {
    ASSERT_TRUE(LoadFrom(sandbox_.AddDriver(L"FAM03.PRN")));
    wrapper_.ReleaseDriver();
    EXPECT_EQ(300, wrapper_.DriverInfo().resolutionX);
    EXPECT_EQ(300, wrapper_.DriverInfo().resolutionY);
    EXPECT_EQ(300, wrapper_.DriverInfo().defaultResolution[0]);
    EXPECT_EQ(300, wrapper_.DriverInfo().defaultResolution[1]);
    EXPECT_EQ(0u, wrapper_.DeviceHandle());
}

TEST_F(DriverWrapperLoadTest, ExternalModelsFromTheCatalogue) {
    handler_.catalog = L"Models: M1, M2, M3\r\nResolution: 203 dpi";
    EXPECT_EQ(L"M1;M2;M3", wrapper_.GetExternalModels());

    handler_.catalog = L"  no colon here  ";
    EXPECT_EQ(L"  no colon here  ", wrapper_.GetExternalModels());

    handler_.catalog = L"Models:";
    EXPECT_EQ(L"", wrapper_.GetExternalModels());

    handler_.catalog = L"";
    EXPECT_EQ(L"", wrapper_.GetExternalModels());
    ASSERT_EQ(4u, handler_.catalogRequests.size());
    EXPECT_EQ(L"", handler_.catalogRequests[0]);
}

TEST_F(DriverWrapperLoadTest, EventsGoToTheMainWindowOnlyWhileLoaded) {
    HWND window = ::CreateWindowW(L"STATIC", L"main", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    vb::SetMainWindow(window);
    wrapper_.SetEnableEvents(TRUE);
    EXPECT_TRUE(sandbox_.Calls().empty());

    ASSERT_TRUE(LoadFrom(sandbox_.AddDriver(L"FAM03.PRN")));
    wrapper_.SetEnableEvents(TRUE);
    wrapper_.SetEnableEvents(FALSE);
    std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(window));
    EXPECT_EQ((std::vector<std::string>{"FAM03.PRN: attach", "FAM03.PRN: D_SetPFMessageBox(0, " + handle + ")",
                                        "FAM03.PRN: D_SetPFAppEvent(0, " + handle + ")",
                                        "FAM03.PRN: D_SetPFAppEventMT(0, " + handle + ")",
                                        "FAM03.PRN: D_SetPFMessageBox(0, 0)", "FAM03.PRN: D_SetPFAppEvent(0, 0)",
                                        "FAM03.PRN: D_SetPFAppEventMT(0, 0)"}),
              sandbox_.Calls());
    vb::SetMainWindow(nullptr);
    ::DestroyWindow(window);
}

TEST_F(DriverWrapperLoadTest, GdiPlusRunsFromLoadToUnload) {
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), TRUE));
    EXPECT_TRUE(wrapper_.GdiPlusRunning());
    // Releasing the device must not lose track of GDI+, or Unload could never end it.
    wrapper_.ReleaseDriver();
    EXPECT_TRUE(wrapper_.GdiPlusRunning());
    wrapper_.Unload();
    EXPECT_FALSE(wrapper_.GdiPlusRunning());

    EXPECT_FALSE(wrapper_.Load(sandbox_.Path(L"FAM07.PRN"), sandbox_.OutputFile(), sandbox_.SettingsFile(), TRUE));
    EXPECT_FALSE(wrapper_.GdiPlusRunning());
    EXPECT_EQ(1u, boxes_.Boxes().size());
}

}  // namespace
