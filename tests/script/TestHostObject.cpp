#include "TestHostObject.h"

#include <stdexcept>

namespace vb::test {

namespace {

constexpr DISPID kFailLaterId = 4;

HRESULT STDMETHODCALLTYPE FillInDeferred(EXCEPINFO* exception) {
    if (!exception) return E_POINTER;
    exception->scode = TestHostObject::kDeferredCode;
    exception->bstrSource = ::SysAllocString(TestHostObject::kDeferredSource);
    exception->bstrDescription = ::SysAllocString(TestHostObject::kDeferredDescription);
    return S_OK;
}

}  // namespace

vb::DispatchTable<TestHostObject> TestHostObject::Members() {
    using T = TestHostObject;
    static const vb::DispatchMember<T> members[] = {
        {1, L"Touch", vb::MemberKind::Method, &T::Touch},
        {3, L"Fail", vb::MemberKind::Method, &T::Fail},
        // Listed for its name only: Invoke answers it before the table is asked.
        {kFailLaterId, L"FailLater", vb::MemberKind::Placeholder},
    };
    return members;
}

HRESULT TestHostObject::Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params, VARIANT* result,
                               EXCEPINFO* exception, UINT* argError) {
    if (id != kFailLaterId) {
        return AutomationObject::Invoke(id, iid, locale, flags, params, result, exception, argError);
    }
    if (exception) {
        *exception = EXCEPINFO{};
        exception->pfnDeferredFillIn = &FillInDeferred;
    }
    return DISP_E_EXCEPTION;
}

HRESULT TestHostObject::Touch(vb::DispatchCall& call) {
    ++touches;
    if (onTouch) onTouch();
    return call.Return(static_cast<long>(touches));
}

HRESULT TestHostObject::Fail(vb::DispatchCall&) { throw std::runtime_error("host object failure"); }

}  // namespace vb::test
