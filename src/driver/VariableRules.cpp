#include "VariableRules.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdio>
#include <cstring>

namespace varinfo {

namespace {

// Decimal value of a text: leading blanks skipped, an optional sign, digits up to the first
// non-digit; 0 without digits. Saturates instead of overflowing.
long long ReadInteger(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i]))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    long long value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        value = std::min(value * 10 + (text[i] - '0'), 1LL << 40);
    }
    return negative ? -value : value;
}

// The step of a counter: a leading '+' is dropped, a leading '-' negates what follows.
long long ReadIncrement(std::string_view text) {
    if (!text.empty() && text[0] == '+') return ReadInteger(text.substr(1));
    if (!text.empty() && text[0] == '-') return -ReadInteger(text.substr(1));
    return ReadInteger(text);
}

// The fill character becomes a flag of the number format, so only real flags may pass; anything
// else would turn the format into another conversion.
char FillFlag(char fill) { return std::strchr("0 -+#", fill) && fill ? fill : ' '; }

}  // namespace

void SetDefaultsByType(_tagvarinfo& record, const std::vector<std::wstring>& dateTimeFormats) {
    switch (record.Type) {
    case kCounter:
        record.Counter = TRUE;
        SetCounterDefaults(record);
        break;
    case kDate:
    case kPrinterDate:
        SetDateTimeDefaults(record, dateTimeFormats);
        break;
    case kImport:
        ComputeMaxLength(record);
        std::memcpy(record.ImportValue, record.Value, sizeof record.Value);
        break;
    case kFormula:
        break;
    default:
        record.MaxLength = 100;
        break;
    }
}

void SetCounterDefaults(_tagvarinfo& record) {
    if (record.Counter) {
        record.CounterBase = 'D';
        record.CounterFill = ' ';
        record.MaxLength = static_cast<DWORD>(std::max<size_t>(FieldLength(record.Value), 4));
        Store(record.Increment, "+1");
        Store(record.CounterStep, "1");
        Store(record.CounterStart, "0");
        Store(record.CounterMax, std::string(std::min<size_t>(record.MaxLength, sizeof record.CounterMax - 1), '9'));
    } else {
        std::memset(reinterpret_cast<char*>(&record) + kCounterBlockOffset, 0, kCounterBlockSize);
    }
    ComputeMaxLength(record);
}

void SetDateTimeDefaults(_tagvarinfo& record, const std::vector<std::wstring>& dateTimeFormats) {
    std::memset(record.Format, 0, sizeof record.Format + sizeof record.FormatExtra);
    if (!dateTimeFormats.empty()) Store(record.Format, vb::ToAnsi(dateTimeFormats.front()));
    ComputeMaxLength(record);
}

void ComputeMaxLength(_tagvarinfo& record) {
    size_t value = FieldLength(record.Value);
    size_t format = FieldLength(record.Format);
    if (IsDateTimeType(record.Type)) {
        record.MaxLength = static_cast<DWORD>(std::max(value, format));
        return;
    }
    if (record.Counter && value <= FieldLength(record.CounterMax)) value = FieldLength(record.CounterMax);
    size_t needed = std::max(value + FieldLength(record.Prefix) + FieldLength(record.Suffix), format);
    record.MaxLength = std::max<DWORD>(record.MaxLength, static_cast<DWORD>(needed));
}

void AdvanceCounter(_tagvarinfo& record) {
    long long next = ReadInteger(FieldText(record.Value)) + ReadIncrement(FieldText(record.Increment));
    long long width = static_cast<long long>(record.MaxLength) - static_cast<long long>(FieldLength(record.Prefix)) -
                      static_cast<long long>(FieldLength(record.Suffix));
    // Wider than the field cannot be stored anyway; the clamp keeps the format short and cheap.
    width = std::clamp<long long>(width, -(static_cast<long long>(sizeof record.Value) - 1),
                                  static_cast<long long>(sizeof record.Value) - 1);
    char format[32];
    std::snprintf(format, sizeof format, "%c%c%dd", '%', FillFlag(record.CounterFill), static_cast<int>(width));
    char text[sizeof record.Value * 2];
    std::snprintf(text, sizeof text, format, static_cast<int>(std::clamp<long long>(next, INT_MIN, INT_MAX)));
    Store(record.Value, text);
}

}  // namespace varinfo
