#pragma once
#include <windows.h>

#include <cstddef>
#include <string>
#include <string_view>

#include "Strings.h"

// The record that describes one template variable, or one printed object, to the driver. It
// crosses the library boundary unchanged, so its layout is fixed to the byte.
#pragma pack(push, 1)
struct _tagvarinfo {
    WORD Type;
    WORD reserved1;
    DWORD MaxLength;
    BOOL Counter;
    char Name[1024];
    char Value[1024];
    char Prefix[1024];
    char Suffix[1024];
    char Format[1024];
    char FormatExtra[1024];
    char reserved4[8];  // not written
    char ImportValue[1024];
    char Increment[256];
    char CounterBase;
    char reserved2[256];
    char CounterFill;
    char CounterStep[256];
    char CounterStart[1024];
    char CounterMax[1024];
    WORD reserved3;
};
#pragma pack(pop)

static_assert(sizeof(_tagvarinfo) == 10008, "a variable record is 10,008 bytes");
static_assert(offsetof(_tagvarinfo, MaxLength) == 4);
static_assert(offsetof(_tagvarinfo, Counter) == 8);
static_assert(offsetof(_tagvarinfo, Name) == 12);
static_assert(offsetof(_tagvarinfo, Value) == 1036);
static_assert(offsetof(_tagvarinfo, Prefix) == 2060);
static_assert(offsetof(_tagvarinfo, Suffix) == 3084);
static_assert(offsetof(_tagvarinfo, Format) == 4108);
static_assert(offsetof(_tagvarinfo, FormatExtra) == 5132);
static_assert(offsetof(_tagvarinfo, ImportValue) == 6164);
static_assert(offsetof(_tagvarinfo, Increment) == 7188);
static_assert(offsetof(_tagvarinfo, CounterBase) == 7444);
static_assert(offsetof(_tagvarinfo, CounterFill) == 7701);
static_assert(offsetof(_tagvarinfo, CounterStep) == 7702);
static_assert(offsetof(_tagvarinfo, CounterStart) == 7958);
static_assert(offsetof(_tagvarinfo, CounterMax) == 8982);
static_assert(offsetof(_tagvarinfo, reserved3) == 10006);

namespace varinfo {

// Variable types the program treats specially.
enum : WORD {
    kFixed = 0,
    kCounter = 1,
    kDate = 2,
    kImport = 4,
    kFormula = 32,
    kPrinterDate = 64,
};

// The counter block runs from Increment through CounterMax and is cleared as a whole.
constexpr size_t kCounterBlockOffset = offsetof(_tagvarinfo, Increment);
constexpr size_t kCounterBlockSize = offsetof(_tagvarinfo, reserved3) - kCounterBlockOffset;
static_assert(kCounterBlockSize == 2818);

inline bool IsDateTimeType(WORD type) { return type == kDate || type == kPrinterDate; }

// Length of a zero-terminated field, never reading past its end.
template <size_t N>
size_t FieldLength(const char (&field)[N]) {
    size_t length = 0;
    while (length < N && field[length]) ++length;
    return length;
}

template <size_t N>
std::string_view FieldText(const char (&field)[N]) {
    return std::string_view(field, FieldLength(field));
}

// Clears the field and stores at most N-1 bytes. A text that does not fit is cut at a UTF-8
// character boundary, so the stored bytes always decode.
void StoreText(char* field, size_t size, std::string_view text);
template <size_t N>
void Store(char (&field)[N], std::string_view text) {
    StoreText(field, N, text);
}

// Texts of the record are UTF-8, names included, so that a name outside ASCII finds its variable
// whichever way it reached the record.
template <size_t N>
std::wstring ReadUtf8(const char (&field)[N]) {
    return vb::FromUtf8(FieldText(field));
}
template <size_t N>
void StoreUtf8(char (&field)[N], const std::wstring& text) {
    Store(field, vb::ToUtf8(text));
}

// The key of a variable name: trimmed and lower-cased; empty names no variable.
std::wstring KeyOf(const std::wstring& name);
std::wstring KeyOfRecord(const _tagvarinfo& record);

}  // namespace varinfo
