#include "TestHostObject.h"

#include <stdexcept>

#include "Variant.h"

namespace vb::test {

vb::DispatchTable<TestHostObject> TestHostObject::Members() {
    using T = TestHostObject;
    static const vb::DispatchMember<T> members[] = {
        {1, L"Touch", vb::MemberKind::Method, &T::Touch},
        {2, L"Value", vb::MemberKind::Property, &T::GetValue, &T::SetValue},
        {3, L"Fail", vb::MemberKind::Method, &T::Fail},
    };
    return members;
}

HRESULT TestHostObject::Touch(vb::DispatchCall& call) {
    ++touches;
    if (onTouch) onTouch();
    return call.Return(static_cast<long>(touches));
}

HRESULT TestHostObject::GetValue(vb::DispatchCall& call) { return call.Return(value); }

HRESULT TestHostObject::SetValue(vb::DispatchCall& call) {
    auto text = vb::ToText(call.PutValue());
    if (!text) return DISP_E_TYPEMISMATCH;
    value = *text;
    return S_OK;
}

HRESULT TestHostObject::Fail(vb::DispatchCall&) { throw std::runtime_error("host object failure"); }

}  // namespace vb::test
