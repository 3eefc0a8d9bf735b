#pragma once
// The driver's own RFID object, handed out by D_RFIDGetObject: a small automation object with
// one read-only property, Names (dispid 1, also the default member), the RFID fields the device
// writes ("EPC;TID;USER").
//
// Its code lives in this library: whoever holds it must let it go before the library is
// unloaded, as with any object a driver hands out.
#include "ComPtr.h"

#include <oaidl.h>

namespace vb::sample {

class RfidObject final : public IDispatch {
public:
    // Null when out of memory.
    static ComPtr<IDispatch> Create() noexcept;

    static constexpr wchar_t kNames[] = L"EPC;TID;USER";
    static constexpr LONG kNameCount = 3;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID member, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;

private:
    RfidObject() noexcept = default;
    ~RfidObject() = default;

    LONG references_ = 1;
};

}  // namespace vb::sample
