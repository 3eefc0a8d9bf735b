#include <gtest/gtest.h>

#include <cstring>

#include "CICodeEx.h"
#include "CIFontEx.h"
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
        {Currency(100000), -42}, {Currency(72000), -30}, {Variant(6L), -25}, {Currency(60600), -25}};
    for (const auto& [size, height] : sizes) {
        EXPECT_EQ(S_OK, client.Put(L"Size", size));
        EXPECT_EQ(height, font->Font().lfHeight);
    }
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
    };
    for (const Case& c : cases) {
        auto* code = new CICodeEx(&owner_, CodeOfType(c.type));
        Variant result = DispatchClient(code->AsDispatch()).Call(L"IsValidData", {Variant(c.data)});
        EXPECT_EQ(c.expected, V_I4(result.Get())) << c.type << " with " << c.data.size() << " characters";
        code->Release();
    }
}

}  // namespace
