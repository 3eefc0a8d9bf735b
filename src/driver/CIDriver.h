#pragma once
#include "AutomationObject.h"
#include "CIFormat.h"
#include "ComPtr.h"

class CDriverWrapper;

// The host object a driver calls back into: the script's template variables by name and the
// label format. The driver owns it; a new one is handed over at every device opening.
class CIDriver : public vb::AutomationObject<CIDriver> {
public:
    explicit CIDriver(CDriverWrapper* owner);

    static vb::DispatchTable<CIDriver> Members();
    static DISPID DefaultMember() noexcept;
    static const IID* const* InterfaceIds() noexcept;

private:
    HRESULT GetNothing(vb::DispatchCall& call);
    HRESULT GetFormat(vb::DispatchCall& call);
    HRESULT GetVarInfo(vb::DispatchCall& call);
    HRESULT GetDefaultFolder(vb::DispatchCall& call);
    HRESULT GetDocObjectProperty(vb::DispatchCall& call);

    CDriverWrapper* owner_;
    vb::ComPtr<CIFormat> format_;
};
