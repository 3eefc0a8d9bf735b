#include <gtest/gtest.h>

#include "FamilyProperties.h"

namespace {

using F = DriverFamily;
namespace props = family_properties;

constexpr size_t kDevmodeSize = 21600;

DevmodeBuffer Devmode(size_t size = kDevmodeSize) { return DevmodeBuffer(std::vector<BYTE>(size, 0)); }

long Number(const vb::Variant& value) {
    EXPECT_EQ(VT_I4, value.Type());
    return value.Type() == VT_I4 ? V_I4(value.Get()) : -1;
}

std::wstring Text(const vb::Variant& value) {
    EXPECT_EQ(VT_BSTR, value.Type());
    return value.Type() == VT_BSTR ? V_BSTR(value.Get()) : L"";
}

void Set(F family, DevmodeBuffer& devmode, long id, const vb::Variant& value) {
    props::Set(family, devmode, id, *value.Get());
}

// Only the "0x" values turn into the script's "&h"; a family's own row wins over the common one.
TEST(FamilyPropertyValues, ListsInTheScriptsHexadecimalForm) {
    DevmodeBuffer devmode = Devmode();
    EXPECT_EQ(L"0,900,2700,1800", props::Values(F::Fam05, devmode, 4, L","));
    EXPECT_EQ(L"09002700" L"1800", props::Values(F::Fam05, devmode, 4, L""));
    EXPECT_EQ(std::wstring::npos, props::Values(F::Fam01, devmode, 5, L";").find(L"0x"));
    EXPECT_EQ(L"&h0001;&h0002;2;4;&h0020;&h0040;&h0080", props::Values(F::Fam13, devmode, 5, L";"));
    EXPECT_EQ(L"1;2;3", props::Values(F::Fam16, devmode, 2, L";"));
}

TEST(FamilyPropertyValues, NoneGiveZero) {
    EXPECT_EQ(L"0", props::Values(F::Fam02, Devmode(), 5, L";"));
    EXPECT_EQ(L"0", props::Values(F::Fam08, Devmode(), -1, L";"));
    EXPECT_EQ(L"0", props::Values(F::Fam05, DevmodeBuffer(), 4, L";"));
}

// Rotation through the script members is shown with a device open; here the field kinds' rules.
TEST(FamilyProperties, ImageFormatTextMustBeAnAllowedValue) {
    DevmodeBuffer devmode = Devmode();
    Set(F::Fam06, devmode, 1, vb::Variant(std::wstring(L"RLE")));
    EXPECT_EQ(L"RLE", Text(props::Get(F::Fam06, devmode, 1)));
    Set(F::Fam06, devmode, 1, vb::Variant(std::wstring(L"LE")));
    Set(F::Fam06, devmode, 1, vb::Variant(std::wstring(L"rle")));
    Set(F::Fam06, devmode, 1, vb::Variant(7L));
    EXPECT_EQ(L"RLE", Text(props::Get(F::Fam06, devmode, 1)));
}

TEST(FamilyProperties, ConversionKinds) {
    DevmodeBuffer devmode = Devmode();
    devmode.Set16(882, 60);
    devmode.Set16(876, 0x0004);
    vb::Variant notANumber(std::wstring(L"hot"));
    Set(F::Fam01, devmode, 0, notANumber);  // kept
    EXPECT_EQ(60, Number(props::Get(F::Fam01, devmode, 0)));
    Set(F::Fam01, devmode, 0, vb::Variant(70000L));  // does not fit 16 bits: kept
    EXPECT_EQ(60, Number(props::Get(F::Fam01, devmode, 0)));
    Set(F::Fam01, devmode, 5, notANumber);  // or zero
    EXPECT_EQ(0, Number(props::Get(F::Fam01, devmode, 5)));
    Set(F::Fam07, devmode, 2, vb::Variant(std::wstring(L"12")));
    EXPECT_EQ(12, Number(props::Get(F::Fam07, devmode, 2)));
    // A 16-bit field takes the low 16 bits.
    Set(F::Fam07, devmode, 5, vb::Variant(0x12345L));
    EXPECT_EQ(0x2345, Number(props::Get(F::Fam07, devmode, 5)));
}

TEST(FamilyProperties, CommonOptionsFollowTheirMarker) {
    DevmodeBuffer devmode = Devmode();
    Set(F::Fam03, devmode, 6, vb::Variant(-2L));
    EXPECT_EQ(static_cast<WORD>(-2), devmode.U16(152));
    devmode.Set16(320, 0x01FF);
    Set(F::Fam03, devmode, 6, vb::Variant(0x0800L));
    EXPECT_EQ(0x0800, devmode.U16(372));
    EXPECT_EQ(0x0800, Number(props::Get(F::Fam03, devmode, 6)));
    // FAM11 keeps its common options elsewhere.
    Set(F::Fam11, devmode, 6, vb::Variant(0x4000L));
    EXPECT_EQ(0x4000, devmode.U16(880));
}

TEST(FamilyProperties, MissingRowsDevmodeOrFieldsGiveNothing) {
    DevmodeBuffer devmode = Devmode();
    EXPECT_EQ(VT_EMPTY, props::Get(F::Fam08, devmode, 0).Type());
    EXPECT_EQ(VT_EMPTY, props::Get(F::Fam01, devmode, 9).Type());
    EXPECT_EQ(VT_EMPTY, props::Get(F::Fam01, DevmodeBuffer(), 2).Type());
    DevmodeBuffer none;
    Set(F::Fam01, none, 2, vb::Variant(1L));
    EXPECT_TRUE(none.Empty());

    // A driver whose devmode ends before a family's field: nothing is read or written there.
    DevmodeBuffer small = Devmode(1000);
    Set(F::Fam11, small, 5, vb::Variant(3L));
    EXPECT_EQ(VT_EMPTY, props::Get(F::Fam11, small, 5).Type());
    Set(F::Fam11, small, 1, vb::Variant(3L));
    EXPECT_EQ(3, Number(props::Get(F::Fam11, small, 1)));
}

}  // namespace
