#include "FamilyProperties.h"

#include <cstdio>
#include <cstdlib>

#include "Strings.h"

namespace family_properties {

namespace {

enum class Field {
    U16,
    I16,
    I32,
    RotationBit,      // bit 0x0002 of the options word: 1800 when set, else 0
    Mask32,           // the bits of `mask` in a 32-bit field
    DecimalTenths,    // a decimal text holding the value in tenths
    AnsiText,         // a single-byte text, compared with the allowed values when written
    OptionsByMarker,  // 16-bit at 372 when the word at 320 marks it, else signed 16-bit at 152
};

enum class Conversion { I2Kept, I4Kept, I4OrZero, TextRule };

struct Row {
    DriverFamily family;  // kEveryFamily: the row holds for every family without a row of its own
    long id;
    Field field;
    size_t offset;
    Conversion conversion;
    const wchar_t* values;  // separated by ';'; null: no allowed values
    size_t alsoWritten = 0;  // a second field that receives the same value
    DWORD mask = 0;
};

constexpr DriverFamily kEveryFamily = DriverFamily::Other;
constexpr size_t kOptionsWord = 876;
constexpr size_t kImageFormatText = 556;
constexpr size_t kImageFormatTextSize = 32;
constexpr size_t kRotationText = 888;
constexpr size_t kRotationTextSize = 25;
constexpr size_t kCommonOptionsMarker = 320;
constexpr WORD kCommonOptionsMarkerValue = 0x01FF;
constexpr size_t kMarkedCommonOptions = 372;
constexpr size_t kPlainCommonOptions = 152;

constexpr const wchar_t* kSixteenBits =
    L"0x0001;0x0002;0x0004;0x0008;0x0010;0x0020;0x0040;0x0080;0x0100;0x0200;0x0400;0x0800;0x1000;0x2000;0x4000;"
    L"0x8000";
constexpr const wchar_t* kSupportTypes = L"0;1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16";
constexpr const wchar_t* kFeedModes = L"1;2;3;4;5;6;7;8;9;10;11;12;13;14;15;16;17;18";
constexpr const wchar_t* kMarkedCommonOptionValues =
    L"0x0001;0x0002;0x0004;0x0008;0x0010;0x0020;0x0040;0x0080;0x0100;0x0200;0x0400;0x0800";
constexpr const wchar_t* kPlainCommonOptionValues = L"0x0001;0x0002;0x0004;0x0200";

using F = DriverFamily;
using C = Conversion;

const Row kRows[] = {
    {kEveryFamily, 2, Field::I32, 180, C::I4Kept, kSupportTypes},
    {F::Fam16, 2, Field::I32, 180, C::I4Kept, L"1;2;3"},
    {kEveryFamily, 3, Field::U16, 380, C::I4OrZero, kFeedModes},
    {F::Fam04, 3, Field::U16, 882, C::I4OrZero, kFeedModes, 380},
    {kEveryFamily, 6, Field::OptionsByMarker, 0, C::I4OrZero, nullptr},

    {F::Fam01, 0, Field::I16, 882, C::I2Kept, L"10;60"},
    {F::Fam01, 1, Field::U16, 1212, C::I2Kept, L"0x0000;0x0001;0x0002"},
    {F::Fam01, 4, Field::RotationBit, kOptionsWord, C::I4OrZero, L"0;1800"},
    {F::Fam01, 5, Field::I16, kOptionsWord, C::I4OrZero, kSixteenBits},
    {F::Fam02, 1, Field::U16, 1160, C::I2Kept, L"0x0000;0x0002"},
    {F::Fam02, 4, Field::RotationBit, kOptionsWord, C::I4OrZero, L"0;1800"},
    {F::Fam02, 5, Field::I16, kOptionsWord, C::I4OrZero, nullptr},
    {F::Fam03, 5, Field::U16, kOptionsWord, C::I4OrZero,
     L"0x0001;0x0002;0x0004;0x0008;0x0010;0x0020;0x0040;0x0080;0x0400;0x0800;0x1000;0x2000;0x4000;0x8000"},
    {F::Fam05, 4, Field::DecimalTenths, kRotationText, C::I4OrZero, L"0;900;2700;1800"},
    {F::Fam05, 5, Field::U16, kOptionsWord, C::I4OrZero, nullptr},
    {F::Fam06, 1, Field::AnsiText, kImageFormatText, C::TextRule, L"BINARY;RLE"},
    {F::Fam06, 5, Field::U16, kOptionsWord, C::I4OrZero, nullptr},
    {F::Fam07, 1, Field::AnsiText, kImageFormatText, C::TextRule, L"ASCII;PCX"},
    {F::Fam07, 5, Field::U16, kOptionsWord, C::I4OrZero,
     L"0x0001;0x0001;0x0002;0x0004;0x0008;0x0010;0x0020;0x0040;0x1000;0x2000;0x4000;0x8000"},
    {F::Fam10, 1, Field::Mask32, 880, C::I4OrZero, L"0;0x0002;0x0004", 0, 0x0006},
    {F::Fam10, 5, Field::I32, 900, C::I4Kept, kSixteenBits},
    {F::Fam11, 1, Field::I32, 908, C::I4OrZero, L"0;1"},
    {F::Fam11, 5, Field::U16, 21556, C::I4OrZero, L"0x0001;0x0002;0x0004;0x0008;0x0010;0x0020;0x0040;0x0080"},
    {F::Fam11, 6, Field::U16, 880, C::I4OrZero, kSixteenBits},
    {F::Fam12, 1, Field::AnsiText, kImageFormatText, C::TextRule, L"Compressed Images;ASCII;TOPIX"},
    {F::Fam12, 5, Field::I32, 892, C::I4Kept,
     L"0x0001;0x0002;0x0004;0x0008;0x0020;0x0040;0x0080;0x0100;0x0200;0x0400;0x0800;0x1000;0x2000"},
    {F::Fam13, 1, Field::AnsiText, kImageFormatText, C::TextRule, L"THIN;FAT;PCX"},
    {F::Fam13, 5, Field::U16, kOptionsWord, C::I4OrZero, L"0x0001;0x0002;2;4;0x0020;0x0040;0x0080"},
    {F::Fam14, 1, Field::AnsiText, kImageFormatText, C::TextRule, L"ASCII;PCX"},
    {F::Fam14, 5, Field::U16, kOptionsWord, C::I4OrZero, L"0x0001;0x0010;0x0020;0x2000;0x4000;0x40"},
    {F::Fam15, 5, Field::U16, kOptionsWord, C::I4OrZero,
     L"0x0001;0x0002;0x0004;0x0008;0x0010;0x0020;0x0080;0x0100;0x0200;0x0400;0x0800;0x8000"},
    {F::Fam16, 1, Field::AnsiText, kImageFormatText, C::TextRule, L"1;BMP;2;PCX"},
    {F::Fam16, 5, Field::U16, kOptionsWord, C::I4OrZero, nullptr},
};

// A family's own row wins over the row for every family.
const Row* FindRow(DriverFamily family, long id) {
    const Row* common = nullptr;
    for (const Row& row : kRows) {
        if (row.id != id) continue;
        if (row.family == family && family != kEveryFamily) return &row;
        if (row.family == kEveryFamily) common = &row;
    }
    return common;
}

bool MarkedCommonOptions(const DevmodeBuffer& devmode) {
    return devmode.U16(kCommonOptionsMarker) == kCommonOptionsMarkerValue;
}

// Where the common options live depends on the devmode's own marker.
Row Resolve(const Row& row, const DevmodeBuffer& devmode) {
    if (row.field != Field::OptionsByMarker) return row;
    Row resolved = row;
    bool marked = MarkedCommonOptions(devmode);
    resolved.field = marked ? Field::U16 : Field::I16;
    resolved.offset = marked ? kMarkedCommonOptions : kPlainCommonOptions;
    resolved.values = marked ? kMarkedCommonOptionValues : kPlainCommonOptionValues;
    return resolved;
}

vb::Variant Number(std::optional<long> value) { return value ? vb::Variant(*value) : vb::Variant(); }

// The value a conversion kind yields; nothing means the field is left as it is.
std::optional<long> Convert(Conversion conversion, const VARIANT& value) {
    switch (conversion) {
    case Conversion::I2Kept:
        if (auto number = vb::ToShort(value)) return *number;
        return std::nullopt;
    case Conversion::I4Kept:
        return vb::ToLong(value);
    case Conversion::I4OrZero:
        return vb::ToLong(value).value_or(0);
    case Conversion::TextRule:
        break;
    }
    return std::nullopt;
}

void WriteNumber(const Row& row, DevmodeBuffer& devmode, long value) {
    switch (row.field) {
    case Field::U16:
    case Field::I16:
        devmode.Set16(row.offset, static_cast<WORD>(value));
        if (row.alsoWritten) devmode.Set16(row.alsoWritten, static_cast<WORD>(value));
        break;
    case Field::I32:
        devmode.Set32(row.offset, static_cast<DWORD>(value));
        break;
    case Field::RotationBit:
        if (auto options = devmode.U16(row.offset)) {
            WORD bits = static_cast<WORD>(*options & ~0x0002);
            devmode.Set16(row.offset, value == 1800 ? static_cast<WORD>(bits | 0x0002) : bits);
        }
        break;
    case Field::Mask32:
        // The value itself is not masked: a value with other bits sets them too.
        if (auto field = devmode.I32(row.offset)) {
            devmode.Set32(row.offset, (static_cast<DWORD>(*field) & ~row.mask) | static_cast<DWORD>(value));
        }
        break;
    case Field::DecimalTenths: {
        char text[32];
        std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(value / 10));
        devmode.SetText(row.offset, kRotationTextSize, text);
        break;
    }
    case Field::AnsiText:
    case Field::OptionsByMarker:
        break;
    }
}

std::vector<std::wstring> Split(const std::wstring& list) {
    std::vector<std::wstring> values;
    size_t start = 0;
    for (size_t end; (end = list.find(L';', start)) != std::wstring::npos; start = end + 1) {
        values.push_back(list.substr(start, end - start));
    }
    values.push_back(list.substr(start));
    return values;
}

void WriteText(DriverFamily family, DevmodeBuffer& devmode, const Row& row, const VARIANT& value) {
    std::wstring text = vb::ToText(value).value_or(L"");
    for (const auto& allowed : Split(Values(family, devmode, row.id, L";"))) {
        if (allowed == text) {
            devmode.SetText(row.offset, kImageFormatTextSize, vb::ToAnsi(text));
            return;
        }
    }
}

}  // namespace

