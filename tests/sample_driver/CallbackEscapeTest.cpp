#include <gtest/gtest.h>

#include <string>

#include "ComPtr.h"
#include "FakeCallbackObject.h"
#include "SampleDriverTest.h"

namespace {

using vb::ComPtr;
using vb::test::FakeCallbackObject;
using vb::test::SampleDriverTest;

constexpr LONG kSetCallback = 0x203F;
constexpr LONG kLookUpVariable = 0x7001;
constexpr LONG kReadFormat = 0x7002;

class CallbackEscapeTest : public SampleDriverTest {
protected:
    // Hands the driver a new callback object with a reference of its own, as the bench does;
    // the test keeps one reference to watch it.
    ComPtr<FakeCallbackObject> HandOver(DRIVERHANDLE h, LONG expected = 1) {
        auto callback = ComPtr<FakeCallbackObject>::Attach(new FakeCallbackObject());
        callback->AddRef();
        EXPECT_EQ(expected, driver_.D_EscapeW(h, kSetCallback, 0, nullptr, static_cast<IDispatch*>(callback.Get())));
        return callback;
    }
};

// The driver keeps the one reference it is handed until a new object, D_Disable or unloading
// replaces it, and lets it go at once on an unknown handle.
TEST_F(CallbackEscapeTest, DriverOwnsTheReferenceItIsGivenAndLetsItGo) {
    DRIVERHANDLE h = Enable(L"LX");
    ComPtr<FakeCallbackObject> first = HandOver(h);
    EXPECT_EQ(2, first->References());  // the test's and the driver's: no extra one taken
    ComPtr<FakeCallbackObject> second = HandOver(h);
    EXPECT_EQ(1, first->References());
    EXPECT_EQ(2, second->References());
    EXPECT_TRUE(driver_.D_Disable(h));
    EXPECT_EQ(1, second->References());

    ComPtr<FakeCallbackObject> unknown = HandOver(7, 0);
    EXPECT_EQ(1, unknown->References());
    EXPECT_EQ(1, driver_.D_GetLastError());

    ComPtr<FakeCallbackObject> unloaded = HandOver(Enable(L"LX"));
    driver_.Unload();
    EXPECT_EQ(1, unloaded->References());
}

TEST_F(CallbackEscapeTest, EscapesAreLoggedWithTheirArguments) {
    DRIVERHANDLE h = Enable(L"LX");
    std::string handle = std::to_string(h);
    EXPECT_EQ(1, driver_.D_EscapeW(h, 0x2064, 0, L"C:\\bench\\", nullptr));
    EXPECT_EQ(1, driver_.D_EscapeW(h, 0x200E, 5000, nullptr, nullptr));
    HandOver(h);
    EXPECT_TRUE(Logged("D_EscapeW(" + handle + ", 0x2064, 0, C:\\bench\\, 0)"));
    EXPECT_TRUE(Logged("D_EscapeW(" + handle + ", 0x200E, 5000, 0, 0)"));
    EXPECT_TRUE(Logged("D_EscapeW(" + handle + ", 0x203F, 0, 0, object)"));
}

TEST_F(CallbackEscapeTest, TestEscapesNeedACallbackObject) {
    DRIVERHANDLE h = Enable(L"LX");
    EXPECT_EQ(-1, driver_.D_EscapeW(h, kLookUpVariable, 0, L"Serial", nullptr));
    EXPECT_EQ(-1, driver_.D_EscapeW(h, kReadFormat, 0, nullptr, nullptr));
    EXPECT_EQ(0, driver_.D_EscapeW(h + 1, kReadFormat, 0, nullptr, nullptr));
}

TEST_F(CallbackEscapeTest, VariableLookUpAsksTheBenchByName) {
    DRIVERHANDLE h = Enable(L"LX");
    ComPtr<FakeCallbackObject> callback = HandOver(h);
    callback->variables[L"Serial"] = {1, "N\xC3\xA9 42"};  // "Né 42" in UTF-8

    EXPECT_EQ(1, driver_.D_EscapeW(h, kLookUpVariable, 0, L"Serial", nullptr));
    EXPECT_EQ(L"Serial", callback->askedName);
    EXPECT_TRUE(callback->recordArrivedZeroed);
    EXPECT_EQ(DISPATCH_METHOD | DISPATCH_PROPERTYGET, callback->flagsSeen);
    EXPECT_TRUE(Logged("variable Serial: found type=1 value=N\xC3\xA9 42"));

    EXPECT_EQ(0, driver_.D_EscapeW(h, kLookUpVariable, 0, L"Lot", nullptr));
    EXPECT_TRUE(Logged("variable Lot: missing"));
    EXPECT_EQ(2, callback->References());  // the calls kept no reference behind
}

TEST_F(CallbackEscapeTest, FormatSizesAreReadFromTheFormatObject) {
    DRIVERHANDLE h = Enable(L"LX");
    ComPtr<FakeCallbackObject> callback = HandOver(h);
    callback->format->pageWidth = 1000;
    callback->format->pageHeight = 500;
    callback->format->labelWidth = 480;
    callback->format->labelHeight = 250;
    EXPECT_EQ(1, driver_.D_EscapeW(h, kReadFormat, 0, nullptr, nullptr));
    EXPECT_TRUE(Logged("format: page 1000x500 label 480x250"));
    EXPECT_EQ(1, callback->format->References());  // the driver let the format object go

    callback->format->failingMember = 6;
    EXPECT_EQ(0, driver_.D_EscapeW(h, kReadFormat, 0, nullptr, nullptr));
    EXPECT_TRUE(Logged("format: failed 0x80004005"));
}

}  // namespace
