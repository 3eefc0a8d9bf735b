#include "CIFormat.h"

#include "DriverIds.h"
#include "DriverWrapper.h"

using vb::DispatchCall;
using vb::MemberKind;
using F = CIFormat;

namespace {
constexpr size_t kLabelWidth = 328;
constexpr size_t kLabelHeight = 332;
}  // namespace

vb::DispatchTable<F> F::Members() {
    constexpr auto P = MemberKind::Property;
    static const vb::DispatchMember<F> kMembers[] = {
        {1, L"Application", P, &F::GetNothing},
        {2, L"Parent", P, &F::GetNothing},
        {3, L"PageHeight", P, &F::GetPageHeight, &F::IgnoreWrite},
        {4, L"PageWidth", P, &F::GetPageWidth, &F::IgnoreWrite},
        {5, L"LabelHeight", P, &F::GetLabelHeight, &F::IgnoreWrite},
        {6, L"LabelWidth", P, &F::GetLabelWidth, &F::IgnoreWrite},
        {7, L"MarginLeft", P, &F::GetZero, &F::IgnoreWrite},
        {8, L"MarginTop", P, &F::GetZero, &F::IgnoreWrite},
        {9, L"Corner", P, &F::GetZero, &F::IgnoreWrite},
        {10, L"HorizontalGap", P, &F::GetZero, &F::IgnoreWrite},
        {11, L"VerticalGap", P, &F::GetZero, &F::IgnoreWrite},
        {12, L"RowCount", P, &F::GetZero, &F::IgnoreWrite},
        {13, L"ColumnCount", P, &F::GetZero, &F::IgnoreWrite},
        {14, L"Portrait", P, &F::GetFalse, &F::IgnoreWrite},
        {15, L"AutoSize", P, &F::GetFalse, &F::IgnoreWrite},
        {16, L"StockType", P, &F::GetEmptyText, &F::IgnoreWrite},
        {17, L"StockName", P, &F::GetEmptyText, &F::IgnoreWrite},
        {18, L"SaveStock", MemberKind::Method, &F::DoNothing},
        {19, L"SupportType", P, &F::GetZero, &F::IgnoreWrite},
        {20, L"PaperType", P, &F::GetZero, &F::IgnoreWrite},
        {21, L"PaperName", P, &F::GetEmptyText, &F::IgnoreWrite},
        {22, L"SupportName", P, &F::GetEmptyText, &F::IgnoreWrite},
        {23, L"AutomaticMargins", P, &F::GetFalse, &F::IgnoreWrite},
        {24, L"Background", P, &F::GetEmptyText, &F::IgnoreWrite},
        {25, L"Check", MemberKind::Method, &F::Check},
        {26, L"Comment", P, &F::GetEmptyText, &F::IgnoreWrite},
    };
    return kMembers;
}

DISPID F::DefaultMember() noexcept { return 3; }

const IID* const* F::InterfaceIds() noexcept {
    static const IID* const kIds[] = {&vb::ids::IID_ICallbackFormat, nullptr};
    return kIds;
}

HRESULT F::GetNothing(DispatchCall& call) { return call.Return(static_cast<IDispatch*>(nullptr)); }
HRESULT F::GetZero(DispatchCall& call) { return call.Return(0L); }
HRESULT F::GetFalse(DispatchCall& call) { return call.ReturnBool(false); }
HRESULT F::GetEmptyText(DispatchCall& call) { return call.Return(std::wstring()); }
HRESULT F::IgnoreWrite(DispatchCall&) { return S_OK; }
HRESULT F::DoNothing(DispatchCall&) { return S_OK; }

// Without a devmode (the device was released while the driver still holds us) sizes read 0.
HRESULT F::GetPageHeight(DispatchCall& call) {
    return call.Return(static_cast<long>(owner_->Devmode().I16(DevmodeBuffer::kPaperLength).value_or(0)));
}
HRESULT F::GetPageWidth(DispatchCall& call) {
    return call.Return(static_cast<long>(owner_->Devmode().I16(DevmodeBuffer::kPaperWidth).value_or(0)));
}
HRESULT F::GetLabelHeight(DispatchCall& call) {
    return call.Return(static_cast<long>(owner_->Devmode().I32(kLabelHeight).value_or(0)));
}
HRESULT F::GetLabelWidth(DispatchCall& call) {
    return call.Return(static_cast<long>(owner_->Devmode().I32(kLabelWidth).value_or(0)));
}

HRESULT F::Check(DispatchCall& call) {
    return call.ReturnShort(0);
}
