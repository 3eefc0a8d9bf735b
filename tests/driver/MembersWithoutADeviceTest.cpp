#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;

// Every printing member of the Driver object answers 0, False, an empty value or a 0 x 0 size
// when no device is open, and raises no script error.
class MembersWithoutADeviceTest : public OpenDeviceFixture {
protected:
    void ExpectQuietZero(const wchar_t* member, std::initializer_list<Variant> args) {
        Variant result = driver_.Call(member, args);
        EXPECT_EQ(S_OK, driver_.LastResult()) << vb::ToUtf8(member);
        const VARIANT& value = *result.Get();
        const std::wstring text = V_VT(&value) == VT_BSTR ? V_BSTR(&value) : L"";
        IDispatch* size = V_VT(&value) == VT_DISPATCH ? V_DISPATCH(&value) : nullptr;
        const bool quiet = (V_VT(&value) == VT_I4 && V_I4(&value) == 0) ||
                           (V_VT(&value) == VT_BOOL && V_BOOL(&value) == VARIANT_FALSE) ||
                           (V_VT(&value) == VT_BSTR && (text.empty() || text == L"0")) ||
                           (V_VT(&value) == VT_DISPATCH && (!size || SizeOf(size) == 0)) || V_VT(&value) == VT_EMPTY;
        EXPECT_TRUE(quiet) << vb::ToUtf8(member) << " answered type " << V_VT(&value);
    }
    long SizeOf(IDispatch* size) {
        vb::test::DispatchClient object(size);
        return Long(object.Get(L"cx")) | Long(object.Get(L"cy"));
    }

    void ExpectEveryMemberQuiet() {
        ExpectQuietZero(L"StartDoc", {});
        ExpectQuietZero(L"EndDoc", {});
        ExpectQuietZero(L"StartPage", {});
        ExpectQuietZero(L"EndPage", {});
        ExpectQuietZero(L"SetupDlg", {});
        ExpectQuietZero(L"SetCountry", {Variant(1L), Variant(1L)});
        ExpectQuietZero(L"Escape", {Variant(0x2020L), Variant(0L)});
        ExpectQuietZero(L"CreateDC", {Str(L"Model 300")});
        ExpectQuietZero(L"ResetDC", {});
        ExpectQuietZero(L"SelectPen", {Variant(10L), Variant(0L)});
        ExpectQuietZero(L"SelectBrush", {Variant(0L)});
        ExpectQuietZero(L"Rectangle", {Variant(0L), Variant(0L), Variant(10L), Variant(10L)});
        ExpectQuietZero(L"Ellipse", {Variant(0L), Variant(0L), Variant(10L), Variant(10L)});
        ExpectQuietZero(L"RoundRect", {Variant(0L), Variant(0L), Variant(10L), Variant(10L), Variant(1L), Variant(1L)});
        ExpectQuietZero(L"PatBlt", {Variant(0L), Variant(0L), Variant(10L), Variant(10L)});
        ExpectQuietZero(L"PrintDIB", {Str(L""), Variant(0L), Variant(0L), Variant(10L)});
        ExpectQuietZero(L"EnumFontFamilies", {});
        ExpectQuietZero(L"EnumCodeFamilies", {});
        ExpectQuietZero(L"SelectFont", {driver_.Call(L"GetFont", {Variant(0L)})});
        ExpectQuietZero(L"SelectCode", {driver_.Call(L"GetCode", {Variant(0L)})});
        ExpectQuietZero(L"TextOut", {Variant(0L), Variant(0L), Str(L"x"), Variant(0L)});
        ExpectQuietZero(L"GetTextExt", {Str(L"x"), Variant(1L)});
        ExpectQuietZero(L"CodeOut", {Variant(0L), Variant(0L), Str(L"1"), Variant(0L)});
        ExpectQuietZero(L"GetCodeExt", {Str(L"1"), Variant(1L)});
        ExpectQuietZero(L"IsValidData", {Str(L"1")});
        ExpectQuietZero(L"GetParameter", {Str(L"Speed")});
        ExpectQuietZero(L"SetParameter", {Str(L"Speed"), Variant(1L)});
        ExpectQuietZero(L"GetLastError", {});
        ExpectQuietZero(L"GetRFIDObject", {Variant(0L)});
        ExpectQuietZero(L"GetDateTime", {Variant(0L)});
        ExpectQuietZero(L"TextOutGDI", {Variant(0L), Variant(0L), Str(L"x"), driver_.Call(L"GetFontGDI", {Str(L""), Variant(0L)}),
                                        Variant(0L)});
        ExpectQuietZero(L"GetProperty", {Variant(2L)});
        ExpectQuietZero(L"SetProperty", {Variant(2L), Variant(1L)});
        ExpectQuietZero(L"GetPropertyValues", {Variant(2L)});
        ExpectQuietZero(L"GetDeviceCaps", {Variant(2L)});
        EXPECT_EQ(L"", Text(VariableName(driver_.Call(L"AddVariable", {Str(L"v"), Str(L"1")}))));
        EXPECT_TRUE(handler_.events.empty());
    }

    vb::Variant VariableName(const Variant& variable) {
        return vb::test::DispatchClient(V_DISPATCH(variable.Get())).Get(L"Name");
    }
};

TEST_F(MembersWithoutADeviceTest, NothingLoaded) { ExpectEveryMemberQuiet(); }

TEST_F(MembersWithoutADeviceTest, LoadedButNoDeviceOpen) {
    ASSERT_TRUE(wrapper_.Load(sandbox_.AddDriver(L"FAM09.PRN"), sandbox_.OutputFile(), sandbox_.SettingsFile(), FALSE));
    sandbox_.ClearCalls();
    ExpectEveryMemberQuiet();
    EXPECT_TRUE(CallsOf({"D_"}).empty());
}

TEST_F(MembersWithoutADeviceTest, ADriverMissingEntryPointsAnswersTheSame) {
    Open(L"FAM03.PRN", L"Model 300", L"partial_driver.dll");
    EXPECT_EQ(0, Long(driver_.Call(L"GetLastError")));
    Variant object = driver_.Call(L"GetRFIDObject", {Variant(0L)});
    EXPECT_EQ(nullptr, V_DISPATCH(object.Get()));
}

}  // namespace
