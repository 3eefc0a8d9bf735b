#pragma once
#include <string>

#include "AutomationObject.h"
#include "DeviceRecords.h"

class CDriverWrapper;

// A script's copy of one barcode type with the bench's defaults applied; it reaches the driver
// only when handed to SelectCode.
class CICodeEx : public vb::AutomationObject<CICodeEx> {
public:
    // An unknown code (all zero), then the defaults.
    explicit CICodeEx(const CDriverWrapper* owner);
    // A code of the driver's map, then the defaults over its values.
    CICodeEx(const CDriverWrapper* owner, const tagDEVICECODE& record);
    // A copy of a selected code description as it stands, without defaults.
    static CICodeEx* FromDescription(const CDriverWrapper* owner, const BYTE* description);

    const tagDEVICECODE& Record() const noexcept { return record_; }
    bool IsBarcode2D() const;
    LONG IsValidData(const std::wstring& data) const;

    // The object behind a script's value when it is one of ours; the driver wrapper accepts no
    // other. No reference is added.
    static CICodeEx* FromDispatch(IDispatch* object);

    static vb::DispatchTable<CICodeEx> Members();
    static DISPID DefaultMember() noexcept { return 1; }
    static const IID* const* InterfaceIds() noexcept;

private:
    void ApplyDefaults();
    WORD CodeType() const;

    HRESULT GetName(vb::DispatchCall& call);
    HRESULT GetCode(vb::DispatchCall& call);
    template <size_t Offset>
    HRESULT GetLong(vb::DispatchCall& call);
    template <size_t Offset>
    HRESULT SetLong(vb::DispatchCall& call);
    template <size_t Offset>
    HRESULT GetByteAsShort(vb::DispatchCall& call);
    template <size_t Offset>
    HRESULT SetByte(vb::DispatchCall& call);
    HRESULT GetCheckInHR(vb::DispatchCall& call);
    HRESULT IsBarcode2DMember(vb::DispatchCall& call);
    HRESULT IsValidDataMember(vb::DispatchCall& call);

    const CDriverWrapper* owner_;
    tagDEVICECODE record_{};
};
