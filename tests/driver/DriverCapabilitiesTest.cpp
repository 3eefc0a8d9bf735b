#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;

class DriverCapabilitiesTest : public OpenDeviceFixture {};

TEST_F(DriverCapabilitiesTest, ImageDepthsFollowTheDevicesColour) {
    EXPECT_EQ(L"1", Text(driver_.Get(L"DIBColors")));
    Open(L"FAM03.PRN", L"Model 300");
    EXPECT_EQ(L"1", Text(driver_.Get(L"DIBColors")));
    ASSERT_TRUE(wrapper_.CreateDriverDC(L"Model 300 COLOR", nullptr));
    EXPECT_EQ(L"1;16;24;32", Text(driver_.Get(L"DIBColors")));
}

TEST_F(DriverCapabilitiesTest, RfidNamesAndObjectOnlyFromCapableDevices) {
    Open(L"FAM03.PRN", L"Model 300");
    Variant names(std::wstring(L"untouched"));
    Variant reference;
    V_VT(reference.Get()) = VT_BYREF | VT_VARIANT;
    V_VARIANTREF(reference.Get()) = names.Get();
    EXPECT_EQ(0, Long(driver_.Call(L"GetRFIDNames", {reference})));
    EXPECT_EQ(VT_EMPTY, names.Type());
    Variant none = driver_.Call(L"GetRFIDObject", {Variant(0L)});
    EXPECT_EQ(VT_DISPATCH, none.Type());
    EXPECT_EQ(nullptr, V_DISPATCH(none.Get()));
    EXPECT_TRUE(CallsOf({"D_RFIDUpdateInterface"}).empty());

    ASSERT_TRUE(wrapper_.CreateDriverDC(L"Model 300 RFID", nullptr));
    EXPECT_EQ(3, Long(driver_.Call(L"GetRFIDNames", {reference})));
    EXPECT_EQ(L"EPC;TID;USER", Text(names));
    V_VT(reference.Get()) = VT_EMPTY;
}

TEST_F(DriverCapabilitiesTest, OneRfidObjectIsHeldAndHandedBack) {
    Open(L"FAM03.PRN", L"Model 300 RFID");
    Variant first = driver_.Call(L"GetRFIDObject", {Variant(0L)});
    ASSERT_EQ(VT_DISPATCH, first.Type());
    ASSERT_NE(nullptr, V_DISPATCH(first.Get()));
    Variant second = driver_.Call(L"GetRFIDObject", {Variant(1L)});
    wrapper_.ReleaseDriver();
    EXPECT_EQ((std::vector<std::string>{"D_RFIDUpdateInterface(1, taken)", "D_RFIDUpdateInterface(1, released)",
                                        "D_RFIDUpdateInterface(1, taken)", "D_RFIDUpdateInterface(1, released)"}),
              CallsOf({"D_RFIDUpdateInterface"}));
}

TEST_F(DriverCapabilitiesTest, LastErrorAndParameters) {
    EXPECT_EQ(0, Long(driver_.Call(L"GetLastError")));
    Open(L"FAM03.PRN", L"Model 300");
    wrapper_.EntryPoints().D_Disable(77);  // an unknown handle sets the driver's error
    EXPECT_EQ(1, Long(driver_.Call(L"GetLastError")));

    EXPECT_EQ(VARIANT_TRUE, V_BOOL(driver_.Call(L"SetParameter", {Str(L"Speed"), Variant(5L)}).Get()));
    EXPECT_EQ(5, Long(driver_.Call(L"GetParameter", {Str(L"Speed")})));
    EXPECT_EQ(VT_EMPTY, driver_.Call(L"GetParameter", {Str(L"Unknown")}).Type());
    wrapper_.ReleaseDriver();
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(driver_.Call(L"SetParameter", {Str(L"Speed"), Variant(5L)}).Get()));
}

TEST_F(DriverCapabilitiesTest, FamilyPropertiesThroughTheScriptMembers) {
    EXPECT_EQ(L"0", Text(driver_.Call(L"GetPropertyValues", {Variant(4L)})));
    EXPECT_EQ(VT_EMPTY, driver_.Call(L"GetProperty", {Variant(2L)}).Type());
    Open(L"FAM05.PRN", L"Model 300");
    EXPECT_EQ(L"0;900;2700;1800", Text(driver_.Call(L"GetPropertyValues", {Variant(4L)})));
    EXPECT_EQ(L"0,900,2700,1800", Text(driver_.Call(L"GetPropertyValues", {Variant(4L), Str(L",")})));
    driver_.Call(L"SetProperty", {Variant(4L), Variant(2700L)});
    EXPECT_EQ(2700, Long(driver_.Call(L"GetProperty", {Variant(4L)})));
    EXPECT_EQ(VT_EMPTY, driver_.Call(L"GetProperty", {Variant(0L)}).Type());
}

}  // namespace
