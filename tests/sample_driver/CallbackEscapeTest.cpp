// What the driver does with the variables and the format of the bench's callback object is
// shown through the real one in the driver tests; here, who holds the object.
#include "SampleDriverTest.h"
#include "TestHostObject.h"

namespace {

using vb::test::TestHostObject;

class CallbackEscapeTest : public vb::test::SampleDriverTest {
protected:
    // Hands the object over with a reference of its own, as the bench does.
    LONG HandOver(DRIVERHANDLE h, TestHostObject& callback) {
        callback.AddRef();
        return driver_.D_EscapeW(h, 0x203F, 0, nullptr, callback.AsDispatch());
    }
};

// The driver keeps the one reference it is handed until a new object, D_Disable or unloading
// replaces it, and lets it go at once on an unknown handle.
TEST_F(CallbackEscapeTest, DriverOwnsTheReferenceItIsGivenAndLetsItGo) {
    TestHostObject first, second, unknown, unloaded;
    DRIVERHANDLE h = Enable(L"LX");
    EXPECT_EQ(1, HandOver(h, first));
    EXPECT_EQ(2u, first.References());  // the test's and the driver's: no extra one taken
    EXPECT_EQ(1, HandOver(h, second));
    EXPECT_EQ(1u, first.References());
    EXPECT_TRUE(driver_.D_Disable(h));
    EXPECT_EQ(1u, second.References());

    EXPECT_EQ(0, HandOver(7, unknown));
    EXPECT_EQ(1u, unknown.References());
    EXPECT_EQ(1, driver_.D_GetLastError());

    EXPECT_EQ(1, HandOver(Enable(L"LX"), unloaded));
    driver_.Unload();
    EXPECT_EQ(1u, unloaded.References());
}

}  // namespace
