#include "CIFontEx.h"

#include <cmath>
#include <cstdlib>

#include "DriverIds.h"
#include "DriverWrapper.h"
#include "Units.h"

using vb::DispatchCall;
using vb::MemberKind;
using F = CIFontEx;

namespace {
constexpr double kCurrencyScale = 10000.0;
constexpr double kPointsPerInch = 72.0;
constexpr LONG kBold = 700;
constexpr LONG kNormal = 400;
}  // namespace

CIFontEx::CIFontEx(const CDriverWrapper* owner) : owner_(owner) {
    ::GetObjectW(::GetStockObject(DEFAULT_GUI_FONT), sizeof record_.font, &record_.font);
    ComputeSize();
}

CIFontEx::CIFontEx(const CDriverWrapper* owner, const tagDEVICEFONT& record) : owner_(owner), record_(record) {
    ComputeSize();
}

vb::DispatchTable<F> F::Members() {
    constexpr auto P = MemberKind::Property;
    constexpr auto X = MemberKind::Placeholder;
    static const vb::DispatchMember<F> kMembers[] = {
        {0, L"Name", P, &F::GetName},
        {1, L"1", X},
        {2, L"Size", P, &F::GetSize, &F::SetSize},
        {3, L"Bold", P, &F::GetBold, &F::SetBold},
        {4, L"Italic", P, &F::GetItalic, &F::SetItalic},
        {5, L"Underline", P, &F::GetUnderline, &F::SetUnderline},
        {6, L"Strikethrough", P, &F::GetStrikethrough, &F::SetStrikethrough},
        {7, L"7", X},
        {8, L"Charset", P, &F::GetCharset, &F::SetCharset},
        {9, L"8 + 0x01", X},
        {10, L"8 + 0x02", X},
        {11, L"8 + 0x03", X},
        {12, L"8 + 0x04", X},
        {13, L"8 + 0x05", X},
        {14, L"8 + 0x06", X},
        {15, L"8 + 0x07", X},
        {17, L"Rotation", P, &F::GetRotation, &F::SetRotation},
    };
    return kMembers;
}

const IID* const* F::InterfaceIds() noexcept {
    static const IID* const kIds[] = {&vb::ids::IID_IFont, &vb::ids::IID_CIFontExClass, nullptr};
    return kIds;
}

int F::VerticalResolution() const { return owner_ ? owner_->DriverInfo().resolutionY : 0; }

void F::ComputeSize() {
    int dpiY = VerticalResolution();
    if (dpiY == 0) return;  // without a resolution the size stays unknown (0)
    double points = units::DivideRounded(std::abs(record_.font.lfHeight) * kPointsPerInch, dpiY, 0.01);
    size_.int64 = static_cast<LONGLONG>(static_cast<float>(points) * static_cast<float>(kCurrencyScale));
}

HRESULT F::SetSize(DispatchCall& call) {
    VARIANT converted;
    ::VariantInit(&converted);
    if (FAILED(::VariantChangeType(&converted, const_cast<VARIANT*>(&call.PutValue()), 0, VT_CY))) {
        return DISP_E_TYPEMISMATCH;
    }
    size_ = V_CY(&converted);
    float points = static_cast<float>(size_.int64 / kCurrencyScale);
    double height = VerticalResolution() * static_cast<double>(points) / kPointsPerInch;
    double magnitude = std::floor(std::fabs(height));
    if (std::fabs(height) - magnitude > 0.5) magnitude += 1;
    LONG rounded = static_cast<LONG>(height < 0 ? -magnitude : magnitude);
    record_.font.lfHeight = -rounded;
    return S_OK;
}

HRESULT F::GetName(DispatchCall& call) {
    return call.Return(std::wstring(record_.font.lfFaceName, wcsnlen(record_.font.lfFaceName, LF_FACESIZE)));
}
HRESULT F::GetSize(DispatchCall& call) {
    ::VariantClear(call.Result());
    V_VT(call.Result()) = VT_CY;
    V_CY(call.Result()) = size_;
    return S_OK;
}
HRESULT F::GetBold(DispatchCall& call) { return call.ReturnBool(record_.font.lfWeight >= kBold); }
HRESULT F::SetBold(DispatchCall& call) {
    auto bold = vb::ToBool(call.PutValue());
    if (!bold) return DISP_E_TYPEMISMATCH;
    record_.font.lfWeight = *bold ? kBold : kNormal;
    return S_OK;
}
HRESULT F::SetByte(DispatchCall& call, BYTE& field) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    field = static_cast<BYTE>(*value & 0xFF);
    return S_OK;
}
HRESULT F::GetItalic(DispatchCall& call) { return call.ReturnBool(record_.font.lfItalic != 0); }
HRESULT F::SetItalic(DispatchCall& call) { return SetByte(call, record_.font.lfItalic); }
HRESULT F::GetUnderline(DispatchCall& call) { return call.ReturnBool(record_.font.lfUnderline != 0); }
HRESULT F::SetUnderline(DispatchCall& call) { return SetByte(call, record_.font.lfUnderline); }
HRESULT F::GetStrikethrough(DispatchCall& call) { return call.ReturnBool(record_.font.lfStrikeOut != 0); }
HRESULT F::SetStrikethrough(DispatchCall& call) { return SetByte(call, record_.font.lfStrikeOut); }
HRESULT F::GetCharset(DispatchCall& call) {
    return call.ReturnShort(static_cast<SHORT>(record_.font.lfCharSet));
}
HRESULT F::SetCharset(DispatchCall& call) { return SetByte(call, record_.font.lfCharSet); }
HRESULT F::GetRotation(DispatchCall& call) { return call.Return(record_.font.lfOrientation); }
HRESULT F::SetRotation(DispatchCall& call) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    record_.font.lfEscapement = record_.font.lfOrientation = *value;
    return S_OK;
}

CIFontEx* CIFontEx::FromDispatch(IDispatch* object) {
    IUnknown* own = nullptr;
    if (!object || FAILED(object->QueryInterface(vb::ids::IID_CIFontExClass, reinterpret_cast<void**>(&own)))) return nullptr;
    own->Release();
    // Only this class answers its private id, and it answers with its own IDispatch.
    return static_cast<CIFontEx*>(static_cast<IDispatch*>(own));
}
