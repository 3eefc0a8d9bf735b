#pragma once
#include <windows.h>
#include <oaidl.h>

#include <utility>

// IUnknown and IDispatch of the script-control objects. They are used through their interface
// tables only: late binding is not offered, and IDispatch itself is not answered.
template <class Interface, const IID& kInterfaceId>
class CIScriptBase : public Interface {
public:
    CIScriptBase() noexcept = default;
    CIScriptBase(const CIScriptBase&) = delete;
    CIScriptBase& operator=(const CIScriptBase&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown) && !IsEqualIID(iid, kInterfaceId)) return E_NOINTERFACE;
        *out = static_cast<Interface*>(this);
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG count = ::InterlockedDecrement(&references_);
        if (count == 0) delete this;
        return static_cast<ULONG>(count);
    }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    virtual ~CIScriptBase() = default;

    // Copies a string into a BSTR out parameter; a null out pointer receives nothing.
    static HRESULT CopyText(const wchar_t* text, UINT length, BSTR* out) noexcept {
        if (!out) return S_OK;
        *out = text ? ::SysAllocStringLen(text, length) : nullptr;
        return (text && !*out) ? E_OUTOFMEMORY : S_OK;
    }

private:
    volatile LONG references_ = 1;  // the creator's reference
};

// Creates one of the script-control objects with its creator's reference; null when memory runs
// out, since no exception may leave a COM method.
template <class T, class... Args>
T* NewScriptObject(Args&&... args) noexcept {
    try {
        return new T(std::forward<Args>(args)...);
    } catch (...) {
        return nullptr;
    }
}
