#pragma once
#include "AutomationObject.h"

// A width and height handed to a script, in 1/100 mm.
class CISize : public vb::AutomationObject<CISize> {
public:
    CISize(LONG cx, LONG cy) : size_{cx, cy} {}

    const SIZE& Size() const noexcept { return size_; }

    static vb::DispatchTable<CISize> Members();
    // There is no default member: reading the object as a value fails.
    static DISPID DefaultMember() noexcept { return DISPID_UNKNOWN; }
    static const IID* const* InterfaceIds() noexcept;

private:
    HRESULT GetCx(vb::DispatchCall& call) { return call.Return(size_.cx); }
    HRESULT SetCx(vb::DispatchCall& call);
    HRESULT GetCy(vb::DispatchCall& call) { return call.Return(size_.cy); }
    HRESULT SetCy(vb::DispatchCall& call);

    SIZE size_;
};

// A new size object for a script, or Nothing when memory runs out.
IDispatch* NewSize(LONG cx, LONG cy);
