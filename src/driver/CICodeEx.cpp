#include "CICodeEx.h"

#include <cstring>
#include <cwctype>

#include "DriverIds.h"
#include "Variant.h"

using vb::DispatchCall;
using vb::MemberKind;
using C = CICodeEx;

namespace {

// Code description fields.
constexpr size_t kVerticalSize = 4;
constexpr size_t kHorizontalSize = 8;
constexpr size_t kModuleX = 12;
constexpr size_t kModuleY = 16;
constexpr size_t kByte20 = 20;
constexpr size_t kGap = 24;
constexpr size_t kRotation = 32;
constexpr size_t kCheckDigit = 36;
constexpr size_t kHumanReadable = 38;
constexpr size_t kCheckInHR = 39;
constexpr size_t kByte40 = 40;
constexpr size_t kOption1 = 52;
constexpr size_t kOption2 = 56;
constexpr size_t kName = 60;

// Code types with rules of their own.
constexpr WORD kMicroPdf = 59;
constexpr WORD kBeared25 = 66;
constexpr WORD kMsi = 77;
constexpr WORD kPostnet = 79;
constexpr WORD kPlessey = 80;
constexpr WORD kSscc128 = 81;
constexpr WORD kDataMatrix = 120;
constexpr WORD kItf14 = 121;
constexpr WORD kType152 = 152;

constexpr WORD kTwoDimensional[] = {128, 129, 78, 72, 52, 141, 151, 120, 142, 123, 53, 135, 125, 122, 126, 59, 152, 153};

LONG ReadLong(const BYTE* description, size_t offset) {
    LONG value;
    std::memcpy(&value, description + offset, 4);
    return value;
}

void WriteLong(BYTE* description, size_t offset, LONG value) { std::memcpy(description + offset, &value, 4); }

LONG DigitsOnly(const std::wstring& data) {
    for (wchar_t c : data) {
        if (!std::iswdigit(c)) return -1;
    }
    return 1;
}

}  // namespace

CICodeEx::CICodeEx(const CDriverWrapper* owner) : owner_(owner) { ApplyDefaults(); }

CICodeEx::CICodeEx(const CDriverWrapper* owner, const tagDEVICECODE& record) : owner_(owner), record_(record) {
    ApplyDefaults();
}

CICodeEx* CICodeEx::FromDescription(const CDriverWrapper* owner, const BYTE* description) {
    auto* code = new CICodeEx(owner);
    std::memcpy(code->record_.description, description, sizeof code->record_.description);
    return code;
}

void CICodeEx::ApplyDefaults() {
    BYTE* d = record_.description;
    bool twoDimensional = IsBarcode2D();
    WriteLong(d, kVerticalSize, 1000);
    WriteLong(d, kHorizontalSize, 0);
    WriteLong(d, kModuleX, twoDimensional ? 200 : 25);
    WriteLong(d, kModuleY, twoDimensional ? 200 : 25);
    d[kByte20] = 20;
    WriteLong(d, kGap, 1);
    d[kCheckDigit] = twoDimensional ? 3 : 0;
    d[kHumanReadable] = 1;
    d[kCheckInHR] = 0;
    d[kByte40] = 1;
    switch (CodeType()) {
    case kMicroPdf:
        WriteLong(d, kOption1, 0);
        break;
    case kDataMatrix:
        d[kCheckDigit] = 5;
        break;
    case kType152:
        if (ReadLong(d, kOption1) > 4) WriteLong(d, kOption1, 4);
        break;
    default:
        break;
    }
}

WORD CICodeEx::CodeType() const {
    WORD type;
    std::memcpy(&type, record_.description, 2);
    return type;
}

bool CICodeEx::IsBarcode2D() const {
    WORD type = CodeType();
    for (WORD candidate : kTwoDimensional) {
        if (candidate == type) return true;
    }
    return false;
}

