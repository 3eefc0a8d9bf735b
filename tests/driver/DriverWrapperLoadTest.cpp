#include "DriverIds.h"
#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;

int CALLBACK CountFace(const LOGFONTW*, const TEXTMETRICW*, DWORD, LPARAM count) {
    ++*reinterpret_cast<int*>(count);
    return 1;
}

int FacesNamed(const std::wstring& name) {
    LOGFONTW wanted{};
    wanted.lfCharSet = DEFAULT_CHARSET;
    wcsncpy(wanted.lfFaceName, name.c_str(), LF_FACESIZE - 1);
    int count = 0;
    vb::ScopedWindowDC screen(nullptr);
    ::EnumFontFamiliesExW(screen.Get(), &wanted, CountFace, reinterpret_cast<LPARAM>(&count), 0);
    return count;
}

class DriverWrapperLoadTest : public OpenDeviceFixture {
protected:
    BOOL LoadFrom(const std::wstring& path) {
        return wrapper_.Load(path, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE);
    }
    // Returns the result so that callers can ASSERT on it: a failed load must stop the test.
    BOOL LoadSample() { return LoadFrom(path_ = sandbox_.AddDriver(L"FAM03.PRN")); }
    std::wstring path_;
};

TEST_F(DriverWrapperLoadTest, MissingTextsRefuseQuietly) {
    std::wstring path = sandbox_.AddDriver(L"FAM03.PRN");
    EXPECT_FALSE(wrapper_.Load(path, sandbox_.OutputFile(), L"", FALSE));
    EXPECT_FALSE(wrapper_.Load(path, L"", sandbox_.SettingsFile(), FALSE));
    EXPECT_FALSE(wrapper_.Load(L"", sandbox_.OutputFile(), sandbox_.SettingsFile(), TRUE));
    EXPECT_FALSE(wrapper_.IsLoaded());
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_TRUE(sandbox_.Calls().empty());
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
    EXPECT_EQ((std::vector<std::string>{"FAM01.PRN: attach", "FAM01.PRN: D_Disable(0)", "FAM01.PRN: detach",
                                        "FAM03.PRN: attach"}),
              sandbox_.Calls());
}

// Releasing the device goes back to the defaults; after unloading nothing reaches the driver.
TEST_F(DriverWrapperLoadTest, AfterReleaseAndUnloadNothingReachesTheDriver) {
    Open(L"FAM03.PRN", L"Model 203");
    driver_.Put(L"ObjectPosition", Variant(9L));
    wrapper_.ReleaseDriver();
    EXPECT_EQ(300, wrapper_.DriverInfo().resolutionX);
    EXPECT_EQ(300, wrapper_.DriverInfo().resolutionY);
    EXPECT_EQ(0u, wrapper_.DeviceHandle());
    EXPECT_EQ(L"", Text(driver_.Get(L"Model")));
    EXPECT_EQ(0, Long(driver_.Get(L"ObjectPosition")));

    wrapper_.Unload();
    sandbox_.ClearCalls();
    EXPECT_FALSE(wrapper_.IsLoaded());
    EXPECT_EQ(nullptr, ::GetModuleHandleW(sandbox_.Path(L"FAM03.PRN").c_str()));
    EXPECT_EQ(FALSE, wrapper_.ReleaseDriver());
    wrapper_.SetEnableEvents(TRUE);
    for (const wchar_t* name : {L"Name", L"ShortName", L"Version", L"OutputFile"}) {
        EXPECT_EQ(L"", Text(driver_.Get(name))) << vb::ToUtf8(name);
    }
    EXPECT_EQ(0, Long(driver_.Get(L"Fonts")));
    EXPECT_TRUE(sandbox_.Calls().empty());
}

