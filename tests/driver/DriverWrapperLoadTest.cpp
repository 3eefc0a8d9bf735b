#include "OpenDeviceFixture.h"

namespace {

class DriverWrapperLoadTest : public OpenDeviceFixture {
protected:
    BOOL LoadFrom(const std::wstring& path) {
        return wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE);
    }
};

// What the loaded driver answers is read through the script properties in their own tests.
TEST_F(DriverWrapperLoadTest, LoadsAndBindsEveryEntryPoint) {
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    ASSERT_TRUE(LoadFrom(path));
    EXPECT_TRUE(wrapper_.IsLoaded());
    EXPECT_EQ(path, wrapper_.DllPath());
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

// A missing file and one that does not load are told apart, each naming the driver.
TEST_F(DriverWrapperLoadTest, DriverThatCannotBeLoadedIsShownAndNothingIsLoaded) {
    const std::wstring missing = sandbox_.Path(L"FAM07.PRN");
    const std::wstring unloadable = sandbox_.AddDriver(L"FAM04.PRN", L"unloadable_driver.dll");
    for (const std::wstring& path : {missing, unloadable}) {
        EXPECT_FALSE(LoadFrom(path));
        ASSERT_EQ(1u, boxes_.Boxes().size());
        const std::wstring& text = boxes_.Boxes().back().text;
        EXPECT_EQ(0u, text.find(L"The driver [" + path + L"] cannot be " + (path == missing ? L"found" : L"loaded")))
            << vb::ToUtf8(text);
        EXPECT_EQ(static_cast<UINT>(MB_OK | MB_ICONERROR), boxes_.Boxes().back().flags);
        EXPECT_FALSE(wrapper_.IsLoaded());
        EXPECT_EQ(L"", wrapper_.ShortName());
        boxes_.Clear();
    }
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

// Releasing the device goes back to the defaults; after unloading nothing reaches the driver.
TEST_F(DriverWrapperLoadTest, AfterReleaseAndUnloadNothingReachesTheDriver) {
    Open(L"FAM03.PRN", L"Model 203");
    wrapper_.ReleaseDriver();
    EXPECT_EQ(300, wrapper_.DriverInfo().resolutionX);
    EXPECT_EQ(300, wrapper_.DriverInfo().resolutionY);
    EXPECT_EQ(300, wrapper_.DriverInfo().defaultResolution[0]);
    EXPECT_EQ(300, wrapper_.DriverInfo().defaultResolution[1]);
    EXPECT_EQ(0u, wrapper_.DeviceHandle());

    wrapper_.Unload();
    sandbox_.ClearCalls();
    EXPECT_FALSE(wrapper_.IsLoaded());
    EXPECT_EQ(nullptr, ::GetModuleHandleW(sandbox_.Path(L"FAM03.PRN").c_str()));
    EXPECT_EQ(FALSE, wrapper_.ReleaseDriver());
    wrapper_.SetEnableEvents(TRUE);
    wrapper_.Unload();
    for (const wchar_t* name : {L"Name", L"ShortName", L"Version", L"OutputFile"}) {
        EXPECT_EQ(L"", Text(driver_.Get(name))) << vb::ToUtf8(name);
    }
    EXPECT_EQ(0, Long(driver_.Get(L"Fonts")));
    EXPECT_EQ(nullptr, wrapper_.EntryPoints().D_Disable);
    EXPECT_TRUE(sandbox_.Calls().empty());
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
