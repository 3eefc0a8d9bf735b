#include "OpenDeviceFixture.h"

namespace {

using vb::Variant;
using vb::test::DispatchClient;

class TextMembersTest : public OpenDeviceFixture {
protected:
    void SetUp() override { Open(L"FAM03.PRN", L"Model 300"); }
    std::wstring NameOf(const Variant& object) {
        return V_VT(object.Get()) == VT_DISPATCH ? Text(DispatchClient(V_DISPATCH(object.Get())).Get(L"Name")) : L"<none>";
    }
    SIZE SizeOf(const Variant& object) {
        DispatchClient size(V_DISPATCH(object.Get()));
        return SIZE{Long(size.Get(L"cx")), Long(size.Get(L"cy"))};
    }
};

TEST_F(TextMembersTest, FontsAndCodesByNameOrPosition) {
    EXPECT_EQ(L" LABEL SANS ", NameOf(driver_.Call(L"GetFont", {Str(L"label sans")})));
    EXPECT_EQ(L"Label Mono", NameOf(driver_.Call(L"GetFont", {Variant(0L)})));
    EXPECT_EQ(L"Label Serif", NameOf(driver_.Call(L"GetFont", {Str(L" 2")})));
    std::wstring fallback = NameOf(driver_.Call(L"GetFont", {Str(L"Nothing like it")}));
    EXPECT_NE(L"", fallback);
    EXPECT_EQ(fallback, NameOf(driver_.Call(L"GetFont", {Variant(3L)})));

    EXPECT_EQ(L"EAN 13", NameOf(driver_.Call(L"GetCode", {Variant(1L)})));
    EXPECT_EQ(L"QR Code", NameOf(driver_.Call(L"GetCode", {Str(L"qr CODE")})));
    EXPECT_EQ(L"", NameOf(driver_.Call(L"GetCode", {Str(L"Code 39")})));

    // Fonts and codes are known without a device as long as the maps hold them.
    wrapper_.ReleaseDriver();
    EXPECT_EQ(L"", NameOf(driver_.Call(L"GetCode", {Str(L"EAN 13")})));
}

TEST_F(TextMembersTest, OnlyTheBenchsOwnFontAndCodeObjectsAreSelected) {
    Variant gdiFont = driver_.Call(L"GetFontGDI", {Str(L"Arial"), Variant(10L)});
    EXPECT_EQ(0, Long(driver_.Call(L"SelectFont", {gdiFont})));
    EXPECT_EQ(0, Long(driver_.Call(L"SelectCode", {driver_.Call(L"GetFont", {Variant(0L)})})));
    EXPECT_EQ(0, Long(driver_.Call(L"SelectFont", {Variant(5L)})));

    sandbox_.ClearCalls();
    Variant code = driver_.Call(L"GetCode", {Str(L"Code 128")});
    DispatchClient(V_DISPATCH(code.Get())).Put(L"ModuleX", Variant(30L));
    EXPECT_EQ(1, Long(driver_.Call(L"SelectCode", {code})));
    EXPECT_EQ(1, Long(driver_.Call(L"SelectFont", {driver_.Call(L"GetFont", {Variant(0L)})})));
    // Module sizes reach the driver in dots: 30 and 25 hundredths of a millimetre at 300 dpi.
    EXPECT_EQ((std::vector<std::string>{"D_SelectCodeW(1, Code 128, 4, 3)", "D_SelectFontW(1, Label Mono, -20, 0)"}),
              CallsOf({"D_Select"}));
}

TEST_F(TextMembersTest, ExtentsComeBackInHundredthsOfAMillimetre) {
    // The default font is 32 dots high and 16 wide a character: 4 characters, 64 x 32 dots.
    SIZE text = SizeOf(driver_.Call(L"GetTextExt", {Str(L"ABCD"), Variant(99L)}));
    EXPECT_EQ(542, text.cx);
    EXPECT_EQ(271, text.cy);

    // Code 128 as the driver enumerated it: module 25, height 1000, 11 modules a character.
    SIZE code = SizeOf(driver_.Call(L"GetCodeExt", {Str(L"12345"), Variant(5L)}));
    EXPECT_EQ(11642, code.cx);
    EXPECT_EQ(8467, code.cy);
    // The driver is never told to read past the data.
    EXPECT_EQ(11642, SizeOf(driver_.Call(L"GetCodeExt", {Str(L"12345"), Variant(50L)})).cx);
    EXPECT_EQ(0, SizeOf(driver_.Call(L"GetCodeExt", {Str(L"12345"), Variant(-3L)})).cx);
    EXPECT_TRUE(Logged("D_GetCodeExtW(1, 12345, 5)"));

    wrapper_.ReleaseDriver();
    SIZE none = SizeOf(driver_.Call(L"GetTextExt", {Str(L"ABCD"), Variant(4L)}));
    EXPECT_EQ(0, none.cx);
    EXPECT_EQ(0, none.cy);
}

TEST_F(TextMembersTest, DataChecksPassTheDriversRefusalsThrough) {
    EXPECT_EQ(-3, Long(driver_.Call(L"IsValidData", {Str(L"")})));
    EXPECT_EQ(-1, Long(driver_.Call(L"IsValidData", {Str(L"a?b")})));
    EXPECT_EQ(1, Long(driver_.Call(L"IsValidData", {Str(L"12345")})));
    EXPECT_EQ(-2, Long(driver_.Call(L"IsValidData", {Str(std::wstring(100, L'1'))})));
    wrapper_.ReleaseDriver();
    EXPECT_EQ(0, Long(driver_.Call(L"IsValidData", {Str(L"12345")})));
}

TEST_F(TextMembersTest, GdiTextExtentWorksWithoutADevice) {
    wrapper_.Unload();
    Variant font = driver_.Call(L"GetFontGDI", {Str(L""), Variant(0L)});
    ASSERT_EQ(VT_DISPATCH, font.Type());
    // The platform may substitute the face and round the size to whole pixels.
    DispatchClient description(V_DISPATCH(font.Get()));
    EXPECT_NE(L"", Text(description.Get(L"Name")));
    Variant size = description.Get(L"Size");
    ASSERT_EQ(VT_CY, size.Type());
    EXPECT_NEAR(140000, V_CY(size.Get()).int64, 10000);

    SIZE whole = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(5L), font}));
    SIZE part = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(2L), font}));
    SIZE beyond = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(500L), font}));
    EXPECT_GT(whole.cx, part.cx);
    EXPECT_GT(part.cx, 0);
    EXPECT_EQ(whole.cx, beyond.cx);
    SIZE nothing = SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L""), Variant(5L), font}));
    EXPECT_EQ(0, nothing.cx);
    EXPECT_EQ(0, SizeOf(driver_.Call(L"GetTextExtGDI", {Str(L"Label"), Variant(5L), Variant(7L)})).cx);

    Variant twelve = driver_.Call(L"GetFontGDI", {Str(L"Arial"), Variant(-12L)});
    EXPECT_NEAR(120000, V_CY(DispatchClient(V_DISPATCH(twelve.Get())).Get(L"Size").Get()).int64, 10000);
}

}  // namespace
