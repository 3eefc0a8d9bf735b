#pragma once
#include "AutomationObject.h"
#include "DeviceRecords.h"

class CDriverWrapper;

// A script's copy of one driver font; it reaches the driver only when handed to SelectFont.
class CIFontEx : public vb::AutomationObject<CIFontEx> {
public:
    // The stock GUI font, for a name the driver does not know.
    explicit CIFontEx(const CDriverWrapper* owner);
    CIFontEx(const CDriverWrapper* owner, const tagDEVICEFONT& record);

    const LOGFONTW& Font() const noexcept { return record_.font; }
    CY Size() const noexcept { return size_; }

    // The object behind a script's value when it is one of ours; the driver wrapper accepts no
    // other. No reference is added.
    static CIFontEx* FromDispatch(IDispatch* object);

    static vb::DispatchTable<CIFontEx> Members();
    static DISPID DefaultMember() noexcept { return 0; }
    static const IID* const* InterfaceIds() noexcept;

private:
    HRESULT GetName(vb::DispatchCall& call);
    HRESULT GetSize(vb::DispatchCall& call);
    HRESULT SetSize(vb::DispatchCall& call);
    HRESULT GetBold(vb::DispatchCall& call);
    HRESULT SetBold(vb::DispatchCall& call);
    HRESULT GetItalic(vb::DispatchCall& call);
    HRESULT SetItalic(vb::DispatchCall& call);
    HRESULT GetUnderline(vb::DispatchCall& call);
    HRESULT SetUnderline(vb::DispatchCall& call);
    HRESULT GetStrikethrough(vb::DispatchCall& call);
    HRESULT SetStrikethrough(vb::DispatchCall& call);
    HRESULT GetCharset(vb::DispatchCall& call);
    HRESULT SetCharset(vb::DispatchCall& call);
    HRESULT GetRotation(vb::DispatchCall& call);
    HRESULT SetRotation(vb::DispatchCall& call);

    // The point size of the font's height, read as the driver's dots.
    void ComputeSize();
    int VerticalResolution() const;
    HRESULT SetByte(vb::DispatchCall& call, BYTE& field);

    const CDriverWrapper* owner_;
    tagDEVICEFONT record_{};
    CY size_{};
};
