#include "DispatchInvoke.h"

namespace vb::sample {

namespace {

// An EXCEPINFO whose texts are freed with it, filled in first when the object deferred that.
class ExceptionInfo {
public:
    ExceptionInfo() noexcept = default;
    ~ExceptionInfo() {
        if (info_.pfnDeferredFillIn) info_.pfnDeferredFillIn(&info_);
        ::SysFreeString(info_.bstrSource);
        ::SysFreeString(info_.bstrDescription);
        ::SysFreeString(info_.bstrHelpFile);
    }
    ExceptionInfo(const ExceptionInfo&) = delete;
    ExceptionInfo& operator=(const ExceptionInfo&) = delete;

    EXCEPINFO* Get() noexcept { return &info_; }

private:
    EXCEPINFO info_{};
};

}  // namespace

HRESULT InvokeMember(IDispatch* object, DISPID member, const std::vector<vb::Variant>& arguments,
                     vb::Variant& result) {
    if (!object) return E_POINTER;
    // Invoke takes the arguments last-first; the copies share the values the caller owns.
    std::vector<VARIANT> reversed;
    reversed.reserve(arguments.size());
    for (auto argument = arguments.rbegin(); argument != arguments.rend(); ++argument)
        reversed.push_back(*argument->Get());

    DISPPARAMS parameters{};
    parameters.rgvarg = reversed.empty() ? nullptr : reversed.data();
    parameters.cArgs = static_cast<UINT>(reversed.size());
    ExceptionInfo exception;
    UINT badArgument = 0;
    return object->Invoke(member, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                          &parameters, result.Put(), exception.Get(), &badArgument);
}

HRESULT ReadLong(IDispatch* object, DISPID member, long& value) {
    vb::Variant result;
    HRESULT hr = InvokeMember(object, member, {}, result);
    if (FAILED(hr)) return hr;
    std::optional<long> converted = vb::ToLong(*result.Get());
    if (!converted) return DISP_E_TYPEMISMATCH;
    value = *converted;
    return S_OK;
}

HRESULT ReadObject(IDispatch* object, DISPID member, vb::ComPtr<IDispatch>& value) {
    vb::Variant result;
    HRESULT hr = InvokeMember(object, member, {}, result);
    if (FAILED(hr)) return hr;
    VARTYPE type = result.Type();
    if ((type != VT_DISPATCH && type != VT_UNKNOWN) || !V_UNKNOWN(result.Get())) return DISP_E_TYPEMISMATCH;
    return V_UNKNOWN(result.Get())->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(value.Put()));
}

}  // namespace vb::sample
