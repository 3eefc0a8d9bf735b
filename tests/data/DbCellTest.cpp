// Values read from and put into cells of another kind than the column's: what SQLite's loose
// typing lets a file hold must read back as the column's kind, or as nothing, never as a wrong
// value.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <optional>
#include <string>

#include "DateText.h"
#include "DbCell.h"
#include "Strings.h"

namespace {

using vb::DbCell;
using vb::Variant;
using namespace std::string_literals;  // "..."s keeps the zeros inside a literal

DbCell Cell(int storage, sqlite3_int64 integer = 0, double real = 0, const wchar_t* text = L"",
            std::string bytes = {}) {
    DbCell cell;
    cell.storage = storage;
    cell.integer = integer;
    cell.real = real;
    cell.text = text;
    cell.bytes = std::move(bytes);
    return cell;
}
DbCell Int(sqlite3_int64 value) { return Cell(SQLITE_INTEGER, value); }
DbCell Real(double value) { return Cell(SQLITE_FLOAT, 0, value); }
DbCell Text(const wchar_t* text) { return Cell(SQLITE_TEXT, 0, 0, text); }
DbCell Blob(std::string bytes) { return Cell(SQLITE_BLOB, 0, 0, L"", std::move(bytes)); }

std::string Hex(const std::string& bytes) {
    std::string text;
    for (unsigned char byte : bytes) {
        char pair[4];
        std::snprintf(pair, sizeof pair, " %02x", byte);
        text += pair;
    }
    return text.empty() ? text : text.substr(1);
}

std::string Number(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.15g", value);
    return text;
}

// A value as "<kind>:<value>", dates in their stored text form.
std::string Shown(const Variant& value) {
    const VARIANT* v = value.Get();
    switch (value.Type()) {
        case VT_EMPTY:
            return "EMPTY";
        case VT_NULL:
            return "NULL";
        case VT_I4:
            return "I4:" + std::to_string(V_I4(v));
        case VT_R8:
            return "R8:" + Number(V_R8(v));
        case VT_BOOL:
            return V_BOOL(v) == VARIANT_TRUE ? "BOOL:true" : V_BOOL(v) == VARIANT_FALSE ? "BOOL:false" : "BOOL:bad";
        case VT_BSTR:
            return "BSTR:" + vb::ToUtf8(std::wstring(V_BSTR(v), ::SysStringLen(V_BSTR(v))));
        case VT_DATE:
            return "DATE:" + vb::ToUtf8(vb::FormatAutomationDate(V_DATE(v)).value_or(L"invalid"));
        case VT_ARRAY | VT_UI1: {
            const auto* data = static_cast<const char*>(V_ARRAY(v)->pvData);
            return "UI1[]:" + Hex(std::string(data, V_ARRAY(v)->rgsabound[0].cElements));
        }
        default:
            return "type " + std::to_string(value.Type());
    }
}

// A cell as "<storage>:<value>".
std::string Shown(const std::optional<DbCell>& cell) {
    if (!cell) return "refused";
    switch (cell->storage) {
        case SQLITE_INTEGER:
            return "INTEGER:" + std::to_string(cell->integer);
        case SQLITE_FLOAT:
            return "FLOAT:" + Number(cell->real);
        case SQLITE_TEXT:
            return "TEXT:" + vb::ToUtf8(cell->text);
        case SQLITE_BLOB:
            return "BLOB:" + Hex(cell->bytes);
        default:
            return "NULL";
    }
}

template <class Setter>
Variant Make(VARTYPE type, Setter set) {
    Variant value;
    V_VT(value.Put()) = type;
    set(value.Get());
    return value;
}
Variant Date(double days) { return Make(VT_DATE, [&](VARIANT* v) { V_DATE(v) = days; }); }
Variant Null() { return Make(VT_NULL, [](VARIANT*) {}); }
Variant Str(const wchar_t* text) { return Variant(std::wstring(text)); }
// An array of bytes (VT_UI1) or of 16-bit integers (VT_I2) holding `bytes`.
Variant Array(VARTYPE element, const std::string& bytes, UINT dimensions = 1) {
    SAFEARRAYBOUND bounds[2] = {{static_cast<ULONG>(bytes.size()) / (element == VT_I2 ? 2 : 1), 0}, {1, 0}};
    SAFEARRAY* array = ::SafeArrayCreate(element, dimensions, bounds);
    if (!bytes.empty()) std::memcpy(array->pvData, bytes.data(), bytes.size());
    return Make(VT_ARRAY | element, [&](VARIANT* v) { V_ARRAY(v) = array; });
}

const std::string kAbUtf16 = "a\0b\0"s;

TEST(DbCellTest, CellsReadAsTheirColumnsKindOrAsNothing) {
    const struct {
        DbCell cell;
        DBTYPE type;
        const char* read;
    } cases[] = {
        // LONG columns: the store writes unsigned counts with %u, whose 32 bits come back as they
        // went in; wider numbers have no 32-bit reading. Texts read as SQLite's own CAST reads them.
        {Int(-2147483648LL), DBTYPE_I4, "I4:-2147483648"},
        {Int(4294967295LL), DBTYPE_I4, "I4:-1"},
        {Int(4294967296LL), DBTYPE_I4, "EMPTY"},
        {Int(-2147483649LL), DBTYPE_I4, "EMPTY"},
        {Real(-2.7), DBTYPE_I4, "I4:-2"},
        {Real(2.7), DBTYPE_I4, "I4:2"},
        {Real(1e20), DBTYPE_I4, "EMPTY"},
        {Text(L"12 labels"), DBTYPE_I4, "I4:12"},
        {Text(L"010 labels"), DBTYPE_I4, "I4:10"},
        {Text(L"none"), DBTYPE_I4, "I4:0"},
        {Text(L"99999999999999999999"), DBTYPE_I4, "EMPTY"},
        {Cell(SQLITE_NULL), DBTYPE_I4, "I4:0"},
        {Blob("\x05"s), DBTYPE_I4, "I4:0"},
        {Text(L"2.5"), DBTYPE_R8, "R8:2.5"},
        {Text(L"none"), DBTYPE_R8, "R8:0"},
        {Cell(SQLITE_NULL), DBTYPE_R8, "R8:0"},
        // DATE columns: the text form the program writes (seconds, or the whole time, may be
        // missing; nothing may follow), or a day count.
        {Text(L"2024-01-02 03:04:05"), DBTYPE_DATE, "DATE:2024-01-02 03:04:05"},
        {Text(L"2024-01-02"), DBTYPE_DATE, "DATE:2024-01-02 00:00:00"},
        {Text(L"2024-01-02 03:04"), DBTYPE_DATE, "DATE:2024-01-02 03:04:00"},
        {Text(L"2024-01-02 03:04:05 +01:00"), DBTYPE_DATE, "EMPTY"},
        {Text(L"2024-01-02 03:60:00"), DBTYPE_DATE, "EMPTY"},
        {Text(L"2024-02-30 00:00:00"), DBTYPE_DATE, "EMPTY"},
        {Text(L"yesterday"), DBTYPE_DATE, "EMPTY"},
        {Real(45293.5), DBTYPE_DATE, "DATE:2024-01-02 12:00:00"},
        {Int(45293), DBTYPE_DATE, "DATE:2024-01-02 00:00:00"},
        {Real(1e7), DBTYPE_DATE, "EMPTY"},
        {Int(-700000), DBTYPE_DATE, "EMPTY"},
        {Cell(SQLITE_NULL), DBTYPE_DATE, "DATE:1899-12-30 00:00:00"},
        // YESNO columns: anything but zero is true.
        {Int(-1), DBTYPE_BOOL, "BOOL:true"},
        {Real(0.5), DBTYPE_BOOL, "BOOL:true"},
        {Real(1e20), DBTYPE_BOOL, "BOOL:true"},
        {Text(L"-1"), DBTYPE_BOOL, "BOOL:true"},
        {Cell(SQLITE_NULL), DBTYPE_BOOL, "BOOL:false"},
        // Text columns; a blob gives the text made of its bytes, without a half character.
        {Real(0.1), DBTYPE_WSTR, "BSTR:0.1"},
        {Real(1e20), DBTYPE_WSTR, "BSTR:1e+20"},
        {Cell(SQLITE_NULL), DBTYPE_WSTR, "BSTR:"},
        {Blob(kAbUtf16 + "c"), DBTYPE_WSTR, "BSTR:ab"},
        // MEMO columns give bytes: a text's are those of its UTF-16 form.
        {Blob("\xff\x00\x01"s), DBTYPE_IUNKNOWN, "UI1[]:ff 00 01"},
        {Text(L"ab"), DBTYPE_IUNKNOWN, "UI1[]:61 00 62 00"},
        {Int(7), DBTYPE_IUNKNOWN, "UI1[]:37 00"},
        {Cell(SQLITE_NULL), DBTYPE_IUNKNOWN, "UI1[]:"},
        // Columns without a declared type take the kind of their value.
        {Int(-2147483648LL), DBTYPE_VARIANT, "I4:-2147483648"},
        {Int(3000000000LL), DBTYPE_VARIANT, "R8:3000000000"},
        {Real(2.5), DBTYPE_VARIANT, "R8:2.5"},
        {Blob("\x01"s), DBTYPE_VARIANT, "UI1[]:01"},
        {Cell(SQLITE_NULL), DBTYPE_VARIANT, "NULL"},
        {Int(1), DBTYPE_I2, "EMPTY"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.read, Shown(vb::CellToVariant(c.cell, c.type))) << Shown(c.cell) << " as type " << c.type;
    }
}

TEST(DbCellTest, ValuesThatDoNotFitTheirColumnAreRefused) {
    long stored = 17;
    Variant byReference = Make(VT_I4 | VT_BYREF, [&](VARIANT* v) { V_I4REF(v) = &stored; });
    const struct {
        Variant value;
        DBTYPE type;
        const char* cell;
    } cases[] = {
        {Str(L"42"), DBTYPE_I4, "INTEGER:42"},
        {byReference, DBTYPE_I4, "INTEGER:17"},
        {Str(L"12 labels"), DBTYPE_I4, "refused"},
        {Make(VT_R8, [](VARIANT* v) { V_R8(v) = 3e9; }), DBTYPE_I4, "refused"},
        {Null(), DBTYPE_I4, "refused"},
        {Variant(), DBTYPE_I4, "INTEGER:0"},
        {Str(L"none"), DBTYPE_R8, "refused"},
        {Date(45293.5), DBTYPE_DATE, "TEXT:2024-01-02 12:00:00"},
        {Str(L"not a date"), DBTYPE_DATE, "refused"},
        {Date(1e7), DBTYPE_DATE, "refused"},
        {Variant(5L), DBTYPE_BOOL, "INTEGER:-1"},
        {Str(L"maybe"), DBTYPE_BOOL, "refused"},
        {Variant(42L), DBTYPE_WSTR, "TEXT:42"},
        {Null(), DBTYPE_WSTR, "refused"},
        // MEMO columns keep arrays of small integers as their bytes, anything else as text.
        {Array(VT_UI1, "\xff\x00\x01"s), DBTYPE_IUNKNOWN, "BLOB:ff 00 01"},
        {Array(VT_I2, "A\0"s), DBTYPE_IUNKNOWN, "BLOB:41 00"},
        {Array(VT_UI1, "ab", 2), DBTYPE_IUNKNOWN, "refused"},
        {Variant(7L), DBTYPE_IUNKNOWN, "TEXT:7"},
        {Null(), DBTYPE_IUNKNOWN, "refused"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.cell, Shown(vb::VariantToCell(*c.value.Get(), c.type)))
            << "type " << c.value.Type() << " into " << c.type;
    }
}

TEST(DbCellTest, ByteArraysGiveTheTextMadeOfTheirBytes) {
    Variant bytes = Array(VT_UI1, kAbUtf16 + "c");
    Variant byReference = Make(VT_VARIANT | VT_BYREF, [&](VARIANT* v) { V_VARIANTREF(v) = bytes.Get(); });
    EXPECT_EQ(L"ab", vb::VariantToText(*bytes.Get()));
    EXPECT_EQ(L"ab", vb::VariantToText(*byReference.Get()));
    EXPECT_EQ(L"", vb::VariantToText(*Array(VT_UI1, "").Get()));
    EXPECT_FALSE(vb::VariantToText(*Null().Get()));
}

}  // namespace
