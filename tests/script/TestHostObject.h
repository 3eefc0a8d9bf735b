#pragma once
#include <functional>

#include "AutomationObject.h"

namespace vb::test {

// A host object for scripts: counts its calls and references, can run a hook from inside a
// script call (to try re-entrance) and can fail like a broken host, with its error's texts
// given at once or left to the deferred fill-in.
class TestHostObject : public vb::AutomationObject<TestHostObject> {
public:
    TestHostObject() = default;

    static vb::DispatchTable<TestHostObject> Members();
    static DISPID DefaultMember() noexcept { return DISPID_UNKNOWN; }
    static const IID* const* InterfaceIds() noexcept { return nullptr; }

    // What the deferred fill-in of FailLater writes.
    static constexpr SCODE kDeferredCode = static_cast<SCODE>(0x800A1235);
    static constexpr wchar_t kDeferredSource[] = L"Test host";
    static constexpr wchar_t kDeferredDescription[] = L"The label stock ran out";

    // FailLater is answered here: a table handler has no EXCEPINFO to defer through.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argError) override;

    int touches = 0;
    std::function<void()> onTouch;

private:
    HRESULT Touch(vb::DispatchCall& call);
    HRESULT Fail(vb::DispatchCall& call);
};

}  // namespace vb::test
