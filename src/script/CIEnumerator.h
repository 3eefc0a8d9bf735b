#pragma once
#include <windows.h>
#include <activscp.h>
#include <dispex.h>
#include <oaidl.h>

#include "ComPtr.h"

// Offers a script-side IDispatch as a collection: IDispatch with an `Item` member and
// _NewEnum, and IEnumVARIANT. The engine wraps the global script dispatch in one and keeps it
// as its code object; that one also holds the scripting engine and closes it when it goes.
class CIEnumerator final : public IDispatch, public IEnumVARIANT {
public:
    static constexpr int kPlainObject = 0;  // no name resolution of its own, no pass-through
    static constexpr int kArrayLike = 2;    // `Item` answered by the enumerator

    // Reference count 1 for the creator; one reference kept on `object`.
    CIEnumerator(IDispatch* object, int kind);
    CIEnumerator(const CIEnumerator&) = delete;
    CIEnumerator& operator=(const CIEnumerator&) = delete;

    // Keeps one reference on the scripting engine behind `engine`, closed when this goes.
    HRESULT HoldEngine(IUnknown* engine);
    IDispatch* AsDispatch() noexcept { return static_cast<IDispatch*>(this); }
    LONG Position() const noexcept { return position_; }

    // IUnknown and IDispatch.
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    // IEnumVARIANT: at most one element per call.
    HRESULT STDMETHODCALLTYPE Next(ULONG count, VARIANT* elements, ULONG* fetched) override;
    HRESULT STDMETHODCALLTYPE Skip(ULONG count) override;
    HRESULT STDMETHODCALLTYPE Reset() override;
    HRESULT STDMETHODCALLTYPE Clone(IEnumVARIANT** out) override;

private:
    // Script arrays answer their element count and elements under these two ids.
    static constexpr DISPID kCountId = 0x3FFFFFFE;
    static constexpr DISPID kElementId = 0x3FFFFFFF;

    ~CIEnumerator();
    HRESULT InvokeItem(DISPPARAMS& params, VARIANT* result);
    HRESULT NextByName(VARIANT* element, ULONG* fetched);
    HRESULT NextByIndex(VARIANT* element, ULONG* fetched);

    vb::ComPtr<IActiveScript> engine_;
    volatile LONG references_ = 1;
    LONG position_ = DISPID_STARTENUM;
    vb::ComPtr<IDispatch> object_;
    int kind_;
};
