#include "CISize.h"

#include <new>

#include "DriverIds.h"
#include "Variant.h"

vb::DispatchTable<CISize> CISize::Members() {
    static const vb::DispatchMember<CISize> kMembers[] = {
        {1, L"cx", vb::MemberKind::Property, &CISize::GetCx, &CISize::SetCx},
        {2, L"cy", vb::MemberKind::Property, &CISize::GetCy, &CISize::SetCy},
    };
    return kMembers;
}

const IID* const* CISize::InterfaceIds() noexcept {
    static const IID* const kIds[] = {&vb::ids::IID_ISize, nullptr};
    return kIds;
}

HRESULT CISize::SetCx(vb::DispatchCall& call) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    size_.cx = *value;
    return S_OK;
}

HRESULT CISize::SetCy(vb::DispatchCall& call) {
    auto value = vb::ToLong(call.PutValue());
    if (!value) return DISP_E_TYPEMISMATCH;
    size_.cy = *value;
    return S_OK;
}

IDispatch* NewSize(LONG cx, LONG cy) {
    auto* size = new (std::nothrow) CISize(cx, cy);
    return size ? size->AsDispatch() : nullptr;
}
