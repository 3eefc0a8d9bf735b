// The callback object the wrapper hands the driver. The driver's use of it, reading the format's
// sizes by their ids and variables by name, is shown end to end in the device context tests.
#include "CIDriver.h"
#include "OpenDeviceFixture.h"

namespace {

using vb::test::DispatchClient;

using CallbackObjectsTest = OpenDeviceFixture;

// One format object, which outlives its driver object; without a devmode (the device released
// while the driver still holds it) its sizes read 0.
TEST_F(CallbackObjectsTest, FormatIsOneObjectThatOutlivesItsDriverObject) {
    auto* callback = new CIDriver(&wrapper_);
    vb::Variant first = DispatchClient(callback->AsDispatch()).Call(L"GetFormat");
    vb::Variant again = DispatchClient(callback->AsDispatch()).Call(L"GetFormat");
    ASSERT_EQ(VT_DISPATCH, first.Type());
    EXPECT_EQ(V_DISPATCH(first.Get()), V_DISPATCH(again.Get()));
    callback->Release();
    DispatchClient format(V_DISPATCH(first.Get()));
    for (const wchar_t* size : {L"PageWidth", L"PageHeight", L"LabelWidth", L"LabelHeight"}) {
        EXPECT_EQ(0, Long(format.Get(size))) << vb::ToUtf8(size);
    }
}

}  // namespace
