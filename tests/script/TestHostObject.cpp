#include "TestHostObject.h"

#include <stdexcept>

namespace vb::test {

vb::DispatchTable<TestHostObject> TestHostObject::Members() {
    using T = TestHostObject;
    static const vb::DispatchMember<T> members[] = {
        {1, L"Touch", vb::MemberKind::Method, &T::Touch},
        {3, L"Fail", vb::MemberKind::Method, &T::Fail},
    };
    return members;
}

HRESULT TestHostObject::Touch(vb::DispatchCall& call) {
    ++touches;
    if (onTouch) onTouch();
    return call.Return(static_cast<long>(touches));
}

HRESULT TestHostObject::Fail(vb::DispatchCall&) { throw std::runtime_error("host object failure"); }

}  // namespace vb::test
