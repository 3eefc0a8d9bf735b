#include "DispatchClient.h"

#include <vector>

namespace vb::test {

HRESULT DispatchClient::IdOf(const std::wstring& name, DISPID& id) const {
    LPOLESTR names[] = {const_cast<LPOLESTR>(name.c_str())};
    return object_->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id);
}

HRESULT DispatchClient::Invoke(DISPID id, WORD flags, std::initializer_list<Variant> args, Variant& result) {
    std::vector<VARIANT> reversed;
    for (auto it = std::rbegin(args); it != std::rend(args); ++it) reversed.push_back(*it->Get());
    DISPID putId = DISPID_PROPERTYPUT;
    DISPPARAMS params{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
    if (flags & DISPATCH_PROPERTYPUT) {
        params.rgdispidNamedArgs = &putId;
        params.cNamedArgs = 1;
    }
    EXCEPINFO exception{};
    UINT argError = 0;
    lastResult_ = object_->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, flags, &params, result.Put(), &exception,
                                  &argError);
    lastException_ = exception.scode;
    ::SysFreeString(exception.bstrSource);
    ::SysFreeString(exception.bstrDescription);
    ::SysFreeString(exception.bstrHelpFile);
    return lastResult_;
}

Variant DispatchClient::Get(const std::wstring& name) {
    Variant result;
    DISPID id = DISPID_UNKNOWN;
    lastException_ = S_OK;
    if (FAILED(lastResult_ = IdOf(name, id))) return result;
    Invoke(id, DISPATCH_PROPERTYGET | DISPATCH_METHOD, {}, result);
    return result;
}

HRESULT DispatchClient::Put(const std::wstring& name, const Variant& value) {
    Variant ignored;
    DISPID id = DISPID_UNKNOWN;
    lastException_ = S_OK;
    if (FAILED(lastResult_ = IdOf(name, id))) return lastResult_;
    return Invoke(id, DISPATCH_PROPERTYPUT, {value}, ignored);
}

Variant DispatchClient::Call(const std::wstring& name, std::initializer_list<Variant> args) {
    Variant result;
    DISPID id = DISPID_UNKNOWN;
    lastException_ = S_OK;
    if (FAILED(lastResult_ = IdOf(name, id))) return result;
    Invoke(id, DISPATCH_METHOD | DISPATCH_PROPERTYGET, args, result);
    return result;
}

}  // namespace vb::test
