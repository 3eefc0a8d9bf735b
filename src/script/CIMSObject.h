#pragma once
#include <windows.h>
#include <oaidl.h>

#include <string>

#include "ComPtr.h"

// What the scripting engine sees behind a global name such as `Me` or `Driver`: it forwards
// every IDispatch call to the host's automation object, so the facade can later point the name
// at another object without telling the engine. The wrappers form a doubly linked list whose
// head pointer the facade keeps; each wrapper unlinks itself when it goes.
class CIMSObject : public IDispatch {
public:
    // Answered with the wrapped object itself, so host code can get from the wrapper back to
    // the real object. No reference is added: the wrapper keeps the object alive meanwhile.
    static constexpr IID kWrappedObjectIid = {
        0x2542F07F, 0xE72C, 0x4051, {0x89, 0xA0, 0x10, 0xCB, 0x7B, 0x56, 0x63, 0x80}};

    // Links the new wrapper at the head of the list. The reference count starts at 0.
    CIMSObject(CIMSObject** listHead, IDispatch* object, const wchar_t* name);
    virtual ~CIMSObject();
    CIMSObject(const CIMSObject&) = delete;
    CIMSObject& operator=(const CIMSObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids) override;
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    // Called on the list's first wrapper: points the wrapper of `name` (any case) at `object`.
    // TRUE when it was found; when it is not (or the name is null or empty), TRUE exactly when
    // `object` is null, since there is nothing to add then.
    BOOL ReplaceObject(const wchar_t* name, IDispatch* object);

    // Leaves the list without touching it: the list's owner is going away before the wrapper.
    void DetachFromList() noexcept;

    const std::wstring& Name() const noexcept { return name_; }
    IDispatch* Wrapped() const noexcept { return object_.Get(); }
    CIMSObject* Next() const noexcept { return next_; }

private:
    ULONG references_ = 0;  // the user-interface thread is the only caller
    // Holding a reference keeps a host object that dies early from leaving a dangling pointer
    // behind a name the engine still resolves.
    vb::ComPtr<IDispatch> object_;
    std::wstring name_;
    CIMSObject* previous_ = nullptr;
    CIMSObject* next_ = nullptr;
    CIMSObject** listHead_;
};
