#include "DriverIds.h"
#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;

class DriverScriptPropertiesTest : public OpenDeviceFixture {
protected:
    void SetUp() override {
        path_ = sandbox_.AddDriver(L"FAM03.PRN");
        ASSERT_TRUE(wrapper_.Load(path_, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
    }
    std::wstring path_;
};

TEST_F(DriverScriptPropertiesTest, PropertiesAsAScriptReadsThem) {
    EXPECT_EQ(path_, Text(driver_.Get(L"Name")));
    EXPECT_EQ(path_, Text(driver_.Get(L"NAME")));
    EXPECT_EQ(L"FAM03.PRN", Text(driver_.Get(L"shortname")));
    EXPECT_EQ(L"2.5.17.301", Text(driver_.Get(L"Version")));
    EXPECT_EQ(sandbox_.OutputFile(), Text(driver_.Get(L"OutputFile")));
    EXPECT_EQ(L"", Text(driver_.Get(L"Model")));
    for (const wchar_t* size : {L"PageWidth", L"PageHeight"}) EXPECT_EQ(8000, Long(driver_.Get(size)));
    for (const wchar_t* count : {L"PagePerRow", L"PagePerCol"}) EXPECT_EQ(1, Long(driver_.Get(count)));
    EXPECT_EQ(0, Long(driver_.Get(L"Fonts")));
    EXPECT_EQ(0, Long(driver_.Get(L"Codes")));
    Variant result;
    EXPECT_EQ(S_OK, driver_.Invoke(13, DISPATCH_PROPERTYGET, {}, result));
    EXPECT_EQ(L"FAM03.PRN", Text(result));
    EXPECT_EQ(S_OK, driver_.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, result));  // the model
    EXPECT_EQ(L"", Text(result));
}

TEST_F(DriverScriptPropertiesTest, ExternalModelsFromTheCatalogue) {
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

TEST_F(DriverScriptPropertiesTest, ReadOnlyPropertiesRefuseWrites) {
    for (const wchar_t* name : {L"Name", L"Model", L"Version", L"PageWidth", L"Fonts", L"ShortName"}) {
        EXPECT_EQ(DISP_E_EXCEPTION, driver_.Put(name, Variant(1L))) << vb::ToUtf8(name);
        EXPECT_EQ(vb::DispatchSupport::kSetNotSupported, driver_.LastExceptionCode()) << vb::ToUtf8(name);
    }
    EXPECT_EQ(L"FAM03.PRN", Text(driver_.Get(L"ShortName")));

    driver_.Get(L"17");
    EXPECT_EQ(DISP_E_EXCEPTION, driver_.LastResult());
    EXPECT_EQ(vb::DispatchSupport::kGetNotSupported, driver_.LastExceptionCode());
}

TEST_F(DriverScriptPropertiesTest, ObjectPositionIsKeptUntilTheDeviceIsReleased) {
    EXPECT_EQ(S_OK, driver_.Put(L"objectposition", Variant(42L)));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, driver_.Put(L"ObjectPosition", Variant(std::wstring(L"left"))));
    EXPECT_EQ(42, Long(driver_.Get(L"ObjectPosition")));
    wrapper_.ReleaseDriver();
    EXPECT_EQ(0, Long(driver_.Get(L"ObjectPosition")));
}

// Events go to the main window only while a driver is loaded.
TEST_F(DriverScriptPropertiesTest, EnableEventsReachTheDriverAndReadBackAsBoolean) {
    wrapper_.Unload();
    HWND window = ::CreateWindowW(L"STATIC", L"main", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    vb::SetMainWindow(window);
    wrapper_.SetEnableEvents(TRUE);
    sandbox_.ClearCalls();
    ASSERT_TRUE(wrapper_.Load(path_, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
    EXPECT_EQ(S_OK, driver_.Put(L"EnableEvents", Variant::Bool(true)));
    Variant on = driver_.Get(L"EnableEvents");
    ASSERT_EQ(VT_BOOL, on.Type());
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(on.Get()));
    EXPECT_EQ(S_OK, driver_.Put(L"EnableEvents", Variant(0L)));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Get(L"EnableEvents").Get()));
    std::string handle = std::to_string(reinterpret_cast<UINT_PTR>(window));
    EXPECT_EQ((std::vector<std::string>{"FAM03.PRN: attach", "FAM03.PRN: D_SetPFMessageBox(0, " + handle + ")",
                                        "FAM03.PRN: D_SetPFAppEvent(0, " + handle + ")",
                                        "FAM03.PRN: D_SetPFAppEventMT(0, " + handle + ")",
                                        "FAM03.PRN: D_SetPFMessageBox(0, 0)", "FAM03.PRN: D_SetPFAppEvent(0, 0)",
                                        "FAM03.PRN: D_SetPFAppEventMT(0, 0)"}),
              sandbox_.Calls());
    // No driver is left to send events once it is unloaded.
    driver_.Put(L"EnableEvents", Variant::Bool(true));
    wrapper_.Unload();
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Get(L"EnableEvents").Get()));
    vb::SetMainWindow(nullptr);
    ::DestroyWindow(window);
}

TEST_F(DriverScriptPropertiesTest, ScriptReferencesDoNotDestroyTheWrapper) {
    IDispatch* driver = nullptr;
    ASSERT_EQ(S_OK, wrapper_.QueryInterface(vb::ids::IID_IDriver, reinterpret_cast<void**>(&driver)));
    driver->Release();
    driver->Release();  // even one release too many leaves the engine's wrapper alone
    EXPECT_EQ(L"FAM03.PRN", wrapper_.ShortName());
    wrapper_.AddRef();
}

}  // namespace
