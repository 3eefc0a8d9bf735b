#include <gtest/gtest.h>

#include "DispatchClient.h"
#include "DriverIds.h"
#include "DriverWrapper.h"
#include "FakeDriverHandler.h"
#include "Resources.h"
#include "SampleDriverSandbox.h"

namespace {

using vb::Variant;
using vb::test::DispatchClient;

class DriverScriptPropertiesTest : public ::testing::Test {
protected:
    void SetUp() override {
        path_ = sandbox_.AddDriver(L"FAM03.PRN");
        ASSERT_TRUE(wrapper_.Load(path_, sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
    }
    std::wstring Text(const std::wstring& name) {
        Variant value = client_.Get(name);
        EXPECT_EQ(S_OK, client_.LastResult()) << name;
        return value.Type() == VT_BSTR ? std::wstring(V_BSTR(value.Get())) : L"<not a text>";
    }
    long Number(const std::wstring& name) {
        Variant value = client_.Get(name);
        EXPECT_EQ(S_OK, client_.LastResult()) << name;
        return value.Type() == VT_I4 ? V_I4(value.Get()) : -999;
    }

    vb::test::SampleDriverSandbox sandbox_;
    vb::test::FakeDriverHandler handler_;
    CDriverWrapper wrapper_{&handler_};
    DispatchClient client_{wrapper_.AsDispatch()};
    std::wstring path_;
};

TEST_F(DriverScriptPropertiesTest, SimplePropertiesAsAScriptReadsThem) {
    EXPECT_EQ(path_, Text(L"Name"));
    EXPECT_EQ(path_, Text(L"NAME"));
    EXPECT_EQ(L"FAM03.PRN", Text(L"shortname"));
    EXPECT_EQ(L"2.5.17.301", Text(L"Version"));
    EXPECT_EQ(sandbox_.OutputFile(), Text(L"OutputFile"));
    EXPECT_EQ(L"", Text(L"Model"));
    EXPECT_EQ(8000, Number(L"PageWidth"));
    EXPECT_EQ(8000, Number(L"PageHeight"));
    EXPECT_EQ(1, Number(L"PagePerRow"));
    EXPECT_EQ(1, Number(L"PagePerCol"));
    EXPECT_EQ(0, Number(L"Fonts"));
    EXPECT_EQ(0, Number(L"Codes"));

    handler_.catalog = L"Models: A, B\r\n";
    EXPECT_EQ(L"A;B", Text(L"ExternalModels"));
}

TEST_F(DriverScriptPropertiesTest, InvokeByIdAndDefaultMember) {
    Variant result;
    EXPECT_EQ(S_OK, client_.Invoke(13, DISPATCH_PROPERTYGET, {}, result));
    EXPECT_STREQ(L"FAM03.PRN", V_BSTR(result.Get()));

    EXPECT_EQ(S_OK, client_.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, result));
    ASSERT_EQ(VT_BSTR, result.Type());
    EXPECT_STREQ(L"", V_BSTR(result.Get()));
}

TEST_F(DriverScriptPropertiesTest, ReadOnlyPropertiesRefuseWrites) {
    for (const wchar_t* name : {L"Name", L"Model", L"Version", L"PageWidth", L"Fonts", L"ShortName"}) {
        EXPECT_EQ(DISP_E_EXCEPTION, client_.Put(name, Variant(1L))) << name;
        EXPECT_EQ(vb::DispatchSupport::kSetNotSupported, client_.LastExceptionCode()) << name;
    }
    EXPECT_EQ(L"FAM03.PRN", Text(L"ShortName"));

    client_.Get(L"17");
    EXPECT_EQ(DISP_E_EXCEPTION, client_.LastResult());
    EXPECT_EQ(vb::DispatchSupport::kGetNotSupported, client_.LastExceptionCode());
}

TEST_F(DriverScriptPropertiesTest, ObjectPositionIsStored) {
    EXPECT_EQ(0, Number(L"ObjectPosition"));
    EXPECT_EQ(S_OK, client_.Put(L"objectposition", Variant(42L)));
    EXPECT_EQ(42, Number(L"ObjectPosition"));
    EXPECT_EQ(DISP_E_TYPEMISMATCH, client_.Put(L"ObjectPosition", Variant(std::wstring(L"left"))));
    EXPECT_EQ(42, Number(L"ObjectPosition"));
    wrapper_.ReleaseDriver();
    EXPECT_EQ(0, Number(L"ObjectPosition"));
}

TEST_F(DriverScriptPropertiesTest, EnableEventsReadsBackAsBoolean) {
    HWND window = ::CreateWindowW(L"STATIC", L"main", 0, 0, 0, 10, 10, HWND_MESSAGE, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    vb::SetMainWindow(window);
    EXPECT_EQ(S_OK, client_.Put(L"EnableEvents", Variant::Bool(true)));
    Variant on = client_.Get(L"EnableEvents");
    ASSERT_EQ(VT_BOOL, on.Type());
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(on.Get()));
    EXPECT_EQ(S_OK, client_.Put(L"EnableEvents", Variant(0L)));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(client_.Get(L"EnableEvents").Get()));
    // No driver is left to send events once it is unloaded.
    client_.Put(L"EnableEvents", Variant::Bool(true));
    wrapper_.Unload();
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(client_.Get(L"EnableEvents").Get()));
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

TEST_F(DriverScriptPropertiesTest, PropertiesAfterUnloadAreEmpty) {
    wrapper_.Unload();
    EXPECT_EQ(L"", Text(L"Name"));
    EXPECT_EQ(L"", Text(L"Version"));
    EXPECT_EQ(L"", Text(L"ShortName"));
    EXPECT_EQ(0, Number(L"Fonts"));
}

}  // namespace
