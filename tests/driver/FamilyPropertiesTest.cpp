#include <gtest/gtest.h>

#include <algorithm>

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

TEST(FamilyPropertyValues, ListsInTheScriptsHexadecimalForm) {
    DevmodeBuffer devmode = Devmode();
    EXPECT_EQ(L"0;900;2700;1800", props::Values(F::Fam05, devmode, 4, L";"));
    EXPECT_EQ(L"0,900,2700,1800", props::Values(F::Fam05, devmode, 4, L","));
    EXPECT_EQ(L"09002700" L"1800", props::Values(F::Fam05, devmode, 4, L""));

    std::wstring options = props::Values(F::Fam01, devmode, 5, L";");
    EXPECT_EQ(L"&h0001;&h0002;&h0004;&h0008;&h0010;&h0020;&h0040;&h0080;&h0100;&h0200;&h0400;&h0800;&h1000;&h2000;"
              L"&h4000;&h8000",
              options);
    EXPECT_EQ(std::wstring::npos, options.find(L"0x"));
    EXPECT_EQ(L"&h0001;&h0002;2;4;&h0020;&h0040;&h0080", props::Values(F::Fam13, devmode, 5, L";"));
    EXPECT_EQ(L"Compressed Images;ASCII;TOPIX", props::Values(F::Fam12, devmode, 1, L";"));
}

TEST(FamilyPropertyValues, NoneGiveZero) {
    DevmodeBuffer devmode = Devmode();
    EXPECT_EQ(L"0", props::Values(F::Fam02, devmode, 5, L";"));
    for (long id : {0, 1, 4, 5, 7, -1}) EXPECT_EQ(L"0", props::Values(F::Fam08, devmode, id, L";")) << id;
    EXPECT_EQ(L"0", props::Values(F::Fam05, DevmodeBuffer(), 4, L";"));
}

TEST(FamilyPropertyValues, RowsForEveryFamily) {
    DevmodeBuffer devmode = Devmode();
    EXPECT_EQ(L"0;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16", props::Values(F::Fam03, devmode, 2, L";"));
    EXPECT_EQ(L"0;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16", props::Values(F::Other, devmode, 2, L";"));
    EXPECT_EQ(L"1;2;3", props::Values(F::Fam16, devmode, 2, L";"));
    EXPECT_EQ(L"1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18", props::Values(F::Fam09, devmode, 3, L";"));
    EXPECT_EQ(L"&h0001;&h0002;&h0004;&h0200", props::Values(F::Fam08, devmode, 6, L";"));
    devmode.Set16(320, 0x01FF);
    EXPECT_EQ(L"&h0001;&h0002;&h0004;&h0008;&h0010;&h0020;&h0040;&h0080;&h0100;&h0200;&h0400;&h0800",
              props::Values(F::Fam08, devmode, 6, L";"));
    std::wstring fam11 = props::Values(F::Fam11, devmode, 6, L";");
    EXPECT_EQ(16, std::count(fam11.begin(), fam11.end(), L'&'));
}

TEST(FamilyProperties, RotationBitOfTheOptionsWord) {
    DevmodeBuffer devmode = Devmode();
    devmode.Set16(876, 0x8101);
    Set(F::Fam01, devmode, 4, vb::Variant(1800L));
    EXPECT_EQ(0x8103, devmode.U16(876));
    EXPECT_EQ(1800, Number(props::Get(F::Fam01, devmode, 4)));
    // The options word of this family reads signed.
    EXPECT_EQ(static_cast<SHORT>(0x8103), Number(props::Get(F::Fam01, devmode, 5)));
    Set(F::Fam01, devmode, 4, vb::Variant(900L));
    EXPECT_EQ(0x8101, devmode.U16(876));
    EXPECT_EQ(0, Number(props::Get(F::Fam02, devmode, 4)));
    EXPECT_EQ(0x8101, Number(props::Get(F::Fam03, devmode, 5)));
}

TEST(FamilyProperties, RotationKeptAsDecimalTenths) {
    DevmodeBuffer devmode = Devmode();
    Set(F::Fam05, devmode, 4, vb::Variant(2700L));
    EXPECT_EQ("270", devmode.Text(888, 25));
    EXPECT_EQ(2700, Number(props::Get(F::Fam05, devmode, 4)));
    Set(F::Fam05, devmode, 4, vb::Variant(905L));
    EXPECT_EQ(900, Number(props::Get(F::Fam05, devmode, 4)));
    Set(F::Fam05, devmode, 4, vb::Variant(std::wstring(L"left")));
    EXPECT_EQ("0", devmode.Text(888, 25));
}

TEST(FamilyProperties, FeedModeOfFam04IsWrittenTwice) {
    DevmodeBuffer devmode = Devmode();
    Set(F::Fam04, devmode, 3, vb::Variant(7L));
    EXPECT_EQ(7, devmode.U16(380));
    EXPECT_EQ(7, devmode.U16(882));
    devmode.Set16(380, 3);
    EXPECT_EQ(7, Number(props::Get(F::Fam04, devmode, 3)));
    EXPECT_EQ(3, Number(props::Get(F::Fam08, devmode, 3)));
}

TEST(FamilyProperties, MaskedBitsKeepTheOthers) {
    DevmodeBuffer devmode = Devmode();
    devmode.Set32(880, 0x00010001);
    Set(F::Fam10, devmode, 1, vb::Variant(6L));
    EXPECT_EQ(0x00010007, devmode.I32(880));
    EXPECT_EQ(6, Number(props::Get(F::Fam10, devmode, 1)));
    Set(F::Fam10, devmode, 1, vb::Variant(9L));  // the value itself is not masked
    EXPECT_EQ(0x00010009, devmode.I32(880));
    EXPECT_EQ(0, Number(props::Get(F::Fam10, devmode, 1)));
}

TEST(FamilyProperties, ImageFormatTextMustBeAnAllowedValue) {
    DevmodeBuffer devmode = Devmode();
    Set(F::Fam06, devmode, 1, vb::Variant(std::wstring(L"RLE")));
    EXPECT_EQ(L"RLE", Text(props::Get(F::Fam06, devmode, 1)));
    Set(F::Fam06, devmode, 1, vb::Variant(std::wstring(L"LE")));
    Set(F::Fam06, devmode, 1, vb::Variant(std::wstring(L"rle")));
    Set(F::Fam06, devmode, 1, vb::Variant(7L));
    EXPECT_EQ(L"RLE", Text(props::Get(F::Fam06, devmode, 1)));
    Set(F::Fam12, devmode, 1, vb::Variant(std::wstring(L"Compressed Images")));
    EXPECT_EQ(L"Compressed Images", Text(props::Get(F::Fam12, devmode, 1)));
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
    Set(F::Fam01, devmode, 0, vb::Variant(-10L));
    EXPECT_EQ(-10, Number(props::Get(F::Fam01, devmode, 0)));
    Set(F::Fam01, devmode, 5, notANumber);  // or zero
    EXPECT_EQ(0, Number(props::Get(F::Fam01, devmode, 5)));
    devmode.Set32(180, 5);
    Set(F::Fam07, devmode, 2, notANumber);  // kept
    EXPECT_EQ(5, Number(props::Get(F::Fam07, devmode, 2)));
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
    EXPECT_EQ(-2, Number(props::Get(F::Fam03, devmode, 6)));
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
