#pragma once
#include <windows.h>
#include <oaidl.h>

#include <cstddef>

#include "DispatchCall.h"

namespace vb {

enum class MemberKind {
    Method,
    Property,     // read, and written when the member has a setter
    Placeholder,  // an id that only reports "not supported"
};

// The pieces of IDispatch that do not depend on the object's class.
class DispatchSupport {
public:
    // Errors a script sees when it reads a placeholder or writes a read-only property.
    static constexpr HRESULT kGetNotSupported = static_cast<HRESULT>(0x800A018A);  // 394
    static constexpr HRESULT kSetNotSupported = static_cast<HRESULT>(0x800A017F);  // 383

    static HRESULT NotSupported(HRESULT code, EXCEPINFO* info) noexcept;
    static bool NameMatches(const wchar_t* memberName, const OLECHAR* requested) noexcept;
    // Runs a member handler; no C++ exception may cross a COM method.
    template <class Handler>
    static HRESULT Guard(Handler&& handler) noexcept {
        try {
            return handler();
        } catch (...) {
            return E_UNEXPECTED;
        }
    }
};

// One row of a dispatch table: what a script can call by name or id.
template <class T>
struct DispatchMember {
    DISPID id;
    const wchar_t* name;
    MemberKind kind;
    HRESULT (T::*get)(DispatchCall&) = nullptr;  // the method, or the property's getter
    HRESULT (T::*put)(DispatchCall&) = nullptr;  // the property's setter; none = read-only
};

// A view over a class's static array of members.
template <class T>
class DispatchTable {
public:
    template <size_t N>
    constexpr DispatchTable(const DispatchMember<T> (&rows)[N]) noexcept : first_(rows), count_(N) {}
    const DispatchMember<T>* begin() const noexcept { return first_; }
    const DispatchMember<T>* end() const noexcept { return first_ + count_; }
    size_t size() const noexcept { return count_; }

private:
    const DispatchMember<T>* first_;
    size_t count_;
};

// IDispatch served from T's static table. T provides:
//   static DispatchTable<T> Members();
//   static DISPID DefaultMember();
//   static const IID* const* InterfaceIds();   // null-terminated list answered besides IDispatch
// Objects are created with one reference and deleted at the last Release, unless constructed
// as owned, in which case the owner's lifetime rules (e.g. a member held by value).
template <class T, class Interface = IDispatch>
class AutomationObject : public Interface {
public:
    enum class Lifetime { Counted, Owned };

    explicit AutomationObject(Lifetime lifetime = Lifetime::Counted) noexcept : lifetime_(lifetime) {}
    virtual ~AutomationObject() = default;
    AutomationObject(const AutomationObject&) = delete;
    AutomationObject& operator=(const AutomationObject&) = delete;

    IDispatch* AsDispatch() noexcept { return static_cast<IDispatch*>(this); }
    ULONG References() const noexcept { return static_cast<ULONG>(references_); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out) return E_POINTER;
        *out = nullptr;
        bool known = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch);
        for (const IID* const* id = T::InterfaceIds(); !known && id && *id; ++id) known = IsEqualIID(iid, **id);
        if (!known) return E_NOINTERFACE;
        *out = AsDispatch();
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&references_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG count = ::InterlockedDecrement(&references_);
        if (count == 0 && lifetime_ == Lifetime::Counted) delete this;
        return static_cast<ULONG>(count);
    }

    // Members are reached through the table only; no type information is served.
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override {
        if (!count) return E_POINTER;
        *count = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo** info) override {
        if (info) *info = nullptr;
        return DISP_E_BADINDEX;
    }

    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) override {
        if (!names || !ids || count == 0) return E_INVALIDARG;
        for (UINT i = 0; i < count; ++i) ids[i] = DISPID_UNKNOWN;
        for (const auto& member : T::Members()) {
            if (DispatchSupport::NameMatches(member.name, names[0])) {
                ids[0] = member.id;
                // Named arguments are not supported, so further names stay unknown.
                return count == 1 ? S_OK : DISP_E_UNKNOWNNAME;
            }
        }
        return DISP_E_UNKNOWNNAME;
    }

    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID, LCID, WORD flags, DISPPARAMS* params, VARIANT* result,
                                     EXCEPINFO* exception, UINT* argError) override {
        if (argError) *argError = 0;
        if (!params) return E_INVALIDARG;
        if (id == DISPID_VALUE) id = T::DefaultMember();
        const DispatchMember<T>* member = Find(id);
        if (!member) return DISP_E_MEMBERNOTFOUND;

        const bool put = (flags & (DISPATCH_PROPERTYPUT | DISPATCH_PROPERTYPUTREF)) != 0;
        if (!put && params->cNamedArgs > 0) return DISP_E_NONAMEDARGS;
        if (member->kind == MemberKind::Placeholder) {
            return DispatchSupport::NotSupported(
                put ? DispatchSupport::kSetNotSupported : DispatchSupport::kGetNotSupported, exception);
        }
        if (put && member->kind == MemberKind::Method) return DISP_E_MEMBERNOTFOUND;
        if (put && !member->put) return DispatchSupport::NotSupported(DispatchSupport::kSetNotSupported, exception);

        VARIANT scratch;
        ::VariantInit(&scratch);
        VARIANT* slot = result ? result : &scratch;
        ::VariantInit(slot);
        DispatchCall call(*params, slot);
        T* self = static_cast<T*>(this);
        auto handler = put ? member->put : member->get;
        HRESULT hr = DispatchSupport::Guard([&] { return (self->*handler)(call); });
        ::VariantClear(&scratch);
        return hr;
    }

private:
    static const DispatchMember<T>* Find(DISPID id) noexcept {
        for (const auto& member : T::Members()) {
            if (member.id == id) return &member;
        }
        return nullptr;
    }

    volatile LONG references_ = 1;
    Lifetime lifetime_;
};

}  // namespace vb