vb::Variant Get(DriverFamily family, const DevmodeBuffer& devmode, long id) {
    const Row* found = FindRow(family, id);
    if (!found || devmode.Empty()) return vb::Variant();
    Row row = Resolve(*found, devmode);
    switch (row.field) {
    case Field::U16:
        return Number(devmode.U16(row.offset));
    case Field::I16:
        return Number(devmode.I16(row.offset));
    case Field::I32:
        return Number(devmode.I32(row.offset));
    case Field::RotationBit: {
        auto options = devmode.U16(row.offset);
        return options ? vb::Variant((*options & 0x0002) ? 1800L : 0L) : vb::Variant();
    }
    case Field::Mask32: {
        auto field = devmode.I32(row.offset);
        return field ? vb::Variant(static_cast<long>(*field & static_cast<LONG>(row.mask))) : vb::Variant();
    }
    case Field::DecimalTenths: {
        auto text = devmode.Text(row.offset, kRotationTextSize);
        return text ? vb::Variant(std::atol(text->c_str()) * 10L) : vb::Variant();
    }
    case Field::AnsiText: {
        auto text = devmode.Text(row.offset, kImageFormatTextSize);
        return text ? vb::Variant(vb::FromAnsi(*text)) : vb::Variant();
    }
    case Field::OptionsByMarker:
        break;
    }
    return vb::Variant();
}

void Set(DriverFamily family, DevmodeBuffer& devmode, long id, const VARIANT& value) {
    const Row* found = FindRow(family, id);
    if (!found || devmode.Empty()) return;
    Row row = Resolve(*found, devmode);
    if (row.conversion == Conversion::TextRule) {
        WriteText(family, devmode, row, value);
    } else if (auto number = Convert(row.conversion, value)) {
        WriteNumber(row, devmode, *number);
    }
}

std::wstring Values(DriverFamily family, const DevmodeBuffer& devmode, long id, const std::wstring& separator) {
    std::wstring result = L"0";
    if (!devmode.Empty()) {
        const Row* found = FindRow(family, id);
        if (found) {
            Row row = Resolve(*found, devmode);
            if (row.values) result = vb::ReplaceAll(row.values, L";", separator);
        }
    }
    result = vb::ReplaceAll(vb::ReplaceAll(result, L"(DWORD)", L""), L"0x", L"&h");
    size_t first = result.find_first_not_of(L"\r\n");
    size_t last = result.find_last_not_of(L"\r\n");
    return first == std::wstring::npos ? std::wstring() : result.substr(first, last - first + 1);
}

}  // namespace family_properties
