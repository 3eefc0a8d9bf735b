#include "CallbackEscapes.h"

#include "ByteFields.h"
#include "CallLog.h"
#include "DispatchInvoke.h"
#include "TextCodec.h"
#include "VariableRecordLayout.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vb::sample {

namespace {

// Members of the bench's callback object and of its format object.
constexpr DISPID kGetFormat = 2;
constexpr DISPID kGetVarInfo = 3;
constexpr DISPID kPageHeight = 3;
constexpr DISPID kPageWidth = 4;
constexpr DISPID kLabelHeight = 5;
constexpr DISPID kLabelWidth = 6;

void LogFailure(const std::wstring& subject, HRESULT hr) {
    LogLine(subject + L": failed " + HexText(static_cast<unsigned long>(hr)));
}

}  // namespace

LONG LookUpVariable(IDispatch* callback, const wchar_t* name) {
    std::vector<BYTE> record(variable::kRecordSize, 0);
    // The bench takes the record's address as a 32-bit integer: this is a 32-bit library.
    static_assert(sizeof(void*) == sizeof(LONG), "record addresses travel as 32-bit integers");
    const long address = static_cast<long>(reinterpret_cast<std::intptr_t>(record.data()));

    vb::Variant found;
    HRESULT hr = InvokeMember(callback, kGetVarInfo, {vb::Variant(std::wstring(name)), vb::Variant(address)}, found);
    const std::wstring subject = L"variable " + std::wstring(name);
    if (FAILED(hr)) {
        LogFailure(subject, hr);
        return 0;
    }
    std::optional<bool> known = vb::ToBool(*found.Get());
    if (!known.value_or(false)) {
        LogLine(subject + L": missing");
        return 0;
    }
    LogLine(subject + L": found type=" + std::to_wstring(ReadField<WORD>(record.data(), variable::kType)) +
            L" value=" + ReadByteTextField(record.data(), variable::kValue, variable::kValueBytes));
    return 1;
}

LONG ReadFormat(IDispatch* callback) {
    vb::ComPtr<IDispatch> format;
    long pageWidth = 0, pageHeight = 0, labelWidth = 0, labelHeight = 0;
    HRESULT hr = ReadObject(callback, kGetFormat, format);
    if (SUCCEEDED(hr)) hr = ReadLong(format.Get(), kPageWidth, pageWidth);
    if (SUCCEEDED(hr)) hr = ReadLong(format.Get(), kPageHeight, pageHeight);
    if (SUCCEEDED(hr)) hr = ReadLong(format.Get(), kLabelWidth, labelWidth);
    if (SUCCEEDED(hr)) hr = ReadLong(format.Get(), kLabelHeight, labelHeight);
    if (FAILED(hr)) {
        LogFailure(L"format", hr);
        return 0;
    }
    LogLine(L"format: page " + std::to_wstring(pageWidth) + L"x" + std::to_wstring(pageHeight) + L" label " +
            std::to_wstring(labelWidth) + L"x" + std::to_wstring(labelHeight));
    return 1;
}

}  // namespace vb::sample
