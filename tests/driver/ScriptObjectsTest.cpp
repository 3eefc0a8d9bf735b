#include <gtest/gtest.h>

#include <cstring>
#include <tuple>

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

// Points from the driver's height in dots at 300 dpi (in single precision, as stored fonts expect),
// and the height back from a size in points, rounded to whole dots.
TEST_F(ScriptObjectsTest, FontSizeAndHeightInDots) {
    for (auto [height, size] : {std::pair{-11L, 26400LL}, {-13L, 31199LL}}) {
        auto* font = new CIFontEx(&owner_, FontOfHeight(height));
        EXPECT_EQ(size, font->Size().int64) << height;
        font->Release();
    }
    auto* font = new CIFontEx(&owner_, FontOfHeight(-24));
    DispatchClient client(font->AsDispatch());
    const std::pair<Variant, LONG> sizes[] = {
        {Currency(100000), -42}, {Currency(72000), -30}, {Variant(6L), -25}, {Currency(60600), -25},
        {Variant(3L), -12}};  // 12.5 dots: an exact half goes down
    for (const auto& [size, height] : sizes) {
        EXPECT_EQ(S_OK, client.Put(L"Size", size));
        EXPECT_EQ(height, font->Font().lfHeight);
    }
    font->Release();
}

TEST_F(ScriptObjectsTest, FontFlagsAndRotation) {
    auto* font = new CIFontEx(&owner_);  // the stock GUI font, 11 pixels high
    EXPECT_EQ(26400, font->Size().int64);
    DispatchClient client(font->AsDispatch());
    client.Put(L"Bold", Variant::Bool(true));
    EXPECT_EQ(700, font->Font().lfWeight);
    EXPECT_EQ(VARIANT_TRUE, V_BOOL(client.Get(L"Bold").Get()));
    client.Put(L"Bold", Variant::Bool(false));
    EXPECT_EQ(400, font->Font().lfWeight);
    client.Put(L"Underline", Variant(1L));
    EXPECT_EQ(1, font->Font().lfUnderline);
    EXPECT_EQ(0, font->Font().lfStrikeOut);
    client.Put(L"Charset", Variant(0x180L));
    EXPECT_EQ(0x80, font->Font().lfCharSet);
    client.Put(L"Italic", Variant(0x101L));
    EXPECT_EQ(1, font->Font().lfItalic);
    client.Put(L"Rotation", Variant(900L));
    EXPECT_EQ(900, font->Font().lfEscapement);
    EXPECT_EQ(900, font->Font().lfOrientation);
    EXPECT_EQ(DISP_E_EXCEPTION, client.Put(L"Name", Variant(std::wstring(L"Other"))));
    font->Release();
}

TEST_F(ScriptObjectsTest, CodeDefaultsOverTheDriversValues) {
    auto* code = new CICodeEx(&owner_, CodeOfType(67));
    DispatchClient client(code->AsDispatch());
    EXPECT_EQ(25, V_I4(client.Get(L"ModuleX").Get()));
    EXPECT_EQ(900, V_I4(client.Get(L"Rotation").Get()));  // kept
    EXPECT_EQ(DISP_E_EXCEPTION, client.Put(L"Code", Variant(1L)));
    code->Release();

    code = new CICodeEx(&owner_, CodeOfType(120));  // two-dimensional, own check digit
    EXPECT_EQ(200, V_I4(DispatchClient(code->AsDispatch()).Get(L"ModuleY").Get()));
    EXPECT_EQ(5, code->Record().description[36]);
    code->Release();

    // Option1 as the type needs it: cleared for MicroPDF, at most 4 for type 152.
    for (auto [type, option1, expected] : {std::tuple{59, 7L, 0L}, {152, 9L, 4L}, {123, 7L, 7L}}) {
        code = new CICodeEx(&owner_, CodeOfType(static_cast<WORD>(type), option1));
        EXPECT_EQ(expected, V_I4(DispatchClient(code->AsDispatch()).Get(L"Option1").Get())) << type;
        EXPECT_EQ(3, code->Record().description[36]) << type;
        code->Release();
    }
}

// A code read as a value gives its name; a size has no value, and its fields are written apart.
TEST_F(ScriptObjectsTest, CodeAndSizeReadAsValues) {
    auto* code = new CICodeEx(&owner_, CodeOfType(67));
    Variant name;
    EXPECT_EQ(S_OK, DispatchClient(code->AsDispatch()).Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, name));
    EXPECT_EQ(VT_BSTR, name.Type());
    code->Release();

    IDispatch* object = NewSize(3, 4);
    DispatchClient size(object);
    Variant value;
    EXPECT_EQ(DISP_E_MEMBERNOTFOUND, size.Invoke(DISPID_VALUE, DISPATCH_PROPERTYGET, {}, value));
    size.Put(L"cy", Variant(9L));
    EXPECT_EQ(3, V_I4(size.Get(L"cx").Get()));
    EXPECT_EQ(9, V_I4(size.Get(L"cy").Get()));
    object->Release();
}

TEST_F(ScriptObjectsTest, DataChecksByCodeType) {
    struct Case {
        WORD type;
        std::wstring data;
        LONG expected;
    };
    // One refusal of each rule, and the boundaries of the fixed and the general lengths.
    const Case cases[] = {
        {79, L"1234", -4},          {66, std::wstring(12, L'1'), -3}, {66, std::wstring(14, L'1'), -2},
        {66, std::wstring(13, L'1'), 1}, {80, L"12A", -1},        {121, std::wstring(15, L'x'), -2},
        {123, std::wstring(2001, L'x'), -2}, {67, std::wstring(99, L'x'), 1}, {67, std::wstring(100, L'x'), -2},
        {79, std::wstring(11, L'1'), 1}, {80, std::wstring(26, L'1'), -2}, {81, L"12A", -1},
        {121, std::wstring(14, L'x'), 1}, {153, std::wstring(2000, L'x'), 1},
    };
    for (const Case& c : cases) {
        auto* code = new CICodeEx(&owner_, CodeOfType(c.type));
        Variant result = DispatchClient(code->AsDispatch()).Call(L"IsValidData", {Variant(c.data)});
        EXPECT_EQ(c.expected, V_I4(result.Get())) << c.type << " with " << c.data.size() << " characters";
        code->Release();
    }
}

}  // namespace
