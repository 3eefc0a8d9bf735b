#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "Bstr.h"
#include "ComPtr.h"
#include "SampleDriverTest.h"
#include "Variant.h"

namespace {

using vb::Variant;
using vb::test::SampleDriverTest;

ULONG References(IUnknown* object) {
    object->AddRef();
    return object->Release();
}

class ParameterRfidTest : public SampleDriverTest {
protected:
    LONG Parameter(DRIVERHANDLE h, const std::wstring& name, Variant& value) {
        Variant nameValue(name);
        return driver_.D_PrinterParameter(h, nullptr, nameValue.Get(), value.Get());
    }
};

TEST_F(ParameterRfidTest, ParametersAreKeptPerInstance) {
    DRIVERHANDLE first = Enable(L"LX");
    DRIVERHANDLE second = Enable(L"LX");
    Variant stored(L"Fast");
    EXPECT_EQ(0, Parameter(first, L"PrintMode", stored));

    Variant read;
    EXPECT_EQ(0, Parameter(first, L"printmode", read));
    EXPECT_EQ(L"Fast", vb::ToText(*read.Get()).value_or(L""));

    Variant other;
    EXPECT_EQ(-1, Parameter(second, L"PrintMode", other));
    EXPECT_EQ(VT_EMPTY, other.Type());
    EXPECT_EQ(3, driver_.D_GetLastError());
    EXPECT_TRUE(Logged("D_PrinterParameter(" + std::to_string(first) + ", PrintMode, Fast)"));
    EXPECT_TRUE(Logged("D_PrinterParameter(" + std::to_string(first) + ", printmode, )"));
}

TEST_F(ParameterRfidTest, ValueByReferenceIsStoredByValue) {
    DRIVERHANDLE h = Enable(L"LX");
    {
        LONG speed = 8;
        Variant byReference;
        V_VT(byReference.Put()) = VT_I4 | VT_BYREF;
        V_I4REF(byReference.Get()) = &speed;
        EXPECT_EQ(0, Parameter(h, L"Speed", byReference));
        speed = 99;
    }
    Variant read;
    EXPECT_EQ(0, Parameter(h, L"Speed", read));
    EXPECT_EQ(VT_I4, read.Type());
    EXPECT_EQ(8, V_I4(read.Get()));
}

TEST_F(ParameterRfidTest, ParameterWithoutNameFails) {
    DRIVERHANDLE h = Enable(L"LX");
    Variant value(L"x");
    EXPECT_EQ(-1, Parameter(h, L"", value));
    EXPECT_EQ(-1, driver_.D_PrinterParameter(h, nullptr, nullptr, value.Get()));
    EXPECT_EQ(2, driver_.D_GetLastError());
}

TEST_F(ParameterRfidTest, RfidModelNamesItsFields) {
    vb::Bstr names;
    EXPECT_EQ(0, driver_.D_RFIDGetNames(Enable(L"LX"), names.Put()));
    EXPECT_EQ(nullptr, names.Get());
    EXPECT_EQ(3, driver_.D_RFIDGetNames(Enable(L"LX RFID"), names.Put()));
    EXPECT_EQ(L"EPC;TID;USER", names.Str());
}

TEST_F(ParameterRfidTest, RfidObjectLivesWithItsInstance) {
    VARIANT item;
    ::VariantInit(&item);
    EXPECT_EQ(nullptr, driver_.D_RFIDGetObject(Enable(L"LX"), item));

    DRIVERHANDLE h = Enable(L"LX RFID");
    IDispatch* object = driver_.D_RFIDGetObject(h, item);
    ASSERT_NE(nullptr, object);
    EXPECT_EQ(object, driver_.D_RFIDGetObject(h, item));

    // As the bench keeps it: taken (the driver adds a reference), one for the script, released.
    driver_.D_RFIDUpdateInterface(h, object, 0);
    auto script = vb::ComPtr<IDispatch>(object);
    driver_.D_RFIDUpdateInterface(h, object, 1);
    EXPECT_EQ(2u, References(object));  // the driver's own and the script's

    DISPPARAMS none{};
    Variant names;
    EXPECT_EQ(S_OK, object->Invoke(DISPID_VALUE, IID_NULL, 0, DISPATCH_PROPERTYGET, &none, names.Put(), nullptr,
                                   nullptr));
    EXPECT_EQ(L"EPC;TID;USER", vb::ToText(*names.Get()).value_or(L""));

    EXPECT_TRUE(driver_.D_Disable(h));
    EXPECT_EQ(1u, References(object));  // only the script's is left
}

TEST_F(ParameterRfidTest, SettingsHandedOverAreLogged) {
    DRIVERHANDLE h = Enable(L"LX");
    std::string handle = std::to_string(h);
    std::vector<BYTE> record(10008, 0);
    const char name[] = "Lot\xC3\xA9";
    std::memcpy(record.data() + 12, name, sizeof name);
    driver_.D_SetVarInfo(h, 2, 0, record.data());
    driver_.D_SetVarInfo(h, 0, 0, nullptr);
    driver_.D_SetParentWindow(h, reinterpret_cast<HWND>(0x1234));
    driver_.D_SetSpecificOptions(h, 0);
    EXPECT_EQ(1, driver_.D_SetCountry(h, 33, 1, 0));

    EXPECT_TRUE(Logged("D_SetVarInfo(" + handle + ", 2, Lot\xC3\xA9)"));
    EXPECT_TRUE(Logged("D_SetVarInfo(" + handle + ", 0, 0)"));
    EXPECT_TRUE(Logged("D_SetParentWindow(" + handle + ", 4660)"));
    EXPECT_TRUE(Logged("D_SetSpecificOptions(" + handle + ", 0)"));
    EXPECT_TRUE(Logged("D_SetCountry(" + handle + ", 33, 1)"));
}

}  // namespace
