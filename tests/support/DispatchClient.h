#pragma once
#include <windows.h>
#include <oaidl.h>

#include <initializer_list>
#include <string>

#include "Variant.h"

namespace vb::test {

// Calls an IDispatch the way a script does: names looked up with GetIDsOfNames, arguments
// passed last-first, property writes as named DISPID_PROPERTYPUT arguments.
class DispatchClient {
public:
    explicit DispatchClient(IDispatch* object) : object_(object) {}

    HRESULT IdOf(const std::wstring& name, DISPID& id) const;
    HRESULT Invoke(DISPID id, WORD flags, std::initializer_list<Variant> args, Variant& result);

    // Each of these records the call's HRESULT and EXCEPINFO code.
    Variant Get(const std::wstring& name);
    HRESULT Put(const std::wstring& name, const Variant& value);
    Variant Call(const std::wstring& name, std::initializer_list<Variant> args = {});

    HRESULT LastResult() const noexcept { return lastResult_; }
    HRESULT LastExceptionCode() const noexcept { return lastException_; }

private:
    IDispatch* object_;
    HRESULT lastResult_ = S_OK;
    HRESULT lastException_ = S_OK;
};

}  // namespace vb::test
