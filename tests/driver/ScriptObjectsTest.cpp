#include <gtest/gtest.h>

#include <cstring>

#include "CICodeEx.h"
#include "CIFontEx.h"
#include "CISize.h"
#include "DispatchClient.h"
#include "DriverWrapper.h"
#include "FakeDriverHandler.h"

namespace {

using vb::Variant;
using vb::test::DispatchClient;

Variant Currency(LONGLONG value) {
    Variant result;
    V_VT(result.Put()) = VT_CY;
    V_CY(result.Get()).int64 = value;
    return result;
}

tagDEVICEFONT FontOfHeight(LONG height) {
    tagDEVICEFONT record{};
    record.font.lfHeight = height;
    wcscpy(record.font.lfFaceName, L"Label Sans");
    return record;
}

tagDEVICECODE CodeOfType(WORD type, LONG option1 = 0) {
    tagDEVICECODE record{};
    std::memcpy(record.description, &type, 2);
    std::memcpy(record.description + 52, &option1, 4);
    LONG rotation = 900;
    std::memcpy(record.description + 32, &rotation, 4);
    wcscpy(reinterpret_cast<wchar_t*>(record.description + 60), L"Code");
    return record;
}

class ScriptObjectsTest : public ::testing::Test {
protected:
    vb::test::FakeDriverHandler handler_;
    CDriverWrapper owner_{&handler_};  // 300 dpi until a driver says otherwise
};

TEST_F(ScriptObjectsTest, FontSizeFromTheDriversHeight) {
    auto* font = new CIFontEx(&owner_, FontOfHeight(-11));
    EXPECT_EQ(26400, font->Size().int64);
    font->Release();
    font = new CIFontEx(&owner_, FontOfHeight(-13));
    EXPECT_EQ(31199, font->Size().int64);  // single precision, as stored fonts expect
    font->Release();
}

TEST_F(ScriptObjectsTest, FontSizeSetsTheHeightInDots) {
    auto* font = new CIFontEx(&owner_, FontOfHeight(-24));
    DispatchClient client(font->AsDispatch());
    EXPECT_EQ(S_OK, client.Put(L"Size", Currency(100000)));
    EXPECT_EQ(-42, font->Font().lfHeight);  // 41.67
    client.Put(L"Size", Currency(72000));
    EXPECT_EQ(-30, font->Font().lfHeight);  // exactly 30
    client.Put(L"Size", Variant(6L));
    EXPECT_EQ(-25, font->Font().lfHeight);  // 25.0
    client.Put(L"Size", Currency(60000 + 600));  // 6.06 pt: 25.25
    EXPECT_EQ(-25, font->Font().lfHeight);
    font->Release();
}

TEST_F(ScriptObjectsTest, FontFlagsAndRotation) {
    auto* font = new CIFontEx(&owner_);
    DispatchClient client(font->AsDispatch());
    client.Put(L"Bold", Variant::Bool(true));
    EXPECT_EQ(700, font->Font().lfWeight);
    client.Put(L"Italic", Variant(0x101L));
    EXPECT_EQ(1, font->Font().lfItalic);
    client.Put(L"Rotation", Variant(900L));
    EXPECT_EQ(900, font->Font().lfEscapement);
    EXPECT_EQ(900, font->Font().lfOrientation);
    EXPECT_EQ(DISP_E_EXCEPTION, client.Put(L"Name", Variant(std::wstring(L"Other"))));
    client.Get(L"8 + 0x03");
    EXPECT_EQ(DISP_E_EXCEPTION, client.LastResult());
    font->Release();

    tagDEVICEFONT semiBold = FontOfHeight(-20);
    semiBold.font.lfWeight = 600;
    font = new CIFontEx(&owner_, semiBold);
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(DispatchClient(font->AsDispatch()).Get(L"Bold").Get()));
    Variant name;
    DispatchClient(font->AsDispatch()).Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, name);
    EXPECT_STREQ(L"Label Sans", V_BSTR(name.Get()));
    font->Release();
}

TEST_F(ScriptObjectsTest, CodeDefaultsOverTheDriversValues) {
    auto* code = new CICodeEx(&owner_, CodeOfType(67));
    DispatchClient client(code->AsDispatch());
    EXPECT_EQ(25, V_I4(client.Get(L"ModuleX").Get()));
    EXPECT_EQ(1, V_I4(client.Get(L"Gap").Get()));
    EXPECT_EQ(900, V_I4(client.Get(L"Rotation").Get()));  // kept
    EXPECT_EQ(0, V_I2(client.Get(L"CheckDigit").Get()));
    EXPECT_EQ(L"Code", std::wstring(V_BSTR(client.Get(L"Name").Get())));
    EXPECT_EQ(DISP_E_EXCEPTION, client.Put(L"Code", Variant(1L)));
    code->Release();

    code = new CICodeEx(&owner_, CodeOfType(120));  // two-dimensional, own check digit
    EXPECT_EQ(200, V_I4(DispatchClient(code->AsDispatch()).Get(L"ModuleY").Get()));
    EXPECT_EQ(5, code->Record().description[36]);
    code->Release();
    code = new CICodeEx(&owner_, CodeOfType(152, 9));
    EXPECT_EQ(4, V_I4(DispatchClient(code->AsDispatch()).Get(L"Option1").Get()));
    code->Release();

    code = new CICodeEx(&owner_);
    DispatchClient unknown(code->AsDispatch());
    EXPECT_EQ(0, V_I2(unknown.Get(L"Code").Get()));
    EXPECT_STREQ(L"", V_BSTR(unknown.Get(L"Name").Get()));
    EXPECT_EQ(25, V_I4(unknown.Get(L"ModuleX").Get()));
    EXPECT_EQ(VARIANT_FALSE, V_BOOL(unknown.Call(L"IsBarcode2D").Get()));
    code->Release();
}

TEST_F(ScriptObjectsTest, DataChecksByCodeType) {
    struct Case {
        WORD type;
        std::wstring data;
        LONG expected;
    };
    const Case cases[] = {
        {79, L"1234", -4},          {79, L"12345", 1},         {79, L"ABCDE", 1},
        {66, std::wstring(12, L'1'), -3}, {66, std::wstring(14, L'1'), -2}, {66, std::wstring(13, L'1'), 1},
        {80, std::wstring(26, L'1'), -2}, {80, L"12A", -1},     {77, L"", 1},
        {81, L"12.5", -1},          {121, std::wstring(14, L'x'), 1}, {121, std::wstring(15, L'x'), -2},
        {123, std::wstring(2000, L'x'), 1}, {123, std::wstring(2001, L'x'), -2},
        {67, std::wstring(99, L'x'), 1}, {67, std::wstring(100, L'x'), -2},
    };
    for (const Case& c : cases) {
        auto* code = new CICodeEx(&owner_, CodeOfType(c.type));
        Variant result = DispatchClient(code->AsDispatch()).Call(L"IsValidData", {Variant(c.data)});
        EXPECT_EQ(c.expected, V_I4(result.Get())) << c.type << " with " << c.data.size() << " characters";
        code->Release();
    }
}

TEST_F(ScriptObjectsTest, SizeHasNoDefaultMember) {
    IDispatch* size = NewSize(3, 4);
    DispatchClient client(size);
    EXPECT_EQ(4, V_I4(client.Get(L"CY").Get()));
    Variant value;
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, client.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, value));
    size->Release();
}

}  // namespace
