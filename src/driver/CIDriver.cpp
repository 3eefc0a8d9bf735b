#include "CIDriver.h"

#include <cstring>

#include "DriverIds.h"
#include "DriverWrapper.h"
#include "VarInfo.h"

using vb::DispatchCall;
using vb::MemberKind;
using D = CIDriver;

CIDriver::CIDriver(CDriverWrapper* owner) : owner_(owner), format_(vb::ComPtr<CIFormat>::Attach(new CIFormat(owner))) {}

vb::DispatchTable<D> D::Members() {
    static const vb::DispatchMember<D> kMembers[] = {
        {1, L"GetDocument", MemberKind::Method, &D::GetNothing},
        {2, L"GetFormat", MemberKind::Method, &D::GetFormat},
        {3, L"GetVarInfo", MemberKind::Method, &D::GetVarInfo},
        {4, L"GetDefaultFolder", MemberKind::Method, &D::GetDefaultFolder},
        {5, L"GetParagraph", MemberKind::Method, &D::GetNothing},
        {6, L"GetDocObject", MemberKind::Method, &D::GetNothing},
        {7, L"GetDocObjectProperty", MemberKind::Method, &D::GetDocObjectProperty},
    };
    return kMembers;
}

DISPID D::DefaultMember() noexcept { return 2; }

const IID* const* D::InterfaceIds() noexcept {
    static const IID* const kIds[] = {&vb::ids::IID_ICallbackDriver, nullptr};
    return kIds;
}

HRESULT D::GetNothing(DispatchCall& call) { return call.Return(static_cast<IDispatch*>(nullptr)); }

HRESULT D::GetFormat(DispatchCall& call) {
    format_->AddRef();
    return call.Return(format_->AsDispatch());
}

// The driver hands over the address of a record in its own memory, inside this process; the
// host fills it with the named variable.
HRESULT D::GetVarInfo(DispatchCall& call) {
    auto name = call.Text(0);
    auto address = call.Long(1);
    if (!name || !address) return DISP_E_TYPEMISMATCH;
    if (*address == 0) return call.ReturnBool(false);
    auto* record = reinterpret_cast<_tagvarinfo*>(static_cast<UINT_PTR>(static_cast<ULONG>(*address)));
    std::memset(record, 0, sizeof *record);
    varinfo::StoreUtf8(record->Name, *name);
    return call.ReturnBool(owner_->LookupVariable(*record));
}

HRESULT D::GetDefaultFolder(DispatchCall& call) { return call.Return(std::wstring()); }

HRESULT D::GetDocObjectProperty(DispatchCall& call) {
    ::VariantClear(call.Result());
    return S_OK;
}
