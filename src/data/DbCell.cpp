#include "DbCell.h"

#include <cwchar>
#include <cwctype>
#include <cstring>

#include "DateText.h"
#include "Strings.h"

namespace vb {

DbCell DbCell::FromColumn(sqlite3_stmt* statement, int index) {
    DbCell cell;
    cell.storage = ::sqlite3_column_type(statement, index);
    switch (cell.storage) {
        case SQLITE_INTEGER:
            cell.integer = ::sqlite3_column_int64(statement, index);
            break;
        case SQLITE_FLOAT:
            cell.real = ::sqlite3_column_double(statement, index);
            break;
        case SQLITE_TEXT: {
            auto text = static_cast<const wchar_t*>(::sqlite3_column_text16(statement, index));
            int bytes = ::sqlite3_column_bytes16(statement, index);
            if (text) cell.text.assign(text, static_cast<size_t>(bytes) / sizeof(wchar_t));
            break;
        }
        case SQLITE_BLOB: {
            auto data = static_cast<const char*>(::sqlite3_column_blob(statement, index));
            int bytes = ::sqlite3_column_bytes(statement, index);
            if (data) cell.bytes.assign(data, static_cast<size_t>(bytes));
            break;
        }
        default:
            break;
    }
    return cell;
}

DbCell DbCell::Utf8Text(std::string text) {
    DbCell cell;
    cell.storage = SQLITE_TEXT;
    cell.bytes = std::move(text);
    cell.utf8 = true;
    return cell;
}

int DbCell::Bind(sqlite3_stmt* statement, int index) const {
    switch (storage) {
        case SQLITE_INTEGER:
            return ::sqlite3_bind_int64(statement, index, integer);
        case SQLITE_FLOAT:
            return ::sqlite3_bind_double(statement, index, real);
        case SQLITE_TEXT:
            if (utf8) {
                return ::sqlite3_bind_text(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
            }
            return ::sqlite3_bind_text16(statement, index, text.data(), static_cast<int>(text.size() * sizeof(wchar_t)),
                                         SQLITE_STATIC);
        case SQLITE_BLOB:
            return ::sqlite3_bind_blob(statement, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_STATIC);
        default:
            return ::sqlite3_bind_null(statement, index);
    }
}

namespace {

// The automation date range, from 1 January 100 to 31 December 9999.
constexpr double kFirstDay = -657434;
constexpr double kLastDay = 2958465;

bool DeclaredAs(std::wstring_view declared, std::wstring_view prefix) {
    return declared.size() >= prefix.size() && EqualsNoCase(declared.substr(0, prefix.size()), prefix);
}

// A LONG column holds 32 bits. The store writes unsigned counts with %u, so values up to
// 0xFFFFFFFF come back as the bits they went in with; a wider number has no 32-bit reading
// (cutting it would give a wrong one). Reals and texts are cut as SQLite's CAST cuts them.
std::optional<long> AsLong(const DbCell& cell) {
    constexpr sqlite3_int64 kLowest = -0x80000000LL;
    constexpr sqlite3_int64 kHighest = 0xFFFFFFFFLL;
    sqlite3_int64 value = 0;
    switch (cell.storage) {
        case SQLITE_INTEGER:
            value = cell.integer;
            break;
        case SQLITE_FLOAT:
            // Checked before the cast: a real beyond 64 bits has no defined integer.
            if (!(cell.real > static_cast<double>(kLowest) - 1 && cell.real < static_cast<double>(kHighest) + 1)) {
                return std::nullopt;
            }
            value = static_cast<sqlite3_int64>(cell.real);
            break;
        case SQLITE_TEXT:
            value = std::wcstoll(cell.text.c_str(), nullptr, 10);
            break;
        default:
            break;
    }
    if (value < kLowest || value > kHighest) return std::nullopt;
    return static_cast<long>(static_cast<unsigned long>(value));
}

double AsReal(const DbCell& cell) {
    switch (cell.storage) {
        case SQLITE_INTEGER:
            return static_cast<double>(cell.integer);
        case SQLITE_FLOAT:
            return cell.real;
        case SQLITE_TEXT:
            return std::wcstod(cell.text.c_str(), nullptr);
        default:
            return 0;
    }
}

std::wstring AsText(const DbCell& cell) {
    switch (cell.storage) {
        case SQLITE_INTEGER:
            return std::to_wstring(cell.integer);
        case SQLITE_FLOAT: {
            wchar_t text[32];
            std::swprintf(text, 32, L"%.15g", cell.real);
            return text;
        }
        case SQLITE_TEXT:
            return cell.text;
        case SQLITE_BLOB:
            return std::wstring(reinterpret_cast<const wchar_t*>(cell.bytes.data()), cell.bytes.size() / sizeof(wchar_t));
        default:
            return {};
    }
}

Variant ByteArray(const void* data, size_t size) {
    Variant result;
    SAFEARRAY* array = ::SafeArrayCreateVector(VT_UI1, 0, static_cast<ULONG>(size));
    if (!array) return result;
    if (size) {
        void* target = nullptr;
        if (FAILED(::SafeArrayAccessData(array, &target))) {
            ::SafeArrayDestroy(array);
            return result;
        }
        std::memcpy(target, data, size);
        ::SafeArrayUnaccessData(array);
    }
    V_VT(result.Put()) = VT_ARRAY | VT_UI1;
    V_ARRAY(result.Get()) = array;
    return result;
}

template <class Setter>
Variant Make(VARTYPE type, Setter set) {
    Variant result;
    VARIANT* v = result.Put();
    V_VT(v) = type;
    set(v);
    return result;
}

// The bytes of a one-dimensional array of 1-, 2- or 4-byte integers.
std::optional<std::string> ArrayBytes(const VARIANT& value) {
    VARTYPE element = V_VT(&value) & VT_TYPEMASK;
    if (!(V_VT(&value) & VT_ARRAY) || (V_VT(&value) & VT_BYREF)) return std::nullopt;
    if (element != VT_UI1 && element != VT_I1 && element != VT_I2 && element != VT_UI2 && element != VT_I4 &&
        element != VT_UI4) {
        return std::nullopt;
    }
    SAFEARRAY* array = V_ARRAY(&value);
    if (!array || ::SafeArrayGetDim(array) != 1) return std::nullopt;
    LONG lower = 0, upper = -1;
    ::SafeArrayGetLBound(array, 1, &lower);
    ::SafeArrayGetUBound(array, 1, &upper);
    size_t count = upper >= lower ? static_cast<size_t>(upper - lower) + 1 : 0;
    size_t size = count * ::SafeArrayGetElemsize(array);
    std::string bytes(size, '\0');
    void* data = nullptr;
    if (size && SUCCEEDED(::SafeArrayAccessData(array, &data))) {
        std::memcpy(bytes.data(), data, size);
        ::SafeArrayUnaccessData(array);
    }
    return bytes;
}

}  // namespace

DBTYPE ColumnTypeFromDeclared(const wchar_t* declared) {
    if (!declared || !*declared) return DBTYPE_VARIANT;
    std::wstring_view type(declared);
    if (DeclaredAs(type, L"VARCHAR") || DeclaredAs(type, L"CHAR") || DeclaredAs(type, L"NVARCHAR")) return DBTYPE_WSTR;
    if (DeclaredAs(type, L"TEXT") || DeclaredAs(type, L"MEMO") || DeclaredAs(type, L"CLOB") || DeclaredAs(type, L"BLOB")) {
        return DBTYPE_IUNKNOWN;
    }
    if (DeclaredAs(type, L"INT") || DeclaredAs(type, L"LONG")) return DBTYPE_I4;
    if (DeclaredAs(type, L"DATE")) return DBTYPE_DATE;
    if (DeclaredAs(type, L"YESNO") || DeclaredAs(type, L"BOOL") || DeclaredAs(type, L"BIT")) return DBTYPE_BOOL;
    if (DeclaredAs(type, L"REAL") || DeclaredAs(type, L"DOUBLE") || DeclaredAs(type, L"FLOAT")) return DBTYPE_R8;
    return DBTYPE_VARIANT;
}

DBTYPE VariantCellType(const DbCell& cell) {
    switch (cell.storage) {
        case SQLITE_INTEGER:
            return cell.integer == static_cast<LONG>(cell.integer) ? DBTYPE_I4 : DBTYPE_R8;
        case SQLITE_FLOAT:
            return DBTYPE_R8;
        case SQLITE_TEXT:
            return DBTYPE_BSTR;
        case SQLITE_BLOB:
            return DBTYPE_UI1 | DBTYPE_ARRAY;
        default:
            return DBTYPE_NULL;
    }
}

Variant CellToVariant(const DbCell& cell, DBTYPE type) {
    switch (type) {
        case DBTYPE_I4: {
            auto value = AsLong(cell);
            return value ? Variant(*value) : Variant();
        }
        case DBTYPE_R8:
            return Make(VT_R8, [&](VARIANT* v) { V_R8(v) = AsReal(cell); });
        case DBTYPE_BOOL:
            // Compared as a real, so that 0.5 is not cut to false.
            return Variant::Bool(AsReal(cell) != 0);
        case DBTYPE_WSTR:
        case DBTYPE_BSTR:
            return Variant(AsText(cell));
        case DBTYPE_DATE: {
            // An empty date reads as the zero date, which lists show as an empty cell.
            if (cell.storage == SQLITE_NULL) return Make(VT_DATE, [](VARIANT* v) { V_DATE(v) = 0; });
            if (cell.storage == SQLITE_TEXT) {
                auto date = ParseDateTime(cell.text);
                if (!date) return Variant();
                return Make(VT_DATE, [&](VARIANT* v) { V_DATE(v) = *date; });
            }
            // A day count outside the years 100 to 9999 is no date: nothing could show it.
            const double days = AsReal(cell);
            if (!(days > kFirstDay - 1 && days < kLastDay + 1)) return Variant();
            return Make(VT_DATE, [&](VARIANT* v) { V_DATE(v) = days; });
        }
        case DBTYPE_IUNKNOWN: {
            if (cell.storage == SQLITE_BLOB) return ByteArray(cell.bytes.data(), cell.bytes.size());
            std::wstring text = AsText(cell);
            return ByteArray(text.data(), text.size() * sizeof(wchar_t));
        }
        case DBTYPE_VARIANT:
            if (cell.storage == SQLITE_NULL) return Make(VT_NULL, [](VARIANT*) {});
            return CellToVariant(cell, cell.storage == SQLITE_BLOB ? DBTYPE{DBTYPE_IUNKNOWN} : VariantCellType(cell));
        default:
            return Variant();
    }
}

std::optional<DbCell> VariantToCell(const VARIANT& value, DBTYPE type) {
    Variant source;
    if (FAILED(::VariantCopyInd(source.Put(), const_cast<VARIANT*>(&value)))) return std::nullopt;
    DbCell cell;
    if (type == DBTYPE_IUNKNOWN) {
        if (auto bytes = ArrayBytes(*source.Get())) {
            // Kept as binary: read as text they would be rewritten wherever they are no valid
            // UTF-16. Read as a string, they still give the text whose bytes they are.
            cell.storage = SQLITE_BLOB;
            cell.bytes = std::move(*bytes);
            return cell;
        }
        type = DBTYPE_WSTR;
    }
    VARTYPE target = type == DBTYPE_WSTR ? VARTYPE{VT_BSTR} : static_cast<VARTYPE>(type);
    Variant converted;
    if (FAILED(::VariantChangeType(converted.Put(), source.Get(), 0, target))) return std::nullopt;
    const VARIANT* v = converted.Get();
    switch (target) {
        case VT_I4:
            cell.storage = SQLITE_INTEGER;
            cell.integer = V_I4(v);
            return cell;
        case VT_BOOL:
            cell.storage = SQLITE_INTEGER;
            cell.integer = V_BOOL(v) ? -1 : 0;
            return cell;
        case VT_R8:
            cell.storage = SQLITE_FLOAT;
            cell.real = V_R8(v);
            return cell;
        case VT_DATE: {
            auto text = FormatAutomationDate(V_DATE(v));
            if (!text) return std::nullopt;
            cell.storage = SQLITE_TEXT;
            cell.text = *text;
            return cell;
        }
        case VT_BSTR:
            cell.storage = SQLITE_TEXT;
            if (V_BSTR(v)) cell.text.assign(V_BSTR(v), ::SysStringLen(V_BSTR(v)));
            return cell;
        default:
            return std::nullopt;
    }
}

std::optional<std::wstring> VariantToText(const VARIANT& value) {
    const VARIANT* v = &value;
    if (V_VT(v) == (VT_VARIANT | VT_BYREF) && V_VARIANTREF(v)) v = V_VARIANTREF(v);
    if (V_VT(v) == (VT_ARRAY | VT_UI1)) {
        auto bytes = ArrayBytes(*v);
        if (!bytes) return std::nullopt;
        return std::wstring(reinterpret_cast<const wchar_t*>(bytes->data()), bytes->size() / sizeof(wchar_t));
    }
    return ToText(*v);
}

}  // namespace vb
