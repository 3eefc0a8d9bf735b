#pragma once
#include "AutomationObject.h"

class CDriverWrapper;

// The label format the driver may ask its host for: the page and label sizes of the current
// set-up, read from the wrapper's devmode at each call; everything else answers empty.
class CIFormat : public vb::AutomationObject<CIFormat> {
public:
    explicit CIFormat(CDriverWrapper* owner) : owner_(owner) {}

    static vb::DispatchTable<CIFormat> Members();
    static DISPID DefaultMember() noexcept;
    static const IID* const* InterfaceIds() noexcept;

private:
    HRESULT GetNothing(vb::DispatchCall& call);
    HRESULT GetZero(vb::DispatchCall& call);
    HRESULT GetFalse(vb::DispatchCall& call);
    HRESULT GetEmptyText(vb::DispatchCall& call);
    HRESULT IgnoreWrite(vb::DispatchCall& call);
    HRESULT DoNothing(vb::DispatchCall& call);
    HRESULT GetPageHeight(vb::DispatchCall& call);
    HRESULT GetPageWidth(vb::DispatchCall& call);
    HRESULT GetLabelHeight(vb::DispatchCall& call);
    HRESULT GetLabelWidth(vb::DispatchCall& call);
    HRESULT Check(vb::DispatchCall& call);

    CDriverWrapper* owner_;
};