// A handle that the driver refuses to end stays until the library goes.
TEST_F(DriverWrapperLoadTest, AHandleTheDriverDoesNotEndIsKept) {
    Open(L"FAM03.PRN", L"Model 300");
    ASSERT_TRUE(wrapper_.EntryPoints().D_Disable(wrapper_.DeviceHandle()));  // ended behind the wrapper's back
    EXPECT_EQ(FALSE, wrapper_.ReleaseDriver());
    EXPECT_EQ(1u, wrapper_.DeviceHandle());
    wrapper_.Unload();
    EXPECT_EQ(0u, wrapper_.DeviceHandle());
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

// The driver's own fonts sit beside the settings file and belong to the system while it is loaded.
TEST_F(DriverWrapperLoadTest, DriverFontsBesideTheSettingsFileWhileLoaded) {
    // A font of a family no one has: a system font's data with its family renamed in the name
    // table, where names are big-endian UTF-16.
    wchar_t face[LF_FACESIZE] = {};
    std::string data;
    {
        vb::UniqueDC dc(::CreateCompatibleDC(nullptr));
        vb::ScopedSelect selectFont(dc.Get(), ::GetStockObject(DEFAULT_GUI_FONT));
        ::GetTextFaceW(dc.Get(), LF_FACESIZE, face);
        const DWORD size = ::GetFontData(dc.Get(), 0, 0, nullptr, 0);
        data.resize(size == GDI_ERROR ? 0 : size);
        if (!data.empty()) ::GetFontData(dc.Get(), 0, 0, data.data(), size);
    }
    ASSERT_FALSE(data.empty());
    const std::wstring renamed(wcslen(face), L'Q');
    std::string from, to;
    for (size_t i = 0; face[i]; ++i) {
        from += {'\0', static_cast<char>(face[i])};
        to += {'\0', 'Q'};
    }
    for (size_t at = 0; (at = data.find(from, at)) != std::string::npos; at += to.size()) data.replace(at, from.size(), to);
    ASSERT_TRUE(vb::test::WriteFileBytes(sandbox_.Path(L"USER.FNT"), data));

    ASSERT_TRUE(LoadSample());
    EXPECT_LT(0, FacesNamed(renamed));
    wrapper_.Unload();
    EXPECT_EQ(0, FacesNamed(renamed));
}

// Names in any letter case, ids, the default member; a read-only property refuses a write.
TEST_F(DriverWrapperLoadTest, PropertiesAsAScriptReadsThem) {
    ASSERT_TRUE(LoadSample());
    EXPECT_TRUE(boxes_.Boxes().empty());
    EXPECT_EQ(path_, Text(driver_.Get(L"NAME")));
    EXPECT_EQ(L"FAM03.PRN", Text(driver_.Get(L"shortname")));
    EXPECT_EQ(L"2.5.17.301", Text(driver_.Get(L"Version")));
    EXPECT_EQ(sandbox_.OutputFile(), Text(driver_.Get(L"OutputFile")));
    Variant result;
    EXPECT_EQ(S_OK, driver_.Invoke(13, DISPATCH_PROPERTYGET, {}, result));
    EXPECT_EQ(L"FAM03.PRN", Text(result));
    EXPECT_EQ(S_OK, driver_.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, result));  // the model
    EXPECT_EQ(L"", Text(result));

    EXPECT_EQ(DISP_E_EXCEPTION, driver_.Put(L"ShortName", Variant(1L)));
    EXPECT_EQ(vb::DispatchSupport::kSetNotSupported, driver_.LastExceptionCode());
    driver_.Get(L"17");
    EXPECT_EQ(vb::DispatchSupport::kGetNotSupported, driver_.LastExceptionCode());
}

TEST_F(DriverWrapperLoadTest, ExternalModelsFromTheCatalogue) {
    ASSERT_TRUE(LoadSample());
    const struct {
        const wchar_t* catalog;
        const wchar_t* models;
    } cases[] = {{L"Models: M1, M2, M3\r\nResolution: 203 dpi", L"M1;M2;M3"},
                 {L"  no colon here  ", L"  no colon here  "},
                 {L"Models:", L""},
                 {L"", L""}};
    for (const auto& c : cases) {
        handler_.catalog = c.catalog;
        EXPECT_EQ(c.models, Text(driver_.Get(L"ExternalModels"))) << vb::ToUtf8(c.catalog);
    }
    ASSERT_EQ(4u, handler_.catalogRequests.size());
    EXPECT_EQ(L"", handler_.catalogRequests[0]);
}

// Events go to the main window only while a driver is loaded.
TEST_F(DriverWrapperLoadTest, EnableEventsReachTheDriverAndReadBackAsBoolean) {
    path_ = sandbox_.AddDriver(L"FAM03.PRN");
    HWND window = ::CreateWindowW(L"STATIC", L"main", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    vb::SetMainWindow(window);
    wrapper_.SetEnableEvents(TRUE);
    ASSERT_TRUE(LoadFrom(path_));
    EXPECT_EQ(S_OK, driver_.Put(L"EnableEvents", Variant::Bool(true)));
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(driver_.Get(L"EnableEvents").Get()));
    EXPECT_EQ(S_OK, driver_.Put(L"EnableEvents", Variant(0L)));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Get(L"EnableEvents").Get()));
    std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(window));
    for (const char* entryPoint : {"D_SetPFMessageBox", "D_SetPFAppEvent", "D_SetPFAppEventMT"}) {
        EXPECT_TRUE(Logged(std::string(entryPoint) + "(0, " + handle + ")")) << entryPoint;
        EXPECT_TRUE(Logged(std::string(entryPoint) + "(0, 0)")) << entryPoint;
    }
    // No driver is left to send events once it is unloaded.
    driver_.Put(L"EnableEvents", Variant::Bool(true));
    wrapper_.Unload();
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Get(L"EnableEvents").Get()));
    vb::SetMainWindow(nullptr);
    ::DestroyWindow(window);
}

TEST_F(DriverWrapperLoadTest, ScriptReferencesDoNotDestroyTheWrapper) {
    ASSERT_TRUE(LoadSample());
    IDispatch* driver = nullptr;
    ASSERT_EQ(S_OK, wrapper_.QueryInterface(vb::ids::IID_IDriver, reinterpret_cast<void**>(&driver)));
    driver->Release();
    driver->Release();  // even one release too many leaves the engine's wrapper alone
    EXPECT_EQ(L"FAM03.PRN", wrapper_.ShortName());
    wrapper_.AddRef();
}

}  // namespace
