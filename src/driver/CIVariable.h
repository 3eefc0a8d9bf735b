#pragma once
#include "AutomationObject.h"
#include "VarInfo.h"

class CDriverWrapper;

// A script's view of one template variable: its own copy of the record, which reaches the
// wrapper's map only through Update.
class CIVariable : public vb::AutomationObject<CIVariable> {
public:
    CIVariable(CDriverWrapper* owner, const _tagvarinfo& record);

    const _tagvarinfo& Record() const noexcept { return record_; }

    static vb::DispatchTable<CIVariable> Members();
    static DISPID DefaultMember() noexcept;
    static const IID* const* InterfaceIds() noexcept;

private:
    HRESULT GetName(vb::DispatchCall& call);
    HRESULT GetKeyName(vb::DispatchCall& call);
    HRESULT GetType(vb::DispatchCall& call);
    HRESULT GetMaxLength(vb::DispatchCall& call);
    HRESULT SetMaxLength(vb::DispatchCall& call);
    HRESULT GetCounter(vb::DispatchCall& call);
    HRESULT SetCounter(vb::DispatchCall& call);
    HRESULT GetValue(vb::DispatchCall& call);
    HRESULT SetValue(vb::DispatchCall& call);
    HRESULT GetPrefix(vb::DispatchCall& call);
    HRESULT SetPrefix(vb::DispatchCall& call);
    HRESULT GetSuffix(vb::DispatchCall& call);
    HRESULT SetSuffix(vb::DispatchCall& call);
    HRESULT GetIncrement(vb::DispatchCall& call);
    HRESULT SetIncrement(vb::DispatchCall& call);
    HRESULT GetFormat(vb::DispatchCall& call);
    HRESULT SetFormat(vb::DispatchCall& call);
    HRESULT GetDateTimeCounts(vb::DispatchCall& call);
    HRESULT Update(vb::DispatchCall& call);
    HRESULT GetDateTime(vb::DispatchCall& call);

    // Stores the assigned text in a field; the texts that make up the rendered field also
    // recompute its maximum length.
    template <size_t N>
    HRESULT SetText(vb::DispatchCall& call, char (&field)[N], bool recompute);

    CDriverWrapper* owner_;
    _tagvarinfo record_;
};
