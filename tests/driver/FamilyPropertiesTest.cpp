#include <gtest/gtest.h>

#include <cstring>

#include "FamilyProperties.h"
#include "Strings.h"

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
    const struct {
        F family;
        long id;
        const wchar_t* values;
    } lists[] = {
        {F::Fam08, 2, L"0;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16"},
        {F::Fam08, 3, L"1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18"},
        {F::Fam08, 6, L"&h0001;&h0002;&h0004;&h0200"},
        {F::Fam02, 1, L"&h0000;&h0002"},
        {F::Fam13, 1, L"THIN;FAT;PCX"},
    };
    for (const auto& list : lists) {
        EXPECT_EQ(list.values, props::Values(list.family, devmode, list.id, L";"))
            << static_cast<int>(list.family) << " id " << list.id;
    }
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
    // The longest allowed text fits the field whole.
    Set(F::Fam12, devmode, 1, vb::Variant(std::wstring(L"Compressed Images")));
    EXPECT_EQ("Compressed Images", devmode.Text(556, 32));
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
    Set(F::Fam11, devmode, 1, vb::Variant(1L));
    Set(F::Fam11, devmode, 1, notANumber);
    EXPECT_EQ(0, Number(props::Get(F::Fam11, devmode, 1)));
    Set(F::Fam07, devmode, 2, vb::Variant(std::wstring(L"12")));
    EXPECT_EQ(12, Number(props::Get(F::Fam07, devmode, 2)));
    Set(F::Fam07, devmode, 2, notANumber);
    EXPECT_EQ(12, Number(props::Get(F::Fam07, devmode, 2)));
    // A 16-bit field takes the low 16 bits.
    Set(F::Fam07, devmode, 5, vb::Variant(0x12345L));
    EXPECT_EQ(0x2345, Number(props::Get(F::Fam07, devmode, 5)));
}

// Each family row's value lands in its own devmode field and nowhere else, and reads back from
// there signed or unsigned as the field is.
TEST(FamilyProperties, EachRowWritesItsOwnField) {
    const struct {
        F family;
        long id;
        size_t offset;
        size_t width;
        long written;
        long read;
    } rows[] = {
        {F::Fam08, 2, 180, 4, 0x10009, 0x10009}, {F::Fam08, 3, 380, 2, 7, 7},
        {F::Fam01, 0, 882, 2, -5, -5},           {F::Fam01, 1, 1212, 2, 2, 2},
        {F::Fam01, 5, 876, 2, 0x8004, -0x7FFC},  {F::Fam02, 1, 1160, 2, 2, 2},
        {F::Fam03, 5, 876, 2, 0x8004, 0x8004},   {F::Fam10, 5, 900, 4, 0x18000, 0x18000},
        {F::Fam11, 1, 908, 4, 0x10001, 0x10001}, {F::Fam11, 5, 21556, 2, 0x80, 0x80},
        {F::Fam12, 5, 892, 4, 0x12000, 0x12000},
    };
    for (const auto& row : rows) {
        DevmodeBuffer devmode = Devmode();
        Set(row.family, devmode, row.id, vb::Variant(row.written));
        SCOPED_TRACE(testing::Message() << static_cast<int>(row.family) << " id " << row.id);
        EXPECT_EQ(row.read, Number(props::Get(row.family, devmode, row.id)));
        std::vector<BYTE> expected(kDevmodeSize, 0);
        for (size_t i = 0; i < row.width; ++i) expected[row.offset + i] = static_cast<BYTE>(row.written >> (8 * i));
        EXPECT_EQ(0, std::memcmp(expected.data(), devmode.Data(), kDevmodeSize));
    }

    // FAM04 keeps its feed mode in its own field and in the common one alike.
    DevmodeBuffer devmode = Devmode();
    Set(F::Fam04, devmode, 3, vb::Variant(7L));
    EXPECT_EQ(7, devmode.U16(380));
    EXPECT_EQ(7, devmode.U16(882));
}

// Rotation by a bit of the options word, by a decimal text in degrees, and an image format in
// two bits of a wider field: each change keeps what else shares the field.
TEST(FamilyProperties, FieldsSharedWithOtherSettings) {
    DevmodeBuffer devmode = Devmode();
    devmode.Set16(876, 0x0005);
    Set(F::Fam01, devmode, 4, vb::Variant(1800L));
    EXPECT_EQ(0x0007, devmode.U16(876));
    EXPECT_EQ(1800, Number(props::Get(F::Fam01, devmode, 4)));
    Set(F::Fam01, devmode, 4, vb::Variant(0L));
    EXPECT_EQ(0x0005, devmode.U16(876));
    EXPECT_EQ(0, Number(props::Get(F::Fam01, devmode, 4)));

    Set(F::Fam05, devmode, 4, vb::Variant(905L));
    EXPECT_EQ("90", devmode.Text(888, 25));
    EXPECT_EQ(900, Number(props::Get(F::Fam05, devmode, 4)));

    devmode.Set32(880, 0x101);
    Set(F::Fam10, devmode, 1, vb::Variant(4L));
    EXPECT_EQ(0x105, devmode.I32(880));
    EXPECT_EQ(4, Number(props::Get(F::Fam10, devmode, 1)));
    Set(F::Fam10, devmode, 1, vb::Variant(9L));  // not masked: sets bits outside the two too
    EXPECT_EQ(0x109, devmode.I32(880));
    EXPECT_EQ(0, Number(props::Get(F::Fam10, devmode, 1)));
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

TEST(DriverFamilyTest, KnownByTheLibraryFileNameInAnyCase) {
    EXPECT_EQ(DriverFamily::Fam01, FamilyOf(L"FAM01.PRN"));
    EXPECT_EQ(DriverFamily::Fam09, FamilyOf(L"fam09.prn"));
    EXPECT_EQ(DriverFamily::Fam10, FamilyOf(L"Fam10.Prn"));
    EXPECT_EQ(DriverFamily::Fam16, FamilyOf(L"FAM16.PRN"));
    for (const wchar_t* other : {L"FAM17.PRN", L"FAM00.PRN", L"FAM1.PRN", L"FAM01.DLL", L"sample_driver.dll"}) {
        EXPECT_EQ(DriverFamily::Other, FamilyOf(other)) << vb::ToUtf8(other);
    }
}

}  // namespace
