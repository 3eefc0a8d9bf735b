#include "CIDriver.h"
#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;
using vb::test::DispatchClient;

class CallbackObjectsTest : public OpenDeviceFixture {
protected:
    void SetUp() override {
        callback_ = new CIDriver(&wrapper_);
        Variant result = DispatchClient(callback_->AsDispatch()).Call(L"GetFormat");
        ASSERT_EQ(VT_DISPATCH, result.Type());
        format_ = V_DISPATCH(result.Get());
        format_->AddRef();
    }
    void TearDown() override {
        format_->Release();
        callback_->Release();
    }

    CIDriver* callback_ = nullptr;
    IDispatch* format_ = nullptr;
};

TEST_F(CallbackObjectsTest, FormatIsOneObjectThatOutlivesItsDriverObject) {
    Variant again = DispatchClient(callback_->AsDispatch()).Call(L"GetFormat");
    EXPECT_EQ(format_, V_DISPATCH(again.Get()));
    IUnknown* unknown = nullptr;
    const IID formatId = {0x3624B9CE, 0x9E5D, 0x11D3, {0xA8, 0x96, 0x00, 0xC0, 0x4F, 0x32, 0x4E, 0x22}};
    ASSERT_EQ(S_OK, format_->QueryInterface(formatId, reinterpret_cast<void**>(&unknown)));
    unknown->Release();
}

TEST_F(CallbackObjectsTest, SizesFollowTheLatestPageSetUp) {
    DispatchClient format(format_);
    EXPECT_EQ(0, Long(format.Get(L"PageWidth")));  // no devmode yet
    Open(L"FAM03.PRN", L"Model 300");
    wrapper_.SetupPage(10000, 5000, 1, 2, 1);
    EXPECT_EQ(1000, Long(format.Get(L"PageWidth")));
    EXPECT_EQ(500, Long(format.Get(L"PageHeight")));
    EXPECT_EQ(500, Long(format.Get(L"LabelWidth")));
    EXPECT_EQ(500, Long(format.Get(L"LabelHeight")));
    Variant value;
    EXPECT_EQ(S_OK, format.Invoke(4, DISPATCH_PROPERTYGET, {}, value));
    EXPECT_EQ(1000, V_I4(value.Get()));
}

TEST_F(CallbackObjectsTest, EverythingElseAnswersEmptyAndIgnoresWrites) {
    DispatchClient format(format_);
    EXPECT_EQ(S_OK, format.Put(L"MarginLeft", Variant(5L)));
    EXPECT_EQ(0, Long(format.Get(L"MarginLeft")));
    EXPECT_EQ(L"", Text(format.Get(L"StockName")));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(format.Get(L"Portrait").Get()));
    EXPECT_EQ(DISP_E_EXCEPTION, format.Put(L"Application", Variant(1L)));
    EXPECT_EQ(DISP_E_EXCEPTION, format.Put(L"Parent", Variant(1L)));
    Variant parent = format.Get(L"Parent");
    EXPECT_EQ(VT_DISPATCH, parent.Type());
    EXPECT_EQ(nullptr, V_DISPATCH(parent.Get()));

    Variant text(std::wstring(L"keep"));
    Variant byReference;
    V_VT(byReference.Get()) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(byReference.Get()) = text.Get();
    Variant checked = format.Call(L"Check", {byReference});
    EXPECT_EQ(VT_I2, checked.Type());
    EXPECT_STREQ(L"keep", V_BSTR(text.Get()));
    V_VT(byReference.Get()) = VT_EMPTY;

    DispatchClient driver(callback_->AsDispatch());
    EXPECT_EQ(nullptr, V_DISPATCH(driver.Call(L"GetDocument").Get()));
    EXPECT_EQ(L"", Text(driver.Call(L"GetDefaultFolder", {Variant(1L)})));
    EXPECT_EQ(VT_EMPTY, driver.Call(L"GetDocObjectProperty", {Variant(std::wstring(L"x")), Variant(1L)}).Type());
}

}  // namespace
