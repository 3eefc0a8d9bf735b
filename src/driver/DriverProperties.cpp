// Driver parameters, the family properties kept in the devmode and the small capability queries.
#include "DriverWrapper.h"
#include "FamilyProperties.h"

namespace {
constexpr LONG kRfidCaps = 6;
constexpr LONG kRfidSupported = 1;
}  // namespace

bool CDriverWrapper::SetParameter(const VARIANT& name, const VARIANT& value) {
    if (!entry_.D_PrinterParameter || !DeviceOpen()) return false;
    vb::Variant copy = vb::Variant::Copy(value);
    return entry_.D_PrinterParameter(device_, devmode_.Data(), &name, copy.Get()) >= 0;
}

vb::Variant CDriverWrapper::GetProperty(long id) const { return family_properties::Get(Family(), devmode_, id); }

void CDriverWrapper::SetProperty(long id, const VARIANT& value) {
    family_properties::Set(Family(), devmode_, id, value);
}

std::wstring CDriverWrapper::GetPropertyValues(long id, const std::wstring& separator) const {
    return family_properties::Values(Family(), devmode_, id, separator);
}

HRESULT CDriverWrapper::GetParameterMember(vb::DispatchCall& call) {
    VARIANT* result = call.Result();
    ::VariantClear(result);
    if (!entry_.D_PrinterParameter || !DeviceOpen()) return S_OK;
    if (entry_.D_PrinterParameter(device_, devmode_.Data(), &call.Arg(0), result) < 0) ::VariantClear(result);
    return S_OK;
}

HRESULT CDriverWrapper::SetParameterMember(vb::DispatchCall& call) {
    return call.ReturnBool(SetParameter(call.Arg(0), call.Arg(1)));
}

HRESULT CDriverWrapper::GetPropertyMember(vb::DispatchCall& call) {
    auto id = call.Long(0);
    if (!id) return DISP_E_TYPEMISMATCH;
    vb::Variant value = GetProperty(*id);
    ::VariantClear(call.Result());
    *call.Result() = value.Detach();
    return S_OK;
}

HRESULT CDriverWrapper::SetPropertyMember(vb::DispatchCall& call) {
    auto id = call.Long(0);
    if (!id) return DISP_E_TYPEMISMATCH;
    SetProperty(*id, call.Arg(1));
    return S_OK;
}

HRESULT CDriverWrapper::GetPropertyValuesMember(vb::DispatchCall& call) {
    auto id = call.Long(0);
    if (!id) return DISP_E_TYPEMISMATCH;
    return call.Return(GetPropertyValues(*id, call.Text(1).value_or(L";")));
}

// The colour depths that images may be sent with; a device without a devmode counts as
// monochrome.
HRESULT CDriverWrapper::GetDIBColors(vb::DispatchCall& call) {
    bool colour = devmode_.I16(DevmodeBuffer::kColor).value_or(0) == 2;
    return call.Return(std::wstring(colour ? L"1;16;24;32" : L"1"));
}

HRESULT CDriverWrapper::GetLastErrorMember(vb::DispatchCall& call) {
    return call.Return(entry_.D_GetLastError && DeviceOpen() ? entry_.D_GetLastError() : 0L);
}

HRESULT CDriverWrapper::GetRFIDNames(vb::DispatchCall& call) {
    if (!entry_.D_RFIDGetNames || !DeviceOpen()) return call.Return(0L);
    LONG supported = entry_.D_GetDrvCaps ? entry_.D_GetDrvCaps(device_, kRfidCaps, kRfidSupported) : 0;
    // Names comes by reference; a script that passes a plain value gets no names back.
    VARIANT& names = const_cast<VARIANT&>(call.Arg(0));
    VARIANT* target = V_VT(&names) == (VT_BYREF | VT_VARIANT) ? V_VARIANTREF(&names) : nullptr;
    if (target) ::VariantClear(target);
    if (!supported) return call.Return(0L);
    BSTR text = nullptr;
    LONG result = entry_.D_RFIDGetNames(device_, &text);
    if (text) {
        if (target) {
            V_VT(target) = VT_BSTR;
            V_BSTR(target) = text;
        } else {
            ::SysFreeString(text);
        }
    }
    return call.Return(result);
}

HRESULT CDriverWrapper::GetRFIDObject(vb::DispatchCall& call) {
    if (!entry_.D_RFIDGetObject || !DeviceOpen()) return call.Return(static_cast<IDispatch*>(nullptr));
    VARIANT item = call.Arg(0);
    IDispatch* object = entry_.D_RFIDGetObject(device_, item);
    if (rfidObject_) {
        if (entry_.D_RFIDUpdateInterface) entry_.D_RFIDUpdateInterface(device_, rfidObject_, 1);
        rfidObject_ = nullptr;
    }
    rfidObject_ = object;
    if (!object) return call.Return(static_cast<IDispatch*>(nullptr));
    if (entry_.D_RFIDUpdateInterface) entry_.D_RFIDUpdateInterface(device_, object, 0);
    object->AddRef();
    return call.Return(object);
}