LONG CICodeEx::IsValidData(const std::wstring& data) const {
    const size_t n = data.size();
    switch (CodeType()) {
    case kMsi:
    case kSscc128:
        return DigitsOnly(data);
    case kPostnet:
        return n == 5 || n == 9 || n == 11 ? 1 : -4;
    case kPlessey:
        return n > 25 ? -2 : DigitsOnly(data);
    case kItf14:
        return n <= 14 ? 1 : -2;
    case kBeared25:
        if (n < 13) return -3;
        if (n > 13) return -2;
        break;
    default:
        break;
    }
    if (IsBarcode2D()) return n > 2000 ? -2 : 1;
    return n > 99 ? -2 : 1;
}

vb::DispatchTable<C> C::Members() {
    constexpr auto P = MemberKind::Property;
    constexpr auto M = MemberKind::Method;
    static const vb::DispatchMember<C> kMembers[] = {
        {1, L"Name", P, &C::GetName},
        {2, L"Code", P, &C::GetCode},
        {3, L"ModuleX", P, &C::GetLong<kModuleX>, &C::SetLong<kModuleX>},
        {4, L"ModuleY", P, &C::GetLong<kModuleY>, &C::SetLong<kModuleY>},
        {5, L"Gap", P, &C::GetLong<kGap>, &C::SetLong<kGap>},
        {6, L"Rotation", P, &C::GetLong<kRotation>, &C::SetLong<kRotation>},
        {7, L"CheckDigit", P, &C::GetByteAsShort<kCheckDigit>, &C::SetByte<kCheckDigit>},
        {8, L"HumanReadable", P, &C::GetByteAsShort<kHumanReadable>, &C::SetByte<kHumanReadable>},
        {9, L"CheckInHR", P, &C::GetCheckInHR, &C::SetByte<kCheckInHR>},
        {10, L"Option1", P, &C::GetLong<kOption1>, &C::SetLong<kOption1>},
        {11, L"Option2", P, &C::GetLong<kOption2>, &C::SetLong<kOption2>},
        {12, L"IsBarcode2D", M, &C::IsBarcode2DMember},
        {13, L"IsValidData", M, &C::IsValidDataMember},
    };
    return kMembers;
}

const IID* const* C::InterfaceIds() noexcept {
    static const IID* const kIds[] = {&vb::ids::IID_ICode, &vb::ids::IID_CICodeExClass, nullptr};
    return kIds;
}

HRESULT C::GetName(DispatchCall& call) {
    wchar_t name[(sizeof record_.description - kName) / sizeof(wchar_t)];
    std::memcpy(name, record_.description + kName, sizeof name);
    return call.Return(std::wstring(name, wcsnlen(name, std::size(name))));
}

HRESULT C::GetCode(DispatchCall& call) {
    return call.ReturnShort(static_cast<SHORT>(CodeType()));
}

template <size_t Offset>
HRESULT C::GetLong(DispatchCall& call) {
    return call.Return(ReadLong(record_.description, Offset));
}

template <size_t Offset>
HRESULT C::SetLong(DispatchCall& call) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    WriteLong(record_.description, Offset, *value);
    return S_OK;
}

template <size_t Offset>
HRESULT C::GetByteAsShort(DispatchCall& call) {
    return call.ReturnShort(static_cast<SHORT>(record_.description[Offset]));
}

template <size_t Offset>
HRESULT C::SetByte(DispatchCall& call) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    record_.description[Offset] = static_cast<BYTE>(*value & 0xFF);
    return S_OK;
}

HRESULT C::GetCheckInHR(DispatchCall& call) { return call.ReturnBool(record_.description[kCheckInHR] != 0); }

HRESULT C::IsBarcode2DMember(DispatchCall& call) { return call.ReturnBool(IsBarcode2D()); }

HRESULT C::IsValidDataMember(DispatchCall& call) {
    auto data = call.Text(0);
    if (!data) return DISP_E_TYPEMISMATCH;
    return call.Return(IsValidData(*data));
}

CICodeEx* CICodeEx::FromDispatch(IDispatch* object) {
    IUnknown* own = nullptr;
    if (!object || FAILED(object->QueryInterface(vb::ids::IID_CICodeExClass, reinterpret_cast<void**>(&own)))) return nullptr;
    own->Release();
    // Only this class answers its private id, and it answers with its own IDispatch.
    return static_cast<CICodeEx*>(static_cast<IDispatch*>(own));
}
